#pragma once

#include "model/ConfigComparison.h"

#include <set>

// A settings file that differs from the keyboard in seven known places: five fields of five controls and two
// keyboard-wide values, each to a value no factory setting has.

/** The seven values (field, control), keyboard-wide ones under ConfigComparison::globalField. */
inline std::set<std::pair<int, int>> sevenChangedValues()
{
    return {{itemFieldChannel, 0x70},
            {itemFieldNumber, 0x01},
            {itemFieldMode, 0x50},
            {itemFieldMinLsb, 0x12},
            {itemFieldMaxMsb, 0x0B},
            {ConfigComparison::globalField, globalSplitPoint},
            {ConfigComparison::globalField, globalLowerChannel}};
}

/** The keyboard's configuration with those seven values changed. */
inline SettingsState withSevenChanges(SettingsState s)
{
    s.set(itemFieldChannel, 0x70, 3);
    s.set(itemFieldNumber, 0x01, 20);
    s.set(itemFieldMode, 0x50, modeNoteToggle);
    s.set(itemFieldMinLsb, 0x12, 10);
    s.set(itemFieldMaxMsb, 0x0B, 99);
    s.globals[globalSplitPoint] = 48;
    s.globals[globalLowerChannel] = 4;
    return s;
}
