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
const char* const unpluggedText =
    "The keyboard is not connected: its MIDI ports have gone. Plug it in again; "
    "the editor finds it by itself.";
const char* const notFoundAdvice =
    "No keyboard answered. Check the USB cable and the keyboard's power, that no other program is holding "
    "its MIDI port, and that the system's MIDI service is running. Click here to search again.";

juce::String clockTime(const juce::Time& t)
{
    return t.formatted("%H:%M");
}

juce::String editsText(int n)
{
    return juce::String(n) + (n == 1 ? " change" : " changes");
}

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

/** One step of the user's, as the values it changed; undoing it restores only those. */
class KbdSettingComponent49::Edit : public juce::UndoableAction
{
public:
    Edit(KbdSettingComponent49& p, SettingsDelta d, int before, int after, bool typing)
        : panel(p), delta(std::move(d)), selectBefore(before), selectAfter(after), typingName(typing)
    {
    }
    bool perform() override
    {
        newlyPinned = panel.applyDelta(delta, true, selectAfter, {});
        return true;
    }
    bool undo() override
    {
        panel.applyDelta(delta, false, selectBefore, newlyPinned);
        return true;
    }
    int getSizeInUnits() override { return 1 + (int)(delta.values.size() + delta.names.size()); }
    juce::UndoableAction* createCoalescedAction(juce::UndoableAction* next) override
    {
        // The letters typed into the Name field in one go are one step.
        auto* n = dynamic_cast<Edit*>(next);
        if (n == nullptr || !typingName || !n->typingName || n->selectAfter != selectAfter)
            return nullptr;
        return new Edit(panel, delta.followedBy(n->delta), selectBefore, n->selectAfter, true);
    }

private:
    KbdSettingComponent49& panel;
    const SettingsDelta delta;
    const int selectBefore, selectAfter;
    const bool typingName;
    std::set<std::pair<int, int>> newlyPinned; // values this step was the first to hold against the keyboard
};

KbdSettingComponent49::KbdSettingComponent49() : KbdSettingComponent49(systemMidiPorts(), nullptr) {}

KbdSettingComponent49::KbdSettingComponent49(MidiPortSystem& ports, std::unique_ptr<EditorDialogs> d)
    : link(ports), manager(link.getManager()), readOut(link.getReadOut()), sender(link.getSender()),
      dialogs(std::move(d))
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
            readOutIncompletePending = true;
        else
            readOutCompletePending = true;
        triggerAsyncUpdate();
    };
    sender.onProgress = [this]
    {
        triggerAsyncUpdate();
    };
    sender.onFinished = [this](const VerifiedSend::Result& result)
    {
        {
            std::lock_guard<std::mutex> g(sendResultLock);
            sendResultPending = result;
        }
        triggerAsyncUpdate();
    };
    statusDisplay().onClick = [this]
    {
        searchAgain();
    };
    nameEditor->addListener(this);
    savedState = manager.snapshot();

    manager.addListener(this);
    // The search starts from the message loop, once the window that holds the panel is on the screen:
    // opening the system's MIDI ports need not delay it.
    scanStartPending = true;
    triggerAsyncUpdate();
    updateStatus();
}

KbdSettingComponent49::~KbdSettingComponent49()
{
    if (keyTarget != nullptr)
        keyTarget->removeKeyListener(this);
    // No MIDI callback or send may reach the panel while it comes apart.
    link.close();
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
    // The field names the selected control, so typing in it shows a caret.
    nameEditor->setCaretVisible(true);
    nameEditor->setInputRestrictions(maxControlNameLength);
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
    sendKeyboardButton->setTooltip("Send the whole configuration to the keyboard and check it (Ctrl+Return)");
    defaultButton->setTooltip("Restore the factory values in the editor (Ctrl+Z takes it back)");

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
    loadButton->setTooltip("Load a settings file (Ctrl+O)");
    saveButton->setTooltip("Save the configuration to a settings file (Ctrl+S)");
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
    // While the user types a name, the field is theirs.
    if (!editingName)
        nameEditor->setText(nameShownFor(selectedItemId), false);

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
    // The link has handed the event to the read-out and the send already.
    switch (event)
    {
    case ScanEndedUnanswered:
        scanEndedPending = true;
        break;
    case KeyboardDetected:
        detectedPending = true;
        break;
    case KeyboardUnplugged:
        unpluggedPending = true;
        break;
    case ControlChanged:
    case ModulationWheelMoved:
    case PitchWheelMoved:
    case SustainPedalMoved:
    case ExpressionPedalMoved:
    case AuxPedalMoved:
    case BreathControlMoved:
    case PadStruck:
        touchedPending = p1;
        break;
    default:
        break;
    }
    // Every answer moves the status on (read-out progress) as well.
    triggerAsyncUpdate();
}

