#pragma once

#include "QMV49CtrlPickerComponent.h"

/** Moves the keyboard between the picture and the settings beside it: Enter on a control of the picture
    selects it, as a click does (many controls selected stay so), and goes on to the first box of its
    settings; Escape in any of the panel's boxes goes back to the picture's selected control. In a window
    where nothing has the keyboard yet (no click made, no window manager's choice), the first of these keys,
    Tab or an arrow brings it to the picture. */
class PickerFocus : public juce::KeyListener
{
public:
    /** The panel holds the picture and the boxes; firstBox is where Enter leads. */
    PickerFocus(QMV49CtrlPickerComponent& picker, juce::Component& panel, juce::Component& firstBox);
    ~PickerFocus() override;

    /** A key the window heard with nothing focused: true when it brought the keyboard to the picture. */
    bool unfocusedKey(const juce::KeyPress& key);

    //==============================================================================
    // juce::KeyListener, on the message thread: keys travelling up from the picture's controls and the
    // panel's boxes.
    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;

private:
    QMV49CtrlPickerComponent& picker;
    juce::Component &panel, &firstBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PickerFocus)
};
