// Read from the Keyboard and the comparison window in the editor, against the keyboard emulator.
#include "emulator/KeyboardEmulator.h"
#include "files/SettingsFile.h"
#include "support/scratch_folder.h"
#include "support/seven_changes.h"
#include "support/ui_test_support.h"
#include "ui/KbdSettingComponent49.h"

namespace
{
class EditorComparison : public ::testing::Test
{
protected:
    void openEditorAndReadOut()
    {
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
        panel->getComparison().present = [this](ComparisonWindow&)
        {
            ++presented;
        };
        ASSERT_TRUE(pumpUntil(
            [this]
            {
                return panel->getLink().getReadOut().stepsDone() == ReadOutChain::numSteps() &&
                       !panel->getLink().getReadOut().isActive();
            }));
        drainMessages();
    }

    /** Reads the keyboard afresh as Ctrl+R does and waits for the outcome to be shown. */
    void readFromKeyboard()
    {
        panel->getComparison().readFromKeyboard();
        ASSERT_TRUE(pumpUntil([this] { return !panel->getManager().getAnswerRouter().isCapturing(); }));
        drainMessages();
    }

    ComparisonWindow& window() { return panel->getComparison().getWindow(); }
    juce::String tooltip() { return panel->statusDisplay().getTooltip(); }

    VirtualMidiPorts ports;
    KeyboardEmulator kbd{ports};
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<KbdSettingComponent49> panel;
    int presented = 0;
    ScratchFolder scratch;
};
} // namespace

TEST_F(EditorComparison, SevenListedThreeTakenAsOneStepAReadNeverGoesOverThemAndSendingLeavesFour)
{
    kbd.dropEverySetValue(4); // a flaky cable: the send has to try again
    openEditorAndReadOut();
    EXPECT_TRUE(tooltip().contains("In sync")) << tooltip();

    // A file that differs from the keyboard in seven known places.
    const auto keyboard = kbd.getConfiguration();
    const auto file = withSevenChanges(keyboard);
    const auto changed = sevenChangedValues();
    const std::pair<int, int> pad{itemFieldChannel, 0x70}, pedal{itemFieldMode, 0x50},
        split{ConfigComparison::globalField, globalSplitPoint};
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(file), scratch.file("f.qmv49")).ok);

    panel->getComparison().compareWithFile(scratch.file("f.qmv49"));
    ASSERT_EQ(presented, 1);
    const auto& rows = window().getComparison().rows();
    std::set<std::pair<int, int>> listed;
    for (const auto& r : rows)
        listed.insert({r.field, r.id});
    EXPECT_EQ(listed, changed);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(panel->getPicker().getComparedControls(), (std::set<int>{0x01, 0x0B, 0x12, 0x50, 0x70}));

    // A listed value made equal meanwhile, by hand: its control loses its ring; undone, it has it again.
    const auto padRow = std::find_if(rows.begin(), rows.end(),
                                     [&](const auto& r) { return std::make_pair(r.field, r.id) == pad; });
    ASSERT_NE(padRow, rows.end());
    panel->getManager().modify([&](SettingsState& s) { s.set(pad.first, pad.second, padRow->theirs); });
    panel->updateStatus();
    EXPECT_EQ(panel->getPicker().getComparedControls(), (std::set<int>{0x01, 0x0B, 0x12, 0x50}));
    panel->getManager().modify([&](SettingsState& s) { s.set(pad.first, pad.second, padRow->mine); });
    panel->updateStatus();
    EXPECT_EQ(panel->getPicker().getComparedControls(), (std::set<int>{0x01, 0x0B, 0x12, 0x50, 0x70}));

    // Three of the file's values taken, as one step.
    for (int i = 0; i < (int)rows.size(); ++i)
    {
        const std::pair<int, int> value{rows[(size_t)i].field, rows[(size_t)i].id};
        window().setTaken(i, value == pad || value == pedal || value == split);
    }
    window().applyButton().triggerClick();
    drainMessages();
    EXPECT_FALSE(panel->getComparison().isShowing());
    EXPECT_TRUE(panel->getPicker().getComparedControls().empty());
    const auto afterTaking = panel->getManager().snapshot();
    EXPECT_EQ(ConfigComparison::between(afterTaking, file).differing(), 4);
    ASSERT_TRUE(panel->undo());
    EXPECT_TRUE(ConfigComparison::between(panel->getManager().snapshot(), keyboard).identical())
        << "taking was not one step";
    ASSERT_TRUE(panel->redo());
    EXPECT_EQ(panel->getManager().snapshot(), afterTaking);
    EXPECT_TRUE(tooltip().contains("Differs from the keyboard in 3 values")) << tooltip();

    // Read from the Keyboard with those three unsent: compared first, the editor's values left alone.
    readFromKeyboard();
    ASSERT_EQ(presented, 2);
    EXPECT_EQ(window().getComparison().differing(), 3);
    EXPECT_EQ(panel->getManager().snapshot(), afterTaking);
    window().closeButton().triggerClick();
    drainMessages();

    panel->sendToKeyboard();
    ASSERT_TRUE(pumpUntil([this] { return !panel->getLink().getSender().isRunning(); }, 30000));
    drainMessages();
    EXPECT_EQ(ConfigComparison::between(file, kbd.getConfiguration()).differing(), 4);
    EXPECT_TRUE(ConfigComparison::between(afterTaking, kbd.getConfiguration()).identical());
    EXPECT_TRUE(tooltip().contains("In sync")) << tooltip();
}