void KbdSettingComponent49::handleAsyncUpdate()
{
    if (scanStartPending.exchange(false))
    {
        manager.startScan();
        // Plugging the keyboard in late, or again, is noticed without a restart.
        manager.watchPorts(1000);
    }
    if (globalsPending.exchange(false))
        showGlobals();
    if (detectedPending.exchange(false))
    {
        startupScan = false;
        unplugged = false;
        readIncomplete = false;
        readAt = {};
        lastSend.reset();
        note = {};
    }
    if (unpluggedPending.exchange(false))
    {
        unplugged = true;
        readOut.cancel(); // its answers cannot come any more; the stall box would only confuse
    }
    if (scanEndedPending.exchange(false) && !manager.isKeyboardFound())
    {
        if (startupScan)
        {
            // Without a keyboard the keyboard-wide values would stay unset and blank, yet Save would write
            // them: the editor's defaults are put in and shown, so what is saved is what is seen.
            const auto before = manager.snapshot();
            bool blank = true;
            for (int id : {globalKnobMode, globalFaderMode, globalSplitMode, globalSplitPoint})
                blank = blank && before.globals[(size_t)id] == 0;
            if (blank && !manager.getPins().isPinned(OrvManager49::globalField, globalSplitPoint))
            {
                manager.modify([](SettingsState& state) { state.applyEditorGlobalDefaults(); });
                if (savedState == before)
                    savedState = manager.snapshot();
                showGlobals();
            }
            // The box belongs to the search at start-up; later searches answer in the status display.
            dialogs->showMessage(keyboardProblemTitle, notDetectedText);
        }
        startupScan = false;
    }
    if (readOutCompletePending.exchange(false))
        afterReadOut();
    if (readOutIncompletePending.exchange(false) && manager.isKeyboardFound())
    {
        readIncomplete = true;
        // What did arrive is the keyboard's, not a change of the user's.
        if (!userEdited && !fileTouched)
            savedState = manager.snapshot();
        dialogs->showMessage(
            keyboardProblemTitle,
            "The keyboard stopped answering while its settings were being read, so the settings "
            "shown may not be the keyboard's. Please check the connection and try again.");
    }

    std::optional<VerifiedSend::Result> result;
    {
        std::lock_guard<std::mutex> g(sendResultLock);
        result.swap(sendResultPending);
    }
    if (result)
        showSendResult(*result);

    // A moved control is selected as a click would, unless the user is busy in a list or a dialog.
    const int touched = touchedPending.exchange(-1);
    if (touched >= 0 && juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0 &&
        !nameEditor->hasKeyboardFocus(true))
        picker->selectTouchedControl(touched);

    updateStatus();
}

