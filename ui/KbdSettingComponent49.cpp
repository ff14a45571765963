#include "KbdSettingComponent49.h"

#include "ControlDescription.h"
#include "LinkStatusText.h"
#include "files/SettingsFile.h"

#include <algorithm>
#include <iterator>

KbdSettingComponent49::KbdSettingComponent49() : KbdSettingComponent49(systemMidiPorts(), nullptr) {}

KbdSettingComponent49::KbdSettingComponent49(MidiPortSystem& ports, std::unique_ptr<EditorDialogs> d)
    : link(ports), manager(link.getManager()),
      dialogs(d != nullptr ? std::move(d) : std::make_unique<NativeEditorDialogs>()),
      history(manager, manager.getAnswerRouter()), files(manager, history, *dialogs),
      linkState(link, history, *dialogs), closeQuestion(manager, history, *dialogs, files,
                                                        [this]
                                                        {
                                                            linkState.sendThenClose();
                                                            updateStatus();
                                                        }),
      comparison(link, history, *dialogs), library(manager, history, *dialogs, files)
{
    setSize(1063, 460);
    w.picker.addActionListener(this);

    using Panel = KbdSettingComponent49;
    history.selection = std::bind(&Panel::getSelectedItemId, this);
    history.onUserStep = [this]
    {
        linkState.setNote({});
    };
    files.onAnswered = [this](const juce::String& note, std::function<void()> onClick)
    {
        linkState.setNote(note, std::move(onClick));
        if (files.currentFile())
        {
            linkState.setFileName(files.currentFile()->getFileName());
            if (onFileNamed)
                onFileNamed(files.currentFile()->getFileName());
        }
        updateStatus();
    };
    history.onStepApplied = std::bind(&Panel::showStep, this, std::placeholders::_1);
    linkState.changed = std::bind(&juce::AsyncUpdater::triggerAsyncUpdate, this);
    statusDisplay().onClick = [this]
    {
        if (linkState.clickNote())
            return updateStatus();
        searchAgain();
    };
    comparison.statusChanged = std::bind(&Panel::updateStatus, this);
    comparison.attachTo(statusDisplay());
    comparison.onLibrary = std::bind(&LibraryCommands::open, &library);
    comparison.onMonitor = std::bind(&MonitorCommands::open, &monitor);
    dawMaps.tell = [this](const juce::String& note)
    {
        linkState.setNote(note);
        updateStatus();
    };
    dawMaps.selectedControls = [this]
    {
        return w.picker.getSelection().ids();
    };
    library.send = std::bind(&Panel::sendToKeyboard, this);
    comparison.onComparedControls =
        std::bind(&QMV49CtrlPickerComponent::setComparedControls, &w.picker, std::placeholders::_1);
    fields.onShown = std::bind(&Panel::repaintChangedCorners, this);
    selectionEditing.tell = fields.tell = [this](const juce::String& note)
    {
        linkState.setNote(note);
        updateStatus();
    };
    w.picker.describeControl = [this](int id)
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
    // No MIDI callback or send may reach the panel while it comes apart.
    link.close();
    cancelPendingUpdate();
    w.picker.removeActionListener(this);
    history.onStepApplied = nullptr;
}

void KbdSettingComponent49::paint(juce::Graphics& g)
{
    // The picture paints every pixel of its part of the panel: the gradient is worked out only where it
    // shows.
    if (w.picker.isVisible() && w.picker.isOpaque())
        g.excludeClipRegion(w.picker.getBounds());
    g.fillAll(juce::Colours::white);
    g.setGradientFill(juce::ColourGradient(findColour(backgroundTopColourId), 328.0f, 8.0f,
                                           findColour(backgroundBottomColourId), 336.0f, 328.0f, false));
    g.fillRect(0, 0, 1063, 500);
}

void KbdSettingComponent49::resized()
{
    w.layOut();
}

void KbdSettingComponent49::paintOverChildren(juce::Graphics& g)
{
    hints.paint(g);
    PanelWidgets::paintCorners(g, boxesWithCorners());
}