TEST_F(EditorComparison, WithNothingUnsentAReadRefreshesTheEditorAsOneStepWithoutAsking)
{
    openEditorAndReadOut();
    const auto before = panel->getManager().snapshot();

    // The keyboard changed behind the editor's back (another program, its own panel).
    auto changed = kbd.getConfiguration();
    changed.set(itemFieldChannel, 0x71, 2);
    changed.globals[globalUpperChannel] = 7;
    kbd.setConfiguration(changed);

    readFromKeyboard();
    EXPECT_EQ(presented, 0) << "nothing was at stake, yet a comparison was shown";
    EXPECT_TRUE(ConfigComparison::between(panel->getManager().snapshot(), changed).identical());
    EXPECT_TRUE(panel->unsentValues().empty());
    EXPECT_TRUE(tooltip().contains("In sync")) << tooltip();
    ASSERT_TRUE(panel->undo());
    EXPECT_EQ(panel->getManager().snapshot(), before);

    // A keyboard that stops answering part way: the comparison says so and lists what it did not send.
    kbd.stopAnsweringAfter(4);
    readFromKeyboard();
    ASSERT_EQ(presented, 1);
    EXPECT_TRUE(window().getComparison().unknown() > 0);
    EXPECT_TRUE(window().getSummary().contains("not known")) << window().getSummary();
}

TEST_F(EditorComparison, CompareWithTheKeyboardChangedBehindTheEditorsBackNeverSaysInSync)
{
    openEditorAndReadOut();
    ASSERT_TRUE(tooltip().contains("In sync")) << tooltip();
    auto changed = kbd.getConfiguration();
    changed.set(itemFieldNumber, 0x01, (changed.get(itemFieldNumber, 0x01) + 5) % 128);
    kbd.setConfiguration(changed);

    panel->getComparison().compareWithKeyboard();
    ASSERT_TRUE(pumpUntil([this] { return presented == 1; }));
    EXPECT_EQ(window().getComparison().differing(), 1);
    drainMessages();
    EXPECT_FALSE(tooltip().contains("In sync")) << tooltip();
    EXPECT_TRUE(tooltip().contains("1 value")) << tooltip();
}

TEST_F(EditorComparison, AFileOfOnlyTheKeyboardWideValuesLeavesEveryControlNotDefined)
{
    openEditorAndReadOut();
    ASSERT_TRUE(
        scratch.file("globals.qmv49")
            .replaceWithText("<Settings><Globals><Param ID=\"0\" Value=\"0\"/></Globals></Settings>"));
    panel->getComparison().compareWithFile(scratch.file("globals.qmv49"));
    ASSERT_EQ(presented, 1);
    const auto& comparison = window().getComparison();
    EXPECT_FALSE(comparison.identical());
    // Every control the keyboard has is left out by the file: none of them may count as equal.
    std::set<int> notDefined;
    for (const auto& r : comparison.rows())
        if (r.field != ConfigComparison::globalField)
            notDefined.insert(r.id);
    for (int id : ControlCatalogue::configurableControls())
        EXPECT_EQ(notDefined.count(id), 1u) << "control " << id;
}

