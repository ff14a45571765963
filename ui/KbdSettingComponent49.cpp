#include "KbdSettingComponent49.h"

#include "ControlDescription.h"
#include "LinkStatusText.h"
#include "files/SettingsFile.h"

namespace
{
bool isTwoWay(int id)
{
    const auto* g = ControlCatalogue::globalParam(id);
    return g != nullptr && g->kind == GlobalKind::twoWay;
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
    : link(ports), manager(link.getManager()),
      dialogs(d != nullptr ? std::move(d) : std::make_unique<NativeEditorDialogs>()),
      history(manager, manager.getPins()), files(manager, history, *dialogs),
      linkState(link, history, *dialogs), closeQuestion(manager, history, *dialogs, files,
                                                        [this]
                                                        {
                                                            linkState.sendThenClose();
                                                            updateStatus();
                                                        }),
      comparison(link, history, *dialogs), library(manager, history, *dialogs, files)
{
    build();
    setSize(1063, 460);
    selectedItemId = -1;
    picker.addActionListener(this);
    for (int id : ControlCatalogue::namedControls())
        itemNames[(juce::uint16)id] = ControlCatalogue::displayName(id);

    using Self = KbdSettingComponent49;
    history.selection = std::bind(&Self::getSelectedItemId, this);
    history.onUserStep = [this]
    {
        linkState.setNote({});
    };
    files.onAnswered = [this](const juce::String& note, std::function<void()> onClick)
    {
        linkState.setNote(note, std::move(onClick));
        if (files.currentFile())
            linkState.setFileName(files.currentFile()->getFileName());
        updateStatus();
    };
    history.onStepApplied = std::bind(&Self::showStep, this, std::placeholders::_1);
    linkState.changed = std::bind(&juce::AsyncUpdater::triggerAsyncUpdate, this);
    linkState.onGlobalsArrived = std::bind(&Self::showGlobals, this);
    // A control selected before the keyboard was read shows what the keyboard holds.
    linkState.onReadOutEnded = [this]
    {
        if (selectedItemId >= 0)
            refreshSelectedControl();
    };
    linkState.onCloseApproved = [this]
    {
        closeQuestion.sendVerified();
    };
    statusDisplay().onClick = [this]
    {
        if (linkState.clickNote())
            return updateStatus();
        searchAgain();
    };
    comparison.statusChanged = std::bind(&Self::updateStatus, this);
    comparison.attachTo(statusDisplay());
    comparison.onLibrary = std::bind(&LibraryCommands::open, &library);
    library.send = std::bind(&Self::sendToKeyboard, this);
    comparison.onComparedControls =
        std::bind(&QMV49CtrlPickerComponent::setComparedControls, &picker, std::placeholders::_1);
    nameEditor.addListener(this);
    selectionEditing.tell = [this](const juce::String& note)
    {
        linkState.setNote(note);
        updateStatus();
    };
    picker.describeControl = [this](int id)
    {
        return describeControlSetting(manager.snapshot(), id);
    };

    manager.addListener(this);
    // The search starts from the message loop, once the window that holds the panel is on the screen:
    // opening the system's MIDI ports need not delay it.
    linkState.searchSoon();
    updateStatus();
}

KbdSettingComponent49::~KbdSettingComponent49()
{
    if (keyTarget != nullptr)
        keyTarget->removeKeyListener(this);
    // No MIDI callback or send may reach the panel while it comes apart.
    link.close();
    cancelPendingUpdate();
    picker.removeActionListener(this);
    history.onStepApplied = nullptr;
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
        nameEditor.setText(nameShownFor(selectedItemId), false);

    // The boxes show the store; they do not write it back. A delayed write-back would overwrite an answer
    // that the keyboard delivered in between with the older value shown here. Every value a box can show
    // maps back to itself, so nothing is lost.
    const auto s = manager.snapshot();
    const auto show = [](juce::ComboBox& box, int index)
    {
        box.setSelectedItemIndex(index, juce::dontSendNotification);
    };
    show(modeCombo, s.get(itemFieldMode, selectedItemId));
    // A code that is not in the list shows blank rather than the entry at that position.
    show(channelCombo, ControlCatalogue::channelListIndex(s.get(itemFieldChannel, selectedItemId)));
    show(numberCombo, s.get(itemFieldNumber, selectedItemId));
    show(minCombo, s.get(itemFieldMinLsb, selectedItemId));
    show(maxCombo, s.get(itemFieldMaxMsb, selectedItemId));
    applyModeSet(selectedItemId);
    selectionEditing.showShared();
    showHints();
}

void KbdSettingComponent49::showHints()
{
    // Three values, read where the store holds them: no copy of the whole configuration.
    int mode = -1, channel = -1, number = -1;
    if (ControlCatalogue::isConfigurable(selectedItemId))
        manager.read(
            [&](const SettingsState& s)
            {
                mode = s.get(itemFieldMode, selectedItemId);
                channel = s.get(itemFieldChannel, selectedItemId);
                number = s.get(itemFieldNumber, selectedItemId);
            });
    hints.update(mode, channel, number);
    // The hints are drawn over their boxes, the corners over the control's boxes: only those are repainted,
    // not the picture.
    for (auto* box : {&numberCombo, &minCombo, &maxCombo})
        repaint(box->getBounds());
    repaintChangedCorners();
}

void KbdSettingComponent49::takeTypedValue(juce::ComboBox& box)
{
    const auto typed = box.getText().trim();
    if (typed.isEmpty())
        return;
    const int value = typed.getIntValue();
    if (typed.containsOnly("0123456789") && value <= 127)
        return box.setSelectedItemIndex(value, juce::sendNotificationSync);
    refreshSelectedControl();
}

void KbdSettingComponent49::applyModeSet(int itemId)
{
    const auto set = ControlCatalogue::modeSetOf(itemId);
    if (set == ModeSet::none)
        return;
    for (int id = 1; id <= numItemModes; ++id)
        modeCombo.setItemEnabled(id, ControlCatalogue::isModeAllowed(set, id - 1));
}

void KbdSettingComponent49::showGlobals()
{
    // A two-choice value shows as its first choice unless it is 127; the store takes the shown value at
    // once, in one step, so that what is sent is what is shown.
    SettingsState s;
    manager.modify(
        [&s](SettingsState& state)
        {
            for (const auto& g : globalParamTable)
                if (isTwoWay(g.id))
                    state.globals[(size_t)g.id] =
                        (int16_t)twoWayValue(twoWayIndex(state.globals[(size_t)g.id]));
            s = state;
        });
    for (const auto& [box, id] : globalBoxes())
    {
        const int value = s.globals[(size_t)id];
        box->setSelectedItemIndex(isTwoWay(id) ? twoWayIndex(value) : value, juce::dontSendNotification);
    }
}

//==============================================================================
void KbdSettingComponent49::handleManagerEvent(int event, int p1, int, int)
{
    // The link has handed the event to the read-out and the send already.
    linkState.noteEvent(event, p1);
}

void KbdSettingComponent49::handleAsyncUpdate()
{
    const int touched = linkState.update();
    // A moved control is selected as a click would, unless the user is busy in a list or a dialog.
    if (touched >= 0 && juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0 &&
        !nameEditor.hasKeyboardFocus(true))
        picker.selectTouchedControl(touched);
    updateStatus();
}

void KbdSettingComponent49::updateStatus()
{
    // The marks and the count of changes not sent come from one comparison.
    refreshMarks();
    manager.read([this](const SettingsState& s) { picker.setUserNames(s.names); });
    const auto facts = linkState.facts((int)unsentShown.size());
    auto t = describeLink(facts);
    comparison.decorate(t, facts);
    statusDisplay().setStatus(t.detail, t.headline, t.tooltip, t.clickable);
}

//==============================================================================
void KbdSettingComponent49::showStep(int selectId)
{
    if (selectId >= 0 && selectId != selectedItemId)
        selectControl(selectId);
    showGlobals();
    if (selectedItemId >= 0)
        refreshSelectedControl();
    updateStatus();
}

void KbdSettingComponent49::selectControl(int id)
{
    if (auto* button = picker.findButtonFor(id))
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

//==============================================================================
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
    picker.setMarkedControls(controls);
    repaintChangedCorners();
}

void KbdSettingComponent49::textEditorTextChanged(juce::TextEditor& editor)
{
    if (&editor != &nameEditor || !ControlCatalogue::isConfigurable(selectedItemId))
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
    history.endTyping();
    if (&editor == &nameEditor && selectedItemId >= 0)
        editor.setText(nameShownFor(selectedItemId), false);
}

bool KbdSettingComponent49::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    if (pickerFocus.unfocusedKey(key))
        return true;
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
    else if (letter == 'r')
        comparison.readFromKeyboard();
    else if (letter == 'l')
        library.open();
    else if (key.getKeyCode() == juce::KeyPress::returnKey)
        sendToKeyboard();
    else
        return selectionEditing.keyPressed(key);
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
    linkState.searchStarted();
    manager.startScan();
    updateStatus();
    juce::Timer::callAfterDelay(LinkState::minimumSearchShownMs + 50,
                                [safe = juce::Component::SafePointer<KbdSettingComponent49>(this)]
                                {
                                    if (safe != nullptr)
                                        safe->updateStatus();
                                });
}

std::array<std::pair<juce::ComboBox*, int>, 6> KbdSettingComponent49::globalBoxes()
{
    return {{{&lowerChannelCombo, globalLowerChannel},
             {&knobModeCombo, globalKnobMode},
             {&splitModeCombo, globalSplitMode},
             {&upperChannelCombo, globalUpperChannel},
             {&faderModeCombo, globalFaderMode},
             {&splitPointCombo, globalSplitPoint}}};
}

std::array<std::pair<juce::ComboBox*, int>, 5> KbdSettingComponent49::fieldBoxes()
{
    return {{{&numberCombo, itemFieldNumber},
             {&modeCombo, itemFieldMode},
             {&channelCombo, itemFieldChannel},
             {&maxCombo, itemFieldMaxMsb},
             {&minCombo, itemFieldMinLsb}}};
}

void KbdSettingComponent49::comboBoxChanged(juce::ComboBox* combo)
{
    const int index = combo->getSelectedItemIndex();
    if (index < 0)
    {
        // Text typed into a box that takes it, which no list entry matched.
        if (combo->isTextEditable())
            takeTypedValue(*combo);
        return;
    }

    for (const auto& [box, id] : globalBoxes())
    {
        if (box != combo)
            continue;
        const int value = isTwoWay(id) ? twoWayValue(index) : index;
        history.applyUserWrites({{OrvManager49::globalField, id, value}});
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
        if (selectionEditing.apply(field, value))
            return;
        history.applyUserWrites({{field, selectedItemId, value}});
        showHints();
        return;
    }
}

//==============================================================================
void KbdSettingComponent49::buttonClicked(juce::Button* button)
{
    if (button == &defaultButton)
        restoreDefaultValues();
    else if (button == &sendKeyboardButton)
        sendToKeyboard();
    else if (button == &loadButton)
        loadSettings();
    else if (button == &saveButton)
        saveSettings();
    else if (button == &chartButton)
        writeChart();
}

void KbdSettingComponent49::restoreDefaultValues()
{
    // Every value Default Values sets stays as set, even where an answer of a read-out is still coming.
    for (int id : ControlCatalogue::configurableControls())
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            history.hold(field, id);
    for (int id : OrvManager49::sentGlobals)
        history.hold(OrvManager49::globalField, id);
    applyUserChange(
        [](SettingsState& state)
        {
            state.resetItemsToDefaults();
            state.applyEditorGlobalDefaults();
        });
    // No question is asked: the step can be taken back, and the status says how.
    linkState.setNote("Defaults set: Ctrl+Z takes them back");
    updateStatus();
}

void KbdSettingComponent49::sendToKeyboard()
{
    linkState.send();
    updateStatus();
}
