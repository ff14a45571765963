// Editing that can be trusted: undo and redo, what is not sent or not saved, the close question, names, and
// what an offline save writes.
#include "emulator/KeyboardEmulator.h"
#include "files/MidiChart.h"
#include "files/SettingsFile.h"
#include "support/ui_test_support.h"
#include "tools/quillet/Commands.h"
#include "ui/KbdSettingComponent49.h"

#include <sstream>

namespace
{
/** Whether the panel lets the window close, with dialogs that answer at once. */
bool closes(KbdSettingComponent49& panel)
{
    bool approved = false;
    panel.confirmClose([&] { approved = true; });
    return approved;
}

/** Whether Save... saved, with dialogs that answer at once. */
bool saves(KbdSettingComponent49& panel)
{
    bool saved = false;
    panel.saveSettings([&](bool s) { saved = s; });
    return saved;
}

void typeName(KbdSettingComponent49& panel, const juce::String& text)
{
    panel.nameField().setText(text, false);
    panel.getFields().textEditorTextChanged(panel.nameField());
}

class Editing : public ::testing::Test
{
protected:
    /** The panel with the emulated keyboard (read out) or with no MIDI outputs at all. */
    void open(bool withKeyboard)
    {
        if (withKeyboard)
        {
            kbd = std::make_unique<KeyboardEmulator>(ports);
            kbd->setConfiguration(KeyboardEmulator::demoConfiguration());
        }
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
        const auto readOut = [this]
        {
            return panel->statusDisplay().getDetail().startsWith("Read from");
        };
        ASSERT_TRUE(!withKeyboard || pumpUntil(readOut));
        drainMessages();
        dialogs->shown.clear();
    }
    void select(int id)
    {
        panel->getPicker().buttonClicked(panel->getPicker().findButtonFor(id));
        drainMessages();
        ASSERT_EQ(panel->getSelectedItemId(), id);
    }
    SettingsState store() { return panel->getManager().snapshot(); }

    VirtualMidiPorts ports;
    std::unique_ptr<KeyboardEmulator> kbd;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<KbdSettingComponent49> panel;
    ScratchFolder scratch;
};
} // namespace