void KbdSettingComponent49::showSendResult(const VerifiedSend::Result& result)
{
    sentAt = juce::Time::getCurrentTime();
    lastSend = result;
    using Outcome = VerifiedSend::Outcome;
    if (result.outcome == Outcome::verified || result.outcome == Outcome::differences)
    {
        // The keyboard now holds what was sent, but for the values it was seen to refuse.
        confirmed = sentConfiguration;
        for (const auto& d : result.differences)
        {
            if (d.field == OrvManager49::globalField)
                confirmed->globals[(size_t)d.id] = (int16_t)d.readBack;
            else
                confirmed->set(d.field, d.id, d.readBack);
        }
    }
    const bool closing = std::exchange(closeAfterSend, false);
    if (closing && result.outcome == Outcome::verified && onCloseApproved)
    {
        // Changes made while that send ran go too before the window closes.
        if (unsentValues().empty())
        {
            onCloseApproved();
            return;
        }
        closeAfterSend = true;
        sendToKeyboard();
        return;
    }
    if (result.outcome == Outcome::notConnected)
    {
        lastSend.reset();
        dialogs->showMessage(keyboardProblemTitle,
                             "The keyboard's MIDI output could not be opened, so it can't be set.");
    }
    else if (result.outcome == Outcome::lost)
        dialogs->showMessage(keyboardProblemTitle, result.describe() + ". " + unpluggedText);
    else if (result.outcome != Outcome::verified)
        dialogs->showMessage(keyboardProblemTitle, result.describe() + ".");
}

void KbdSettingComponent49::updateStatus()
{
    // The marks and the count of changes not sent come from one comparison.
    refreshMarks();
    auto& display = statusDisplay();
    const auto port = manager.getKeyboardOutputName();
    if (sender.isRunning())
    {
        const auto p = sender.getProgress();
        if (p.phase == VerifiedSend::Phase::reading)
            display.setStatus("Checking what the keyboard took",
                              "Verifying " + juce::String(p.done) + " of " + juce::String(p.total),
                              "Reading the settings back to compare them with what was sent.", false);
        else if (p.phase == VerifiedSend::Phase::retrying)
            display.setStatus("Sending again, try " + juce::String(p.attempt) + " of 3",
                              "Retrying " + juce::String(p.done) + " of " + juce::String(p.total),
                              "Sending again the values the keyboard did not take.", false);
        else
            display.setStatus("Sending to the keyboard",
                              "Sending " + juce::String(p.total > 0 ? 100 * p.done / p.total : 0) + "%",
                              "Sending the whole configuration to the keyboard.", false);
        return;
    }
    if (readOut.isActive())
    {
        display.setStatus("Reading from the keyboard",
                          "Reading " + juce::String(readOut.stepsDone()) + " of " +
                              juce::String(ReadOutChain::numSteps()),
                          "Reading the keyboard's settings on " + port + ".", false);
        return;
    }
    // A search about to start is shown as one under way: the window's first picture says so.
    if (!manager.isKeyboardFound() && (manager.isScanning() || scanStartPending))
    {
        display.setStatus("Looking at the MIDI ports", "Searching...",
                          "Looking for the keyboard among the system's MIDI ports.", false);
        return;
    }
    if (!manager.isKeyboardFound())
    {
        if (unplugged)
            display.setStatus("Plug it in again to reconnect", "Unplugged",
                              juce::String(unpluggedText) + " Click here to search again.", true);
        else
            display.setStatus(note.isNotEmpty() ? note : "Check cable, power, MIDI port", "Not found: click",
                              notFoundAdvice, true);
        return;
    }

    // The last thing that happened on the link, then whether the editor holds changes the keyboard lacks.
    juce::String detail = port, headline = readIncomplete ? "Not all read" : "Connected",
                 tooltip = "Connected to the keyboard on " + port + ".";
    if (lastSend)
    {
        const auto when = clockTime(sentAt);
        const auto& r = *lastSend;
        tooltip = r.describe() + ".";
        if (r.outcome == VerifiedSend::Outcome::verified)
        {
            detail = "Sent and verified at " + when;
            headline = "Verified";
        }
        else if (r.outcome == VerifiedSend::Outcome::differences)
        {
            detail = "Sent at " + when + ", not all taken";
            headline = juce::String((int)r.differences.size()) +
                       (r.differences.size() == 1 ? " value differs" : " values differ");
        }
        else
        {
            detail = "Sent at " + when + ", not verified";
            headline = "Not verified";
        }
    }
    else if (readAt != juce::Time())
    {
        detail = "Read from the keyboard at " + clockTime(readAt);
        headline = "Connected";
        tooltip = detail + " on " + port + ".";
    }
    const int unsent = (int)unsentShown.size();
    if (unsent > 0)
    {
        headline = editsText(unsent) + " not sent";
        tooltip << " " << editsText(unsent) << " in the editor are not on the keyboard yet; Send to Keyboard "
                << "sends them.";
    }
    display.setStatus(note.isNotEmpty() ? note : detail, headline, tooltip, false);
}

