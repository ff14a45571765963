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
    EXPECT_TRUE(display.getDetail().startsWith("Not found at ")) << display.getDetail();

    // A search that ends at once is still seen to run, and then to have ended.
    display.onClick();
    EXPECT_EQ(display.getHeadline(), "Searching...");
    EXPECT_TRUE(pumpUntil([&] { return display.getHeadline() != "Searching..."; }));
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

// Without the system's MIDI service the box at start keeps its words first, then says why and what to do; a
// click on the display then searches again.
TEST(LinkStatus, WithoutMidiServiceTheBoxAtStartSaysWhyAndTheDisplaySearchesAgain)
{
    struct PortsWithoutService : VirtualMidiPorts
    {
        juce::String serviceProblem() override { return "The test's MIDI service is switched off."; }
    } ports;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<KbdSettingComponent49> panel;
    {
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
    }
    drainMessages();
    ASSERT_EQ(dialogs->countTitled("Keyboard Problem"), 1);
    const auto lines = juce::StringArray::fromLines(dialogs->shown.back().text);
    EXPECT_EQ(lines[0], "The keyboard has not been detected. Please correct the problem and try again.");
    EXPECT_TRUE(lines.joinIntoString(" ").contains("The test's MIDI service is switched off."))
        << dialogs->shown.back().text;
    EXPECT_EQ(panel->statusDisplay().getHeadline(), "No MIDI service");

    panel->statusDisplay().onClick();
    EXPECT_EQ(panel->statusDisplay().getHeadline(), "Searching...");
    EXPECT_EQ(dialogs->countTitled("Keyboard Problem"), 1) << "a search asked for answers in the display";
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

    // One edit of a field the keyboard has answered already, one while its answer is still on its way.
    const auto demo = KeyboardEmulator::demoConfiguration();
    ASSERT_NE(demo.get(itemFieldNumber, 0x01), manager.getItemField(itemFieldNumber, 0x01));
    ASSERT_NE(demo.get(itemFieldNumber, 0x70), 37);
    ASSERT_TRUE(pumpUntil(
        [&] { return manager.getItemField(itemFieldNumber, 0x01) == demo.get(itemFieldNumber, 0x01); }));
    ASSERT_TRUE(panel->getLink().getReadOut().isActive());
    panel->getPicker().buttonClicked(panel->getPicker().findButtonFor(0x70));
    drainMessages();
    ASSERT_EQ(panel->getSelectedItemId(), 0x70);
    pick(panel->numberBox(), 37);
    pick(panel->modeBox(), modeNoteToggle);
    ASSERT_TRUE(headlineBecomes(*panel, "2 changes not sent")) << panel->statusDisplay().getHeadline();
    EXPECT_EQ(manager.getItemField(itemFieldMode, 0x70), modeNoteToggle);
    EXPECT_EQ(manager.getItemField(itemFieldNumber, 0x70), 37);
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
    ASSERT_TRUE(headlineBecomes(*panel, "2 changes not sent")) << panel->statusDisplay().getHeadline();
    EXPECT_EQ(manager.getItemField(itemFieldMode, 0x70), modeNoteToggle);
    EXPECT_EQ(manager.getItemField(itemFieldNumber, 0x70), 37);
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
    EXPECT_EQ(panel->numberBox().getText(), "99 - D#6"); // a note toggle: its number is a note
}

TEST(LinkStatus, SendSaysSoWhenTheKeyboardsOutputCouldNotBeOpened)
{
    VirtualMidiPorts ports;
    KeyboardEmulator kbd(ports);
    // The search's own use of the port still holds it when the keyboard answers.
    ports.setOpensOnce(KeyboardEmulator::defaultPortName);
    ScriptedDialogs* dialogs = nullptr;
    auto panel = openPanel(ports, dialogs);
    ASSERT_TRUE(pumpUntil([&] { return panel->getManager().isKeyboardFound(); }));
    ASSERT_FALSE(panel->getManager().hasKeyboardOutput());

    const int heard = kbd.messagesReceived();
    panel->sendToKeyboard();
    const auto reported = [&]
    {
        for (const auto& s : dialogs->shown)
            if (s.title == "Keyboard Problem" && s.text.contains("output could not be opened"))
                return true;
        return false;
    };
    EXPECT_TRUE(pumpUntil(reported));
    EXPECT_EQ(kbd.messagesReceived(), heard);
}

TEST(LinkStatus, AKeyboardPulledAndFoundAgainBeforeTheWindowLooksIsReadAndShownConnected)
{
    VirtualMidiPorts ports;
    KeyboardEmulator kbd(ports);
    ScriptedDialogs* dialogs = nullptr;
    auto panel = openPanel(ports, dialogs);
    auto& manager = panel->getManager();
    ASSERT_TRUE(headlineBecomes(*panel, "Connected"));
    // The search that found it has ended: the replug's search then asks at once, not at the next tick.
    ASSERT_TRUE(pumpUntil([&] { return !manager.isScanning(); }));

    // Pulled and plugged in again holding other values, all before the message thread hears of either.
    kbd.setPlugged(false);
    manager.checkPorts();
    kbd.setConfiguration(KeyboardEmulator::demoConfiguration());
    kbd.setReplyDelayMs(20); // the read-out is under way when the window looks
    kbd.setPlugged(true);
    manager.checkPorts();
    const auto deadline = juce::Time::getMillisecondCounter() + 5000;
    while (!manager.isKeyboardFound() && juce::Time::getMillisecondCounter() < deadline)
        juce::Thread::sleep(1);
    ASSERT_TRUE(manager.isKeyboardFound());

    EXPECT_TRUE(pumpUntil([&] { return manager.getGlobal(globalSplitPoint) == 48; }))
        << "the keyboard found again is read";
    EXPECT_TRUE(headlineBecomes(*panel, "Connected")) << panel->statusDisplay().getHeadline();
}
