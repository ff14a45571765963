// Many controls at once in the editor: the picture's selection, the shared values in the boxes, one step for
// each change to all of them, and the keyboard's answers during a read-out.
#include "emulator/KeyboardEmulator.h"
#include "support/panel_test_support.h"

namespace
{
const juce::ModifierKeys ctrl(juce::ModifierKeys::commandModifier);
const juce::KeyPress ctrlC('c', juce::ModifierKeys::commandModifier, 0),
    ctrlV('v', juce::ModifierKeys::commandModifier, 0),
    ctrlShiftP('p', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);

void click(KbdSettingComponent49& panel, int id, juce::ModifierKeys mods = {})
{
    panel.getPicker().clickWith(panel.getPicker().findButtonFor(id), mods);
    drainMessages();
}

int undoSteps(KbdSettingComponent49& panel)
{
    return panel.getUndoManager().getUndoDescriptions().size();
}
} // namespace

TEST_F(PanelTest, ControlsOfDifferentKindsShowWhatTheyShareAndTakeOnlyTheModesTheyHave)
{
    click(*panel, 0x70);
    pick(panel->channelBox(), 3); // Pad #1 on channel 4, the other pads stay on 10
    click(*panel, 0x71, ctrl);
    EXPECT_EQ(panel->getSelectedItemId(), 0x71) << "the last clicked is the one shown";
    EXPECT_EQ(panel->modeBox().getText(), "Midi Note");
    EXPECT_EQ(panel->channelBox().getText(), "") << "4 and 10: mixed";
    EXPECT_EQ(panel->numberBox().getText(), "");
    EXPECT_EQ(panel->nameField().getText(), "<2 controls>");
    EXPECT_TRUE(panel->nameField().isReadOnly());
    panel->nameField().focusLost(juce::Component::focusChangedDirectly); // the panel puts a name back
    drainMessages();
    EXPECT_EQ(panel->nameField().getText(), "<2 controls>");

    click(*panel, 0x01, ctrl); // a knob joins
    EXPECT_EQ(panel->modeBox().getText(), "");
    EXPECT_TRUE(panel->modeBox().isItemEnabled(modeRelativeControl + 1)) << "the knob's";
    EXPECT_TRUE(panel->modeBox().isItemEnabled(modePatchChange + 1)) << "the pads'";
    EXPECT_FALSE(panel->modeBox().isItemEnabled(modeDurationControl + 1)) << "neither's";

    const int steps = undoSteps(*panel);
    pick(panel->modeBox(), modeControlToggle);
    EXPECT_EQ(store().getItemField(itemFieldMode, 0x70), modeControlToggle);
    EXPECT_EQ(store().getItemField(itemFieldMode, 0x71), modeControlToggle);
    EXPECT_EQ(store().getItemField(itemFieldMode, 0x01), modeControl);
    const auto said = panel->statusDisplay().getDetail();
    EXPECT_TRUE(said.contains("1 skipped") && said.contains("Filter Cutoff")) << said;
    EXPECT_TRUE(said.startsWith("Mode Control Toggle set on 2 controls"))
        << "what was set, on how many: " << said;
    EXPECT_EQ(undoSteps(*panel), steps + 1);

    panel->undo();
    EXPECT_EQ(store().getItemField(itemFieldMode, 0x70), modeMidiNote);
    EXPECT_EQ(store().getItemField(itemFieldMode, 0x71), modeMidiNote);
    EXPECT_EQ(store().getItemField(itemFieldChannel, 0x70), 3) << "the edit before the batch stays";
    EXPECT_EQ(panel->getPicker().getSelection().size(), 3);

    // A plain click is one control again, named in the field that can be typed in.
    click(*panel, 0x02);
    EXPECT_EQ(panel->getPicker().getSelection().ids(), std::vector<int>{0x02});
    EXPECT_EQ(panel->nameField().getText(), "Filter Resonance");
    EXPECT_FALSE(panel->nameField().isReadOnly());
    EXPECT_FALSE(panel->getPicker().findButtonFor(0x71)->isInSelection());
}