//==============================================================================
void KbdSettingComponent49::applyUserChange(const std::function<void(SettingsState&)>& change,
                                            bool typingName)
{
    const auto before = manager.snapshot();
    auto after = before;
    change(after);
    auto delta = SettingsDelta::between(before, after);
    if (delta.empty())
        return;
    if (!typingName || nameTransactionFor != selectedItemId)
        undoManager.beginNewTransaction();
    nameTransactionFor = typingName ? selectedItemId : -1;
    userEdited = true;
    note = {};
    undoManager.perform(new Edit(*this, std::move(delta), selectedItemId, selectedItemId, typingName));
}

std::set<std::pair<int, int>> KbdSettingComponent49::applyDelta(const SettingsDelta& delta, bool forward,
                                                                int selectId,
                                                                const std::set<std::pair<int, int>>& answered)
{
    // A value the user set, or set back, is theirs until it is sent: the keyboard's answers leave it alone.
    std::set<std::pair<int, int>> newlyPinned;
    bool numbers = false;
    for (const auto& v : delta.values)
    {
        if (!manager.getPins().isPinned(v.field, v.id))
            newlyPinned.insert({v.field, v.id});
        pinEdit(v.field, v.id);
        numbers = numbers || v.field == itemFieldNumber;
    }
    manager.modify([&](SettingsState& state) { delta.apply(state, forward); });
    // Taking back an edit that alone held a value against the keyboard returns to what the keyboard said,
    // where it answered after the edit was made: the value before the edit was only a stand-in.
    for (const auto& key : answered)
        if (const auto answer = manager.getPins().keptAnswer(key.first, key.second))
        {
            if (key.first == OrvManager49::globalField)
                manager.setGlobal(key.second, *answer);
            else
                manager.setItemField(key.first, key.second, *answer);
            manager.getPins().unpin(key.first, key.second);
        }
    if (numbers)
        manager.rebuildNumberIndex();
    if (selectId >= 0 && selectId != selectedItemId)
        selectControl(selectId);
    showGlobals();
    if (selectedItemId >= 0)
        refreshSelectedControl();
    updateStatus();
    return newlyPinned;
}

bool KbdSettingComponent49::undo()
{
    nameTransactionFor = -1;
    return undoManager.undo();
}

bool KbdSettingComponent49::redo()
{
    nameTransactionFor = -1;
    return undoManager.redo();
}

void KbdSettingComponent49::selectControl(int id)
{
    if (auto* button = picker->findButtonFor(id))
        button->setToggleState(true, juce::dontSendNotification);
    selectedItemId = id;
    refreshSelectedControl();
}

juce::String KbdSettingComponent49::nameShownFor(int id) const
{
    std::optional<juce::String> named;
    manager.read(
        [&](const SettingsState& s)
        {
            if (s.names.count(id) != 0)
                named = controlLabel(s, id);
        });
    if (named)
        return *named;
    const auto own = itemNames.find((juce::uint16)(id & 0xFFFF));
    return own != itemNames.end() ? own->second : juce::String();
}

void KbdSettingComponent49::markSaved()
{
    savedState = manager.snapshot();
    fileTouched = true;
    userEdited = false;
}

void KbdSettingComponent49::afterReadOut()
{
    readAt = juce::Time::getCurrentTime();
    // What the keyboard said, but for the values the user changed meanwhile: what it holds there is unknown.
    confirmed = manager.snapshot();
    for (const auto& [field, id] : manager.getPins().values())
    {
        const int answer = manager.getPins().keptAnswer(field, id).value_or(-2);
        if (field == OrvManager49::globalField)
            confirmed->globals[(size_t)id] = (int16_t)answer;
        else
            confirmed->set(field, id, answer);
    }
    if (!userEdited && !fileTouched)
        savedState = manager.snapshot();
}

