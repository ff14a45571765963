#include "KbdSettingComponent49.h"

#include "files/MidiChart.h"
#include "files/SettingsFile.h"

#include <QuilletBinaryData.h>

namespace
{
const char* const notDetectedText =
    "The keyboard has not been detected. Please correct the problem and try again.";
const char* const cannotSetText = "The keyboard has not been detected, so it can't be set.";
const char* const keyboardProblemTitle = "Keyboard Problem";
const char* const fileProblemTitle = "File Problem";

juce::StringArray numbersText(int count)
{
    juce::StringArray s;
    for (int i = 0; i < count; ++i)
        s.add(juce::String(i));
    return s;
}

juce::Image picture(const void* data, int size)
{
    return juce::ImageCache::getFromMemory(data, size);
}

/** The stored value of a two-choice keyboard-wide setting for a list position, and back. */
int twoWayValue(int index)
{
    return index == 1 ? 127 : 1;
}
int twoWayIndex(int value)
{
    return value == 127 ? 1 : 0;
}
} // namespace

KbdSettingComponent49::KbdSettingComponent49() : KbdSettingComponent49(systemMidiPorts(), nullptr) {}

KbdSettingComponent49::KbdSettingComponent49(MidiPortSystem& ports, std::unique_ptr<EditorDialogs> d)
    : manager(ports), readOut(manager), dialogs(std::move(d))
{
    if (dialogs == nullptr)
        dialogs = std::make_unique<NativeEditorDialogs>();

    build();
    setSize(1063, 460);
    selectedItemId = -1;
    picker->addActionListener(this);
    for (int id : ControlCatalogue::namedControls())
        itemNames[(juce::uint16)id] = ControlCatalogue::displayName(id);

    readOut.onGlobalsReceived = [this]
    {
        globalsPending = true;
        triggerAsyncUpdate();
    };
    readOut.onFinished = [this](ReadOutChain::Outcome outcome)
    {
        if (outcome != ReadOutChain::Outcome::complete)
        {
            readOutIncompletePending = true;
            triggerAsyncUpdate();
        }
    };

    manager.addListener(this);
    manager.startScan();
}

KbdSettingComponent49::~KbdSettingComponent49()
{
    // No MIDI callback may reach the panel while it comes apart.
    manager.closeAllPorts();
    cancelPendingUpdate();
    picker->removeActionListener(this);

    globalGroup.reset();
    lowerChannelLabel.reset();
    lowerChannelCombo.reset();
    knobModeLabel.reset();
    knobModeCombo.reset();
    controlGroup.reset();
    nameLabel.reset();
    nameEditor.reset();
    numberLabel.reset();
    numberCombo.reset();
    defaultButton.reset();
    sendKeyboardButton.reset();
    picker.reset();
    modeLabel.reset();
    modeCombo.reset();
    channelLabel.reset();
    channelCombo.reset();
    maxLabel.reset();
    maxCombo.reset();
    minLabel.reset();
    minCombo.reset();
    splitModeLabel.reset();
    splitModeCombo.reset();
    upperChannelLabel.reset();
    upperChannelCombo.reset();
    faderModeLabel.reset();
    faderModeCombo.reset();
    splitPointLabel.reset();
    splitPointCombo.reset();
    loadButton.reset();
    saveButton.reset();
    chartButton.reset();
}

//==============================================================================
juce::Label* KbdSettingComponent49::makeLabel(std::unique_ptr<juce::Label>& slot, const char* name,
                                              const char* text, int focus)
{
    slot = std::make_unique<juce::Label>(name, text);
    auto* l = slot.get();
    addAndMakeVisible(l);
    l->setFont(juce::Font(15.0f, juce::Font::plain));
    l->setJustificationType(juce::Justification::centredLeft);
    l->setEditable(false, false, false);
    l->setColour(juce::TextEditor::textColourId, juce::Colours::black);
    l->setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
    if (focus > 0)
        l->setExplicitFocusOrder(focus);
    return l;
}

