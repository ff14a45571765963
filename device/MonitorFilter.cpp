#include "MonitorFilter.h"

#include "model/WholeNumber.h"

#include <algorithm>

MonitorFilter::MonitorFilter()
{
    groups.set();
    groups.reset((size_t)Group::timing); // a clock would bury every other line
    channels.set();
    directions.set();
}

MonitorFilter::Group MonitorFilter::groupOf(MonitorKind kind)
{
    switch (kind)
    {
    case MonitorKind::note:
        return Group::notes;
    case MonitorKind::controller:
    case MonitorKind::parameter:
        return Group::controllers;
    case MonitorKind::pitchPressure:
        return Group::pitchPressure;
    case MonitorKind::program:
        return Group::program;
    case MonitorKind::sysEx:
        return Group::sysEx;
    case MonitorKind::system:
        return Group::system;
    case MonitorKind::timing:
        break;
    }
    return Group::timing;
}

namespace
{
struct GroupNames
{
    const char* key;
    const char* label;
};
constexpr GroupNames groupNames[MonitorFilter::groupCount] = {{"notes", "Notes"},
                                                              {"controllers", "Controllers"},
                                                              {"pitch", "Pitch/Pressure"},
                                                              {"program", "Program"},
                                                              {"sysex", "SysEx"},
                                                              {"system", "System"},
                                                              {"timing", "Clock and sensing"}};

/** A channel as a list names it: one or two digits with nothing around them, 1 to 16. */
std::optional<int> channelNumber(const juce::String& text)
{
    if (text.length() > 2 || text != text.trim())
        return std::nullopt;
    return wholeNumber(text, 1, 16);
}
} // namespace

const char* MonitorFilter::groupKey(Group group)
{
    return groupNames[(size_t)group].key;
}

const char* MonitorFilter::groupLabel(Group group)
{
    return groupNames[(size_t)group].label;
}

void MonitorFilter::showChannel(int channel, bool shown)
{
    if (channel >= 1 && channel <= 16)
        channels.set((size_t)channel - 1, shown);
}

bool MonitorFilter::showsChannel(int channel) const
{
    return channel >= 1 && channel <= 16 && channels.test((size_t)channel - 1);
}

bool MonitorFilter::passes(const MonitorLine& line) const
{
    if (!groups.test((size_t)groupOf(line.kind)) || !directions.test((size_t)line.direction))
        return false;
    if (line.channel >= 1 && line.channel <= 16 && !channels.test((size_t)line.channel - 1))
        return false;
    if (!controls)
        return true;
    if (line.controls == nullptr)
        return false;
    return std::any_of(line.controls->ids.begin(), line.controls->ids.end(),
                       [this](int id)
                       { return std::find(controls->begin(), controls->end(), id) != controls->end(); });
}

juce::String MonitorFilter::apply(const juce::String& list, bool hidden)
{
    std::bitset<groupCount> namedGroups;
    std::bitset<16> namedChannels;
    std::bitset<2> namedDirections;
    for (auto word : juce::StringArray::fromTokens(list, ",", {}))
    {
        word = word.trim().toLowerCase();
        bool known = false;
        for (int g = 0; g < groupCount; ++g)
            if (word == groupNames[g].key)
                namedGroups.set((size_t)g), known = true;
        if (word == "from" || word == "to")
            namedDirections.set(word == "from" ? (size_t)MonitorDirection::fromKeyboard
                                               : (size_t)MonitorDirection::toKeyboard),
                known = true;
        if (word.startsWith("ch") && word.length() > 2)
        {
            const auto range = word.substring(2);
            const auto first = channelNumber(range.upToFirstOccurrenceOf("-", false, false));
            const auto last =
                range.contains("-") ? channelNumber(range.fromFirstOccurrenceOf("-", false, false)) : first;
            if (first && last && *first <= *last)
            {
                for (int c = *first; c <= *last; ++c)
                    namedChannels.set((size_t)c - 1);
                known = true;
            }
        }
        if (!known)
            return word.isEmpty() ? juce::String("(an empty word)") : word;
    }
    if (hidden)
    {
        groups &= ~namedGroups;
        channels &= ~namedChannels;
        directions &= ~namedDirections;
    }
    else
    {
        if (namedGroups.any())
            groups = namedGroups;
        if (namedChannels.any())
            channels = namedChannels;
        if (namedDirections.any())
            directions = namedDirections;
    }
    return {};
}