std::set<std::pair<int, int>> KbdSettingComponent49::unsentValues() const
{
    if (!confirmed)
        return manager.getPins().values();
    // Compared where the store holds them: this runs on every status update.
    std::set<std::pair<int, int>> unsent;
    manager.read(
        [&](const SettingsState& s)
        {
            for (int id : ControlCatalogue::configurableControls())
                for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
                    if (s.get(field, id) != confirmed->get(field, id))
                        unsent.insert({field, id});
            for (int id : OrvManager49::sentGlobals)
                if (s.globals[(size_t)id] != confirmed->globals[(size_t)id])
                    unsent.insert({OrvManager49::globalField, id});
        });
    return unsent;
}

bool KbdSettingComponent49::hasUnsavedChanges() const
{
    return manager.snapshot() != savedState;
}

void KbdSettingComponent49::confirmClose(std::function<void()> approved)
{
    const int unsent = manager.isKeyboardFound() ? (int)unsentValues().size() : 0;
    const bool unsaved = hasUnsavedChanges();
    if (unsent == 0 && !unsaved)
        return approved();
    // A second request to close while the question is up changes nothing.
    if (closeQuestionOpen)
        return;

    juce::String what;
    if (unsent > 0)
        what << editsText(unsent) << (unsent == 1 ? " has" : " have") << " not been sent to the keyboard";
    if (unsaved)
        what << (what.isEmpty() ? "The configuration has" : ", and the configuration has")
             << " changes that are not saved in a file";
    what << ".";

    closeQuestionOpen = true;
    dialogs->askBeforeClosing(
        what,
        [self = Self(this), approved = std::move(approved)](EditorDialogs::CloseChoice choice)
        {
            if (self == nullptr)
                return;
            // Until a save asked for here has ended, the question counts as open.
            self->closeQuestionOpen = choice == EditorDialogs::CloseChoice::save;
            switch (choice)
            {
            case EditorDialogs::CloseChoice::send:
                if (!self->manager.isKeyboardFound())
                {
                    self->dialogs->showMessage(keyboardProblemTitle, cannotSetText);
                    return;
                }
                // The window closes once the keyboard is seen to hold everything.
                self->closeAfterSend = true;
                self->sendToKeyboard();
                return;
            case EditorDialogs::CloseChoice::save:
                self->saveSettings(
                    [self, approved](bool saved)
                    {
                        if (self != nullptr)
                            self->closeQuestionOpen = false;
                        if (saved)
                            approved();
                    });
                return;
            case EditorDialogs::CloseChoice::discard:
                approved();
                return;
            case EditorDialogs::CloseChoice::cancel:
            default:
                return;
            }
        });
}

void KbdSettingComponent49::refreshMarks()
{
    auto unsent = unsentValues();
    if (unsent == unsentShown)
        return;
    unsentShown = std::move(unsent);
    std::set<int> controls;
    for (const auto& [field, id] : unsentShown)
        if (field != OrvManager49::globalField)
            controls.insert(id);
    picker->setMarkedControls(controls);
    repaint();
}

void KbdSettingComponent49::paintOverChildren(juce::Graphics& g)
{
    // A small amber corner on each box whose value the keyboard does not have yet.
    std::vector<juce::Component*> marked;
    for (const auto& [box, id] : globalBoxes())
        if (unsentShown.count({OrvManager49::globalField, id}) != 0)
            marked.push_back(box);
    for (const auto& [box, field] : fieldBoxes())
        if (unsentShown.count({field, selectedItemId}) != 0)
            marked.push_back(box);
    g.setColour(juce::Colour(0xFFE8A33D));
    for (auto* box : marked)
    {
        const auto r = box->getBounds().toFloat();
        juce::Path corner;
        corner.addTriangle(r.getX(), r.getY(), r.getX() + 7.0f, r.getY(), r.getX(), r.getY() + 7.0f);
        g.fillPath(corner);
    }
}

