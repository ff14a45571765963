#pragma once

#include "SettingsDelta.h"

#include <optional>
#include <vector>

/** One change made to many controls at once: a field set to one value, a control's settings pasted, or a
    number series. A control that cannot take a value (a mode outside its mode set, a value outside the
    field's range) is skipped and named in the outcome; nothing outside the keyboard's ranges is written. */
class BatchEdit
{
public:
    /** The controls changed, in the picture's reading order (a series follows it). */
    explicit BatchEdit(std::vector<int> controls);

    /** What a change does: the values it writes, for EditHistory::applyUserWrites, and what they mean. */
    struct Outcome
    {
        std::vector<int> changed; // take the value (also when they hold it already)
        std::vector<int> skipped; // cannot take it
        std::vector<int> clipped; // a series value kept within the range
        std::vector<SettingsWrite> writes;
    };

    /** The value every control holds in a field, or nothing when they differ. */
    std::optional<int> sharedValue(const SettingsState& state, int field) const;
    /** Whether any of the controls may take a mode. */
    bool anyAllowsMode(int mode) const;
    /** Whether a control may hold a value in a field (1..5). */
    static bool takes(int id, int field, int value);

    /** Sets a field of every control that takes the value. What a change writes depends on the controls
        and the values only, never on what they hold: no configuration is needed to make it. */
    Outcome set(int field, int value) const;

    /** A control's five fields, as copied; nothing for a control without all five in range. */
    static std::optional<ItemConfig> copy(const SettingsState& state, int id);
    /** Gives every control that takes all five fields the copied settings; the names stay. */
    Outcome paste(const ItemConfig& settings) const;

    /** Numbers (the number field) or MIDI channels 1..16 (the channel field, stored as 0..15) from start,
        step apart, in order; a value past the range is kept at its end and counted as clipped. */
    Outcome series(int field, int start, int step) const;

    const std::vector<int>& controls() const { return ids; }

private:
    std::vector<int> ids;
    std::vector<bool> configurable; // of each control, in the order of ids: asked once, not at every change
};
