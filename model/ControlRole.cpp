#include "ControlRole.h"

namespace
{
using A = ControlRole::Action;

struct ActionInfo
{
    A action;
    const char* key;
    const char* name;
    bool numbered;
};

// The vocabulary, in menu order: the key files and the tool use, the name a menu shows.
constexpr ActionInfo actionTable[] = {
    {A::none, "none", "None", false},
    {A::trackVolume, "track-volume", "Track volume", true},
    {A::trackPan, "track-pan", "Track pan", true},
    {A::mute, "mute", "Mute", true},
    {A::solo, "solo", "Solo", true},
    {A::recordArm, "record-arm", "Record arm", true},
    {A::sendA, "send-a", "Send A", true},
    {A::sendB, "send-b", "Send B", true},
    {A::deviceParameter, "device-parameter", "Device parameter", true},
    {A::play, "play", "Play", false},
    {A::stop, "stop", "Stop", false},
    {A::record, "record", "Record", false},
    {A::loop, "loop", "Loop", false},
    {A::rewind, "rewind", "Rewind", false},
    {A::forward, "forward", "Forward", false},
    {A::previousTrack, "previous-track", "Previous track", false},
    {A::nextTrack, "next-track", "Next track", false},
    {A::previousBank, "previous-bank", "Previous bank", false},
    {A::nextBank, "next-bank", "Next bank", false},
    {A::marker, "marker", "Marker", false},
    {A::undo, "undo", "Undo", false},
};

const ActionInfo& infoOf(A action)
{
    for (const auto& i : actionTable)
        if (i.action == action)
            return i;
    return actionTable[0];
}
} // namespace

bool ControlRole::isNumbered(Action action)
{
    return infoOf(action).numbered;
}

juce::String ControlRole::actionName(Action action)
{
    return infoOf(action).name;
}

const std::vector<ControlRole::Action>& ControlRole::allActions()
{
    static const std::vector<Action> all = []
    {
        std::vector<Action> list;
        for (const auto& i : actionTable)
            list.push_back(i.action);
        return list;
    }();
    return all;
}

juce::String ControlRole::name() const
{
    if (action == Action::none)
        return {};
    return isNumbered(action) ? actionName(action) + " " + juce::String(index) : actionName(action);
}

juce::String ControlRole::key() const
{
    const juce::String word = infoOf(action).key;
    return isNumbered(action) ? word + ":" + juce::String(index) : word;
}

std::optional<ControlRole> ControlRole::fromKey(const juce::String& key)
{
    const auto word = key.upToFirstOccurrenceOf(":", false, false);
    const bool hasNumber = key.containsChar(':');
    const auto number = key.fromFirstOccurrenceOf(":", false, false);
    for (const auto& i : actionTable)
    {
        if (word != i.key)
            continue;
        if (!i.numbered)
            return hasNumber ? std::nullopt : std::optional<ControlRole>(ControlRole{i.action, 0});
        // Digits only, and few of them: the toolkit's reading wraps long numbers round to small ones.
        if (number.isEmpty() || number.length() > 3 || !number.containsOnly("0123456789"))
            return std::nullopt;
        const int n = number.getIntValue();
        if (n < 1 || n > maxIndex)
            return std::nullopt;
        return ControlRole{i.action, n};
    }
    return std::nullopt;
}