void KbdSettingComponent49::textEditorTextChanged(juce::TextEditor& editor)
{
    if (&editor != nameEditor.get() || !ControlCatalogue::isConfigurable(selectedItemId))
        return;
    // Emptying the field gives the control its own name back.
    const auto text = editor.getText();
    const int id = selectedItemId;
    const char* own = ControlCatalogue::displayName(id);
    const bool named = isPlainControlName(text) && !(own != nullptr && text == own);
    const juce::ScopedValueSetter<bool> typing(editingName, true);
    applyUserChange(
        [&](SettingsState& state)
        {
            if (named)
                state.names[id] = text.toStdString();
            else
                state.names.erase(id);
        },
        true);
}

void KbdSettingComponent49::textEditorFocusLost(juce::TextEditor& editor)
{
    nameTransactionFor = -1;
    if (&editor == nameEditor.get() && selectedItemId >= 0)
        editor.setText(nameShownFor(selectedItemId), false);
}

bool KbdSettingComponent49::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    const auto mods = key.getModifiers();
    if (!mods.isCommandDown())
        return false;
    const auto letter = juce::CharacterFunctions::toLowerCase((juce::juce_wchar)key.getKeyCode());
    if (letter == 'z' && mods.isShiftDown())
        redo();
    else if (letter == 'z')
        undo();
    else if (letter == 'y')
        redo();
    else if (letter == 'o')
        loadSettings();
    else if (letter == 's')
        saveSettings();
    else if (key.getKeyCode() == juce::KeyPress::returnKey)
        sendToKeyboard();
    else
        return false;
    return true;
}

void KbdSettingComponent49::parentHierarchyChanged()
{
    // The shortcuts work wherever the focus is in the window: they are heard at its top.
    auto* top = getTopLevelComponent();
    if (top == keyTarget.getComponent())
        return;
    if (keyTarget != nullptr)
        keyTarget->removeKeyListener(this);
    keyTarget = top != this ? top : nullptr;
    if (keyTarget != nullptr)
        keyTarget->addKeyListener(this);
}

void KbdSettingComponent49::searchAgain()
{
    if (manager.isScanning() || manager.isKeyboardFound())
        return;
    manager.startScan();
    updateStatus();
}

void KbdSettingComponent49::pinEdit(int field, int id)
{
    manager.getPins().pin(field, id);
}

std::array<std::pair<juce::ComboBox*, int>, 6> KbdSettingComponent49::globalBoxes() const
{
    return {{{lowerChannelCombo.get(), globalLowerChannel},
             {knobModeCombo.get(), globalKnobMode},
             {splitModeCombo.get(), globalSplitMode},
             {upperChannelCombo.get(), globalUpperChannel},
             {faderModeCombo.get(), globalFaderMode},
             {splitPointCombo.get(), globalSplitPoint}}};
}

std::array<std::pair<juce::ComboBox*, int>, 5> KbdSettingComponent49::fieldBoxes() const
{
    return {{{numberCombo.get(), itemFieldNumber},
             {modeCombo.get(), itemFieldMode},
             {channelCombo.get(), itemFieldChannel},
             {maxCombo.get(), itemFieldMaxMsb},
             {minCombo.get(), itemFieldMinLsb}}};
}

void KbdSettingComponent49::comboBoxChanged(juce::ComboBox* combo)
{
    const int index = combo->getSelectedItemIndex();
    if (index < 0)
        return;

    for (const auto& [box, id] : globalBoxes())
    {
        if (box != combo)
            continue;
        const bool twoWay = id == globalKnobMode || id == globalSplitMode || id == globalFaderMode;
        const int value = twoWay ? twoWayValue(index) : index;
        applyUserChange([id = id, value](SettingsState& state)
                        { state.globals[(size_t)id] = (int16_t)value; });
        return;
    }
    if (!ControlCatalogue::isConfigurable(selectedItemId))
        return; // no control selected, or one the keyboard keeps no settings for (the pitch wheel)

    for (const auto& [box, field] : fieldBoxes())
    {
        if (box != combo)
            continue;
        const int value =
            field == itemFieldChannel ? ControlCatalogue::channelList()[(size_t)index].code : index;
        applyUserChange([field = field, value, id = selectedItemId](SettingsState& state)
                        { state.set(field, id, value); });
        return;
    }
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
    // Every value Default Values sets stays as set, even where an answer of a read-out is still coming.
    for (int id : ControlCatalogue::configurableControls())
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            pinEdit(field, id);
    for (int id : OrvManager49::sentGlobals)
        pinEdit(OrvManager49::globalField, id);
    applyUserChange(
        [](SettingsState& state)
        {
            state.resetItemsToDefaults();
            state.applyEditorGlobalDefaults();
        });
    // No question is asked: the step can be taken back, and the status says how.
    note = "Defaults set: Ctrl+Z takes them back";
    updateStatus();
}

