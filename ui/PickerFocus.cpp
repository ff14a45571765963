#include "PickerFocus.h"

#include <algorithm>

PickerFocus::PickerFocus(QMV49CtrlPickerComponent& p, juce::Component& pa, juce::Component& first)
    : picker(p), panel(pa), firstBox(first)
{
    // Keys travel from the focused component up through its parents: Enter from a control reaches the
    // picture, Escape from a box reaches the panel.
    picker.addKeyListener(this);
    panel.addKeyListener(this);
}

PickerFocus::~PickerFocus()
{
    picker.removeKeyListener(this);
    panel.removeKeyListener(this);
}

bool PickerFocus::keyPressed(const juce::KeyPress& key, juce::Component* origin)
{
    if (!key.getModifiers().testFlags(juce::ModifierKeys::allKeyboardModifiers) && origin == &picker &&
        key.isKeyCode(juce::KeyPress::returnKey))
    {
        auto* control = picker.keyboardControl();
        if (control == nullptr)
            return false;
        // Many controls selected stay selected: Enter goes on to the boxes they share.
        const auto& selection = picker.getSelection();
        if (!(selection.isMany() && selection.contains(control->getButtonText().getHexValue32())))
            picker.buttonClicked(control);
        if (firstBox.isShowing())
            firstBox.grabKeyboardFocus();
        return true;
    }
    if (origin == &panel && key.isKeyCode(juce::KeyPress::escapeKey))
    {
        auto* focused = juce::Component::getCurrentlyFocusedComponent();
        if (focused == nullptr || !panel.isParentOf(focused) || picker.isParentOf(focused))
            return false;
        picker.focusSelected();
        return true;
    }
    return false;
}

bool PickerFocus::unfocusedKey(const juce::KeyPress& key)
{
    // The window itself takes the keyboard when nothing in it does.
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    if ((focused != nullptr && focused != picker.getTopLevelComponent()) ||
        key.getModifiers().testFlags(juce::ModifierKeys::ctrlAltCommandModifiers) || !picker.isShowing())
        return false;
    const int code = key.getKeyCode();
    const int moves[] = {juce::KeyPress::tabKey,  juce::KeyPress::escapeKey, juce::KeyPress::returnKey,
                         juce::KeyPress::leftKey, juce::KeyPress::rightKey,  juce::KeyPress::upKey,
                         juce::KeyPress::downKey};
    if (std::find(std::begin(moves), std::end(moves), code) == std::end(moves))
        return false;
    picker.focusSelected();
    return true;
}