juce::ComboBox* KbdSettingComponent49::makeCombo(std::unique_ptr<juce::ComboBox>& slot, const char* name,
                                                 const juce::StringArray& items, int focus,
                                                 bool rightJustified)
{
    slot = std::make_unique<juce::ComboBox>(name);
    auto* c = slot.get();
    addAndMakeVisible(c);
    c->setEditableText(false);
    c->setJustificationType(rightJustified ? juce::Justification::centredRight
                                           : juce::Justification::centredLeft);
    c->setTextWhenNothingSelected({});
    c->setTextWhenNoChoicesAvailable("(no choices)");
    c->addItemList(items, 1);
    c->addListener(this);
    if (focus > 0)
        c->setExplicitFocusOrder(focus);
    return c;
}

void KbdSettingComponent49::build()
{
    juce::StringArray channels, modes, controllers, notes, channelList;
    for (int i = 1; i <= 16; ++i)
        channels.add(juce::String(i));
    for (auto* m : ControlCatalogue::modePanelTexts())
        modes.add(m);
    for (const auto& n : ControlCatalogue::controllerNames())
        controllers.add(n);
    for (int i = 0; i < 128; ++i)
        notes.add(ControlCatalogue::noteName(i));
    for (const auto& c : ControlCatalogue::channelList())
        channelList.add(c.text);

    globalGroup = std::make_unique<juce::GroupComponent>("global group", "Global Parameters");
    addAndMakeVisible(globalGroup.get());
    globalGroup->setTextLabelPosition(juce::Justification::centredLeft);

    makeLabel(lowerChannelLabel, "channel label", "Lower channel:", 1);
    makeCombo(lowerChannelCombo, "lower channel combo", channels, 2, true);
    makeLabel(knobModeLabel, "knob mode label", "Knob mode:", 3);
    makeCombo(knobModeCombo, "knob mode combo", {"Absolute", "Relative"}, 4);

    controlGroup = std::make_unique<juce::GroupComponent>("new group", "Selected Control Parameters");
    addAndMakeVisible(controlGroup.get());

    makeLabel(nameLabel, "new label", "Name:", 0);
    nameEditor = std::make_unique<juce::TextEditor>("new text editor");
    addAndMakeVisible(nameEditor.get());
    nameEditor->setMultiLine(false, false);
    nameEditor->setReturnKeyStartsNewLine(false);
    nameEditor->setReadOnly(false);
    nameEditor->setScrollbarsShown(false);
    nameEditor->setCaretVisible(false);
    nameEditor->setPopupMenuEnabled(false);
    nameEditor->setColour(juce::TextEditor::textColourId, juce::Colours::black);
    nameEditor->setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x60FF8080));
    nameEditor->setText("<Click a Control>");

    makeLabel(numberLabel, "new label", "CC number:", 0);
    makeCombo(numberCombo, "CC number combo", controllers, 2)
        ->setTooltip("Midi control number assigned to the selected control");

    auto imageButton = [this](std::unique_ptr<juce::ImageButton>& slot, juce::Image normal, juce::Image over,
                              juce::Image down)
    {
        slot = std::make_unique<juce::ImageButton>("new button");
        addAndMakeVisible(slot.get());
        slot->setImages(false, true, true, normal, 1.0f, juce::Colour(0x00000000), over, 1.0f,
                        juce::Colour(0x00000000), down, 1.0f, juce::Colour(0x00000000), 0.0f);
        slot->addListener(this);
    };
    using namespace QuilletBinaryData;
    imageButton(defaultButton, picture(default_values_normal_png, default_values_normal_pngSize),
                picture(default_values_over_png, default_values_over_pngSize),
                picture(default_values_pressed_png, default_values_pressed_pngSize));
    imageButton(sendKeyboardButton, picture(send_to_keyboard_normal_png, send_to_keyboard_normal_pngSize),
                picture(send_to_keyboard_over_png, send_to_keyboard_over_pngSize),
                picture(send_to_keyboard_pressed_png, send_to_keyboard_pressed_pngSize));

    picker = std::make_unique<QMV49CtrlPickerComponent>();
    addAndMakeVisible(picker.get());

    makeLabel(modeLabel, "new label", "Mode:", 0);
    makeCombo(modeCombo, "Mode combo", modes, 2)->setTooltip("Mode assigned to the selected control");
    makeLabel(channelLabel, "new label", "Channel:", 0);
    makeCombo(channelCombo, "Channel combo", channelList, 2)
        ->setTooltip("Midi channel assigned to the selected control");
    makeLabel(maxLabel, "new label", "Max / MSB:", 0);
    makeCombo(maxCombo, "Max MSB combo", numbersText(128), 2)
        ->setTooltip("Max value (or MSB) set for the selected control");
    makeLabel(minLabel, "new label", "Min / LSB:", 0);
    makeCombo(minCombo, "Min LSB combo", numbersText(128), 2)
        ->setTooltip("Min value (or LSB) set for the selected control");
    makeLabel(splitModeLabel, "knob mode label", "Split mode:", 3);
    makeCombo(splitModeCombo, "split mode combo", {"Off", "On"}, 4);
    makeLabel(upperChannelLabel, "channel label", "Upper channel:", 1);
    makeCombo(upperChannelCombo, "upper channel combo", channels, 2, true);
    makeLabel(faderModeLabel, "knob mode label", "Fader mode:", 3);
    makeCombo(faderModeCombo, "fader mode combo", {"Normal", "Drawbar"}, 4);
    makeLabel(splitPointLabel, "knob mode label", "Split point:", 3);
    makeCombo(splitPointCombo, "split point combo", notes, 4);

    auto textButton = [this](std::unique_ptr<juce::TextButton>& slot, const char* name, const char* text)
    {
        slot = std::make_unique<juce::TextButton>(name);
        addAndMakeVisible(slot.get());
        slot->setButtonText(text);
        slot->setTooltip({});
        slot->setColour(juce::TextButton::buttonColourId, juce::Colour(0xFF808080));
        slot->setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xFF535A5E));
        slot->setColour(juce::TextButton::textColourOffId, juce::Colour(0xFFF0F0F0));
        slot->setColour(juce::TextButton::textColourOnId, juce::Colour(0xFFF0F0F0));
        slot->addListener(this);
    };
    textButton(loadButton, "load button", "Load...");
    textButton(saveButton, "save button", "Save...");
    textButton(chartButton, "chart button", "Chart...");
}

