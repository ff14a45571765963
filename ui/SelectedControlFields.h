#pragma once

#include "PanelWidgets.h"
#include "SelectionEditing.h"
#include "ValueHints.h"
#include "model/EditHistory.h"

#include <map>

/** The selected control's part of the panel: which control is selected, what its name field and boxes
    show (with the hints over the boxes and only the modes its set allows), and what a pick in a box or
    typing in the name field writes, each as one undoable step. */
class SelectedControlFields : public juce::TextEditor::Listener
{
public:
    SelectedControlFields(PanelWidgets& widgets, KbdSettingsStore& manager, EditHistory& history,
                          SelectionEditing& selectionEditing, ValueHints& hints, juce::Component& panel);
    ~SelectedControlFields() override;

    int selected() const { return selectedId; }
    /** Whether the id names a control of the picture. */
    bool isControl(int id) const { return names.count((juce::uint16)(id & 0xFFFF)) != 0; }
    /** Selects a control and fills the fields for it. */
    void select(int id);
    /** Fills the fields from the store. */
    void show();
    /** Enables the mode items that the control's mode set allows. */
    void applyModeSet(int itemId);
    /** A pick in a box; false when the box is not one of the control's. */
    bool boxChanged(juce::ComboBox& box, int index);
    /** A number typed into the number, Min or Max box: picked as if from the list, else the box shows the
        stored value again. */
    void takeTypedValue(juce::ComboBox& box);

    void textEditorTextChanged(juce::TextEditor& editor) override;
    void textEditorFocusLost(juce::TextEditor& editor) override;

    /** Called when the boxes were shown anew: the corners over them may have come or gone. */
    std::function<void()> onShown;
    /** Tells the user something in the status display: a name that reached its longest. */
    std::function<void(const juce::String&)> tell;

private:
    /** Shows what the selected control's number and values mean in its mode. */
    void showHints();
    /** The name the Name field shows for a control. */
    juce::String nameShownFor(int id) const;

    PanelWidgets& w;
    KbdSettingsStore& manager;
    EditHistory& history;
    SelectionEditing& selectionEditing;
    ValueHints& hints;
    juce::Component& panel;
    std::map<juce::uint16, juce::String> names;
    int selectedId = -1;
    bool editingName = false;

    JUCE_DECLARE_NON_COPYABLE(SelectedControlFields)
};
