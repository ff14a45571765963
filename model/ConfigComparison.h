#pragma once

#include "SettingsDelta.h"

#include <juce_core/juce_core.h>

#include <vector>

/** How the editor's configuration differs from another one (the keyboard read afresh, a settings file, the
    last saved file), one row per value, in the words of the settings panel.

    What is compared is what the keyboard holds: the five fields of each of its configurable controls and the
    six keyboard-wide values that Send transmits. Names are the editor's alone and never count as a
    difference. A value that one side does not hold (-1 in its field map or keyboard-wide slot: a file that
    leaves it out, a read-out that stopped before it) is a row of its own, never taken as equal. */
class ConfigComparison
{
public:
    static constexpr int globalField = SettingsDelta::globalField;

    /** One value that differs, or that one side does not know; mine or theirs is -1 where unknown. */
    struct Row
    {
        int field, id, mine, theirs;
        juce::String control, fieldLabel, mineText, theirsText;

        bool isUnknown() const { return mine < 0 || theirs < 0; }
        /** "Pad #3 · Channel · 10 · 1". */
        juce::String describe() const;
    };

    ConfigComparison() = default;
    /** Compares mine with theirs; the absent words name a value that a side does not hold. */
    static ConfigComparison between(const SettingsState& mine, const SettingsState& theirs,
                                    const juce::String& mineAbsent = "unknown",
                                    const juce::String& theirsAbsent = "unknown");

    const std::vector<Row>& rows() const { return differences; }
    /** Rows where both sides hold a value and the values differ. */
    int differing() const;
    /** Rows where a side does not hold the value. */
    int unknown() const { return (int)differences.size() - differing(); }
    bool identical() const { return differences.empty(); }
    /** The controls with a value the other side does not hold, in id order. */
    std::vector<int> unknownControls() const;
    /** The controls that have a row, in id order (keyboard-wide values left out). */
    std::vector<int> differingControls() const;

    /** "Identical", "7 values differ", "7 values differ; 3 values not known on both sides". */
    juce::String summary() const;

    /** Sets, in a configuration, the other side's values of the given rows; rows the other side does not
        know are left alone. */
    void takeTheirs(SettingsState& state, const std::vector<size_t>& rowIndices) const;

    /** A state holding nothing: no field values, every keyboard-wide slot unknown. What a file defines or
        a read-out brings is put into one. */
    static SettingsState unknownState();

    /** A value of a field (globalField: a keyboard-wide value) in the panel's words. */
    static juce::String valueText(int field, int id, int value, const juce::String& absentWord = "unknown");

private:
    std::vector<Row> differences;
};
