#pragma once

#include "MonitorLine.h"

#include <bitset>
#include <optional>
#include <vector>

/** Which monitor lines are shown: by kind, by channel, by direction, and only those of chosen controls.
    Clock and active sensing are hidden until asked for. Channels filter the channel messages only: a message
    of no channel (SysEx, system) is shown by its kind. The lines hidden are still kept; a filter changes what
    is shown, never what is recorded. */
class MonitorFilter
{
public:
    /** The kinds a user chooses between; a parameter line counts as a controller. */
    enum class Group
    {
        notes,
        controllers,
        pitchPressure,
        program,
        sysEx,
        system,
        timing
    };
    static constexpr int groupCount = (int)Group::timing + 1;
    static Group groupOf(MonitorKind kind);
    /** "notes", "controllers", "pitch", "program", "sysex", "system", "timing". */
    static const char* groupKey(Group group);
    /** "Notes", "Controllers", "Pitch/Pressure", "Program", "SysEx", "System", "Clock and sensing". */
    static const char* groupLabel(Group group);

    MonitorFilter();

    bool passes(const MonitorLine& line) const;

    void show(Group group, bool shown) { groups.set((size_t)group, shown); }
    bool shows(Group group) const { return groups.test((size_t)group); }
    /** channel 1..16. */
    void showChannel(int channel, bool shown);
    bool showsChannel(int channel) const;
    bool showsEveryChannel() const { return channels.all(); }
    void show(MonitorDirection direction, bool shown) { directions.set((size_t)direction, shown); }
    bool shows(MonitorDirection direction) const { return directions.test((size_t)direction); }
    /** Only the lines naming one of these controls; nullopt for every line. */
    void onlyControls(std::optional<std::vector<int>> ids) { controls = std::move(ids); }
    bool isOnlyControls() const { return controls.has_value(); }

    /** Applies a list such as "notes,ch10,to" as the tool's --hide (hidden: true) or --only (hidden: false)
        takes it: kinds, channels ("ch10", "ch1-4") and directions ("from", "to"). For --only, each part of
       the list that is named replaces what is shown of that part; the others stay. The first word it does not
        know, or nothing. */
    juce::String apply(const juce::String& list, bool hidden);

private:
    std::bitset<groupCount> groups;
    std::bitset<16> channels;
    std::bitset<2> directions;
    std::optional<std::vector<int>> controls;
};
