#pragma once

#include "model/KbdSettingsStore.h"

#include <juce_core/juce_core.h>

/** A control's mode and number in the panel's words, "Mode: Control, CC number: 7 - Channel Volume", for
    screen readers; a field the store does not hold is left out. */
juce::String describeControlSetting(const SettingsState& state, int itemId);