void KbdSettingComponent49::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::white);
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFFFCFCFC), 328.0f, 8.0f, juce::Colour(0xFFDBDBDB),
                                           336.0f, 328.0f, false));
    g.fillRect(0, 0, 1063, 500);
}

void KbdSettingComponent49::resized()
{
    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        {globalGroup.get(), {13, 8, 419, 128}},       {lowerChannelLabel.get(), {27, 32, 93, 24}},
        {lowerChannelCombo.get(), {122, 32, 88, 24}}, {knobModeLabel.get(), {27, 64, 88, 24}},
        {knobModeCombo.get(), {122, 64, 88, 24}},     {controlGroup.get(), {443, 8, 480, 128}},
        {nameLabel.get(), {459, 32, 80, 24}},         {nameEditor.get(), {555, 32, 120, 24}},
        {numberLabel.get(), {687, 64, 80, 24}},       {numberCombo.get(), {783, 64, 120, 24}},
        {defaultButton.get(), {944, 38, 88, 24}},     {sendKeyboardButton.get(), {936, 14, 102, 24}},
        {picker.get(), {0, 149, 1063, 317}},          {modeLabel.get(), {687, 32, 80, 24}},
        {modeCombo.get(), {783, 32, 120, 24}},        {channelLabel.get(), {459, 64, 80, 24}},
        {channelCombo.get(), {555, 64, 120, 24}},     {maxLabel.get(), {687, 96, 80, 24}},
        {maxCombo.get(), {783, 96, 120, 24}},         {minLabel.get(), {459, 96, 80, 24}},
        {minCombo.get(), {555, 96, 120, 24}},         {splitModeLabel.get(), {27, 96, 88, 24}},
        {splitModeCombo.get(), {122, 96, 88, 24}},    {upperChannelLabel.get(), {227, 32, 93, 24}},
        {upperChannelCombo.get(), {322, 32, 88, 24}}, {faderModeLabel.get(), {227, 64, 88, 24}},
        {faderModeCombo.get(), {322, 64, 88, 24}},    {splitPointLabel.get(), {227, 96, 88, 24}},
        {splitPointCombo.get(), {322, 96, 88, 24}},   {loadButton.get(), {948, 67, 78, 20}},
        {saveButton.get(), {948, 91, 78, 20}},        {chartButton.get(), {948, 115, 78, 20}},
    };
    for (const auto& [component, bounds] : layout)
        component->setBounds(bounds);
}

