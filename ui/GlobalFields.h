#pragma once

#include "PanelWidgets.h"
#include "model/EditHistory.h"

/** The keyboard-wide boxes of the panel: what they show and what a pick in one of them writes. A two-choice
    value is stored as 1 or 127 and shown as the first or the second choice. */
class GlobalFields
{
public:
    GlobalFields(PanelWidgets& widgets, KbdSettingsStore& store, EditHistory& history);

    /** Settles the store's two-choice values and shows the keyboard-wide values. A two-choice value shows
        as its first choice unless it is 127; the store takes the shown value at once, outside the undo
        history (nothing the user did), so that what is sent is what is shown. */
    void settleAndShow();
    /** A pick in a box, as one undoable step; false when the box is not a keyboard-wide one. */
    bool boxChanged(juce::ComboBox& box, int index);

private:
    PanelWidgets& w;
    KbdSettingsStore& store;
    EditHistory& history;

    JUCE_DECLARE_NON_COPYABLE(GlobalFields)
};
