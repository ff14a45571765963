#include "KeyboardScan.h"

#include "SysExCodec.h"

namespace
{
constexpr int scanPeriodMs = 500;
constexpr int scanPasses = 3;
constexpr int minimumActionGapMs = 200;
} // namespace

KeyboardScan::KeyboardScan(MidiPortSystem& p, MidiPortListener& l, PortWatch& w)
    : ports(p), listener(l), portWatch(w), clock([] { return juce::Time::getMillisecondCounter(); })
{
}

KeyboardScan::~KeyboardScan()
{
    stopTimer();
}

void KeyboardScan::setClock(std::function<juce::uint32()> c)
{
    std::lock_guard<std::mutex> g(lock);
    clock = std::move(c);
}

juce::String KeyboardScan::getKeyboardInputName() const
{
    std::lock_guard<std::mutex> g(lock);
    return keyboardInputName;
}

juce::String KeyboardScan::getKeyboardOutputName() const
{
    std::lock_guard<std::mutex> g(lock);
    return keyboardOutputName;
}

juce::String KeyboardScan::getFirmwareVersion() const
{
    std::lock_guard<std::mutex> g(lock);
    return firmwareVersion;
}

void KeyboardScan::setFirmwareVersion(const juce::String& version)
{
    std::lock_guard<std::mutex> g(lock);
    firmwareVersion = version;
}

void KeyboardScan::start()
{
    if (isTimerRunning() || scanning.exchange(true))
        return;

    // Ports are opened and closed with no lock held: the system's MIDI code holds its own lock while it
    // delivers a message, and the delivery may be waiting for the scan lock.
    std::vector<std::unique_ptr<MidiInputPort>> opened;
    const int inputCount = ports.getInputNames().size();
    for (int i = 0; i < inputCount; ++i)
        opened.push_back(ports.openInput(i, listener));
    for (auto& in : opened)
        if (in != nullptr)
            in->start();

    const auto outputNames = ports.getOutputNames();
    const int outputs = outputNames.size();
    std::vector<std::unique_ptr<MidiInputPort>> earlier;
    {
        std::lock_guard<std::mutex> g(lock);
        earlier = std::move(inputs);
        inputs = std::move(opened);
        outputCount = outputs;
        found = false;
        probeIndex = 0;
        passesLeft = scanPasses;
        // The first tick never acts, so the first output has about a second to answer.
        lastActionTime = clock() + (juce::uint32)scanPeriodMs;
    }
    earlier.clear();
    portWatch.rememberLists();

    if (outputs <= 0)
    {
        // Nobody can be asked: the scan is over at once, and the user must hear of it.
        closeInputs();
        scanning = false;
        if (onUnanswered)
            onUnanswered();
        return;
    }
    probeOutput(0);
    startTimer(scanPeriodMs);
}

void KeyboardScan::probeOutput(int index)
{
    // The probe output is the message thread's alone; it is opened and closed with no lock held.
    probe.reset();
    if (index < 0)
        return;
    probe = ports.openOutput(index);
    if (probe != nullptr)
        probe->sendMessageNow(OrvSysEx::makeIdentityRequest());
}

void KeyboardScan::timerCallback()
{
    if (!scanning)
        return; // a tick that was already queued when the scan ended

    int nextProbe = -1;
    {
        std::lock_guard<std::mutex> g(lock);
        const auto now = clock();
        if ((int)(now - lastActionTime) <= minimumActionGapMs)
            return;
        lastActionTime = now;

        if (!found && ++probeIndex < outputCount)
            nextProbe = probeIndex;
        else if (--passesLeft > 0 && !found)
            nextProbe = probeIndex = 0;
    }
    if (nextProbe >= 0)
    {
        probeOutput(nextProbe);
        return;
    }

    stopTimer();
    probeOutput(-1);
    closeInputs();
    scanning = false;
    if (!found && onUnanswered)
        onUnanswered();
}

juce::String KeyboardScan::askedOutputName()
{
    int index;
    {
        std::lock_guard<std::mutex> g(lock);
        index = probeIndex;
    }
    return ports.getOutputNames()[index];
}

void KeyboardScan::keyboardFound(const juce::String& inputName, const juce::String& outputName)
{
    std::lock_guard<std::mutex> g(lock);
    found = true;
    keyboardInputName = inputName;
    keyboardOutputName = outputName;
}

void KeyboardScan::releaseInputsExceptKeyboard(std::vector<std::unique_ptr<MidiInputPort>>& released)
{
    std::lock_guard<std::mutex> g(lock);
    std::vector<std::unique_ptr<MidiInputPort>> kept;
    for (auto& in : inputs)
    {
        if (in != nullptr && found && in->getName() == keyboardInputName)
            kept.push_back(std::move(in));
        else if (in != nullptr)
            released.push_back(std::move(in));
    }
    inputs = std::move(kept);
}

void KeyboardScan::closeInputs()
{
    std::vector<std::unique_ptr<MidiInputPort>> released;
    releaseInputsExceptKeyboard(released);
    for (auto& in : released)
        in->stop();
    released.clear();
}

void KeyboardScan::stopInputs(bool keyboardGone)
{
    // Closed with no lock held, as everywhere: closing an input waits for a delivery in progress, and that
    // delivery may be waiting for one of the locks. The inputs go before the outputs, so that nothing
    // delivered meanwhile opens the keyboard's output again after it was closed.
    std::vector<std::unique_ptr<MidiInputPort>> oldInputs;
    {
        std::lock_guard<std::mutex> g(lock);
        if (keyboardGone)
            found = false;
        oldInputs = std::move(inputs);
        inputs.clear();
    }
    for (auto& in : oldInputs)
        if (in != nullptr)
            in->stop();
}

void KeyboardScan::keyboardGone()
{
    stopTimer();
    probeOutput(-1);
    scanning = false;
    stopInputs(true);
}

void KeyboardScan::close()
{
    stopTimer();
    scanning = false;
    stopInputs(false);

    std::unique_ptr<MidiOutputPort> oldProbe;
    {
        std::lock_guard<std::mutex> g(lock);
        oldProbe = std::move(probe);
    }
}
