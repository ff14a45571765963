#pragma once

#include "KbdSettingsStore.h"

#include <algorithm>

/** One value a change sets: field 1..5 of a control, or SettingsDelta::globalField for a keyboard-wide slot;
    the value is never "absent". */
struct SettingsWrite
{
    int field, id, value;
};

/** What one change did to a configuration: each value and name it changed, before and after. Applying it
    touches only those, so undoing an edit never undoes what the keyboard reported in between. */
struct SettingsDelta
{
    /** Field 1..5 of a control, or globalField for a keyboard-wide slot; -1 stands for "absent". */
    struct Value
    {
        int field, id, before, after;
    };
    struct Name
    {
        int id;
        std::optional<std::string> before, after;
    };
    static constexpr int globalField = 0x40;

    std::vector<Value> values;
    std::vector<Name> names;

    bool empty() const { return values.empty() && names.empty(); }
    static SettingsDelta between(const SettingsState& before, const SettingsState& after);
    /** Makes the writes on state, in order, and returns what they changed: a value written as it was is
        not in it. Only the values written are looked at, so the state is neither copied nor compared. */
    static SettingsDelta write(SettingsState& state, const std::vector<SettingsWrite>& writes);
    /** Whether writing them would change state: false when every value is already as written. */
    static bool changes(const SettingsState& state, const std::vector<SettingsWrite>& writes);
    /** Applies the change (forward) or takes it back. */
    void apply(SettingsState& state, bool forward) const;
    /** One delta doing this, then next. */
    SettingsDelta followedBy(const SettingsDelta& next) const;
};
