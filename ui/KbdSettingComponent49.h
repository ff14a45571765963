#pragma once

#include "EditorDialogs.h"
#include "QMV49CtrlPickerComponent.h"
#include "device/OrvManager49.h"
#include "device/ReadOutChain.h"
#include "device/VerifiedSend.h"
#include "files/SafeFileWriter.h"

#include <atomic>
#include <functional>
#include <map>

/** The editor's working surface: the keyboard-wide settings, the selected control's settings, the five
    command buttons and the clickable keyboard picture. It owns the device manager, starts the scan for the
    keyboard when it is created, reads the keyboard out once it is found, and writes every edit into the
    manager's store. */
class KbdSettingComponent49 : public juce::Component,
                              public juce::ActionListener,
                              public OrvManagerListener,
                              public juce::AsyncUpdater,
                              public juce::ComboBox::Listener,
                              public juce::Button::Listener
{
public:
    /** With the system's MIDI ports and the native dialogs. */
    KbdSettingComponent49();
    /** With given ports (which must outlive the panel) and dialogs (null: the native ones). */
    KbdSettingComponent49(MidiPortSystem& ports, std::unique_ptr<EditorDialogs> dialogs);
    ~KbdSettingComponent49() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    //==============================================================================
    void actionListenerCallback(const juce::String& message) override;
    void handleManagerEvent(int event, int p1, int p2, int p3) override;
    void handleAsyncUpdate() override;
    void comboBoxChanged(juce::ComboBox* combo) override;
    void buttonClicked(juce::Button* button) override;

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
    // The commands of the five buttons.
    void restoreDefaultValues();
    void sendToKeyboard();
    void loadSettings();
    void saveSettings();
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
    /** Asks where to save, with the extension replaced; nothing when the user cancels. */
    std::optional<juce::File> chooseSaveTarget(const juce::String& title, const juce::String& extension);
    void reportFileProblem(const juce::String& what, const juce::File& file, const juce::String& why);
    /** Runs a save, asking before it replaces a read-only file, and reports a failure naming the file. */
    void writeTo(const juce::File& file, const juce::String& failure,
                 const std::function<FileWriteResult(ReadOnlyFiles)>& write);
    static juce::File documentsFolder();
    /** Records a change the user made, so that no answer of the keyboard overwrites it before it is sent. */
    void pinEdit(int field, int id);
    void showSendResult(const VerifiedSend::Result& result);

    //==============================================================================
    OrvManager49 manager;
    ReadOutChain readOut;
    VerifiedSend sender;
    std::unique_ptr<EditorDialogs> dialogs;
    std::map<juce::uint16, juce::String> itemNames;
    int selectedItemId = -1;

    // Why the asynchronous update was asked for; set on any thread.
    std::atomic<bool> globalsPending{false}, scanEndedPending{false}, readOutIncompletePending{false};
    std::atomic<bool> detectedPending{false}, unpluggedPending{false}, readOutCompletePending{false};
    std::atomic<int> touchedPending{-1};
    std::mutex sendResultLock;
    std::optional<VerifiedSend::Result> sendResultPending;

    // The link as the status display tells it; message thread only.
    bool startupScan = true, unplugged = false, readIncomplete = false;
    juce::Time readAt;
    std::optional<VerifiedSend::Result> lastSend;
    juce::Time sentAt;

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