TEST_F(Editing, EveryStepUndoesAndRedoesWithTheBoxesAndTheSelectedControlFollowing)
{
    open(true);
    const auto start = store();
    select(0x70);
    pick(panel->modeBox(), modeNoteToggle);
    select(0x01);
    pick(panel->splitPointBox(), 72);
    panel->restoreDefaultValues();
    const auto afterDefaults = store();
    ASSERT_NE(afterDefaults, start);

    // The keyboard reports a value in between; undoing an edit never takes it back.
    panel->getManager().setItemField(itemFieldMaxMsb, 0x05, 99);

    const juce::KeyPress ctrlZ('z', juce::ModifierKeys::commandModifier, 0);
    ASSERT_TRUE(panel->commands().keyPressed(ctrlZ, panel.get()));
    EXPECT_EQ(store().get(itemFieldMode, 0x70), modeNoteToggle) << "Default Values taken back";
    EXPECT_EQ(store().get(itemFieldMaxMsb, 0x05), 99);
    EXPECT_EQ(panel->splitPointBox().getSelectedItemIndex(), 72);

    panel->undo();
    EXPECT_EQ(store().globals[globalSplitPoint], start.globals[globalSplitPoint]);
    panel->undo();
    EXPECT_EQ(panel->getSelectedItemId(), 0x70) << "the selection follows the step";
    EXPECT_EQ(panel->modeBox().getSelectedItemIndex(), start.get(itemFieldMode, 0x70));
    EXPECT_FALSE(panel->undo()) << "a read-out is not a step";

    const juce::KeyPress ctrlY('y', juce::ModifierKeys::commandModifier, 0);
    const juce::KeyPress ctrlShiftZ(
        'z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);
    ASSERT_TRUE(panel->commands().keyPressed(ctrlY, panel.get()));
    ASSERT_TRUE(panel->commands().keyPressed(ctrlShiftZ, panel.get()));
    panel->redo();
    auto expected = afterDefaults;
    expected.set(itemFieldMaxMsb, 0x05, 99);
    EXPECT_EQ(store(), expected);
}

TEST_F(Editing, UnsentAndUnsavedChangesFollowEditSendSaveLoadAndUndo)
{
    open(true);
    EXPECT_TRUE(panel->unsentValues().empty());
    EXPECT_FALSE(panel->hasUnsavedChanges());

    // Each of a control's five fields counts on its own, the maximum included.
    select(0x70);
    const std::pair<juce::ComboBox*, int> fields[] = {{&panel->modeBox(), itemFieldMode},
                                                      {&panel->channelBox(), itemFieldChannel},
                                                      {&panel->numberBox(), itemFieldNumber},
                                                      {&panel->minBox(), itemFieldMinLsb},
                                                      {&panel->maxBox(), itemFieldMaxMsb}};
    for (auto [box, field] : fields)
    {
        const int shown = box->getSelectedItemIndex();
        // Both modes are a pad's; the other fields take another of the first sixteen entries.
        const int other = field == itemFieldMode ? (shown == modeNoteToggle ? modeMidiNote : modeNoteToggle)
                                                 : (shown + 1) % 16;
        pick(*box, other);
        EXPECT_EQ(panel->unsentValues(), (std::set<std::pair<int, int>>{{field, 0x70}})) << box->getName();
        EXPECT_EQ(panel->getPicker().getMarkedControls(), std::set<int>{0x70}) << box->getName();
        EXPECT_EQ(panel->statusDisplay().getHeadline(), "1 change not sent");
        panel->undo();
        EXPECT_TRUE(panel->unsentValues().empty()) << box->getName();
        EXPECT_TRUE(panel->getPicker().getMarkedControls().empty()) << box->getName();
    }

    pick(panel->channelBox(), 3);
    pick(panel->knobModeBox(), 0);
    EXPECT_EQ(panel->unsentValues().size(), 2u);
    EXPECT_EQ(panel->getPicker().getMarkedControls(), std::set<int>{0x70});
    EXPECT_TRUE(panel->hasUnsavedChanges());
    EXPECT_EQ(panel->statusDisplay().getHeadline(), "2 changes not sent");

    panel->sendToKeyboard();
    ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "Verified"; }));
    EXPECT_TRUE(panel->unsentValues().empty());
    EXPECT_TRUE(panel->getPicker().getMarkedControls().empty());
    EXPECT_TRUE(panel->hasUnsavedChanges()) << "sent is not saved";

    dialogs->filesToSave.push_back(scratch.file("setup.qmv49"));
    EXPECT_TRUE(saves(*panel));
    EXPECT_FALSE(panel->hasUnsavedChanges());
    EXPECT_TRUE(panel->statusDisplay().getDetail().startsWith("Saved setup.qmv49 at "))
        << panel->statusDisplay().getDetail();

    panel->undo(); // the knob mode
    EXPECT_EQ(panel->unsentValues().size(), 1u);
    EXPECT_TRUE(panel->hasUnsavedChanges());

    dialogs->filesToOpen.push_back(scratch.file("setup.qmv49"));
    panel->loadSettings();
    EXPECT_EQ(panel->statusDisplay().getDetail(), "Loaded setup.qmv49");
    EXPECT_FALSE(panel->hasUnsavedChanges());
    EXPECT_TRUE(panel->unsentValues().empty()) << "the file holds what the keyboard was sent";
}

TEST_F(Editing, ClosingAsksOnlyWhenSomethingWouldBeLostAndHonoursTheAnswer)
{
    open(false);
    EXPECT_TRUE(closes(*panel));
    EXPECT_TRUE(dialogs->closeQuestions.isEmpty()) << "nothing to lose, nothing to ask";

    // A name alone is a change worth a question.
    select(0x01);
    typeName(*panel, "Lead");
    EXPECT_TRUE(panel->hasUnsavedChanges());
    dialogs->closeAnswer = EditorDialogs::CloseChoice::cancel;
    EXPECT_FALSE(closes(*panel));
    ASSERT_EQ(dialogs->closeQuestions.size(), 1);
    EXPECT_TRUE(dialogs->closeQuestions[0].contains("not saved")) << dialogs->closeQuestions[0];
    EXPECT_EQ(dialogs->closeTitles[0], "Unsaved changes");
    EXPECT_FALSE(dialogs->sendOffered[0]) << "no keyboard: nothing to send";
    panel->undo();
    EXPECT_FALSE(panel->hasUnsavedChanges());

    pick(panel->splitPointBox(), 40);
    EXPECT_FALSE(closes(*panel));
    ASSERT_EQ(dialogs->closeQuestions.size(), 2);
    EXPECT_TRUE(dialogs->closeQuestions[1].contains("not saved")) << dialogs->closeQuestions[1];

    // Save... that is cancelled keeps the window open and names no file for its title; one that saves lets it
    // close, the file named.
    juce::StringArray named;
    panel->onFileNamed = [&](const juce::String& name)
    {
        named.add(name);
    };
    dialogs->closeAnswer = EditorDialogs::CloseChoice::save;
    dialogs->filesToSave.push_back(std::nullopt);
    EXPECT_FALSE(closes(*panel));
    EXPECT_TRUE(named.isEmpty());
    dialogs->filesToSave.push_back(scratch.file("kept.qmv49"));
    EXPECT_TRUE(closes(*panel));
    EXPECT_EQ(named, juce::StringArray("kept.qmv49"));
    EXPECT_TRUE(scratch.file("kept.qmv49").existsAsFile());

    pick(panel->splitPointBox(), 41);
    dialogs->closeAnswer = EditorDialogs::CloseChoice::discard;
    EXPECT_TRUE(closes(*panel));

    // The answer comes while the program goes on; asking to close again meanwhile asks nothing more.
    dialogs->holdCloseAnswer = true;
    int approvals = 0;
    panel->confirmClose([&] { ++approvals; });
    panel->confirmClose([&] { ++approvals; });
    EXPECT_EQ(dialogs->closeQuestions.size(), 6);
    ASSERT_TRUE(dialogs->heldCloseAnswer);
    std::exchange(dialogs->heldCloseAnswer, nullptr)(EditorDialogs::CloseChoice::cancel);
    panel->confirmClose([&] { ++approvals; });
    ASSERT_TRUE(dialogs->heldCloseAnswer) << "asked again once the first question was answered";
    dialogs->heldCloseAnswer(EditorDialogs::CloseChoice::discard);
    EXPECT_EQ(approvals, 1);
}

