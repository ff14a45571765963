#pragma once

#include "MapBinding.h"

#include <vector>

/** Ableton Live's user remote script (UserConfiguration.txt, in a folder named for the setup): eight
    device encoders and eight volume sliders each on its own channel (0..15), the sends, arm, bank and
    transport buttons on the global channel, controllers only (0..127), -1 where nothing is assigned. */
class AbletonUserMap
{
public:
    static MapText write(const std::vector<MapBinding>& bindings, const juce::String& name);
    /** The file's name, as Live looks for it in a script's folder. */
    static constexpr const char* fileName = "UserConfiguration.txt";
};
