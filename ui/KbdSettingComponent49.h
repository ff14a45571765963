#pragma once

#include "EditorDialogs.h"
#include "QMV49CtrlPickerComponent.h"
#include "device/OrvManager49.h"
#include "device/ReadOutChain.h"

#include <atomic>
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

    //==============================================================================
    // The commands of the five buttons.
    void restoreDefaultValues();
    void sendToKeyboard();
    void loadSettings();
    /** Loads a settings file and reports it as Load... does, for a file the editor was opened with. */
    void loadSettingsFrom(const juce::File& file);
    void saveSettings();
    void writeChart();

    /** The file name with everything from its last dot replaced by "." and the extension. */
    static juce::File withReplacedExtension(const juce::File& file, const juce::String& extension);

    //==============================================================================
    OrvManager49& getManager() { return manager; }
    ReadOutChain& getReadOut() { return readOut; }
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
        and gives the name the proposed name's extension; nothing when the user cancels. */
    std::optional<juce::File> chooseSaveTarget(const juce::String& title, const juce::String& proposedName,
                                               std::optional<juce::File>& folder);
    void reportFileProblem(const juce::String& what, const juce::File& file, const juce::String& why);
    static juce::File documentsFolder();

    //==============================================================================
    OrvManager49 manager;
    ReadOutChain readOut;
    std::unique_ptr<EditorDialogs> dialogs;
    std::map<juce::uint16, juce::String> itemNames;
    int selectedItemId = -1;
    // The folders last chosen in this run's dialogs: settings files (Load... and Save...) and charts.
    std::optional<juce::File> settingsFolder, chartFolder;

    // Why the asynchronous update was asked for; set on any thread.
    std::atomic<bool> globalsPending{false}, scanEndedPending{false}, readOutIncompletePending{false};

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
