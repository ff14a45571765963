#pragma once

#include "MapBinding.h"

#include <vector>

/** Ardour's generic MIDI binding map (.map): a binding per control with a role, on its channel (1..16) and
    controller, note, program or parameter number, to a strip's control of the current bank, a function or
    a menu action. Ardour follows the keyboard's MMC commands by itself, so they need no binding. */
class ArdourMidiMap
{
public:
    static MapText write(const std::vector<MapBinding>& bindings, const juce::String& name);
};
