#include "KeyboardEmulator.h"

#include "device/SysExCodec.h"

namespace
{
juce::MidiMessage sysEx(const std::vector<int>& bytes)
{
    std::vector<juce::uint8> raw;
    for (int b : bytes)
        raw.push_back((juce::uint8)b);
    return juce::MidiMessage(raw.data(), (int)raw.size(), 0.0);
}
} // namespace

KeyboardEmulator::KeyboardEmulator(VirtualMidiPorts& p, const juce::String& name) : ports(p), portName(name)
{
    config = factoryConfiguration();
    input = ports.addInput(portName);
    output = ports.addOutput(portName, [this](const juce::MidiMessage& m) { receive(m); });
}

KeyboardEmulator::~KeyboardEmulator()
{
    player.stop(); // and nothing starts playing once the keyboard goes
    if (unplugger.joinable())
        unplugger.join();
    ports.setOutputReceiver(output, {});
}

SettingsState KeyboardEmulator::factoryConfiguration()
{
    SettingsState s;
    s.resetItemsToDefaults();
    s.applyEditorGlobalDefaults();
    return s;
}

SettingsState KeyboardEmulator::demoConfiguration()
{
    auto setup = factoryConfiguration();
    setup.globals[globalKnobMode] = 127;
    setup.globals[globalSplitMode] = 127;
    setup.globals[globalSplitPoint] = 48;
    setup.globals[globalUpperChannel] = 1;
    setup.set(itemFieldChannel, 0x70, channelLower);
    setup.set(itemFieldNumber, 0x01, 20);
    return setup;
}

const char* KeyboardEmulator::troubleHelp()
{
    return "drop-every=N (ignores every Nth set-value message), slow=MS (answers that late), "
           "silent-after=N (stops answering after N answers), unplug-after=N (is unplugged once N answers "
           "have arrived), split=N (N pairs per answer message, 0: all in one), no-identity (never answers "
           "the identity request), play=FILE.mid (a second after it is found, sends the file's channel "
           "messages at its "
           "timing, as if its controls were moved), play-rate=N (sends them at N messages a second instead)";
}

juce::String KeyboardEmulator::applyTrouble(const juce::String& list)
{
    for (const auto& item : juce::StringArray::fromTokens(list, ",", {}))
    {
        const auto name = item.upToFirstOccurrenceOf("=", false, false).trim();
        const auto text = item.fromFirstOccurrenceOf("=", false, false).trim();
        const bool number = text.isNotEmpty() && text.containsOnly("0123456789") && text.length() <= 6;
        const int n = text.getIntValue();
        if (name == "drop-every" && number && n > 0)
            dropEverySetValue(n);
        else if (name == "slow" && number)
            setReplyDelayMs(n);
        else if (name == "silent-after" && number)
            stopAnsweringAfter(n);
        else if (name == "unplug-after" && number)
            unplugAfter(n);
        else if (name == "split" && number)
            setMaxPairsPerMessage(n);
        else if (name == "no-identity" && text.isEmpty() && !item.containsChar('='))
            setAnswersIdentityRequest(false);
        else if (name == "play-rate" && number && n > 0)
            player.setRate(n);
        else if (name == "play" && text.isNotEmpty())
        {
            // Read now, so that a file that cannot be played is told of before anything starts.
            const auto problem = player.load(juce::File::getCurrentWorkingDirectory().getChildFile(text));
            if (problem.isNotEmpty())
                return item.trim() + " (" + problem + ")";
        }
        else if (item.trim().isNotEmpty())
            return item.trim();
    }
    return {};
}

void KeyboardEmulator::setIdentity(const Identity& i)
{
    std::lock_guard<std::mutex> g(lock);
    identity = i;
}

void KeyboardEmulator::setConfiguration(const SettingsState& state)
{
    std::lock_guard<std::mutex> g(lock);
    config = state;
}

SettingsState KeyboardEmulator::getConfiguration() const
{
    std::lock_guard<std::mutex> g(lock);
    return config;
}

void KeyboardEmulator::setOctaveShift(int shift)
{
    std::lock_guard<std::mutex> g(lock);
    octaveShift = shift;
}

int KeyboardEmulator::getItemValue(int id) const
{
    std::lock_guard<std::mutex> g(lock);
    auto it = itemValues.find(id);
    return it != itemValues.end() ? it->second : -1;
}

