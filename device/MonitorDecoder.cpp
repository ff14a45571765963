#include "MonitorDecoder.h"

#include "SysExCodec.h"
#include "model/SentMessage.h"

#include <algorithm>
#include <cstring>

namespace
{
using Detail = MonitorLine::Detail;

juce::String utf8(const std::string& s)
{
    return juce::String(juce::CharPointer_UTF8(s.c_str()));
}

bool isRealtime(juce::uint8 b)
{
    return b >= 0xF8;
}

/** Data bytes after a status byte; -1 for SysEx, whose length its end decides. */
int dataLengthOf(juce::uint8 status)
{
    if (status < 0xF0)
        return (status & 0xE0) == 0xC0 ? 1 : 2; // program change and channel pressure carry one
    switch (status)
    {
    case 0xF0:
        return -1;
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    default:
        return 0;
    }
}

/** The message kind a mode sends, or nothing for a mode that sends none the monitor can name. */
bool kindOfMode(int mode, MonitorKind& kind)
{
    using Kind = SentMessage::Kind;
    switch (SentMessage::kindOfMode(mode))
    {
    case Kind::controller:
        kind = MonitorKind::controller;
        return true;
    case Kind::rpn:
    case Kind::nrpn:
        kind = MonitorKind::parameter;
        return true;
    case Kind::note:
        kind = MonitorKind::note;
        return true;
    case Kind::program:
        kind = MonitorKind::program;
        return true;
    case Kind::mmc:
        kind = MonitorKind::sysEx;
        return true;
    default:
        return false;
    }
}

juce::String controlName(const SettingsState& s, int id)
{
    auto name = utf8(ControlCatalogue::messageName(id));
    const auto user = s.names.find(id);
    if (user != s.names.end() && !user->second.empty())
        name << " (" << utf8(user->second) << ")";
    return name;
}

// The NRPN parameter is kept apart from the RPN one in the table: the same number names two parameters.
constexpr int nrpnOffset = 0x4000;
} // namespace

//==============================================================================
MonitorDecoder::MonitorDecoder() : MonitorDecoder(SettingsState()) {}

MonitorDecoder::MonitorDecoder(const SettingsState& configuration)
{
    setConfiguration(configuration);
}

void MonitorDecoder::setConfiguration(const SettingsState& s)
{
    std::unordered_map<juce::uint32, std::vector<int>> ids;
    for (const auto& [id, number] : s.numbers())
    {
        const int mode = s.get(itemFieldMode, id);
        MonitorKind kind = MonitorKind::system;
        if (!kindOfMode(mode, kind) || number < 0 || number > 127)
            continue;
        const int tableNumber = mode == modeNrpn ? number + nrpnOffset : number;
        if (mode == modeMmc) // addressed to a device, not a channel
            ids[key(kind, 0, tableNumber)].push_back(id);
        else
            for (int c : SentMessage::channelsOf(s.get(itemFieldChannel, id), s))
                ids[key(kind, c + 1, tableNumber)].push_back(id);
    }
    // The pitch wheel has no configuration: every bend is the pitch wheel's, as the manager takes it.
    constexpr int pitchWheel = 0x41; // the id the manager's PitchWheelMoved carries
    if (ControlCatalogue::find(pitchWheel) != nullptr)
        for (int c : SentMessage::channelsOf(channelAll, s))
            ids[key(MonitorKind::pitchPressure, c + 1, 0)].push_back(pitchWheel);

    flatIndex.assign((size_t)(flatKinds * flatChannels * 128), 0);
    groups.clear();
    parameterAssignments.clear();
    for (auto& [k, list] : ids)
    {
        auto controls = std::make_shared<MonitorControls>();
        std::sort(list.begin(), list.end());
        controls->ids = list;
        juce::StringArray names;
        for (int id : list)
            names.add(controlName(s, id));
        controls->names = names.joinIntoString(", ");
        const int number = (int)(k & 0xFFFF), channel = (int)((k >> 16) & 0x1F), kind = (int)(k >> 24);
        if (kind != (int)MonitorKind::parameter && number < 128 && channel < flatChannels)
        {
            groups.push_back(std::move(controls));
            flatIndex[(size_t)((kind * flatChannels + channel) * 128 + number)] = (juce::uint16)groups.size();
        }
        else
        {
            parameterAssignments.emplace(k, std::move(controls));
        }
    }
}