void KbdSettingComponent49::repaintChangedCorners()
{
    auto marked = boxesWithCorners();
    std::vector<juce::Component*> changed;
    std::set_symmetric_difference(marked.begin(), marked.end(), cornersShown.begin(), cornersShown.end(),
                                  std::back_inserter(changed));
    for (auto* box : changed)
        repaint(box->getBounds().expanded(2)); // with the corner's outline
    cornersShown = std::move(marked);
}

//==============================================================================
void KbdSettingComponent49::actionListenerCallback(const juce::String& message)
{
    const int id = message.getHexValue32();
    if (fields.isControl(id))
        fields.select(id);
}

//==============================================================================
void KbdSettingComponent49::handleManagerEvent(int event, int p1, int, int)
{
    // The link has handed the event to the read-out and the send already.
    linkState.noteEvent(event, p1);
}

void KbdSettingComponent49::handleAsyncUpdate()
{
    const auto shown = linkState.update();
    if (shown.globalsArrived)
        settleAndShowGlobals();
    // A control selected before the keyboard was read shows what the keyboard holds.
    if (shown.readOutEnded && getSelectedItemId() >= 0)
        fields.show();
    // A moved control is selected as a click would, unless the user is busy in a list or a dialog.
    if (shown.touched >= 0 && juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0 &&
        !w.nameEditor.hasKeyboardFocus(true))
        w.picker.selectTouchedControl(shown.touched);
    updateStatus();
    if (shown.closeApproved)
        closeQuestion.sendVerified();
    else if (shown.sendVerified)
        dawMaps.sendVerified(); // not while the window closes
}

void KbdSettingComponent49::updateStatus()
{
    // The marks and the count of changes not sent come from one comparison.
    refreshMarks();
    manager.read([this](const SettingsState& s) { w.picker.setUserNames(s.names); });
    auto facts = linkState.facts((int)unsentShown.size());
    comparison.addFacts(facts);
    const auto t = describeLink(facts);
    statusDisplay().setStatus(t.detail, t.headline, t.tooltip, t.clickable);
}

//==============================================================================
void KbdSettingComponent49::showStep(int selectId)
{
    if (selectId >= 0 && selectId != getSelectedItemId())
        selectControl(selectId);
    settleAndShowGlobals();
    if (getSelectedItemId() >= 0)
        fields.show();
    updateStatus();
}

void KbdSettingComponent49::selectControl(int id)
{
    if (auto* button = w.picker.findButtonFor(id))
        button->setToggleState(true, juce::dontSendNotification);
    fields.select(id);
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
    w.picker.setMarkedControls(controls);
    repaintChangedCorners();
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

void KbdSettingComponent49::comboBoxChanged(juce::ComboBox* combo)
{
    const int index = combo->getSelectedItemIndex();
    if (index < 0)
    {
        // Text typed into a box that takes it, which no list entry matched.
        if (combo->isTextEditable())
            fields.takeTypedValue(*combo);
        return;
    }
    if (!globals.boxChanged(*combo, index))
        fields.boxChanged(*combo, index);
}

//==============================================================================
void KbdSettingComponent49::buttonClicked(juce::Button* button)
{
    if (button == &w.defaultButton)
        restoreDefaultValues();
    else if (button == &w.sendKeyboardButton)
        sendToKeyboard();
    else if (button == &w.loadButton)
        loadSettings();
    else if (button == &w.saveButton)
        saveSettings();
    else if (button == &w.chartButton)
        writeChart();
}

void KbdSettingComponent49::restoreDefaultValues()
{
    // Every value Default Values sets stays as set, even where an answer of a read-out is still coming.
    for (int id : ControlCatalogue::configurableControls())
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            history.pin(field, id);
    for (int id : OrvManager49::sentGlobals)
        history.pin(OrvManager49::globalField, id);
    applyUserChange(
        [](SettingsState& state)
        {
            state.resetItemsToDefaults();
            state.applyEditorGlobalDefaults();
        });
    // No question is asked: the step can be taken back, and the status says how.
    linkState.setNote(juce::String("Defaults set: ") + commandRecord(EditorCommand::undo).keys +
                      " takes them back");
    updateStatus();
}

void KbdSettingComponent49::sendToKeyboard()
{
    linkState.send();
    updateStatus();
}