int KeyboardEmulator::closingCommandsReceived() const
{
    std::lock_guard<std::mutex> g(lock);
    return closings;
}

int KeyboardEmulator::messagesReceived() const
{
    std::lock_guard<std::mutex> g(lock);
    return (int)log.size();
}

std::vector<juce::MidiMessage> KeyboardEmulator::receivedLog() const
{
    std::lock_guard<std::mutex> g(lock);
    return log;
}

void KeyboardEmulator::setReplyDelayMs(int delayMs)
{
    std::lock_guard<std::mutex> g(lock);
    replyDelayMs = delayMs;
}

void KeyboardEmulator::stopAnsweringAfter(int replies)
{
    std::lock_guard<std::mutex> g(lock);
    repliesLeft = replies;
}

void KeyboardEmulator::setMaxPairsPerMessage(int pairs)
{
    std::lock_guard<std::mutex> g(lock);
    maxPairs = pairs;
}

void KeyboardEmulator::setAnswersIdentityRequest(bool answers)
{
    std::lock_guard<std::mutex> g(lock);
    answersIdentity = answers;
}

void KeyboardEmulator::dropEverySetValue(int n)
{
    std::lock_guard<std::mutex> g(lock);
    dropEvery = n;
    setValuesSeen = 0;
}

void KeyboardEmulator::unplugAfter(int replies)
{
    std::lock_guard<std::mutex> g(lock);
    unplugAfterReplies = replies;
}

void KeyboardEmulator::setPlugged(bool plugged)
{
    ports.setPlugged(portName, plugged);
}

//==============================================================================
void KeyboardEmulator::sendControlChange(int controller, int value, int channel)
{
    sendRaw(juce::MidiMessage::controllerEvent(channel, controller, value));
}

void KeyboardEmulator::sendPitchWheel(int value, int channel)
{
    sendRaw(juce::MidiMessage::pitchWheel(channel, value));
}

void KeyboardEmulator::sendNoteOn(int note, int velocity, int channel)
{
    sendRaw(juce::MidiMessage::noteOn(channel, note, (juce::uint8)velocity));
}

void KeyboardEmulator::sendChannelPressure(int pressure, int channel)
{
    sendRaw(juce::MidiMessage::channelPressureChange(channel, pressure));
}

void KeyboardEmulator::sendRaw(const juce::MidiMessage& message)
{
    ports.deliver(input, message);
}