TEST_F(Editing, WhileAFileDialogIsOpenNoOtherOpensAndItsLateAnswerFindsNothingGone)
{
    open(false);
    pick(panel->splitPointBox(), 40);
    dialogs->closeAnswer = EditorDialogs::CloseChoice::save;
    dialogs->holdFileToSave = true;
    int approvals = 0;
    panel->confirmClose([&] { ++approvals; });
    ASSERT_TRUE(dialogs->heldFileToSave);
    const auto opened = dialogs->startedAt.size();

    // Asking to close again, Save..., Chart... or Load... meanwhile opens nothing over it.
    panel->confirmClose([&] { ++approvals; });
    panel->saveSettings();
    panel->writeChart();
    panel->loadSettings();
    EXPECT_EQ(dialogs->closeQuestions.size(), 1);
    EXPECT_EQ(dialogs->startedAt.size(), opened);

    // A value changed while the dialog is up: the cancelled save leaves it unsaved.
    pick(panel->splitPointBox(), 42);
    std::exchange(dialogs->heldFileToSave, nullptr)(std::nullopt);
    EXPECT_EQ(approvals, 0) << "a cancelled save does not close";
    EXPECT_TRUE(panel->hasUnsavedChanges());
    panel->confirmClose([&] { ++approvals; });
    EXPECT_EQ(dialogs->closeQuestions.size(), 2) << "asked again once the save had ended";
    ASSERT_TRUE(dialogs->heldFileToSave);

    // The window goes while the dialog is up: its answer, when it comes, writes nothing.
    auto late = std::exchange(dialogs->heldFileToSave, nullptr);
    panel.reset();
    late(scratch.file("late.qmv49"));
    EXPECT_FALSE(scratch.file("late.qmv49").exists());
    EXPECT_EQ(approvals, 0);
}

TEST_F(Editing, ATypedNameIsKeptSavedLoadedChartedAndUndoneAndAnOfflineSaveChecksClean)
{
    open(false);
    // Offline, the keyboard-wide boxes show what a save writes.
    EXPECT_EQ(panel->splitPointBox().getText(), "C3");
    EXPECT_EQ(panel->knobModeBox().getText(), "Absolute");

    select(0x01);
    typeName(*panel, "Cut");
    typeName(*panel, "Cutoff <A&B>");
    EXPECT_FALSE(panel->statusDisplay().getDetail().contains("at most")) << "nothing to say yet";
    const juce::String longest = "A name as long as a name can be!";
    typeName(*panel, longest);
    EXPECT_TRUE(panel->statusDisplay().getDetail().contains("at most " + juce::String(longest.length())))
        << "the field's limit is said as the user reaches it: " << panel->statusDisplay().getDetail();
    typeName(*panel, "Cutoff <A&B>");
    select(0x70);
    typeName(*panel, "Kick");
    typeName(*panel, "");
    panel->getFields().textEditorFocusLost(panel->nameField());
    EXPECT_EQ(panel->nameField().getText(), "Pad #1") << "an empty field gives the control its own name back";

    dialogs->filesToSave.push_back(scratch.file("named.qmv49"));
    ASSERT_TRUE(saves(*panel));
    std::ostringstream out, err;
    EXPECT_EQ(QuilletCommands::check(scratch.file("named.qmv49"), out, err), QuilletCommands::exitOk)
        << out.str();

    KbdSettingsStore reread;
    ASSERT_TRUE(readSettingsFile(reread, scratch.file("named.qmv49")).ok);
    const auto s = reread.snapshot();
    EXPECT_EQ(s.names, (std::map<int, std::string>{{0x01, "Cutoff <A&B>"}}));
    EXPECT_TRUE(
        createMidiChartXml(s)->toString().contains("<td>Filter Cutoff (Cutoff &lt;A&amp;B&gt;)</td>"));

    // The typing in one control is one step.
    panel->undo(); // "Kick", then emptied
    EXPECT_EQ(store().names.size(), 1u);
    panel->undo();
    EXPECT_TRUE(store().names.empty());
    EXPECT_EQ(panel->getSelectedItemId(), 0x01);
    EXPECT_EQ(panel->nameField().getText(), "Filter Cutoff");
}