TEST_F(PanelTest, PastingTheCopyBackOntoItsControlAndAnotherIsOneStep)
{
    click(*panel, 0x70);
    pick(panel->numberBox(), 40);
    ASSERT_TRUE(panel->commands().keyPressed(ctrlC, panel.get()));
    pick(panel->numberBox(), 41); // after the copy
    click(*panel, 0x72, ctrl);
    click(*panel, 0x30, ctrl); // the Level knob cannot play notes

    const int steps = undoSteps(*panel);
    ASSERT_TRUE(panel->commands().keyPressed(ctrlV, panel.get()));
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x70), 40) << "the copy, not what the control holds now";
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x72), 40);
    EXPECT_EQ(store().getItemField(itemFieldMode, 0x30), modeControl);
    EXPECT_TRUE(panel->statusDisplay().getDetail().contains("1 skipped"))
        << panel->statusDisplay().getDetail();
    EXPECT_TRUE(panel->statusDisplay().getDetail().contains("settings pasted on 2 controls"))
        << panel->statusDisplay().getDetail();
    EXPECT_EQ(undoSteps(*panel), steps + 1);

    panel->undo();
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x70), 41);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x72), 126);
}

TEST_F(PanelTest, ASeriesOverEveryPadStopsAt127AndNamesThePadsKeptThere)
{
    click(*panel, 0x01);
    ASSERT_TRUE(panel->commands().keyPressed(ctrlShiftP, panel.get()));
    drainMessages();
    EXPECT_EQ(panel->getPicker().getSelection().ids(), (std::vector<int>{0x70, 0x71, 0x72, 0x73}));
    panel->getPicker().selectTouchedControl(0x72); // a pad struck on the keyboard keeps the others
    EXPECT_EQ(panel->getPicker().getSelection().size(), 4);

    const int steps = undoSteps(*panel);
    panel->getSelectionEditing().fillSeries(itemFieldNumber, 125, 1);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x70), 125);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x71), 126);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x72), 127);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x73), 127);
    const auto said = panel->statusDisplay().getDetail();
    EXPECT_TRUE(said.contains("1 kept at 127: Pad #4") && !said.contains("Pad #3")) << said;
    EXPECT_TRUE(said.startsWith("Number series on 4 controls"))
        << "pads play notes, not CC numbers: " << said;
    EXPECT_EQ(undoSteps(*panel), steps + 1);
    EXPECT_EQ(store().findItemForNumber(125), 0x70) << "the number index follows";
}

TEST(BatchDuringReadOut, AnswersArrivingAfterTheBatchNeitherOverwriteNorUndoIt)
{
    VirtualMidiPorts ports;
    KeyboardEmulator keyboard(ports);
    auto held = KeyboardEmulator::demoConfiguration();
    for (int pad = 0x70; pad <= 0x73; ++pad)
        held.set(itemFieldChannel, pad, 5);
    keyboard.setConfiguration(held);
    keyboard.setReplyDelayMs(30);
    KbdSettingComponent49 panel(ports, std::make_unique<ScriptedDialogs>());
    ASSERT_TRUE(pumpUntil([&] { return panel.getLink().getReadOut().isActive(); }));

    // All pads to channel 3 before the keyboard has told its channels.
    click(panel, 0x70);
    click(panel, 0x73, juce::ModifierKeys::shiftModifier);
    ASSERT_EQ(panel.getPicker().getSelection().size(), 4);
    pick(panel.channelBox(), 2);
    ASSERT_TRUE(panel.getLink().getReadOut().isActive()) << "the batch comes during the read-out";
    ASSERT_TRUE(pumpUntil([&] { return !panel.getLink().getReadOut().isActive(); }));
    drainMessages();
    for (int pad = 0x70; pad <= 0x73; ++pad)
        EXPECT_EQ(panel.getManager().getItemField(itemFieldChannel, pad), 2) << pad;
    EXPECT_EQ(panel.unsentValues().size(), 4u);

    // Taken back, the pads hold what the keyboard said, not the editor's start.
    panel.undo();
    for (int pad = 0x70; pad <= 0x73; ++pad)
        EXPECT_EQ(panel.getManager().getItemField(itemFieldChannel, pad), 5) << pad;
    EXPECT_TRUE(panel.unsentValues().empty());
    EXPECT_EQ(panel.channelBox().getText(), "6");
}
