#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The clickable area over one control of the keyboard picture. It draws only translucent overlays: a
    faint veil with corner brackets under the mouse, a reddish veil when selected. */
class MoxCtrlPickerButton : public juce::Button
{
public:
    MoxCtrlPickerButton();
    ~MoxCtrlPickerButton() override = default;

    void resized() override;
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

    /** The corner marks, top left, bottom left, top right, bottom right; rebuilt on every resize. */
    const juce::Path& cornerMark(int index) const { return marks[(size_t)index]; }

private:
    void drawCornerMarks(juce::Graphics& g) const;

    std::array<juce::Path, 4> marks;       // open: stroked as the dark brackets
    std::array<juce::Path, 4> filledMarks; // the same three points closed: filled as the light triangles

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MoxCtrlPickerButton)
};
