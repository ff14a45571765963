#include "SysExCodec.h"

#include <algorithm>

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
    return fromBytes({0xF0, 0x00, 0x6E, 0x31, 0x7F, 0x42, 0x01, 0x00, a, b, 0xF7});
}

juce::MidiMessage makeSetFrame(int a, int b, int c)
{
    juce::uint8 frame[setFrameSize];
    writeSetFrame(frame, a, b, c);
    return juce::MidiMessage(frame, setFrameSize, 0.0);
}

juce::MidiMessage makeItemConfigRequest(int id)
{
    return makeRequestFrame(0x03, id);
}
juce::MidiMessage makeItemFieldRequest(int field)
{
    return makeRequestFrame(field, 0x00);
}
juce::MidiMessage makeGlobalParamRequest(int g)
{
    return makeRequestFrame(0x40, g);
}
juce::MidiMessage makeMidiChannelRequest()
{
    return makeRequestFrame(0x40, 0x06);
}
juce::MidiMessage makeKnobModeRequest()
{
    return makeRequestFrame(0x40, 0x02);
}
juce::MidiMessage makeOctaveShiftRequest()
{
    return makeRequestFrame(0x40, 0x03);
}
juce::MidiMessage makeItemValueSet(int id, int value)
{
    return makeSetFrame(0x00, id, value);
}
juce::MidiMessage makeItemFieldSet(int field, int id, int value)
{
    return makeSetFrame(field, id, value);
}
juce::MidiMessage makeGlobalParamSet(int g, int value)
{
    return makeSetFrame(0x40, g, value);
}
juce::MidiMessage makeClosingCommand()
{
    return fromBytes({0xF0, 0x00, 0x6E, 0x31, 0x7F, 0x42, 0x06, 0x00, 0xF7});
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
    return dataSize() >= 9 && dataByte(5) == command && dataByte(7) == address;
}

bool OrvMidiMessage49::globalAt(int command, int id) const
{
    return commandAt(command, 0x40) && dataByte(8) == id;
}

bool OrvMidiMessage49::isItemConfigRequest() const
{
    return commandAt(0x01, 0x03);
}
bool OrvMidiMessage49::isItemConfigResponse() const
{
    return commandAt(0x02, 0x03);
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
    return commandAt(0x01, 0x00);
}
bool OrvMidiMessage49::isItemValueResponse() const
{
    return commandAt(0x02, 0x00);
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
    return globalAt(0x01, 0x06);
}
bool OrvMidiMessage49::isMidiChannelResponse() const
{
    return globalAt(0x02, 0x06);
}
int OrvMidiMessage49::getMidiChannel() const
{
    return dataByte(9);
}
bool OrvMidiMessage49::isKnobModeRequest() const
{
    return globalAt(0x01, 0x02);
}
bool OrvMidiMessage49::isKnobModeResponse() const
{
    return globalAt(0x02, 0x02);
}
bool OrvMidiMessage49::isKnobModeRelative() const
{
    return dataSize() >= 10 && dataByte(9) == 0x7F;
}
bool OrvMidiMessage49::isOctaveShiftRequest() const
{
    return globalAt(0x01, 0x03);
}
bool OrvMidiMessage49::isOctaveShiftResponse() const
{
    return globalAt(0x02, 0x03);
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
    return dataSize() >= 6 && dataByte(0) == 0x00 && dataByte(1) == 0x6E && dataByte(2) == 0x31 &&
           (dataByte(3) == 0x02 || dataByte(4) == 0x42);
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
    return m.dataSize() >= 9 && m.dataByte(5) == 0x02 && m.dataByte(7) >= 1 && m.dataByte(7) <= 5;
}

bool isIdentityReply(const juce::MidiMessage& message)
{
    if (!message.isSysEx() || message.getSysExDataSize() < 12)
        return false;
    const auto* d = message.getSysExData();
    return d[0] == 0x7E && d[2] == 0x06 && d[3] == 0x02 && d[4] == 0x00 && d[5] == 0x6E && d[6] == 0x31 &&
           d[7] == 0x02 && d[8] == 0x00 && (d[9] >= 0x01 && d[9] <= 0x03) && d[10] == 0x00;
}