void KeyboardEmulator::sendForeignSysEx()
{
    sendRaw(sysEx({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
}

void KeyboardEmulator::sendMalformedSysEx()
{
    // An answer cut off before its address.
    std::vector<int> bytes(std::begin(OrvSysEx::answerStart), std::end(OrvSysEx::answerStart) - 1);
    bytes.push_back(OrvSysEx::sysExEnd);
    sendRaw(sysEx(bytes));
}

//==============================================================================
void KeyboardEmulator::receive(const juce::MidiMessage& message)
{
    std::vector<juce::MidiMessage> replies;
    int delay;
    {
        std::lock_guard<std::mutex> g(lock);
        log.push_back(message);
        log.back().setTimeStamp(juce::Time::getMillisecondCounterHiRes());
        replies = answer(message);
        if (repliesLeft >= 0)
        {
            if ((int)replies.size() > repliesLeft)
                replies.resize((size_t)repliesLeft);
            repliesLeft -= (int)replies.size();
        }
        delay = replyDelayMs;
        if (unplugAfterReplies >= 0)
        {
            replies.resize(std::min(replies.size(), (size_t)std::max(0, unplugAfterReplies - repliesSent)));
            repliesSent += (int)replies.size();
            if (repliesSent >= unplugAfterReplies && !unplugger.joinable())
                // Once the answers given have arrived, as a cable pulled after them would have let them.
                unplugger = std::thread(
                    [this]
                    {
                        ports.waitUntilIdle();
                        setPlugged(false);
                    });
        }
    }
    // Answers go out with no lock held, on the virtual input's own thread.
    for (const auto& r : replies)
        ports.deliver(input, r, delay);
    // Found is when an identity reply has gone out: what is played from then on reaches whoever found it.
    if (std::any_of(replies.begin(), replies.end(),
                    [](const juce::MidiMessage& r)
                    { return r.getRawDataSize() > 4 && r.getRawData()[1] == 0x7E; }))
        player.startOnce([this](const juce::MidiMessage& m) { sendRaw(m); });
}

juce::MidiMessage KeyboardEmulator::makeAnswer(std::initializer_list<int> body) const
{
    std::vector<int> bytes(std::begin(OrvSysEx::answerStart), std::end(OrvSysEx::answerStart));
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.push_back(OrvSysEx::sysExEnd);
    return sysEx(bytes);
}

std::vector<juce::MidiMessage> KeyboardEmulator::pairListAnswer(int field, int onlyId)
{
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [id, value] : config.fields[(size_t)field])
        if ((onlyId == 0 || id == onlyId) && OrvSysEx::isDataByte(id) && OrvSysEx::isDataByte(value))
            pairs.emplace_back(id, value);

    std::vector<juce::MidiMessage> out;
    const size_t chunk = maxPairs > 0 ? (size_t)maxPairs : std::max<size_t>(pairs.size(), 1);
    for (size_t start = 0; start < pairs.size() || (start == 0 && pairs.empty()); start += chunk)
    {
        std::vector<int> bytes(std::begin(OrvSysEx::answerStart), std::end(OrvSysEx::answerStart));
        bytes.push_back(field);
        for (size_t i = start; i < std::min(pairs.size(), start + chunk); ++i)
        {
            bytes.push_back(pairs[i].first);
            bytes.push_back(pairs[i].second);
        }
        bytes.push_back(OrvSysEx::sysExEnd);
        out.push_back(sysEx(bytes));
        if (pairs.empty())
            break;
    }
    return out;
}

std::vector<juce::MidiMessage> KeyboardEmulator::answer(const juce::MidiMessage& message)
{
    if (!message.isSysEx())
        return {};
    const OrvMidiMessage49 m(message);

    // Identity request: F0 7E <device> 06 01 F7.
    if (m.dataSize() == 4 && m.dataByte(0) == 0x7E && m.dataByte(2) == 0x06 && m.dataByte(3) == 0x01)
    {
        if (!answersIdentity)
            return {};
        const auto& i = identity;
        using OrvSysEx::manufacturer;
        return {sysEx({0xF0, 0x7E, i.deviceByte, 0x06, 0x02, manufacturer[0], manufacturer[1],
                       manufacturer[2], i.family, 0x00, i.member, 0x00, i.version[0], i.version[1],
                       i.version[2], i.version[3], 0xF7})};
    }

    using namespace OrvSysEx;
    if (m.dataSize() < 7 || m.dataByte(0) != manufacturer[0] || m.dataByte(1) != manufacturer[1] ||
        m.dataByte(2) != manufacturer[2])
        return {};

    const int command = m.dataByte(commandIndex);
    const int address = m.dataByte(addressIndex);
    const int id = m.dataByte(8);

    if (command == commandClosing) // the closing command has no address: seven data bytes
    {
        ++closings;
        return {};
    }

    if (command == commandRequest && m.dataSize() >= 9)
    {
        if (address >= itemFieldMode && address <= itemFieldMaxMsb)
            return pairListAnswer(address, id);
        if (address == itemFieldValue)
        {
            auto it = itemValues.find(id);
            return {makeAnswer({itemFieldValue, id, it != itemValues.end() ? it->second : 0})};
        }
        if (address == globalAddress)
        {
            if (id == globalOctaveShift)
                return {makeAnswer({globalAddress, id, octaveShift & 0x7F})};
            const int value = id < numGlobalParams ? config.globals[(size_t)id] : 0;
            return {makeAnswer({globalAddress, id, value & 0x7F})};
        }
        return {};
    }

    if (command == commandValue && m.dataSize() >= 10) // set a value
    {
        if (dropEvery > 0 && ++setValuesSeen % dropEvery == 0)
            return {};
        const int value = m.dataByte(9);
        if (address == itemFieldValue)
            itemValues[id] = value;
        else if (address >= itemFieldMode && address <= itemFieldMaxMsb)
        {
            if (ControlCatalogue::isConfigurable(id)) // the keyboard has no place for other controls
                config.set(address, id, value);
        }
        else if (address == globalAddress)
        {
            if (id == globalOctaveShift)
                octaveShift = (value & 0x40) != 0 ? value - 128 : value;
            else if (id < numGlobalParams)
                config.globals[(size_t)id] = (int16_t)value;
        }
    }
    return {};
}
