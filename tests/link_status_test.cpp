// The link as the editor shows it: the status display, searching again, unplug and replug, edits kept
// against the keyboard's answers, and controls selected by moving them.
#include "emulator/KeyboardEmulator.h"
#include "support/ui_test_support.h"
#include "ui/KbdSettingComponent49.h"

namespace
{
std::unique_ptr<KbdSettingComponent49> openPanel(VirtualMidiPorts& ports, ScriptedDialogs*& dialogs)
{
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    return std::make_unique<KbdSettingComponent49>(ports, std::move(d));
}

bool headlineBecomes(KbdSettingComponent49& panel, const juce::String& text)
{
    return pumpUntil([&] { return panel.statusDisplay().getHeadline() == text; });
}
} // namespace

TEST(LinkStatus, NotFoundSaysWhatToCheckAndAClickFindsAKeyboardPluggedInSince)
{
    VirtualMidiPorts ports;
    std::unique_ptr<KeyboardEmulator> kbd;
    ScriptedDialogs* dialogs = nullptr;
    auto panel = openPanel(ports, dialogs);
    EXPECT_EQ(panel->statusDisplay().getHeadline(), "Searching...") << "what the window first shows";
    drainMessages();

    auto& display = panel->statusDisplay();
    EXPECT_EQ(dialogs->countTitled("Keyboard Problem"), 1);
    EXPECT_TRUE(display.isClickable());
    EXPECT_TRUE(display.getTooltip().contains("USB cable")) << display.getTooltip();
    EXPECT_TRUE(display.getTooltip().containsIgnoreCase("click here to search again"))
        << display.getTooltip();

    kbd = std::make_unique<KeyboardEmulator>(ports);
    kbd->setConfiguration(KeyboardEmulator::demoConfiguration());
    ASSERT_TRUE(display.onClick != nullptr);
    display.onClick();
    ASSERT_TRUE(pumpUntil([&] { return display.getDetail().startsWith("Read from the keyboard at"); }))
        << display.getDetail();
    EXPECT_EQ(display.getHeadline(), "Connected");
    EXPECT_FALSE(display.isClickable());
    EXPECT_EQ(panel->getManager().getGlobal(globalSplitPoint), 48);
    EXPECT_EQ(dialogs->countTitled("Keyboard Problem"), 1) << "a later search answers in the display only";
}

TEST(LinkStatus, AnEditDuringASlowReadOutWinsAndSurvivesAnUnplugAndAReplug)
{
    VirtualMidiPorts ports;
    KeyboardEmulator kbd(ports);
    kbd.setConfiguration(KeyboardEmulator::demoConfiguration());
    kbd.setReplyDelayMs(40);
    ScriptedDialogs* dialogs = nullptr;
    auto panel = openPanel(ports, dialogs);
    auto& manager = panel->getManager();

    // The edit lands while the keyboard's answer for the same field is still on its way.
    ASSERT_TRUE(pumpUntil([&] { return panel->getReadOut().isActive(); }));
    panel->getPicker().buttonClicked(panel->getPicker().findButtonFor(0x70));
    drainMessages();
    ASSERT_EQ(panel->getSelectedItemId(), 0x70);
    pick(panel->modeBox(), modeNoteToggle);
    ASSERT_TRUE(headlineBecomes(*panel, "1 change not sent")) << panel->statusDisplay().getHeadline();
    EXPECT_EQ(manager.getItemField(itemFieldMode, 0x70), modeNoteToggle);
    EXPECT_EQ(manager.getGlobal(globalSplitPoint), 48) << "the rest was read";

    kbd.setPlugged(false);
    manager.checkPorts();
    ASSERT_TRUE(headlineBecomes(*panel, "Unplugged"));
    panel->sendToKeyboard();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_TRUE(dialogs->shown[0].text.contains("not connected")) << dialogs->shown[0].text;

    kbd.setReplyDelayMs(0);
    kbd.setPlugged(true);
    manager.checkPorts();
    ASSERT_TRUE(headlineBecomes(*panel, "1 change not sent")) << panel->statusDisplay().getHeadline();
    EXPECT_EQ(manager.getItemField(itemFieldMode, 0x70), modeNoteToggle);
    EXPECT_NE(kbd.getConfiguration().get(itemFieldMode, 0x70), modeNoteToggle) << "nothing was sent";
}

TEST(LinkStatus, AMovedControlIsSelectedWithoutAChangeUnlessTheUserIsBusyInADialog)
{
    VirtualMidiPorts ports;
    KeyboardEmulator kbd(ports);
    auto setup = KeyboardEmulator::demoConfiguration();
    for (const auto& [id, number] : setup.numbers())
        ASSERT_TRUE(number != 98 && number != 99) << "control " << id;
    setup.set(itemFieldNumber, 0x03, 99);
    setup.set(itemFieldNumber, 0x04, 98);
    kbd.setConfiguration(setup);
    ScriptedDialogs* dialogs = nullptr;
    auto panel = openPanel(ports, dialogs);
    ASSERT_TRUE(pumpUntil([&] { return panel->statusDisplay().getDetail().startsWith("Read from"); }));
    const auto before = panel->getManager().snapshot();

    juce::Component dialog;
    dialog.enterModalState(false);
    kbd.sendControlChange(98, 10);
    ASSERT_TRUE(ports.waitUntilIdle());
    drainMessages();
    EXPECT_EQ(panel->getSelectedItemId(), -1) << "an open dialog or list is not interrupted";
    dialog.exitModalState(0);
    drainMessages();

    kbd.sendControlChange(99, 64);
    ASSERT_TRUE(ports.waitUntilIdle());
    ASSERT_TRUE(pumpUntil([&] { return panel->getSelectedItemId() == 0x03; }));
    EXPECT_EQ(panel->getPicker().getTouchedControl(), 0x03);
    EXPECT_TRUE(panel->getPicker().findButtonFor(0x03)->getToggleState());
    EXPECT_EQ(panel->numberBox().getSelectedItemIndex(), 99);
    EXPECT_TRUE(panel->getManager().snapshot() == before) << "moving a control never changes a value";
}

TEST(LinkStatus, AControlSelectedBeforeALateReadOutShowsTheKeyboardsValuesWhenTheyArrive)
{
    VirtualMidiPorts ports;
    std::unique_ptr<KeyboardEmulator> kbd;
    ScriptedDialogs* dialogs = nullptr;
    auto panel = openPanel(ports, dialogs);
    drainMessages(); // the search at start-up ends unanswered
    panel->getPicker().buttonClicked(panel->getPicker().findButtonFor(0x70));
    drainMessages();
    ASSERT_EQ(panel->getSelectedItemId(), 0x70);

    // The keyboard, plugged in later, holds other values for the selected pad.
    auto setup = KeyboardEmulator::demoConfiguration();
    setup.set(itemFieldMode, 0x70, modeNoteToggle);
    setup.set(itemFieldNumber, 0x70, 99);
    kbd = std::make_unique<KeyboardEmulator>(ports);
    kbd->setConfiguration(setup);
    panel->getManager().checkPorts();
    ASSERT_TRUE(pumpUntil([&] { return panel->statusDisplay().getDetail().startsWith("Read from"); }));

    EXPECT_EQ(panel->getSelectedItemId(), 0x70);
    EXPECT_EQ(panel->modeBox().getText(), "Note Toggle");
    EXPECT_EQ(panel->numberBox().getText(), "99 - NRPN - MSB");
}