void MonitorDecoder::reset()
{
    rpnDetector.reset();
}

const std::shared_ptr<const MonitorControls>& MonitorDecoder::controlsFor(MonitorKind kind, int channel,
                                                                          int number) const
{
    static const std::shared_ptr<const MonitorControls> none;
    if (kind != MonitorKind::parameter)
    {
        if (channel < 0 || channel >= flatChannels || number < 0 || number >= 128)
            return none;
        const int at = flatIndex[(size_t)(((int)kind * flatChannels + channel) * 128 + number)];
        return at > 0 ? groups[(size_t)at - 1] : none;
    }
    const auto it = parameterAssignments.find(key(kind, channel, number));
    return it != parameterAssignments.end() ? it->second : none;
}

void MonitorDecoder::setControls(MonitorLine& line, const std::shared_ptr<const MonitorControls>& controls)
{
    // A line reused for the same controls as before is left alone: no count to change on the shared group.
    if (line.controls != controls)
        line.controls = controls;
}

MonitorLine MonitorDecoder::decode(double time, MonitorDirection direction, const juce::MidiMessage& message)
{
    return decode(time, direction, message.getRawData(), message.getRawDataSize());
}

MonitorLine MonitorDecoder::decode(double time, MonitorDirection direction, const juce::uint8* data, int size)
{
    MonitorLine line;
    decodeInto(line, time, direction, data, size);
    return line;
}

void MonitorDecoder::decodeInto(MonitorLine& line, double time, MonitorDirection direction,
                                const juce::uint8* data, int size)
{
    line.time = time;
    line.direction = direction;
    line.kind = MonitorKind::system;
    line.detail = Detail::plain;
    line.fourteenBit = false;
    line.channel = line.number = line.value = 0;
    if (data == nullptr || size <= 0)
    {
        line.setBytes(nullptr, 0);
        line.controls.reset();
        return;
    }
    line.setBytes(data, size);
    const auto status = data[0];
    if (status < 0x80)
    {
        line.detail = Detail::strayData;
        line.controls.reset();
        return;
    }
    if (status < 0xF0)
    {
        decodeChannelMessage(line, data, size);
        return;
    }
    if (status == 0xF0)
    {
        line.kind = MonitorKind::sysEx;
        decodeSysEx(line, data, size);
        return;
    }
    line.kind = status == 0xF8 || status == 0xFE ? MonitorKind::timing : MonitorKind::system;
    const auto byteAt = [data, size](int i)
    {
        return i < size ? data[i] & 0x7F : 0;
    };
    line.controls.reset();
    if (status == 0xF1 || status == 0xF3)
        line.value = byteAt(1);
    else if (status == 0xF2)
        line.value = byteAt(1) | (byteAt(2) << 7);
}

void MonitorDecoder::decodeChannelMessage(MonitorLine& line, const juce::uint8* data, int size)
{
    // A short message reads its missing data bytes as 0; a data byte is read without its top bit.
    const auto byteAt = [data, size](int i)
    {
        return i < size ? data[i] & 0x7F : 0;
    };
    const int type = data[0] & 0xF0;
    line.channel = (data[0] & 0x0F) + 1;
    line.number = byteAt(1);
    line.value = byteAt(2);
    switch (type)
    {
    case 0x80:
    case 0x90:
        line.kind = MonitorKind::note;
        // A note-on of velocity 0 is a note-off, as the MIDI standard has it.
        line.detail = type == 0x90 && line.value > 0 ? Detail::noteOn : Detail::noteOff;
        break;
    case 0xA0:
        line.kind = MonitorKind::pitchPressure;
        line.detail = Detail::polyPressure;
        line.controls.reset(); // no control sends it
        return;
    case 0xB0:
    {
        line.kind = MonitorKind::controller;
        juce::MidiRPNMessage rpn{};
        if (rpnDetector.parseControllerMessage(line.channel, line.number, line.value, rpn))
        {
            line.kind = MonitorKind::parameter;
            line.detail = rpn.isNRPN ? Detail::nrpn : Detail::rpn;
            line.fourteenBit = rpn.is14BitValue;
            line.number = rpn.parameterNumber;
            line.value = rpn.value;
            setControls(line,
                        controlsFor(MonitorKind::parameter, line.channel,
                                    rpn.isNRPN ? rpn.parameterNumber + nrpnOffset : rpn.parameterNumber));
            return;
        }
        if (line.number == 98 || line.number == 99 || line.number == 100 || line.number == 101 ||
            line.number == 38)
            line.detail = Detail::sequencePart;
        break;
    }
    case 0xC0:
        line.kind = MonitorKind::program;
        line.value = 0;
        break;
    case 0xD0:
        line.kind = MonitorKind::pitchPressure;
        line.detail = Detail::channelPressure;
        line.value = line.number;
        line.number = 0;
        line.controls.reset();
        return;
    default: // 0xE0
        line.kind = MonitorKind::pitchPressure;
        line.detail = Detail::pitchBend;
        line.value = (byteAt(1) | (byteAt(2) << 7)) - 8192;
        line.number = 0;
        break;
    }
    setControls(line, controlsFor(line.kind, line.channel, line.number));
}

