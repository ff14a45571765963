#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A box whose list holds numbers in rising order (a number, a value, a channel, a split point). The wheel
    moves it as a number moves: turned up, the number rises. Each notch is one step; a smooth wheel or a
    touchpad steps once per notch's worth of travel. Otherwise the toolkit's box, list and typing unchanged.
 */
class NumberBox : public juce::ComboBox
{
public:
    using juce::ComboBox::ComboBox;

    void mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    float travel = 0.0f; // a smooth wheel's movement not yet taken as a step
};
