#include "KeyboardOutput.h"

#include "SysExCodec.h"

void KeyboardOutput::open(std::unique_ptr<MidiOutputPort> opened)
{
    std::lock_guard<std::mutex> g(lock);
    port = std::move(opened);
}

void KeyboardOutput::close()
{
    std::unique_ptr<MidiOutputPort> old;
    {
        std::lock_guard<std::mutex> g(lock);
        old = std::move(port);
    }
}

bool KeyboardOutput::isOpen() const
{
    std::lock_guard<std::mutex> g(lock);
    return port != nullptr;
}

bool KeyboardOutput::sendLocked(const juce::MidiMessage& message)
{
    if (port == nullptr || !OrvSysEx::isWireSafe(message))
        return false;
    port->sendMessageNow(message);
    if (monitor != nullptr)
        monitor->record(MonitorDirection::toKeyboard, message);
    return true;
}

bool KeyboardOutput::send(const juce::MidiMessage& message)
{
    std::lock_guard<std::mutex> g(lock);
    return sendLocked(message);
}

bool KeyboardOutput::sendAll(const SettingsState& state, const std::function<void(int, int)>& progress)
{
    std::lock_guard<std::mutex> f(framesLock);
    OrvSysEx::buildSendAllFrames(state, frames);
    return sendFrames(progress);
}

bool KeyboardOutput::sendAll(const KbdSettingsStore& store)
{
    std::lock_guard<std::mutex> f(framesLock);
    store.read([this](const SettingsState& s) { OrvSysEx::buildSendAllFrames(s, frames); });
    return sendFrames({});
}

bool KeyboardOutput::sendFrames(const std::function<void(int, int)>& progress)
{
    // One lock for the whole stream: a read-out request from the MIDI thread cannot land inside it.
    std::lock_guard<std::mutex> g(lock);
    if (port == nullptr)
        return false;
    const int total = (int)frames.size();
    for (int i = 0; i < total; ++i)
    {
        const bool sent = sendLocked(frames[(size_t)i]);
        if (progress)
            progress(i + 1, total);
        if (i == total - 1)
            return sent;
    }
    return false;
}
