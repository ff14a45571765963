#pragma once

#include "model/KbdSettingsStore.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/** What the keyboard sends when a control is moved by hand, under a configuration: a knob or fader turned
    through its range (its low end, the middle, its high end), a note key or pad struck and let go, a program
    or transport button pressed, a parameter control set through its RPN or NRPN sequence. On the first
    channel it sends on; nothing for a control that sends nothing. */
namespace EmulatedMove
{
std::vector<juce::MidiMessage> of(const SettingsState& configuration, int id);
}
