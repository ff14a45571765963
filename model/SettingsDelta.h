#pragma once

#include "KbdSettingsStore.h"

#include <algorithm>

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
    /** Applies the change (forward) or takes it back. */
    void apply(SettingsState& state, bool forward) const;
    /** One delta doing this, then next. */
    SettingsDelta followedBy(const SettingsDelta& next) const;
};