TEST_F(Editing, AFileLoadedDuringTheReadOutStaysWholeAndAnEditUndoneThenTakesTheKeyboardsAnswer)
{
    // The keyboard differs from the factory in Pad #1's channel, Filter Cutoff's number and two maximums.
    kbd = std::make_unique<KeyboardEmulator>(ports);
    auto keyboard = KeyboardEmulator::demoConfiguration();
    keyboard.set(itemFieldMaxMsb, 0x05, 90);
    keyboard.set(itemFieldMaxMsb, 0x06, 91);
    kbd->setConfiguration(keyboard);
    kbd->setReplyDelayMs(30);
    std::ostringstream out, err;
    ASSERT_EQ(QuilletCommands::writeDefaults(scratch.file("factory.qmv49"), err), 0);
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
    ASSERT_TRUE(pumpUntil([this] { return panel->getLink().getReadOut().isActive(); }));

    // An edit before the keyboard's answer, then a file, then an edit of a value the file set.
    select(0x06);
    pick(panel->maxBox(), 101);
    dialogs->filesToOpen.push_back(scratch.file("factory.qmv49"));
    panel->loadSettings();
    select(0x05);
    pick(panel->maxBox(), 100);
    ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getDetail().startsWith("Read from"); }));

    const auto factory = KeyboardEmulator::factoryConfiguration();
    ASSERT_NE(keyboard.get(itemFieldChannel, 0x70), factory.get(itemFieldChannel, 0x70));
    EXPECT_EQ(store().get(itemFieldChannel, 0x70), factory.get(itemFieldChannel, 0x70));
    EXPECT_EQ(store().get(itemFieldNumber, 0x01), factory.get(itemFieldNumber, 0x01));
    EXPECT_EQ(store().globals[globalSplitPoint], factory.globals[globalSplitPoint]);

    panel->undo(); // control 5's maximum goes back to the file's
    EXPECT_EQ(store().get(itemFieldMaxMsb, 0x05), factory.get(itemFieldMaxMsb, 0x05));
    panel->undo(); // the file
    panel->undo(); // control 6's maximum goes back to what the keyboard said meanwhile: nothing to send
    EXPECT_EQ(store().get(itemFieldMaxMsb, 0x06), 91);
    EXPECT_EQ(panel->unsentValues().count({itemFieldMaxMsb, 0x06}), 0u);
}

TEST_F(Editing, AValueChangedWhileTheSaveDialogIsUpIsSavedOnlyIfTheFileHoldsIt)
{
    open(false);
    pick(panel->splitPointBox(), 40);
    dialogs->holdFileToSave = true;
    bool saved = false;
    panel->saveSettings([&](bool s) { saved = s; });
    ASSERT_TRUE(dialogs->heldFileToSave);
    pick(panel->splitPointBox(), 43);
    std::exchange(dialogs->heldFileToSave, nullptr)(scratch.file("while.qmv49"));
    ASSERT_TRUE(saved);

    KbdSettingsStore reread;
    ASSERT_TRUE(readSettingsFile(reread, scratch.file("while.qmv49")).ok);
    EXPECT_EQ(panel->hasUnsavedChanges(), !(reread.snapshot() == store()))
        << "saved means the file holds what the editor holds";
    pick(panel->splitPointBox(), 44);
    EXPECT_TRUE(panel->hasUnsavedChanges());
}

