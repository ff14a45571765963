#include "SysExCodec.h"

#include <algorithm>
#include <cstring>

namespace OrvSysEx
{
namespace
{
juce::MidiMessage fromBytes(std::initializer_list<int> bytes)
{
    // Every frame fits on the stack: the message makes the only copy on the heap.
    juce::uint8 data[16];
    jassert(bytes.size() <= sizeof(data));
    size_t i = 0;
    for (int b : bytes)
        data[i++] = (juce::uint8)b;
    return juce::MidiMessage(data, (int)bytes.size(), 0.0);
}
} // namespace

juce::MidiMessage makeIdentityRequest()
{
    return fromBytes({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
}

juce::MidiMessage makeRequestFrame(int a, int b)
{
    return fromBytes({sysExStart, manufacturer[0], manufacturer[1], manufacturer[2], fromEditor, model,
                      commandRequest, 0x00, a, b, sysExEnd});
}

juce::MidiMessage makeSetFrame(int a, int b, int c)
{
    juce::uint8 frame[setFrameSize];
    writeSetFrame(frame, a, b, c);
    return juce::MidiMessage(frame, setFrameSize, 0.0);
}

juce::MidiMessage makeItemConfigRequest(int id)
{
    return makeRequestFrame(itemFieldNumber, id);
}
juce::MidiMessage makeItemFieldRequest(int field)
{
    return makeRequestFrame(field, 0x00);
}
juce::MidiMessage makeGlobalParamRequest(int g)
{
    return makeRequestFrame(globalAddress, g);
}
juce::MidiMessage makeMidiChannelRequest()
{
    return makeRequestFrame(globalAddress, globalUpperChannel);
}
juce::MidiMessage makeKnobModeRequest()
{
    return makeRequestFrame(globalAddress, globalKnobMode);
}
juce::MidiMessage makeOctaveShiftRequest()
{
    return makeRequestFrame(globalAddress, globalOctaveShift);
}
juce::MidiMessage makeItemValueSet(int id, int value)
{
    return makeSetFrame(itemFieldValue, id, value);
}
juce::MidiMessage makeItemFieldSet(int field, int id, int value)
{
    return makeSetFrame(field, id, value);
}
juce::MidiMessage makeGlobalParamSet(int g, int value)
{
    return makeSetFrame(globalAddress, g, value);
}
juce::MidiMessage makeClosingCommand()
{
    return fromBytes({sysExStart, manufacturer[0], manufacturer[1], manufacturer[2], fromEditor, model,
                      commandClosing, 0x00, sysExEnd});
}

//==============================================================================
std::vector<juce::MidiMessage> sendAllMessages(const SettingsState& s)
{
    std::vector<juce::MidiMessage> messages;
    buildSendAllFrames(s, messages);
    return messages;
}

void buildSendAllFrames(const SettingsState& s, std::vector<juce::MidiMessage>& frames)
{
    size_t count = 0;
    // A frame whose bytes are already right is kept; only a changed one is made anew.
    const auto put = [&frames, &count](const juce::uint8* bytes, int size)
    {
        if (count == frames.size())
            frames.emplace_back(bytes, size, 0.0);
        else if (frames[count].getRawDataSize() != size ||
                 std::memcmp(frames[count].getRawData(), bytes, (size_t)size) != 0)
            replaceMessage(frames[count], bytes, size);
        ++count;
    };
    // A set frame is compared where it stands, without writing the new one first.
    const auto putSet = [&frames, &count, &put](int a, int b, int c)
    {
        if (count < frames.size() &&
            isSetFrame(frames[count].getRawData(), frames[count].getRawDataSize(), a, b, c))
        {
            ++count;
            return;
        }
        juce::uint8 frame[setFrameSize];
        writeSetFrame(frame, a, b, c);
        put(frame, setFrameSize);
    };
    frames.reserve(s.numbers().size() * (size_t)(itemFieldMaxMsb - itemFieldMode + 1) + numGlobalParams + 1);
    // Every field map is ordered by id, as the numbered controls are: one cursor per field walks along with
    // the controls instead of a search per value.
    std::array<std::map<int, int>::const_iterator, itemFieldMaxMsb + 1> cursor;
    for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
        cursor[(size_t)field] = s.fields[(size_t)field].begin();
    for (const auto& entry : s.numbers())
    {
        const int control = entry.first;
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
        {
            const auto& values = s.fields[(size_t)field];
            auto& at = cursor[(size_t)field];
            while (at != values.end() && at->first < control)
                ++at;
            if (at == values.end() || at->first != control)
                continue; // no entry for this field
            const int value = at->second;
            if (!isDataByte(control) || !isDataByte(value))
                continue;                  // cannot travel in a frame: leave the keyboard's own value alone
            putSet(field, control, value); // as makeItemFieldSet
        }
    }
    for (int id : sentGlobalParams)
    {
        const int value = s.globals[(size_t)id];
        if (isDataByte(value))
            putSet(globalAddress, id, value); // as makeGlobalParamSet
    }
    const auto closing = makeClosingCommand();
    put(closing.getRawData(), closing.getRawDataSize());
    frames.erase(frames.begin() + (std::ptrdiff_t)count, frames.end());
}

void replaceMessage(juce::MidiMessage& kept, const juce::uint8* bytes, int size)
{
    const juce::MidiMessage replacement(bytes, size, 0.0);
    kept = replacement; // copy assignment: it frees or reuses the kept message's own heap bytes
}
} // namespace OrvSysEx

//==============================================================================
OrvMidiMessage49::OrvMidiMessage49(const juce::MidiMessage& message)
    : juce::MidiMessage(message), sysExSize(message.isSysEx() ? message.getSysExDataSize() : 0)
{
}

bool OrvMidiMessage49::commandAt(int command, int address) const
{
    return dataSize() >= 9 && dataByte(OrvSysEx::commandIndex) == command &&
           dataByte(OrvSysEx::addressIndex) == address;
}

bool OrvMidiMessage49::globalAt(int command, int id) const
{
    return commandAt(command, OrvSysEx::globalAddress) && dataByte(8) == id;
}

bool OrvMidiMessage49::isItemConfigRequest() const
{
    return commandAt(OrvSysEx::commandRequest, itemFieldNumber);
}
bool OrvMidiMessage49::isItemConfigResponse() const
{
    return commandAt(OrvSysEx::commandValue, itemFieldNumber);
}
int OrvMidiMessage49::getItemConfigId() const
{
    return dataByte(8);
}

juce::Array<int> OrvMidiMessage49::getItemConfigPairs() const
{
    juce::Array<int> pairs;
    const int count = (dataSize() - 8) / 2;
    if (count <= 0)
        return pairs;
    pairs.resize(2 * count);
    const auto* d = getRawData() + 1 + 8;
    for (int i = 0; i < 2 * count; ++i)
        pairs.getReference(i) = d[i];
    return pairs;
}

bool OrvMidiMessage49::isItemValueRequest() const
{
    return commandAt(OrvSysEx::commandRequest, itemFieldValue);
}
bool OrvMidiMessage49::isItemValueResponse() const
{
    return commandAt(OrvSysEx::commandValue, itemFieldValue);
}
int OrvMidiMessage49::getItemValueId() const
{
    return dataByte(8);
}
int OrvMidiMessage49::getItemValue() const
{
    return dataByte(9);
}
bool OrvMidiMessage49::isMidiChannelRequest() const
{
    return globalAt(OrvSysEx::commandRequest, globalUpperChannel);
}
bool OrvMidiMessage49::isMidiChannelResponse() const
{
    return globalAt(OrvSysEx::commandValue, globalUpperChannel);
}
int OrvMidiMessage49::getMidiChannel() const
{
    return dataByte(9);
}
bool OrvMidiMessage49::isKnobModeRequest() const
{
    return globalAt(OrvSysEx::commandRequest, globalKnobMode);
}
bool OrvMidiMessage49::isKnobModeResponse() const
{
    return globalAt(OrvSysEx::commandValue, globalKnobMode);
}
bool OrvMidiMessage49::isKnobModeRelative() const
{
    return dataSize() >= 10 && dataByte(9) == 0x7F;
}
bool OrvMidiMessage49::isOctaveShiftRequest() const
{
    return globalAt(OrvSysEx::commandRequest, globalOctaveShift);
}
bool OrvMidiMessage49::isOctaveShiftResponse() const
{
    return globalAt(OrvSysEx::commandValue, globalOctaveShift);
}
int OrvMidiMessage49::getOctaveShift() const
{
    return dataByte(9);
}
bool OrvMidiMessage49::isLedStateRequest() const
{
    return isItemValueRequest();
}
bool OrvMidiMessage49::isLedStateResponse() const
{
    return isItemValueResponse();
}
int OrvMidiMessage49::getLedId() const
{
    return dataByte(8);
}
int OrvMidiMessage49::getLedState() const
{
    return dataByte(9);
}

bool OrvMidiMessage49::isKeyboardSysEx() const
{
    using namespace OrvSysEx;
    return dataSize() >= 6 && dataByte(0) == manufacturer[0] && dataByte(1) == manufacturer[1] &&
           dataByte(2) == manufacturer[2] && (dataByte(3) == fromKeyboard || dataByte(4) == model);
}

juce::String OrvMidiMessage49::toHexString() const
{
    juce::String s;
    const auto* raw = getRawData();
    for (int i = 0; i < getRawDataSize(); ++i)
        s << juce::String::formatted("%.2X ", raw[i]);
    return s + "\n";
}

juce::String OrvMidiMessage49::toDebugString() const
{
    using juce::String;
    if (isNoteOn())
        return String::formatted("Note On  %d velocity %d channel %d\n", getNoteNumber(), (int)getVelocity(),
                                 getChannel());
    if (isNoteOff())
        return String::formatted("Note Off %d velocity %d channel %d\n", getNoteNumber(), (int)getVelocity(),
                                 getChannel());
    if (isController())
        return String::formatted("CC %d value %d channel %d\n", getControllerNumber(), getControllerValue(),
                                 getChannel());
    if (isChannelPressure())
        return String::formatted("Aftertouch %d channel %d\n", getChannelPressureValue(), getChannel());
    if (isPitchWheel())
        return String::formatted("Pitch Wheel value %d\n", getPitchWheelValue());
    if (isIdentityReply(*this))
        return "TDR32 SYSEX : Identification sysex\n";
    if (isSysEx())
    {
        if (!isKeyboardSysEx())
            return "SYSEX \n";
        if (isItemConfigResponse())
            return "TDR32 SYSEX : Item Config Response\n";
        if (isItemValueResponse())
            return String::formatted("TDR32 SYSEX : Item value response (%d , %d)\n", getItemValueId(),
                                     getItemValue());
        if (isMidiChannelResponse())
            return String::formatted("TDR32 SYSEX : Midi channel response %d\n", getMidiChannel());
        if (isOctaveShiftResponse())
            return String::formatted("TDR32 SYSEX : Octave shift response %d\n", getOctaveShift());
        return "TDR32 SYSEX \n";
    }
    return "- \n";
}

//==============================================================================
bool isItemFieldResponse(const juce::MidiMessage& message)
{
    OrvMidiMessage49 m(message);
    return m.dataSize() >= 9 && m.dataByte(OrvSysEx::commandIndex) == OrvSysEx::commandValue &&
           m.dataByte(OrvSysEx::addressIndex) >= itemFieldMode &&
           m.dataByte(OrvSysEx::addressIndex) <= itemFieldMaxMsb;
}

bool isIdentityReply(const juce::MidiMessage& message)
{
    if (!message.isSysEx() || message.getSysExDataSize() < 12)
        return false;
    const auto* d = message.getSysExData();
    using OrvSysEx::manufacturer;
    // Universal non-real-time (7E), general information (06), identity reply (02), the maker, family 02 00,
    // member 01..03 00.
    return d[0] == 0x7E && d[2] == 0x06 && d[3] == 0x02 && d[4] == manufacturer[0] &&
           d[5] == manufacturer[1] && d[6] == manufacturer[2] && d[7] == 0x02 && d[8] == 0x00 &&
           (d[9] >= 0x01 && d[9] <= 0x03) && d[10] == 0x00;
}

juce::String identityVersion(const juce::MidiMessage& message)
{
    if (!isIdentityReply(message))
        return {};
    juce::StringArray parts;
    const auto* d = message.getSysExData();
    for (int i = 11; i < juce::jmin(15, message.getSysExDataSize()); ++i)
        parts.add(juce::String(d[i] & 0x7F));
    return parts.joinIntoString(".");
}
