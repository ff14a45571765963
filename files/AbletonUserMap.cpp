#include "AbletonUserMap.h"

#include <map>

namespace
{
using A = ControlRole::Action;

/** The file's keys in its own order, by section; a key with a number is written for 1 to 8. */
const std::vector<std::pair<const char*, std::vector<const char*>>> layout = {
    {"Globals", {"GlobalChannel", "InputName", "OutputName", "Pad#Note", "Pad#Channel"}},
    {"DeviceControls",
     {"Encoder#", "EncoderChannel#", "EncoderMapMode", "Bank#Button", "NextBankButton", "PrevBankButton",
      "LockButton"}},
    {"MixerControls",
     {"VolumeSlider#", "Slider#Channel", "MasterVolumeSlider", "MasterSliderChannel", "Send1Knob#",
      "Send2Knob#", "TrackArmButton#", "VolumeMapMode", "SendsMapMode"}},
    {"TransportControls", {"StopButton", "PlayButton", "RecButton", "LoopButton", "RwdButton", "FfwdButton"}},
};

/** Where a role goes: its key, with its own channel key when it has one (the others are on the global
    channel); nothing for a role the file has no place for. */
struct Place
{
    juce::String key, channelKey;
};

std::optional<Place> placeOf(const ControlRole& role)
{
    const auto n = juce::String(role.index);
    switch (role.action)
    {
    case A::deviceParameter:
        return Place{"Encoder" + n, "EncoderChannel" + n};
    case A::trackVolume:
        return Place{"VolumeSlider" + n, "Slider" + n + "Channel"};
    case A::sendA:
        return Place{"Send1Knob" + n, {}};
    case A::sendB:
        return Place{"Send2Knob" + n, {}};
    case A::recordArm:
        return Place{"TrackArmButton" + n, {}};
    case A::play:
        return Place{"PlayButton", {}};
    case A::stop:
        return Place{"StopButton", {}};
    case A::record:
        return Place{"RecButton", {}};
    case A::loop:
        return Place{"LoopButton", {}};
    case A::rewind:
        return Place{"RwdButton", {}};
    case A::forward:
        return Place{"FfwdButton", {}};
    case A::previousBank:
        return Place{"PrevBankButton", {}};
    case A::nextBank:
        return Place{"NextBankButton", {}};
    default:
        return std::nullopt;
    }
}
} // namespace

MapText AbletonUserMap::write(const std::vector<MapBinding>& bindings, const juce::String& name)
{
    MapText map;
    struct Placed
    {
        const MapBinding* binding;
        Place place;
    };
    std::vector<Placed> usable;
    for (const auto& b : bindings)
    {
        const auto place = placeOf(b.role);
        if (b.sent.kind != SentMessage::Kind::controller)
            map.warnings.add(b.control + ": Live's user map takes controllers only; " + b.role.name() +
                             " is left out");
        else if (!place || (ControlRole::isNumbered(b.role.action) && b.role.index > 8))
            map.warnings.add(b.control + ": Live's user map has no place for " + b.role.name() +
                             "; left out");
        else
            usable.push_back({&b, *place});
    }

    // The global channel is the one most of the controls without a channel of their own send on.
    std::map<int, int> counts;
    for (const auto& [b, place] : usable)
        if (place.channelKey.isEmpty())
            ++counts[b->channel()];
    int global = usable.empty() ? 0 : usable.front().binding->channel(), most = 0;
    for (const auto& [channel, count] : counts)
        if (count > most)
        {
            most = count;
            global = channel;
        }

    std::map<juce::String, juce::String> values{
        {"GlobalChannel", juce::String(global)}, {"InputName", "Quillet 49"},   {"OutputName", "Quillet 49"},
        {"EncoderMapMode", "Absolute"},          {"VolumeMapMode", "Absolute"}, {"SendsMapMode", "Absolute"}};
    for (const auto& [b, place] : usable)
    {
        if (values.count(place.key) != 0)
            map.warnings.add(b->control + ": " + b->role.name() +
                             " is given to another control already; left out");
        else if (place.channelKey.isEmpty() && b->channel() != global)
            map.warnings.add(b->control + ": Live takes " + b->role.name() + " on the global channel " +
                             juce::String(global + 1) + " only; left out");
        else
        {
            values[place.key] = juce::String(b->sent.number);
            if (place.channelKey.isNotEmpty())
                values[place.channelKey] = juce::String(b->channel());
        }
    }

    juce::String out;
    out << "# Live's user remote script for " << name
        << ", written by the Morvane Quillet MIDI Control Center.\n"
        << "# Controllers and notes count from 0 to 127, channels from 0 to 15; -1 is not assigned.\n";
    for (const auto& [section, keys] : layout)
    {
        out << "\n[" << section << "]\n";
        for (const juce::String key : keys)
            for (int n = 1; n <= (key.containsChar('#') ? (key.startsWith("Pad") ? 16 : 8) : 1); ++n)
            {
                const auto k = key.replace("#", juce::String(n));
                const auto v = values.find(k);
                out << k << ": " << (v != values.end() ? v->second : juce::String("-1")) << "\n";
            }
    }
    map.text = out.toStdString();
    return map;
}
