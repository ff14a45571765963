#include "MonitorLine.h"

#include "../model/ValueMeaning.h"
#include "SysExCodec.h"

#include <algorithm>
#include <cstring>

namespace
{
using Detail = MonitorLine::Detail;

juce::String utf8(const std::string& s)
{
    return juce::String(juce::CharPointer_UTF8(s.c_str()));
}

/** "60 (0x3C)". */
juce::String decHex(int n, int digits = 2)
{
    return juce::String(n) + " (0x" + juce::String::toHexString(n).paddedLeft('0', digits).toUpperCase() +
           ")";
}

const juce::String dot = juce::String(juce::CharPointer_UTF8(" \xC2\xB7 ")); // U+00B7, middle dot

//==============================================================================
juce::String fieldValueText(int field, int value)
{
    if (field == itemFieldMode && value >= 0 && value < numItemModes)
        return ControlCatalogue::modePanelTexts()[(size_t)value];
    if (field == itemFieldChannel && ControlCatalogue::isKnownChannelCode(value))
        return ControlCatalogue::channelList()[(size_t)ControlCatalogue::channelListIndex(value)].text;
    return juce::String(value);
}

/** The words of a frame of the keyboard's protocol, from either side. */
juce::String keyboardFrameWords(const juce::MidiMessage& message)
{
    using namespace OrvSysEx;
    const OrvMidiMessage49 m(message);
    if (m.dataSize() < 7)
        return "Keyboard frame, cut short";
    const bool fromTheKeyboard = m.dataByte(3) == fromKeyboard;
    const int command = m.dataByte(commandIndex);
    if (command == commandClosing)
        return "End of settings";
    if (m.dataSize() < 9)
        return "Keyboard frame, cut short";
    const int address = m.dataByte(addressIndex);
    const int id = m.dataByte(8);
    const auto control = utf8(ControlCatalogue::messageName(id));
    const auto fieldText =
        address == itemFieldValue ? juce::String("Value") : utf8(ControlCatalogue::fieldHeading(address));
    if (command == commandRequest)
    {
        if (address == globalAddress)
            return "Request " + utf8(ControlCatalogue::globalName(id));
        if (address >= itemFieldMode && address <= itemFieldMaxMsb && id == 0)
            return "Request every control" + dot + fieldText;
        return "Request " + control + dot + fieldText;
    }
    if (command != commandValue)
        return "Keyboard frame, command " + decHex(command);
    const juce::String verb = fromTheKeyboard ? "Answer " : "Set ";
    if (address == globalAddress)
    {
        if (m.dataSize() < 10)
            return verb + utf8(ControlCatalogue::globalName(id));
        const int value = m.dataByte(9);
        const auto* g = ControlCatalogue::globalParam(id);
        return verb + (g != nullptr ? juce::String(g->label) : utf8(ControlCatalogue::globalName(id))) +
               " = " +
               (g != nullptr ? utf8(ControlCatalogue::globalValueText(id, value)) : juce::String(value));
    }
    if (address == itemFieldValue || (address >= itemFieldMode && address <= itemFieldMaxMsb))
    {
        const int pairs = (m.dataSize() - 8) / 2;
        if (fromTheKeyboard && pairs > 1)
            return verb + juce::String(pairs) + " controls" + dot + fieldText;
        if (m.dataSize() < 10)
            return verb + control + dot + fieldText;
        return verb + control + dot + fieldText + " = " + fieldValueText(address, m.dataByte(9));
    }
    return verb + "address " + decHex(address);
}

juce::String sysExWords(const MonitorLine& line)
{
    const auto* d = line.bytes();
    const int n = line.size();
    switch (line.detail)
    {
    case Detail::unterminatedSysEx:
        return "SysEx without its end, " + juce::String(n) + " bytes";
    case Detail::statusInsideSysEx:
        return "SysEx with a status byte inside, " + juce::String(n) + " bytes";
    case Detail::mmc:
        return utf8(ValueMeaning::ofNumber(modeMmc, 0, line.number)) + ", device " + decHex(d[2]);
    case Detail::identityRequest:
        return "Identity request, device " + decHex(d[2]);
    case Detail::identityReply:
    {
        const juce::MidiMessage m(d, n);
        const auto version = identityVersion(m);
        return "Identity reply from the keyboard" +
               (version.isEmpty() ? juce::String() : ", firmware " + version);
    }
    case Detail::keyboardFrame:
        return keyboardFrameWords(juce::MidiMessage(d, n));
    default:
        break;
    }
    juce::String maker = "maker ";
    if (n > 2 && d[1] == 0x7E)
        maker = "universal non-real-time";
    else if (n > 2 && d[1] == 0x7F)
        maker = "universal real-time";
    else if (n > 4 && d[1] == 0x00)
        maker << "00 " << juce::String::toHexString(d + 2, 2, 1).toUpperCase();
    else if (n > 2)
        maker << juce::String::toHexString(d + 1, 1).toUpperCase();
    else
        maker = "no maker";
    return "SysEx, " + juce::String(n) + " bytes, " + maker;
}

juce::String systemWords(const MonitorLine& line)
{
    const auto* d = line.bytes();
    if (line.detail == Detail::strayData)
        return "Data bytes without a status: " + juce::String(line.size());
    switch (d[0])
    {
    case 0xF1:
        return "MTC quarter frame " + decHex(line.value);
    case 0xF2:
        return "Song position " + juce::String(line.value) + " beats";
    case 0xF3:
        return "Song select " + juce::String(line.value);
    case 0xF6:
        return "Tune request";
    case 0xF7:
        return "End of SysEx alone";
    case 0xF8:
        return "Clock";
    case 0xFA:
        return "Start";
    case 0xFB:
        return "Continue";
    case 0xFC:
        return "Stop";
    case 0xFE:
        return "Active sensing";
    case 0xFF:
        return "Reset";
    default:
        return "Undefined system message " + juce::String::toHexString(d, 1).toUpperCase();
    }
}
} // namespace

