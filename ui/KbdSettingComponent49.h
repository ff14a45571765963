#pragma once

#include "CloseQuestion.h"
#include "ComparisonCommands.h"
#include "EditorCommands.h"
#include "GlobalFields.h"
#include "PanelCommands.h"
#include "PanelWidgets.h"
#include "SelectedControlFields.h"
#include "SetupLibraryWindow.h"

#include <array>
#include <atomic>
#include <functional>
#include <set>

/** The editor's working surface: the keyboard-wide settings, the selected control's settings, the five
    command buttons and the clickable keyboard picture. It owns the link to the keyboard (and through it the
    device manager), which starts the search for the keyboard and reads it out once it is found; it shows
    the link's state and keeps the shortcuts. Its widgets are PanelWidgets; what the boxes show and write is
    GlobalFields' and SelectedControlFields'; file commands are FileCommands'; LinkState tells what happens
    on the link. */
class KbdSettingComponent49 : public juce::Component,
                              public juce::ActionListener,
                              public OrvManagerListener,
                              public juce::AsyncUpdater,
                              public juce::ComboBox::Listener,
                              public juce::Button::Listener
{
public:
    /** The colours of the panel's background, a gradient from its top to its bottom. */
    enum ColourIds
    {
        backgroundTopColourId = 0x7e00701,
        backgroundBottomColourId = 0x7e00702
    };

    /** With the system's MIDI ports and the native dialogs. */
    KbdSettingComponent49();
    /** With given ports (which must outlive the panel) and dialogs (null: the native ones). */
    KbdSettingComponent49(MidiPortSystem& ports, std::unique_ptr<EditorDialogs> dialogs);
    ~KbdSettingComponent49() override;

    // juce::Component, message thread.
    void paint(juce::Graphics& g) override;
    void paintOverChildren(juce::Graphics& g) override;
    void resized() override;

    //==============================================================================
    // juce::ActionListener (the picture's clicks), message thread.
    void actionListenerCallback(const juce::String& message) override;
    // OrvManagerListener: any thread, the MIDI input's included.
    void handleManagerEvent(int event, int p1, int p2, int p3) override;
    // juce::AsyncUpdater and the box and button listeners: message thread.
    void handleAsyncUpdate() override;
    void comboBoxChanged(juce::ComboBox* combo) override;
    void buttonClicked(juce::Button* button) override;

    /** The commands of the table that the panel does, and their shortcuts. */
    PanelCommands& commands() { return panelCommands; }

    /** Settles each two-choice keyboard-wide value in the store on the choice its box can show (not an undo
        step: nothing the user did), and shows the values in their boxes. */
    void settleAndShowGlobals() { globals.settleAndShow(); }
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
    void exportNames(DawNames::Format format) { files.exportNames(format); }
    void installForArdour() { files.installForArdour(); }
    /** Told the name of the settings file the editor holds, once one is loaded or saved. */
    std::function<void(const juce::String&)> onFileNamed;

    //==============================================================================
    OrvManager49& getManager() { return link.getManager(); }
    KeyboardLink& getLink() { return link; }
    LinkStatusDisplay& statusDisplay() { return w.picker.getStatusDisplay(); }
    /** Read from the Keyboard (Ctrl+R) and the comparisons. */
    ComparisonCommands& getComparison() { return comparison; }
    /** The library of setups (Ctrl+L). */
    LibraryCommands& getLibrary() { return library; }
    MonitorCommands& getMonitor() { return monitor; }
    DawMapsCommands& getDawMaps() { return dawMaps; }
    int getSelectedItemId() const { return fields.selected(); }
    QMV49CtrlPickerComponent& getPicker() { return w.picker; }
    SelectionEditing& getSelectionEditing() { return selectionEditing; }
    SelectedControlFields& getFields() { return fields; }

    /** The widgets, for the window's tests. */
    juce::ComboBox& lowerChannelBox() { return w.lowerChannelCombo; }
    juce::ComboBox& upperChannelBox() { return w.upperChannelCombo; }
    juce::ComboBox& knobModeBox() { return w.knobModeCombo; }
    juce::ComboBox& faderModeBox() { return w.faderModeCombo; }
    juce::ComboBox& splitModeBox() { return w.splitModeCombo; }
    juce::ComboBox& splitPointBox() { return w.splitPointCombo; }
    juce::ComboBox& modeBox() { return w.modeCombo; }
    juce::ComboBox& channelBox() { return w.channelCombo; }
    juce::ComboBox& numberBox() { return w.numberCombo; }
    juce::ComboBox& minBox() { return w.minCombo; }
    juce::ComboBox& maxBox() { return w.maxCombo; }
    juce::TextEditor& nameField() { return w.nameEditor; }
    juce::Button& defaultValuesButton() { return w.defaultButton; }
    juce::Button& sendButton() { return w.sendKeyboardButton; }
    juce::Button& loadButtonWidget() { return w.loadButton; }
    juce::Button& saveButtonWidget() { return w.saveButton; }
    juce::Button& chartButtonWidget() { return w.chartButton; }

private:
    /** A change the user asked for, as one undoable step; typing in the Name field adds to one step. */
    void applyUserChange(const std::function<void(SettingsState&)>& change, bool typingName = false)
    {
        history.applyUserChange(change, typingName);
    }
    /** Shows a step of the history that was applied or taken back, with its control selected. */
    void showStep(int selectId);
    void selectControl(int id);
    void refreshMarks();
    /** The boxes that show an amber corner: their values are not sent. */
    std::set<juce::Component*> boxesWithCorners()
    {
        return w.boxesWithCorners(unsentShown, getSelectedItemId());
    }
    /** Repaints the boxes whose corner came or went since the last call. */
    void repaintChangedCorners();

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
    SetupLibraryWindow libraryWindow{library};
    std::set<std::pair<int, int>> unsentShown; // what the marks show
    std::set<juce::Component*> cornersShown;   // the boxes last repainted with a corner

    PanelWidgets w{*this, *this, *this};
    ValueHints hints{w.numberLabel, w.numberCombo, w.minCombo,
                     w.maxCombo}; // after the boxes, whose tooltips it starts from
    PickerFocus pickerFocus{w.picker, *this, w.modeCombo};
    SelectionEditing selectionEditing{w.picker, manager, history, *this};
    SelectedControlFields fields{w, manager, history, selectionEditing, hints, *this};
    GlobalFields globals{w, manager, history};
    MonitorCommands monitor{manager, w.picker, files.exports()};
    DawMapsCommands dawMaps{manager, files, *dialogs};
    PanelCommands panelCommands{*this,
                                {history, files, comparison, library, monitor, dawMaps, selectionEditing,
                                 pickerFocus,
                                 [this]
                                 {
                                     sendToKeyboard();
                                 }}};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KbdSettingComponent49)
};
