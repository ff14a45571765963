#pragma once

#include "MapBinding.h"

#include <vector>

/** A ReaLearn controller preset (JSON): a mapping per control from its MIDI source (channel 0..15,
    controller, note or (N)RPN number, fader or button character) to a virtual control element named by
    its role in ReaLearn's DAW vocabulary (ch1/fader, play, bank-left...), or numbered for the device
    parameters, so that any main preset built on those names works with the keyboard. */
class ReaLearnPreset
{
public:
    static MapText write(const std::vector<MapBinding>& bindings, const juce::String& name);
};
