#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <utility>

/** The clickable area over one control of the keyboard picture. It draws only translucent overlays: a
    faint veil with corner brackets under the mouse, a reddish veil when selected. */
class MoxCtrlPickerButton : public juce::Button
{
public:
    /** The colours a control's button paints over the picture. */
    enum ColourIds
    {
        cornerFillColourId = 0x7e00501,      ///< The inside of the corner marks of a control under the mouse.
        cornerLineColourId = 0x7e00502,      ///< The line of the corner marks.
        downColourId = 0x7e00503,            ///< The veil of a control pressed.
        overColourId = 0x7e00504,            ///< The veil of a control under the mouse.
        selectedTouchedColourId = 0x7e00505, ///< The veil of the selected control pressed or under the mouse.
        inSelectionEdgeColourId = 0x7e00506  ///< The edge of a control that is one of several selected.
    };

    MoxCtrlPickerButton();
    ~MoxCtrlPickerButton() override = default;

    void resized() override;
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

    /** The corner marks, top left, bottom left, top right, bottom right; rebuilt on every resize. */
    const juce::Path& cornerMark(int index) const { return marks[(size_t)index]; }

    /** The keys are the picture's: it moves between the controls and decides what Enter does. */
    bool keyPressed(const juce::KeyPress&) override { return false; }
    /** The picture draws the keyboard's frame around the focused control, just outside it: where it comes
        and goes is drawn again. */
    void focusGained(FocusChangeType) override { repaintFrame(); }
    void focusLost(FocusChangeType) override { repaintFrame(); }

    /** A button for screen readers, named by its title, with what the control is set to as its value and
        the tooltip as its help; pressing it clicks it. */
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    /** The modifier keys of the last click, taken once: Ctrl and Shift clicks select many controls. */
    juce::ModifierKeys takeClickModifiers() { return std::exchange(clickModifiers, {}); }
    /** Marks the control as one of several selected beside the one turned on. */
    void setInSelection(bool inSelection);
    bool isInSelection() const { return inSelection; }

    /** Called when the button is turned on or off, also without a notification (the radio group). */
    std::function<void()> onSelectionChange;
    /** What the control is set to, in words, asked for when a screen reader reads it. */
    std::function<juce::String()> describeValue;

protected:
    void buttonStateChanged() override;
    void clicked(const juce::ModifierKeys& modifiers) override { clickModifiers = modifiers; }

private:
    void repaintFrame()
    {
        if (auto* picture = getParentComponent())
            picture->repaint(getBounds().expanded(5));
    }

    void drawCornerMarks(juce::Graphics& g) const;

    bool wasOn = false, inSelection = false;
    juce::ModifierKeys clickModifiers;

    std::array<juce::Path, 4> marks;       // open: stroked as the dark brackets
    std::array<juce::Path, 4> filledMarks; // the same three points closed: filled as the light triangles

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MoxCtrlPickerButton)
};