TEST_F(EditorComparison, AKeyboardPluggedInAgainThatIsNotReadIsNotInSyncWhateverWasReadBefore)
{
    openEditorAndReadOut();
    readFromKeyboard(); // read by Ctrl+R as well
    ASSERT_TRUE(tooltip().contains("In sync")) << tooltip();

    // Pulled, seen pulled, plugged in again holding other values, and silent after saying who it is.
    kbd.setPlugged(false);
    panel->getManager().checkPorts();
    ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "Unplugged"; }));
    auto other = kbd.getConfiguration();
    other.set(itemFieldChannel, 0x70, 11);
    kbd.setConfiguration(other);
    kbd.stopAnsweringAfter(1);
    kbd.setPlugged(true);
    panel->getManager().checkPorts();
    ASSERT_TRUE(pumpUntil([this] { return panel->getManager().isKeyboardFound(); }));
    ASSERT_TRUE(
        pumpUntil([this] { return !panel->getLink().getReadOut().isActive(); }, 10000)); // its stall ends it
    drainMessages();
    EXPECT_TRUE(tooltip().contains("unknown")) << tooltip();

    // The same without the editor seeing the pull: found again before its window looked.
    kbd.stopAnsweringAfter(-1);
    ASSERT_TRUE(
        pumpUntil([this] { return !panel->getLink().getReadOut().isActive(); }, 10000)); // its stall ends it
    readFromKeyboard();
    ASSERT_TRUE(pumpUntil([this] { return tooltip().contains("In sync"); })) << tooltip();
    ASSERT_TRUE(pumpUntil([this] { return !panel->getManager().isScanning(); }));
    kbd.setPlugged(false);
    panel->getManager().checkPorts();
    kbd.stopAnsweringAfter(1);
    kbd.setPlugged(true);
    panel->getManager().checkPorts();
    const auto deadline = juce::Time::getMillisecondCounter() + 5000;
    while (!panel->getManager().isKeyboardFound() && juce::Time::getMillisecondCounter() < deadline)
        juce::Thread::sleep(1);
    ASSERT_TRUE(pumpUntil([this] { return panel->getLink().getReadOut().isActive(); }));
    ASSERT_TRUE(pumpUntil([this] { return !panel->getLink().getReadOut().isActive(); }, 10000));
    drainMessages();
    EXPECT_TRUE(tooltip().contains("unknown")) << tooltip();
}

TEST_F(EditorComparison, ApplyWaitsForATakeAFilesNameHeadsItsColumnAsItIsAndNumbersSayWhatTheyMean)
{
    openEditorAndReadOut();
    const auto editor = panel->getManager().snapshot();
    ASSERT_EQ(editor.get(itemFieldMode, 0x70), modeMidiNote);
    ASSERT_EQ(editor.get(itemFieldChannel, 0x70), 9); // channel 10
    ASSERT_EQ(editor.get(itemFieldMode, 0x01), modeControl);
    ASSERT_NE(editor.get(itemFieldNumber, 0x70), 36);
    ASSERT_NE(editor.get(itemFieldNumber, 0x01), 36);
    auto file = editor;
    file.set(itemFieldNumber, 0x70, 36);
    file.set(itemFieldMode, 0x01, modePatchChange);
    file.set(itemFieldNumber, 0x01, 36);
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(file), scratch.file("badvalue.qmv49")).ok);

    panel->getComparison().compareWithFile(scratch.file("badvalue.qmv49"));
    ASSERT_EQ(presented, 1);
    EXPECT_EQ(window().table().getHeader().getColumnName(ComparisonWindow::otherColumn), "badvalue.qmv49");
    const auto& rows = window().getComparison().rows();
    ASSERT_EQ(rows.size(), 3u);
    auto rowOf = [&rows](int field, int id)
    {
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].field == field && rows[i].id == id)
                return (int)i;
        return -1;
    };
    // The pad's number in the file is the kick drum; the knob's, a program in the file's mode, a bare
    // controller number in the editor's.
    const int pad = rowOf(itemFieldNumber, 0x70), knob = rowOf(itemFieldNumber, 0x01);
    ASSERT_TRUE(pad >= 0 && knob >= 0);
    EXPECT_EQ(window().valueShown(pad, ComparisonWindow::otherColumn),
              juce::String(juce::CharPointer_UTF8("36 - C1 \xc2\xb7 Bass Drum 1")));
    EXPECT_EQ(window().valueShown(knob, ComparisonWindow::otherColumn), "36 - program 37");
    EXPECT_EQ(window().valueShown(knob, ComparisonWindow::editorColumn),
              juce::String(editor.get(itemFieldNumber, 0x01)));

    // Every row kept: nothing to apply. One taken: Apply offers it; kept again: nothing once more.
    EXPECT_FALSE(window().applyButton().isEnabled());
    window().setTaken(pad, true);
    EXPECT_TRUE(window().applyButton().isEnabled());
    window().setTaken(pad, false);
    EXPECT_FALSE(window().applyButton().isEnabled());
    window().setAllTaken(true);
    EXPECT_TRUE(window().applyButton().isEnabled());
    window().setAllTaken(false);
    EXPECT_FALSE(window().applyButton().isEnabled());
    window().closeButton().triggerClick();
    drainMessages();

    // The window's own words for the other side still start with a capital.
    panel->getComparison().compareWithLastSaved();
    EXPECT_EQ(window().table().getHeader().getColumnName(ComparisonWindow::otherColumn), "Last saved");
}