//==============================================================================
void KbdSettingComponent49::actionListenerCallback(const juce::String& message)
{
    const int id = message.getHexValue32();
    if (itemNames.count((juce::uint16)(id & 0xFFFF)) == 0)
        return;
    selectedItemId = id;
    refreshSelectedControl();
}

void KbdSettingComponent49::refreshSelectedControl()
{
    const auto name = itemNames.find((juce::uint16)(selectedItemId & 0xFFFF));
    if (name == itemNames.end())
        return;
    nameEditor->setText(name->second, true);

    // The boxes show the store; they do not write it back. A delayed write-back would overwrite an answer
    // that the keyboard delivered in between with the older value shown here. Every value a box can show
    // maps back to itself, so nothing is lost.
    const auto s = manager.snapshot();
    const auto show = [](juce::ComboBox& box, int index)
    {
        box.setSelectedItemIndex(index, juce::dontSendNotification);
    };
    show(*modeCombo, s.get(itemFieldMode, selectedItemId));
    // A code that is not in the list shows blank rather than the entry at that position.
    show(*channelCombo, ControlCatalogue::channelListIndex(s.get(itemFieldChannel, selectedItemId)));
    show(*numberCombo, s.get(itemFieldNumber, selectedItemId));
    show(*minCombo, s.get(itemFieldMinLsb, selectedItemId));
    show(*maxCombo, s.get(itemFieldMaxMsb, selectedItemId));
    applyModeSet(selectedItemId);
}

void KbdSettingComponent49::applyModeSet(int itemId)
{
    const auto set = ControlCatalogue::modeSetOf(itemId);
    if (set == ModeSet::none)
        return;
    for (int id = 1; id <= numItemModes; ++id)
        modeCombo->setItemEnabled(id, ControlCatalogue::isModeAllowed(set, id - 1));
}

void KbdSettingComponent49::showGlobals()
{
    // A two-choice value shows as its first choice unless it is 127; the store takes the shown value at
    // once, in one step, so that what is sent is what is shown.
    SettingsState s;
    manager.modify(
        [&s](SettingsState& state)
        {
            for (int id : {globalKnobMode, globalFaderMode, globalSplitMode})
                state.globals[(size_t)id] = (int16_t)twoWayValue(twoWayIndex(state.globals[(size_t)id]));
            s = state;
        });
    const auto show = [](juce::ComboBox& box, int index)
    {
        box.setSelectedItemIndex(index, juce::dontSendNotification);
    };
    show(*lowerChannelCombo, s.globals[globalLowerChannel]);
    show(*upperChannelCombo, s.globals[globalUpperChannel]);
    show(*knobModeCombo, twoWayIndex(s.globals[globalKnobMode]));
    show(*faderModeCombo, twoWayIndex(s.globals[globalFaderMode]));
    show(*splitModeCombo, twoWayIndex(s.globals[globalSplitMode]));
    show(*splitPointCombo, s.globals[globalSplitPoint]);
}