void KbdSettingComponent49::sendToKeyboard()
{
    if (sender.isRunning())
        return; // the status display shows the send in progress
    if (!manager.isKeyboardFound())
    {
        dialogs->showMessage(keyboardProblemTitle, unplugged ? unpluggedText : cannotSetText);
        return;
    }
    // What is sent is the editor's configuration; a read-out still running would only overwrite the
    // read-back of it.
    readOut.cancel();
    lastSend.reset();
    note = {};
    // The send and its verification run on their own thread: the window stays responsive, and the status
    // display shows the progress.
    sentConfiguration = manager.snapshot();
    sender.start(sentConfiguration);
    updateStatus();
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
    // The reason stands on a line of its own, so it starts as a sentence does.
    dialogs->showMessage(fileProblemTitle, what + " " + file.getFullPathName() + ":\n" +
                                               why.substring(0, 1).toUpperCase() + why.substring(1) + ".");
}

void KbdSettingComponent49::loadSettings()
{
    // One file dialog at a time: a second would take the first one's place and its answer would be lost.
    if (std::exchange(fileDialogOpen, true))
        return;
    dialogs->chooseFileToOpen("Please select the settings file you want to load...",
                              settingsFolder.value_or(documentsFolder()), "*.qmv49",
                              [self = Self(this)](std::optional<juce::File> chosen)
                              {
                                  if (self == nullptr)
                                      return;
                                  self->fileDialogOpen = false;
                                  if (chosen)
                                      self->loadSettingsFrom(*chosen);
                              });
}

void KbdSettingComponent49::loadSettingsFrom(const juce::File& file)
{
    // Save... then proposes the folder of the file last loaded, also one the editor was opened with.
    if (file.getParentDirectory().isDirectory())
        settingsFolder = file.getParentDirectory();
    SettingsDocument doc;
    const auto result = readSettingsDocument(file, doc);
    if (!result.ok)
    {
        reportFileProblem("Nothing was loaded from", file, result.message);
        return;
    }
    // Every value the file sets stays as loaded, even where an answer of a read-out is still coming.
    for (const auto& item : doc.items)
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            pinEdit(field, item.id);
    for (const auto& [slot, value] : doc.globals)
        pinEdit(OrvManager49::globalField, slot);
    // One step, whatever the file holds; the keyboard is not involved.
    applyUserChange([&doc](SettingsState& state) { doc.applyTo(state); });
    markSaved();

    // The problems 'quillet check' finds: the file as a freshly started editor would load it.
    SettingsState fresh;
    fresh.resetItemsToDefaults();
    doc.applyTo(fresh);
    const auto problems = settingsProblems(doc, result, fresh);
    if (!problems.isEmpty())
    {
        const int n = problems.size();
        juce::StringArray shown;
        for (int i = 0; i < juce::jmin(n, 12); ++i)
            shown.add(problems[i]);
        if (n > 12)
            shown.add("and " + juce::String(n - 12) + " more ('quillet check' lists them all)");
        dialogs->showMessage(fileProblemTitle, juce::String(n) + (n == 1 ? " problem" : " problems") +
                                                   " in " + file.getFullPathName() +
                                                   "; what could be used was loaded.\n\n" +
                                                   shown.joinIntoString("\n"));
    }
}

