#pragma once

#include "SettingsFile.h"

#include <array>
#include <vector>

/** The chart's table: a heading row, then one row per charted control with its name, mode, channel, number,
    minimum and maximum, in id order. The name is the control's own, with the user's name for it in
    parentheses when there is one; the number carries its meaning in the control's mode where it has one
    ("36 - C1 · Bass Drum 1"). The chart and 'quillet show' both print these. */
std::vector<std::array<juce::String, 6>> assignmentRows(const SettingsState& state);

/** The keyboard-wide values Send transmits, one (label, value in words) pair each, in the keyboard's order.
    The chart and 'quillet show' both print these. */
std::vector<std::array<juce::String, 2>> keyboardWideRows(const SettingsState& state);

/** Builds the HTML chart: every visible control's assignment, then the keyboard-wide values, with a style
    for printing it. */
std::unique_ptr<juce::XmlElement> createMidiChartXml(const SettingsState& state);

/** Writes the chart of the store's configuration as an HTML page. */
FileWriteResult writeMidiChart(const KbdSettingsStore& store, const juce::File& file,
                               ReadOnlyFiles readOnly = ReadOnlyFiles::refuse);

/** True for the controls the chart lists: every id but the hidden block 0x20..0x2F. */
inline bool isChartedItem(int id)
{
    return (id & 0xF0) != 0x20;
}