//==============================================================================
void KbdSettingComponent49::handleManagerEvent(int event, int p1, int, int)
{
    readOut.handleManagerEvent(event, p1);
    if (event == ScanEndedUnanswered)
    {
        scanEndedPending = true;
        triggerAsyncUpdate();
    }
}

void KbdSettingComponent49::handleAsyncUpdate()
{
    if (globalsPending.exchange(false))
        showGlobals();
    if (scanEndedPending.exchange(false) && !manager.isKeyboardFound())
        dialogs->showMessage(keyboardProblemTitle, notDetectedText);
    if (readOutIncompletePending.exchange(false))
        dialogs->showMessage(
            keyboardProblemTitle,
            "The keyboard stopped answering while its settings were being read, so the settings "
            "shown may not be the keyboard's. Please check the connection and try again.");
}

void KbdSettingComponent49::comboBoxChanged(juce::ComboBox* combo)
{
    const int index = combo->getSelectedItemIndex();
    if (index < 0)
        return;

    if (combo == lowerChannelCombo.get())
        manager.setGlobal(globalLowerChannel, index);
    else if (combo == knobModeCombo.get())
        manager.setGlobal(globalKnobMode, twoWayValue(index));
    else if (combo == splitModeCombo.get())
        manager.setGlobal(globalSplitMode, twoWayValue(index));
    else if (combo == upperChannelCombo.get())
        manager.setGlobal(globalUpperChannel, index);
    else if (combo == faderModeCombo.get())
        manager.setGlobal(globalFaderMode, twoWayValue(index));
    else if (combo == splitPointCombo.get())
        manager.setGlobal(globalSplitPoint, index);
    else if (!ControlCatalogue::isConfigurable(selectedItemId))
        return; // no control selected, or one the keyboard keeps no settings for (the pitch wheel)
    else if (combo == numberCombo.get())
        manager.setItemField(itemFieldNumber, selectedItemId, index);
    else if (combo == modeCombo.get())
        manager.setItemField(itemFieldMode, selectedItemId, index);
    else if (combo == channelCombo.get())
        manager.setItemField(itemFieldChannel, selectedItemId,
                             ControlCatalogue::channelList()[(size_t)index].code);
    else if (combo == maxCombo.get())
        manager.setItemField(itemFieldMaxMsb, selectedItemId, index);
    else if (combo == minCombo.get())
        manager.setItemField(itemFieldMinLsb, selectedItemId, index);
}

//==============================================================================
void KbdSettingComponent49::buttonClicked(juce::Button* button)
{
    if (button == defaultButton.get())
        restoreDefaultValues();
    else if (button == sendKeyboardButton.get())
        sendToKeyboard();
    else if (button == loadButton.get())
        loadSettings();
    else if (button == saveButton.get())
        saveSettings();
    else if (button == chartButton.get())
        writeChart();
}

void KbdSettingComponent49::restoreDefaultValues()
{
    manager.modify(
        [](SettingsState& s)
        {
            s.resetItemsToDefaults();
            s.applyEditorGlobalDefaults();
        });
    showGlobals();
    if (selectedItemId >= 0)
        refreshSelectedControl();
}

void KbdSettingComponent49::sendToKeyboard()
{
    if (!manager.isKeyboardFound())
    {
        dialogs->showMessage(keyboardProblemTitle, cannotSetText);
        return;
    }
    juce::MouseCursor::showWaitCursor();
    const bool sent = manager.sendAllSettings();
    juce::MouseCursor::hideWaitCursor();
    if (!sent)
        dialogs->showMessage(keyboardProblemTitle,
                             "The keyboard's MIDI output could not be opened, so it can't be set.");
}