TEST_F(Editing, ClosingAnsweredSendStaysOpenAndNamesWhatAKeyboardThatDropsEveryValueDidNotTake)
{
    open(true);
    select(0x70);
    pick(panel->channelBox(), 9); // channel 10
    kbd->dropEverySetValue(1);
    auto approvals = std::make_shared<int>(0);
    dialogs->closeAnswer = EditorDialogs::CloseChoice::send;
    panel->confirmClose([approvals] { ++*approvals; });
    ASSERT_TRUE(pumpUntil([this] { return !dialogs->shown.empty(); }, 20000));
    drainMessages();
    EXPECT_EQ(*approvals, 0);
    EXPECT_EQ(dialogs->closeTitles[0], "Changes not sent or saved");
    EXPECT_TRUE(dialogs->sendOffered[0]);
    EXPECT_TRUE(dialogs->shown[0].text.contains("Pad #1 (channel)")) << dialogs->shown[0].text;
    EXPECT_EQ(panel->unsentValues(), (std::set<std::pair<int, int>>{{itemFieldChannel, 0x70}}));

    // A keyboard that takes everything: once the send is verified the window closes, with no second question
    // about the file, which the answer Send has covered.
    kbd->dropEverySetValue(0);
    panel->confirmClose([approvals] { ++*approvals; });
    ASSERT_TRUE(pumpUntil([approvals] { return *approvals > 0; }, 20000));
    drainMessages();
    EXPECT_EQ(*approvals, 1);
    EXPECT_EQ(dialogs->closeQuestions.size(), 2);

    // The read-back of a later send stops after five answers: the status counts them.
    kbd->dropEverySetValue(0);
    kbd->stopAnsweringAfter(5);
    panel->sendToKeyboard();
    EXPECT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "Verifying 5 of 12"; }))
        << panel->statusDisplay().getHeadline();
}

TEST_F(Editing, UndoingALoadThatAddedAControlLeavesTheStoreAndTheNextSaveAsBefore)
{
    open(false);
    dialogs->filesToSave.push_back(scratch.file("before.qmv49"));
    ASSERT_TRUE(saves(*panel));
    const auto before = store();

    // A file from a newer keyboard holds a control this editor does not know.
    auto withExtra = before;
    for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
        withExtra.set(f, 100, 3);
    withExtra.set(itemFieldMode, 0x70, modeNoteToggle);
    ASSERT_TRUE(createSettingsXml(withExtra)->writeTo(scratch.file("newer.qmv49")));
    dialogs->filesToOpen.push_back(scratch.file("newer.qmv49"));
    panel->loadSettings();
    ASSERT_EQ(store().get(itemFieldMode, 100), 3);

    ASSERT_TRUE(panel->undo());
    EXPECT_TRUE(store() == before);
    dialogs->filesToSave.push_back(scratch.file("after.qmv49"));
    ASSERT_TRUE(saves(*panel));
    EXPECT_EQ(scratch.file("after.qmv49").loadFileAsString(),
              scratch.file("before.qmv49").loadFileAsString());
}

TEST(CloseQuestionBox, EachButtonAnswersWhatItSays)
{
    // A box measures itself against the screen as it is made; headless there is none, so one is lent.
    auto& displays = const_cast<juce::Displays&>(juce::Desktop::getInstance().getDisplays());
    if (displays.displays.isEmpty())
    {
        juce::Displays::Display screen;
        screen.totalArea = screen.userArea = {0, 0, 1280, 800};
        screen.isMain = true;
        displays.displays.add(screen);
    }
    using Choice = EditorDialogs::CloseChoice;
    for (const auto& [label, expected] : {std::pair{"Send", Choice::send},
                                          {"Save...", Choice::save},
                                          {"Discard", Choice::discard},
                                          {"Cancel", Choice::cancel}})
    {
        NativeEditorDialogs dialogs;
        std::optional<Choice> answer;
        dialogs.askBeforeClosing("Changes not sent", "The keyboard does not have 2 changes.", true,
                                 [&](Choice c) { answer = c; });
        auto* box = juce::ModalComponentManager::getInstance()->getModalComponent(0);
        ASSERT_NE(box, nullptr);
        juce::Button* button = nullptr;
        for (auto* child : box->getChildren())
            if (auto* b = dynamic_cast<juce::Button*>(child); b != nullptr && b->getButtonText() == label)
                button = b;
        ASSERT_NE(button, nullptr) << label;
        button->triggerClick();
        EXPECT_TRUE(pumpUntil([&] { return answer.has_value(); })) << label;
        EXPECT_EQ(answer, expected) << label;
    }
}
