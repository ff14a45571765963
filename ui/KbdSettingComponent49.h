#pragma once

#include "CloseQuestion.h"
#include "ComparisonCommands.h"
#include "LibraryCommands.h"
#include "PickerFocus.h"
#include "QMV49CtrlPickerComponent.h"
#include "SelectionEditing.h"
#include "SharpImageButton.h"
#include "ValueHints.h"

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <set>

/** The editor's working surface: the keyboard-wide settings, the selected control's settings, the five
    command buttons and the clickable keyboard picture. It owns the link to the keyboard (and through it the
    device manager), which starts the search for the keyboard and reads it out once it is found; it shows
    the link's state, keeps the selection and the shortcuts, and hands edits to the edit history and the file
    commands to FileCommands; LinkState tells what happens on the link. */
class KbdSettingComponent49 : public juce::Component,
                              public juce::ActionListener,
                              public OrvManagerListener,
                              public juce::AsyncUpdater,
                              public juce::ComboBox::Listener,
                              public juce::Button::Listener,
                              public juce::TextEditor::Listener,
                              public juce::KeyListener
{
public:
    /** With the system's MIDI ports and the native dialogs. */
    KbdSettingComponent49();
    /** With given ports (which must outlive the panel) and dialogs (null: the native ones). */
    KbdSettingComponent49(MidiPortSystem& ports, std::unique_ptr<EditorDialogs> dialogs);
    ~KbdSettingComponent49() override;

    void paint(juce::Graphics& g) override;
    void paintOverChildren(juce::Graphics& g) override;
    void resized() override;
    void parentHierarchyChanged() override;

    //==============================================================================
    void actionListenerCallback(const juce::String& message) override;
    void handleManagerEvent(int event, int p1, int p2, int p3) override;
    void handleAsyncUpdate() override;
    void comboBoxChanged(juce::ComboBox* combo) override;
    void buttonClicked(juce::Button* button) override;
    void textEditorTextChanged(juce::TextEditor& editor) override;
    void textEditorFocusLost(juce::TextEditor& editor) override;
    /** The editor's shortcuts, wherever the keyboard focus is in the window. */
    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;

    /** Fills the selected control's fields from the store. */
    void refreshSelectedControl();
    /** Enables the mode items that the control's mode set allows. */
    void applyModeSet(int itemId);
    /** Shows the store's keyboard-wide values in their boxes. */
    void showGlobals();
    /** Brings the status display up to date with the link to the keyboard. */
    void updateStatus();
    /** Starts a new search for the keyboard, as clicking the status display does when it offers one. */
    void searchAgain();

    //==============================================================================
    // Undo and what is not sent or saved.
    bool undo() { return history.undo(); }
    bool redo() { return history.redo(); }
    juce::UndoManager& getUndoManager() { return history.getUndoManager(); }
    std::set<std::pair<int, int>> unsentValues() const { return history.unsentValues(); }
    bool hasUnsavedChanges() const { return history.hasUnsavedChanges(); }
    /** Asks, when something is not sent or not saved, what to do before the window closes; calls approved
        when it may close: at once when nothing would be lost, after the answer, or once a send asked for has
        been verified. Cancelled, it is not called. */
    void confirmClose(std::function<void()> approved) { closeQuestion.ask(std::move(approved)); }

    //==============================================================================
    // The commands of the five buttons.
    void restoreDefaultValues();
    void sendToKeyboard();
    void loadSettings() { files.load(); }
    /** Loads a settings file and reports it as Load... does, for a file the editor was opened with. */
    void loadSettingsFrom(const juce::File& file) { files.loadFrom(file); }
    /** Asks where and saves; done, if given, is told whether the settings were saved. */
    void saveSettings(std::function<void(bool)> done = {}) { files.save(std::move(done)); }
    void writeChart() { files.writeChart(); }

    //==============================================================================
    OrvManager49& getManager() { return link.getManager(); }
    ReadOutChain& getReadOut() { return link.getReadOut(); }
    VerifiedSend& getSender() { return link.getSender(); }
    LinkStatusDisplay& statusDisplay() { return picker.getStatusDisplay(); }
    /** Read from the Keyboard (Ctrl+R) and the comparisons. */
    ComparisonCommands& getComparison() { return comparison; }
    /** The library of setups (Ctrl+L). */
    LibraryCommands& getLibrary() { return library; }
    int getSelectedItemId() const { return selectedItemId; }
    QMV49CtrlPickerComponent& getPicker() { return picker; }
    SelectionEditing& getSelectionEditing() { return selectionEditing; }

    /** The widgets, for the window's tests. */
    juce::ComboBox& lowerChannelBox() { return lowerChannelCombo; }
    juce::ComboBox& upperChannelBox() { return upperChannelCombo; }
    juce::ComboBox& knobModeBox() { return knobModeCombo; }
    juce::ComboBox& faderModeBox() { return faderModeCombo; }
    juce::ComboBox& splitModeBox() { return splitModeCombo; }
    juce::ComboBox& splitPointBox() { return splitPointCombo; }
    juce::ComboBox& modeBox() { return modeCombo; }
    juce::ComboBox& channelBox() { return channelCombo; }
    juce::ComboBox& numberBox() { return numberCombo; }
    juce::ComboBox& minBox() { return minCombo; }
    juce::ComboBox& maxBox() { return maxCombo; }
    juce::TextEditor& nameField() { return nameEditor; }
    juce::Button& defaultValuesButton() { return defaultButton; }
    juce::Button& sendButton() { return sendKeyboardButton; }
    juce::Button& loadButtonWidget() { return loadButton; }
    juce::Button& saveButtonWidget() { return saveButton; }
    juce::Button& chartButtonWidget() { return chartButton; }

private:
    void build();
    void setUpLabel(juce::Label& label, const juce::String& text, int focus);
    void setUpCombo(juce::ComboBox& combo, const juce::StringArray& items, int focus,
                    bool rightJustified = false);
    /** A keyboard-wide value's label and box, as its row in the catalogue's table says. */
    void setUpGlobal(juce::Label& label, juce::ComboBox& combo, int id);
    /** A field's label and box, as its row in the catalogue's table says. */
    void setUpField(juce::Label& label, juce::ComboBox& combo, int field, const juce::StringArray& items,
                    const char* tooltip);
    /** A change the user asked for, as one undoable step; typing in the Name field adds to one step. */
    void applyUserChange(const std::function<void(SettingsState&)>& change, bool typingName = false)
    {
        history.applyUserChange(change, typingName);
    }
    /** Shows a step of the history that was applied or taken back, with its control selected. */
    void showStep(int selectId);
    void selectControl(int id);
    /** The name the Name field shows for a control. */
    juce::String nameShownFor(int id) const;
    void refreshMarks();
    /** The boxes that show an amber corner: their values are not sent. */
    std::set<juce::Component*> boxesWithCorners();
    /** Repaints the boxes whose corner came or went since the last call. */
    void repaintChangedCorners();
    /** Shows what the selected control's number and values mean in its mode. */
    void showHints();
    /** A number typed into the number, Min or Max box: picked as if from the list, else the box shows the
        stored value again. */
    void takeTypedValue(juce::ComboBox& box);
    /** The keyboard-wide boxes with their slots, and the selected control's boxes with their fields. */
    std::array<std::pair<juce::ComboBox*, int>, 6> globalBoxes();
    std::array<std::pair<juce::ComboBox*, int>, 5> fieldBoxes();

    //==============================================================================
    KeyboardLink link;
    OrvManager49& manager;
    std::unique_ptr<EditorDialogs> dialogs;
    EditHistory history;
    FileCommands files;
    LinkState linkState;
    CloseQuestion closeQuestion;
    ComparisonCommands comparison;
    LibraryCommands library;
    std::map<juce::uint16, juce::String> itemNames;
    int selectedItemId = -1;
    bool editingName = false;
    std::set<std::pair<int, int>> unsentShown; // what the marks show
    std::set<juce::Component*> cornersShown;   // the boxes last repainted with a corner
    juce::Component::SafePointer<juce::Component> keyTarget;

    // Child widgets, in creation (and z-) order.
    juce::GroupComponent globalGroup{"global group", "Global Parameters"};
    juce::Label lowerChannelLabel{"channel label"};
    juce::ComboBox lowerChannelCombo{"lower channel combo"};
    juce::Label knobModeLabel{"knob mode label"};
    juce::ComboBox knobModeCombo{"knob mode combo"};
    juce::GroupComponent controlGroup{"new group", "Selected Control Parameters"};
    juce::Label nameLabel{"new label", "Name:"};
    juce::TextEditor nameEditor{"new text editor"};
    juce::Label numberLabel{"new label"};
    juce::ComboBox numberCombo{"CC number combo"};
    SharpImageButton defaultButton{"new button"};
    SharpImageButton sendKeyboardButton{"new button"};
    QMV49CtrlPickerComponent picker;
    juce::Label modeLabel{"new label"};
    juce::ComboBox modeCombo{"Mode combo"};
    juce::Label channelLabel{"new label"};
    juce::ComboBox channelCombo{"Channel combo"};
    juce::Label maxLabel{"new label"};
    juce::ComboBox maxCombo{"Max MSB combo"};
    juce::Label minLabel{"new label"};
    juce::ComboBox minCombo{"Min LSB combo"};
    juce::Label splitModeLabel{"knob mode label"};
    juce::ComboBox splitModeCombo{"split mode combo"};
    juce::Label upperChannelLabel{"channel label"};
    juce::ComboBox upperChannelCombo{"upper channel combo"};
    juce::Label faderModeLabel{"knob mode label"};
    juce::ComboBox faderModeCombo{"fader mode combo"};
    juce::Label splitPointLabel{"knob mode label"};
    juce::ComboBox splitPointCombo{"split point combo"};
    juce::TextButton loadButton{"load button"};
    juce::TextButton saveButton{"save button"};
    juce::TextButton chartButton{"chart button"};

    ValueHints hints{numberCombo, minCombo, maxCombo}; // after the boxes, whose tooltips it starts from
    PickerFocus pickerFocus{picker, *this, modeCombo};
    SelectionEditing selectionEditing{picker, manager, history, *this, fieldBoxes(), nameEditor};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KbdSettingComponent49)
};