//==============================================================================
juce::String MonitorLine::hex() const
{
    return juce::String::toHexString(bytes(), size(), 1).toUpperCase();
}

juce::String MonitorLine::timeText() const
{
    return juce::String(time, 3);
}

const char* MonitorLine::kindName(MonitorKind kind)
{
    switch (kind)
    {
    case MonitorKind::note:
        return "note";
    case MonitorKind::controller:
        return "controller";
    case MonitorKind::parameter:
        return "parameter";
    case MonitorKind::pitchPressure:
        return "pitch/pressure";
    case MonitorKind::program:
        return "program";
    case MonitorKind::sysEx:
        return "sysex";
    case MonitorKind::system:
        return "system";
    case MonitorKind::timing:
        return "timing";
    }
    return "";
}

const char* MonitorLine::directionName(MonitorDirection direction)
{
    return direction == MonitorDirection::fromKeyboard ? "in" : "out";
}

juce::String MonitorLine::words() const
{
    if (size() == 0)
        return "Empty message";
    const auto channelText = ", channel " + juce::String(channel);
    switch (detail)
    {
    case Detail::noteOn:
    case Detail::noteOff:
        return juce::String(detail == Detail::noteOn ? "Note On " : "Note Off ") +
               utf8(ControlCatalogue::noteName(number)) + " " + decHex(number) + ", velocity " +
               decHex(value) + channelText;
    case Detail::polyPressure:
        return "Poly pressure " + utf8(ControlCatalogue::noteName(number)) + " " + decHex(number) + " = " +
               decHex(value) + channelText;
    case Detail::channelPressure:
        return "Channel pressure " + decHex(value) + channelText;
    case Detail::pitchBend:
        return "Pitch bend " + juce::String(value) + " (0x" +
               juce::String::toHexString(value + 8192).paddedLeft('0', 4).toUpperCase() + ")" + channelText;
    case Detail::rpn:
    case Detail::nrpn:
    {
        auto text = juce::String(detail == Detail::rpn ? "RPN 0x" : "NRPN 0x") +
                    juce::String::toHexString(number).paddedLeft('0', 4).toUpperCase() + " = " +
                    juce::String(value) + " (0x" +
                    juce::String::toHexString(value).paddedLeft('0', 4).toUpperCase() + ")";
        if (detail == Detail::rpn && number < 128)
        {
            const auto name = ValueMeaning::ofNumber(modeRpn, 0, number); // "RPN 0, Pitch Bend Sensitivity"
            const auto comma = name.find(", ");
            if (comma != std::string::npos)
                text << dot << utf8(name.substr(comma + 2));
        }
        // The parameter's two bytes as the controllers 99/98 or 101/100 carried them.
        text << ", parameter MSB " << (number >> 7) << " LSB " << (number & 0x7F);
        return text + (fourteenBit ? "" : ", MSB only") + channelText;
    }
    case Detail::sequencePart:
        return "CC " + utf8(ControlCatalogue::controllerNames()[(size_t)number]) + " = " + decHex(value) +
               ", parameter pending" + channelText;
    default:
        break;
    }
    switch (kind)
    {
    case MonitorKind::controller:
        return "CC " + utf8(ControlCatalogue::controllerNames()[(size_t)number]) + " = " + decHex(value) +
               channelText;
    case MonitorKind::program:
    {
        // Counted as the editor counts programs, the byte beside it.
        auto program = utf8(ValueMeaning::ofNumber(modePatchChange, 0, number)); // "program 5"
        return "Program change: " + program + ", byte " + decHex(number) + channelText;
    }
    case MonitorKind::sysEx:
        return sysExWords(*this);
    default:
        return systemWords(*this);
    }
}
