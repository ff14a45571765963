#pragma once

#include "LinkStatusDisplay.h"
#include "MoxCtrlPickerButton.h"
#include "PickerBand.h"
#include "PickerGeometry.h"
#include "PickerMarks.h"
#include "PickerNames.h"
#include "PickerPicture.h"
#include "model/ControlSelection.h"

#include <map>
#include <set>
#include <string>

/** What the settings panel may ask of a control picker. */
class IKbdCtrlPicker
{
public:
    virtual ~IKbdCtrlPicker() = default;
    virtual std::set<juce::uint16> getItemIdSet() = 0;
};

/** The clickable picture of the keyboard: 53 picker buttons over the picture. A click selects the control
    and broadcasts its id as text, "0x" and two upper-case hexadecimal digits. The keyboard works in it too:
    arrow keys move the selection to the nearest control that way, Tab and Shift+Tab walk the controls in
    reading order, each step selecting as a click does; the selected control is the picture's one stop in
    the window's Tab order. Ctrl+click and Shift+click select many controls; the last clicked is the one
    turned on and broadcast, the others are marked beside it. */
class QMV49CtrlPickerComponent : public juce::Component,
                                 public juce::ActionBroadcaster,
                                 public IKbdCtrlPicker,
                                 public juce::Button::Listener,
                                 public juce::SettableTooltipClient
{
public:
    QMV49CtrlPickerComponent();
    ~QMV49CtrlPickerComponent() override;

    void paint(juce::Graphics& g) override;
    void paintOverChildren(juce::Graphics& g) override;
    void resized() override;
    std::set<juce::uint16> getItemIdSet() override;

    void buttonClicked(juce::Button* button) override;
    void buttonStateChanged(juce::Button*) override {}

    /** A click with these modifier keys: plain selects only the control, Ctrl adds or takes it out, Shift
        selects the controls of its kind from the last clicked one. */
    void clickWith(juce::Button* button, juce::ModifierKeys modifiers);
    /** Selects every control of a kind. */
    void selectKind(ControlKind kind);
    /** Selects the controls whose centres lie within an area of the picture, as a band dragged over it does
        (adding: with those selected before). */
    void selectWithin(juce::Rectangle<int> area, bool adding);
    /** The controls selected, the one the panel shows among them. */
    const ControlSelection& getSelection() const { return selection; }

    //==============================================================================
    bool keyPressed(const juce::KeyPress& key) override;
    /** The control the keyboard is on: the focused one, else the selected one; null when neither. */
    MoxCtrlPickerButton* keyboardControl() const;
    /** Selects a control as a click on it does and gives it the keyboard focus. */
    void selectByKey(MoxCtrlPickerButton& button);
    /** Gives the keyboard focus to the selected control, or to the first one when none is selected. */
    void focusSelected();
    /** What a control is set to, in words, for screen readers. */
    std::function<juce::String(int itemId)> describeControl;

    int getNumPickerButtons() const { return buttons.size(); }
    MoxCtrlPickerButton* getPickerButton(int index) const { return buttons[index]; }
    /** The button of a control, or null. */
    MoxCtrlPickerButton* findButtonFor(int itemId) const;
    /** The keyboard picture, decoded at its first use: the first paint, once the window is on the screen;
        larger: the one of twice the size, for zooms above 100 percent. */
    const juce::Image& getKeyboardPicture(bool larger = false) const { return keyboardPicture.get(larger); }

    /** Selects a control as a click on it would, and rings it briefly: the keyboard reported it moving.
        False when the picture has no button for it. */
    bool selectTouchedControl(int itemId);
    /** The control ringed as touched, or -1. */
    int getTouchedControl() const { return marks.getTouched(); }

    /** Marks the controls whose values the keyboard does not have yet, with a small quiet dot. */
    void setMarkedControls(const std::set<int>& ids) { marks.setMarked(ids); }
    /** The names the user gave controls, added to their buttons' tooltips. */
    void setUserNames(const std::map<int, std::string>& names);
    const std::set<int>& getMarkedControls() const { return marks.getMarked(); }
    /** Marks the controls listed in the comparison shown, with a blue ring apart from the unsent dot. */
    void setComparedControls(const std::set<int>& ids) { marks.setCompared(ids); }
    const std::set<int>& getComparedControls() const { return marks.getCompared(); }

    /** The keyboard's status, in the picture's own display. */
    LinkStatusDisplay& getStatusDisplay() { return statusDisplay; }

private:
    /** Turns the button on and broadcasts its control, as every way of selecting does. */
    void select(juce::Button* button);
    /** Makes the selected control (the first one before any is selected) the only one Tab stops at. */
    void followSelection();
    MoxCtrlPickerButton* selectedButton() const;
    int idOf(int index) const;
    /** The control of the picture that has the keyboard, or null. */
    MoxCtrlPickerButton* focusedButton() const;
    void bandOver(juce::Rectangle<int> area, int reached, bool adding);
    /** Marks the controls selected beside the one turned on, and turns that one on. */
    void showSelection();

    juce::OwnedArray<MoxCtrlPickerButton> buttons;
    PickerPicture keyboardPicture;
    LinkStatusDisplay statusDisplay;
    PickerNames buttonNames;
    const PickerGeometry geometry;
    ControlSelection selection;
    PickerBand band{*this};
    PickerMarks marks{*this,
                      std::bind(&QMV49CtrlPickerComponent::findButtonFor, this, std::placeholders::_1)};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(QMV49CtrlPickerComponent)
};
