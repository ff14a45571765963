#pragma once

#include "EditorDialogs.h"
#include "QMV49CtrlPickerComponent.h"
#include "device/KeyboardLink.h"
#include "files/SafeFileWriter.h"

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <set>

/** The editor's working surface: the keyboard-wide settings, the selected control's settings, the five
    command buttons and the clickable keyboard picture. It owns the device manager, starts the scan for the
    keyboard when it is created, reads the keyboard out once it is found, and writes every edit into the
    manager's store. */
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
    bool undo();
    bool redo();
    juce::UndoManager& getUndoManager() { return undoManager; }
    /** The values (field, id) that differ from what the keyboard last confirmed, or, before it ever did, that
        the user changed. */
    std::set<std::pair<int, int>> unsentValues() const;
    /** True when the configuration differs from the last file saved or loaded (or from the start). */
    bool hasUnsavedChanges() const;
    /** Asks, when something is not sent or not saved, what to do before the window closes; calls approved
        when it may close now (at once when nothing would be lost). Cancelled, or closing after a send that
        is under way, it is not called. */
    void confirmClose(std::function<void()> approved);
    /** Called when the window may close after all, once a send asked for on closing has been verified. */
    std::function<void()> onCloseApproved;

    //==============================================================================
    // The commands of the five buttons.
    void restoreDefaultValues();
    void sendToKeyboard();
    void loadSettings();
    /** Loads a settings file and reports it as Load... does, for a file the editor was opened with. */
    void loadSettingsFrom(const juce::File& file);
    /** Asks where and saves; done, if given, is told whether the settings were saved. */
    void saveSettings(std::function<void(bool)> done = {});
    void writeChart();

    /** The file name with everything from its last dot replaced by "." and the extension. */
    static juce::File withReplacedExtension(const juce::File& file, const juce::String& extension);

    //==============================================================================
    OrvManager49& getManager() { return manager; }
    ReadOutChain& getReadOut() { return readOut; }
    VerifiedSend& getSender() { return sender; }
    LinkStatusDisplay& statusDisplay() { return picker->getStatusDisplay(); }
    int getSelectedItemId() const { return selectedItemId; }
    QMV49CtrlPickerComponent& getPicker() { return *picker; }

    /** The widgets, for the window's tests. */
    juce::ComboBox& lowerChannelBox() { return *lowerChannelCombo; }
    juce::ComboBox& upperChannelBox() { return *upperChannelCombo; }
    juce::ComboBox& knobModeBox() { return *knobModeCombo; }
    juce::ComboBox& faderModeBox() { return *faderModeCombo; }
    juce::ComboBox& splitModeBox() { return *splitModeCombo; }
    juce::ComboBox& splitPointBox() { return *splitPointCombo; }
    juce::ComboBox& modeBox() { return *modeCombo; }
    juce::ComboBox& channelBox() { return *channelCombo; }
    juce::ComboBox& numberBox() { return *numberCombo; }
    juce::ComboBox& minBox() { return *minCombo; }
    juce::ComboBox& maxBox() { return *maxCombo; }
    juce::TextEditor& nameField() { return *nameEditor; }
    juce::Button& defaultValuesButton() { return *defaultButton; }
    juce::Button& sendButton() { return *sendKeyboardButton; }
    juce::Button& loadButtonWidget() { return *loadButton; }
    juce::Button& saveButtonWidget() { return *saveButton; }
    juce::Button& chartButtonWidget() { return *chartButton; }

