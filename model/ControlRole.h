#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

/** What a control does in a DAW, from a short vocabulary the DAW maps share: a mixer strip's volume, pan,
    mute, solo, record arm or sends, a parameter of the selected plugin, a transport button, track and bank
    steps, a marker, undo; or nothing. Numbered actions name their strip or parameter, from 1. */
struct ControlRole
{
    enum class Action
    {
        none,
        trackVolume,
        trackPan,
        mute,
        solo,
        recordArm,
        sendA,
        sendB,
        deviceParameter,
        play,
        stop,
        record,
        loop,
        rewind,
        forward,
        previousTrack,
        nextTrack,
        previousBank,
        nextBank,
        marker,
        undo
    };

    Action action = Action::none;
    int index = 0; // 1.. for numbered actions, 0 otherwise

    /** The highest number a numbered action takes. */
    static constexpr int maxIndex = 128;

    /** True for the actions that name a strip or a parameter by number. */
    static bool isNumbered(Action action);
    /** An action's name for a menu: "Track volume", "Play", "None". */
    static juce::String actionName(Action action);
    /** Every action, none first, in menu order. */
    static const std::vector<Action>& allActions();

    /** The role in words: "Track volume 3", "Play"; empty for none. */
    juce::String name() const;
    /** Stable text for files and the tool: "track-volume:3", "play", "none". */
    juce::String key() const;
    /** The role a key names; nothing for an unknown action, a numbered action without its number or with
        one outside 1..maxIndex, or a number on an action that takes none. */
    static std::optional<ControlRole> fromKey(const juce::String& key);

    bool operator==(const ControlRole& o) const { return action == o.action && index == o.index; }
    bool operator!=(const ControlRole& o) const { return !(*this == o); }
};
