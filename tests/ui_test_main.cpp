#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// The components need the toolkit's message manager and fonts, but no display.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