private:
    void build();
    juce::Label* makeLabel(std::unique_ptr<juce::Label>& slot, const char* name, const char* text, int focus);
    juce::ComboBox* makeCombo(std::unique_ptr<juce::ComboBox>& slot, const char* name,
                              const juce::StringArray& items, int focus, bool rightJustified = false);
    /** Asks where to save, proposing the name in the folder last used (the documents folder at first),
        and gives the name the proposed name's extension; chosen is told the file, or nothing on cancel. */
    void chooseSaveTarget(const juce::String& title, const juce::String& proposedName,
                          std::optional<juce::File> KbdSettingComponent49::*folder,
                          std::function<void(std::optional<juce::File>)> chosen);
    /** Save... and Chart...: asks where, then writes; done, if given, is told whether it was written. */
    void saveTo(const juce::String& title, const juce::String& proposedName,
                std::optional<juce::File> KbdSettingComponent49::*folder, const juce::String& failure,
                std::function<FileWriteResult(const juce::File&, ReadOnlyFiles)> write,
                std::function<void(bool)> done);
    void reportFileProblem(const juce::String& what, const juce::File& file, const juce::String& why);
    /** Runs a save, asking before it replaces a read-only file, and reports a failure naming the file;
        done is told whether it was written. */
    void writeTo(const juce::File& file, const juce::String& failure,
                 std::function<FileWriteResult(ReadOnlyFiles)> write, std::function<void(bool)> done);
    // Dialogs answer after their caller has returned: their callbacks hold the panel by this.
    using Self = juce::Component::SafePointer<KbdSettingComponent49>;
    static juce::File documentsFolder();
    /** Records a change the user made, so that no answer of the keyboard overwrites it before it is sent. */
    void pinEdit(int field, int id);
    void showSendResult(const VerifiedSend::Result& result);

    class Edit;
    /** Makes a change the user asked for as one undoable step; typing in the Name field adds to one step. */
    void applyUserChange(const std::function<void(SettingsState&)>& change, bool typingName = false);
    /** Applies a step or takes it back, then shows it with the control it concerned selected. Returns the
        values the step was the first to hold against the keyboard's answers; taking it back, those in
        `answered` return to the keyboard's answer where one came meanwhile. */
    std::set<std::pair<int, int>> applyDelta(const SettingsDelta& delta, bool forward, int selectId,
                                             const std::set<std::pair<int, int>>& answered);
    void selectControl(int id);
    /** The name the Name field shows for a control. */
    juce::String nameShownFor(int id) const;
    /** The state a file now holds, or the start's: what unsaved changes are measured against. */
    void markSaved();
    void afterReadOut();
    void refreshMarks();
    /** The keyboard-wide boxes with their slots, and the selected control's boxes with their fields. */
    std::array<std::pair<juce::ComboBox*, int>, 6> globalBoxes() const;
    std::array<std::pair<juce::ComboBox*, int>, 5> fieldBoxes() const;

    //==============================================================================
    KeyboardLink link;
    OrvManager49& manager;
    ReadOutChain& readOut;
    VerifiedSend& sender;
    std::unique_ptr<EditorDialogs> dialogs;
    std::map<juce::uint16, juce::String> itemNames;
    int selectedItemId = -1;
    // The folders last chosen in this run's dialogs: settings files (Load... and Save...) and charts.
    std::optional<juce::File> settingsFolder, chartFolder;

    // Why the asynchronous update was asked for; set on any thread.
    std::atomic<bool> globalsPending{false}, scanEndedPending{false}, readOutIncompletePending{false};
    std::atomic<bool> detectedPending{false}, unpluggedPending{false}, readOutCompletePending{false};
    std::atomic<bool> scanStartPending{false};
    std::atomic<int> touchedPending{-1};
    std::mutex sendResultLock;
    std::optional<VerifiedSend::Result> sendResultPending;

    // The link as the status display tells it; message thread only.
    bool startupScan = true, unplugged = false, readIncomplete = false;
    juce::Time readAt;
    std::optional<VerifiedSend::Result> lastSend;
    juce::Time sentAt;

    juce::UndoManager undoManager;
    std::optional<SettingsState> confirmed; // what the keyboard last confirmed; -2 marks an unknown value
    SettingsState sentConfiguration;
    SettingsState savedState;
    bool userEdited = false, fileTouched = false, closeAfterSend = false;
    int nameTransactionFor = -1;
    juce::String note; // a passing word in the status display, such as how to undo Default Values
    bool editingName = false;
    bool closeQuestionOpen = false, fileDialogOpen = false;
    std::set<std::pair<int, int>> unsentShown; // what the marks show
    juce::Component::SafePointer<juce::Component> keyTarget;

    // Child widgets, in creation (and z-) order.
    std::unique_ptr<juce::GroupComponent> globalGroup;
    std::unique_ptr<juce::Label> lowerChannelLabel;
    std::unique_ptr<juce::ComboBox> lowerChannelCombo;
    std::unique_ptr<juce::Label> knobModeLabel;
    std::unique_ptr<juce::ComboBox> knobModeCombo;
    std::unique_ptr<juce::GroupComponent> controlGroup;
    std::unique_ptr<juce::Label> nameLabel;
    std::unique_ptr<juce::TextEditor> nameEditor;
    std::unique_ptr<juce::Label> numberLabel;
    std::unique_ptr<juce::ComboBox> numberCombo;
    std::unique_ptr<juce::ImageButton> defaultButton;
    std::unique_ptr<juce::ImageButton> sendKeyboardButton;
    std::unique_ptr<QMV49CtrlPickerComponent> picker;
    std::unique_ptr<juce::Label> modeLabel;
    std::unique_ptr<juce::ComboBox> modeCombo;
    std::unique_ptr<juce::Label> channelLabel;
    std::unique_ptr<juce::ComboBox> channelCombo;
    std::unique_ptr<juce::Label> maxLabel;
    std::unique_ptr<juce::ComboBox> maxCombo;
    std::unique_ptr<juce::Label> minLabel;
    std::unique_ptr<juce::ComboBox> minCombo;
    std::unique_ptr<juce::Label> splitModeLabel;
    std::unique_ptr<juce::ComboBox> splitModeCombo;
    std::unique_ptr<juce::Label> upperChannelLabel;
    std::unique_ptr<juce::ComboBox> upperChannelCombo;
    std::unique_ptr<juce::Label> faderModeLabel;
    std::unique_ptr<juce::ComboBox> faderModeCombo;
    std::unique_ptr<juce::Label> splitPointLabel;
    std::unique_ptr<juce::ComboBox> splitPointCombo;
    std::unique_ptr<juce::TextButton> loadButton;
    std::unique_ptr<juce::TextButton> saveButton;
    std::unique_ptr<juce::TextButton> chartButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KbdSettingComponent49)
};