void KbdSettingComponent49::chooseSaveTarget(const juce::String& title, const juce::String& proposedName,
                                             std::optional<juce::File> KbdSettingComponent49::*folder,
                                             std::function<void(std::optional<juce::File>)> chosen)
{
    const auto extension = proposedName.fromLastOccurrenceOf(".", false, false);
    // A file in the folder, not the folder itself: given a folder, the toolkit proposes its name.
    dialogs->chooseFileToSave(
        title, (this->*folder).value_or(documentsFolder()).getChildFile(proposedName), "*." + extension,
        [self = Self(this), folder, extension, chosen = std::move(chosen)](std::optional<juce::File> picked)
        {
            if (self == nullptr)
                return;
            if (!picked)
                return chosen(std::nullopt);
            (*self.getComponent()).*folder = picked->getParentDirectory();
            const auto file = withReplacedExtension(*picked, extension);
            // The dialog confirmed the name that was typed; a different file that the new extension hits is
            // asked for.
            if (file == *picked || !file.exists())
                return chosen(file);
            self->dialogs->confirmOverwrite(file,
                                            [self, file, chosen](bool replace)
                                            {
                                                if (self != nullptr)
                                                    chosen(replace ? std::optional<juce::File>(file)
                                                                   : std::nullopt);
                                            });
        });
}

void KbdSettingComponent49::writeTo(const juce::File& file, const juce::String& failure,
                                    std::function<FileWriteResult(ReadOnlyFiles)> write,
                                    std::function<void(bool)> done)
{
    auto finish = [self = Self(this), file, failure, done](const FileWriteResult& result)
    {
        if (self == nullptr)
            return;
        if (!result.ok)
            self->reportFileProblem(failure, file, result.message);
        done(result.ok);
    };
    const auto result = write(ReadOnlyFiles::refuse);
    if (!result.readOnly)
        return finish(result);
    // A read-only file is the user's to replace, but only when asked.
    dialogs->confirmReplaceReadOnly(file,
                                    [self = Self(this), write, finish, done](bool replace)
                                    {
                                        if (self == nullptr)
                                            return;
                                        if (replace)
                                            finish(write(ReadOnlyFiles::replace));
                                        else
                                            done(false);
                                    });
}

void KbdSettingComponent49::saveTo(const juce::String& title, const juce::String& proposedName,
                                   std::optional<juce::File> KbdSettingComponent49::*folder,
                                   const juce::String& failure,
                                   std::function<FileWriteResult(const juce::File&, ReadOnlyFiles)> write,
                                   std::function<void(bool)> done)
{
    // One file dialog at a time: a second would take the first one's place and its answer would be lost.
    if (std::exchange(fileDialogOpen, true))
    {
        if (done)
            done(false);
        return;
    }
    const auto ended = [self = Self(this), done](bool written)
    {
        if (self != nullptr)
            self->fileDialogOpen = false;
        if (done)
            done(written);
    };
    chooseSaveTarget(title, proposedName, folder,
                     [self = Self(this), failure, write, ended](std::optional<juce::File> file)
                     {
                         if (self == nullptr)
                             return;
                         if (!file)
                             return ended(false);
                         self->writeTo(
                             *file, failure,
                             [write, f = *file](ReadOnlyFiles readOnly) { return write(f, readOnly); },
                             ended);
                     });
}

void KbdSettingComponent49::saveSettings(std::function<void(bool)> done)
{
    // What the file holds, taken as it is written: what changes while a question is up is not in it.
    auto written = std::make_shared<SettingsState>();
    saveTo(
        "Please select the settings file where to save...", "Quillet 49 setup.qmv49",
        &KbdSettingComponent49::settingsFolder, "The settings could not be saved to",
        [this, written](const juce::File& file, ReadOnlyFiles readOnly)
        {
            *written = manager.snapshot();
            return writeSettingsFile(manager, file, readOnly);
        },
        [self = Self(this), written, done](bool saved)
        {
            if (self != nullptr && saved && self->manager.snapshot() == *written)
                self->markSaved();
            if (done)
                done(saved);
        });
}

void KbdSettingComponent49::writeChart()
{
    saveTo("Please select the chart file...", "Quillet 49 chart.html", &KbdSettingComponent49::chartFolder,
           "The chart could not be written to",
           [this](const juce::File& file, ReadOnlyFiles readOnly)
           { return writeMidiChart(manager, file, readOnly); },
           {});
}