void MonitorDecoder::decodeSysEx(MonitorLine& line, const juce::uint8* data, int size) const
{
    line.controls.reset(); // but for an MMC command
    const bool terminated = size >= 2 && data[size - 1] == OrvSysEx::sysExEnd;
    const int innerEnd = terminated ? size - 1 : size;
    if (std::any_of(data + 1, data + innerEnd, [](juce::uint8 b) { return b >= 0x80; }))
    {
        line.detail = Detail::statusInsideSysEx;
        return;
    }
    if (!terminated)
    {
        line.detail = Detail::unterminatedSysEx;
        return;
    }
    line.detail = Detail::otherSysEx;
    const int n = size - 2; // between F0 and F7
    const auto* d = data + 1;
    // MMC: F0 7F <device> 06 <command> F7.
    if (n == 4 && d[0] == 0x7F && d[2] == 0x06)
    {
        line.detail = Detail::mmc;
        line.number = d[3];
        line.controls = controlsFor(MonitorKind::sysEx, 0, line.number);
        return;
    }
    // Identity request: F0 7E <device> 06 01 F7.
    if (n == 4 && d[0] == 0x7E && d[2] == 0x06 && d[3] == 0x01)
    {
        line.detail = Detail::identityRequest;
        return;
    }
    if (d[0] == 0x7E && isIdentityReply(juce::MidiMessage(data, size))) // universal non-real-time only
        line.detail = Detail::identityReply;
    else if (n >= 6 && std::equal(OrvSysEx::manufacturer, OrvSysEx::manufacturer + 3, d) &&
             (d[3] == OrvSysEx::fromEditor || d[3] == OrvSysEx::fromKeyboard) && d[4] == OrvSysEx::model)
        line.detail = Detail::keyboardFrame;
}

//==============================================================================
std::vector<std::vector<juce::uint8>> MonitorDecoder::splitStream(const juce::uint8* data, int size)
{
    std::vector<std::vector<juce::uint8>> messages;
    std::vector<juce::uint8> current;
    juce::uint8 runningStatus = 0;
    int needed = 0;        // data bytes the current channel or common message still wants
    bool inSysEx = false;  // current holds a SysEx begun and not ended
    bool strayRun = false; // current holds data bytes with no status
    const auto finish = [&]
    {
        if (!current.empty())
            messages.push_back(current);
        current.clear();
        inSysEx = strayRun = false;
        needed = 0;
    };
    for (int i = 0; i < (data != nullptr ? size : 0); ++i)
    {
        const auto b = data[i];
        if (isRealtime(b))
        {
            messages.push_back({b}); // a real-time byte may come anywhere and interrupts nothing
            continue;
        }
        if (b >= 0x80)
        {
            if (inSysEx && b == OrvSysEx::sysExEnd)
            {
                current.push_back(b);
                finish();
                continue;
            }
            finish(); // another status ends whatever was open, a SysEx included, cut short
            current.push_back(b);
            needed = dataLengthOf(b);
            inSysEx = b == OrvSysEx::sysExStart;
            runningStatus = b < 0xF0 ? b : 0; // system common messages cancel running status
            if (needed == 0)
                finish();
            continue;
        }
        if (inSysEx || strayRun)
        {
            current.push_back(b);
            continue;
        }
        if (needed > 0)
        {
            current.push_back(b);
            if (--needed == 0)
                finish();
            continue;
        }
        if (runningStatus != 0)
        {
            current = {runningStatus, b};
            needed = dataLengthOf(runningStatus) - 1;
            if (needed == 0)
                finish();
            continue;
        }
        current.push_back(b);
        strayRun = true;
    }
    finish();
    return messages;
}
