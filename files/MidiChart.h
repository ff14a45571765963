#pragma once

#include "SettingsFile.h"

#include <array>
#include <vector>

/** The chart's table: a heading row, then one row per charted control with its name, mode, channel, number,
    minimum and maximum, in id order. The chart and 'quillet show' both print these. */
std::vector<std::array<juce::String, 6>> assignmentRows(const SettingsState& state);

/** Builds the HTML chart of every visible control's assignment. */
std::unique_ptr<juce::XmlElement> createMidiChartXml(const SettingsState& state);

/** Writes the chart of the store's configuration as an HTML page. */
FileWriteResult writeMidiChart(const KbdSettingsStore& store, const juce::File& file,
                               ReadOnlyFiles readOnly = ReadOnlyFiles::refuse);

/** True for the controls the chart lists: every id but the hidden block 0x20..0x2F. */
inline bool isChartedItem(int id)
{
    return (id & 0xF0) != 0x20;
}