juce::File KbdSettingComponent49::documentsFolder()
{
    // A fresh account may have no documents folder yet: the dialogs then start at home.
    const auto documents = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
    return documents.isDirectory() ? documents
                                   : juce::File::getSpecialLocation(juce::File::userHomeDirectory);
}

juce::File KbdSettingComponent49::withReplacedExtension(const juce::File& file, const juce::String& extension)
{
    auto name = file.getFileName();
    const int dot = name.lastIndexOfChar('.');
    if (dot >= 0)
        name = name.substring(0, dot);
    return file.getParentDirectory().getChildFile(name + "." + extension);
}

void KbdSettingComponent49::reportFileProblem(const juce::String& what, const juce::File& file,
                                              const juce::String& why)
{
    dialogs->showMessage(fileProblemTitle, what + " " + file.getFullPathName() + ":\n" + why + ".");
}

void KbdSettingComponent49::loadSettings()
{
    const auto chosen = dialogs->chooseFileToOpen("Please select the settings file you want to load...",
                                                  settingsFolder.value_or(documentsFolder()), "*.qmv49");
    if (chosen)
        loadSettingsFrom(*chosen);
}

void KbdSettingComponent49::loadSettingsFrom(const juce::File& file)
{
    // Save... then proposes the folder of the file last loaded, also one the editor was opened with.
    if (file.getParentDirectory().isDirectory())
        settingsFolder = file.getParentDirectory();
    const auto result = readSettingsFile(manager, file);
    if (!result.ok)
    {
        reportFileProblem("Nothing was loaded from", file, result.message);
        return;
    }
    // What was loaded is shown at once, keyboard or not: loading does not involve the keyboard.
    globalsPending = true;
    triggerAsyncUpdate();
    if (selectedItemId >= 0)
        refreshSelectedControl();
    if (result.skippedCount() > 0)
        dialogs->showMessage(
            fileProblemTitle,
            juce::String(result.skippedCount()) + (result.skippedCount() == 1 ? " setting" : " settings") +
                " of " + file.getFullPathName() +
                " could not be loaded because they hold values the keyboard cannot take; the "
                "rest was loaded.\n\n" +
                result.skipped.joinIntoString("\n"));
}

std::optional<juce::File> KbdSettingComponent49::chooseSaveTarget(const juce::String& title,
                                                                  const juce::String& proposedName,
                                                                  std::optional<juce::File>& folder)
{
    const auto extension = proposedName.fromLastOccurrenceOf(".", false, false);
    // A file in the folder, not the folder itself: given a folder, the toolkit proposes its name.
    const auto chosen = dialogs->chooseFileToSave(
        title, folder.value_or(documentsFolder()).getChildFile(proposedName), "*." + extension);
    if (!chosen)
        return std::nullopt;
    folder = chosen->getParentDirectory();
    const auto file = withReplacedExtension(*chosen, extension);
    // The dialog confirmed the name that was typed; a different file that the new extension hits is asked
    // for.
    if (file != *chosen && file.exists() && !dialogs->confirmOverwrite(file))
        return std::nullopt;
    return file;
}

void KbdSettingComponent49::saveSettings()
{
    if (const auto file = chooseSaveTarget("Please select the settings file where to save...",
                                           "Quillet 49 setup.qmv49", settingsFolder))
    {
        const auto result = writeSettingsFile(manager, *file);
        if (!result.ok)
            reportFileProblem("The settings could not be saved to", *file, result.message);
    }
}

void KbdSettingComponent49::writeChart()
{
    if (const auto file =
            chooseSaveTarget("Please select the chart file...", "Quillet 49 chart.html", chartFolder))
    {
        const auto result = writeMidiChart(manager, *file);
        if (!result.ok)
            reportFileProblem("The chart could not be written to", *file, result.message);
    }
}
