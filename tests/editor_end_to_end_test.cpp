#include "emulator/KeyboardEmulator.h"
#include "support/ui_test_support.h"
#include "ui/KbdSettingComponent49.h"

#include <atomic>

namespace
{
/** How many of the keyboard's messages are maker SysEx (00 6E 31 ...) whose data bytes pass the test. */
int countSent(const KeyboardEmulator& kbd, const std::function<bool(const juce::uint8*, int)>& test)
{
    int n = 0;
    for (const auto& m : kbd.receivedLog())
        if (m.isSysEx() && m.getSysExDataSize() >= 7 && m.getSysExData()[1] == 0x6E)
            n += test(m.getSysExData(), m.getSysExDataSize()) ? 1 : 0;
    return n;
}
/** A request (command 01) for one address byte. */
int requestsFor(const KeyboardEmulator& kbd, int address)
{
    return countSent(kbd, [=](const juce::uint8* d, int) { return d[5] == 0x01 && d[7] == address; });
}
/** The eight value messages (command 02, address 00) for 0x63..0x6A that end a read-out. */
int closingValueMessages(const KeyboardEmulator& kbd)
{
    return countSent(kbd, [](const juce::uint8* d, int size)
                     { return size >= 10 && d[5] == 0x02 && d[7] == 0x00 && d[8] >= 0x63 && d[8] <= 0x6A; });
}
/** The closing command, F0 00 6E 31 7F 42 06 00 F7. */
int closingCommandsSent(const KeyboardEmulator& kbd)
{
    return countSent(kbd, [](const juce::uint8* d, int size) { return size == 7 && d[5] == 0x06; });
}

/** A configuration the editor cannot have by chance: some controls and every keyboard-wide value changed. */
SettingsState keyboardsOwnConfiguration()
{
    auto s = KeyboardEmulator::factoryConfiguration();
    s.set(itemFieldMode, 0x70, modeNoteToggle);
    s.set(itemFieldChannel, 0x70, channelUpper);
    s.set(itemFieldNumber, 0x01, 20);
    s.set(itemFieldMinLsb, 0x12, 10);
    s.set(itemFieldMaxMsb, 0x0B, 99);
    s.globals[globalKnobMode] = 127;
    s.globals[globalSplitPoint] = 48;
    s.globals[globalLowerChannel] = 3;
    s.globals[globalUpperChannel] = 5;
    s.globals[globalFaderMode] = 127;
    s.globals[globalSplitMode] = 127;
    return s;
}

class EditorWithKeyboard : public ::testing::Test
{
protected:
    EditorWithKeyboard() { kbd.setConfiguration(keyboardsOwnConfiguration()); }

    void openEditor()
    {
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
    }

    /** Opens the editor and waits for the whole read-out and for its display. */
    void openEditorAndReadOut()
    {
        openEditor();
        ASSERT_TRUE(pumpUntil(
            [this] { return closingValueMessages(kbd) == 8 && !panel->getLink().getReadOut().isActive(); }))
            << "the read-out did not complete";
        drainMessages();
    }

    SettingsState store() { return panel->getManager().snapshot(); }

    VirtualMidiPorts ports;
    KeyboardEmulator kbd{ports};
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<KbdSettingComponent49> panel;
};

void expectSameControls(const SettingsState& a, const SettingsState& b)
{
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            EXPECT_EQ(a.get(f, id), b.get(f, id)) << "control " << id << " field " << f;
}
} // namespace

TEST_F(EditorWithKeyboard, ReadOutShowsAndStoresTheKeyboardsConfiguration)
{
    openEditorAndReadOut();
    const juce::StringArray shown{panel->knobModeBox().getText(),     panel->splitPointBox().getText(),
                                  panel->lowerChannelBox().getText(), panel->upperChannelBox().getText(),
                                  panel->faderModeBox().getText(),    panel->splitModeBox().getText()};
    EXPECT_EQ(shown, juce::StringArray({"Relative", "C2", "4", "6", "Drawbar", "On"}));

    const auto mine = keyboardsOwnConfiguration();
    expectSameControls(store(), mine);
    for (int g : {1, 2, 5, 6, 7, 8})
        EXPECT_EQ(store().globals[(size_t)g], mine.globals[(size_t)g]) << "global " << g;
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST_F(EditorWithKeyboard, EditsStayInTheEditorUntilSendPutsThemAllIntoTheKeyboard)
{
    openEditorAndReadOut();
    ASSERT_TRUE(ports.waitUntilIdle());
    const int heardBefore = kbd.messagesReceived();

    panel->getPicker().buttonClicked(panel->getPicker().findButtonFor(0x40));
    drainMessages();
    ASSERT_EQ(panel->getSelectedItemId(), 0x40);
    pick(panel->modeBox(), modeNrpn);
    pick(panel->numberBox(), 33);
    pick(panel->channelBox(), 16); // "Lower"
    pick(panel->knobModeBox(), 0);
    pick(panel->splitPointBox(), 72);
    drainMessages();
    EXPECT_EQ(kbd.messagesReceived(), heardBefore) << "an edit alone sends nothing";
    EXPECT_EQ(kbd.getConfiguration().get(itemFieldMode, 0x40), modeControl);

    // The send and its verification run on a thread of their own; the status display says when they end.
    panel->sendButton().triggerClick();
    ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "Verified"; }))
        << panel->statusDisplay().getHeadline();

    const auto sent = store();
    const auto kept = kbd.getConfiguration();
    EXPECT_EQ(sent.get(itemFieldMode, 0x40), modeNrpn);
    EXPECT_EQ(sent.get(itemFieldNumber, 0x40), 33);
    EXPECT_EQ(sent.get(itemFieldChannel, 0x40), channelLower);
    expectSameControls(kept, sent);
    for (int g : {1, 2, 5, 6, 7, 8})
        EXPECT_EQ(kept.globals[(size_t)g], sent.globals[(size_t)g]) << "global " << g;
    EXPECT_EQ(kept.globals[globalKnobMode], 1);
    EXPECT_EQ(kept.globals[globalSplitPoint], 72);
    EXPECT_EQ(closingCommandsSent(kbd), 1);
    EXPECT_EQ(kbd.closingCommandsReceived(), 1);
    EXPECT_TRUE(dialogs->shown.empty());

    // Changed on the keyboard itself, then unplugged and plugged in again: the read-out takes the
    // keyboard's values, those just sent included.
    auto changedOnKeyboard = kbd.getConfiguration();
    changedOnKeyboard.set(itemFieldMode, 0x40, modeRpn);
    changedOnKeyboard.globals[globalSplitPoint] = 50;
    kbd.setConfiguration(changedOnKeyboard);
    kbd.setPlugged(false);
    panel->getManager().checkPorts();
    ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "Unplugged"; }));
    kbd.setPlugged(true);
    panel->getManager().checkPorts();
    ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getDetail().startsWith("Read from"); }))
        << panel->statusDisplay().getDetail();
    EXPECT_EQ(store().get(itemFieldMode, 0x40), modeRpn);
    EXPECT_EQ(store().globals[globalSplitPoint], 50);
    EXPECT_TRUE(panel->unsentValues().empty());
}

TEST_F(EditorWithKeyboard, KeyboardFallingSilentMidReadOutIsReported)
{
    // The keyboard ignores the first identity request, so the chain's clock can be replaced before any
    // MIDI thread reads it; the scan's second pass finds the keyboard.
    kbd.setAnswersIdentityRequest(false);
    kbd.stopAnsweringAfter(4); // identity, numbers, modes, channels: then silence
    openEditor();
    auto now = std::make_shared<std::atomic<juce::uint32>>(1000);
    panel->getLink().getReadOut().setClock([now] { return now->load(); });
    kbd.setAnswersIdentityRequest(true);

    ASSERT_TRUE(pumpUntil([this] { return requestsFor(kbd, itemFieldMinLsb) > 0; }));
    ASSERT_TRUE(ports.waitUntilIdle());
    drainMessages();
    EXPECT_TRUE(panel->getLink().getReadOut().isActive());
    EXPECT_TRUE(dialogs->shown.empty()) << "no stall before the timeout has passed";
    EXPECT_EQ(panel->statusDisplay().getHeadline(), "Reading 3 of 12") << "numbers, modes and channels";

    // The link's stall watch notices, though the read-out began on the MIDI thread.
    *now += 2500;
    ASSERT_TRUE(pumpUntil([this] { return !dialogs->shown.empty(); }));
    EXPECT_FALSE(panel->getLink().getReadOut().isActive());
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].title, "Keyboard Problem");
    EXPECT_TRUE(dialogs->shown[0].text.contains("stopped answering")) << dialogs->shown[0].text;

    // What the keyboard holds is not known: an edit now is one it has not been sent.
    panel->getPicker().buttonClicked(panel->getPicker().findButtonFor(0x70));
    drainMessages();
    pick(panel->channelBox(), 12);
    EXPECT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "1 change not sent"; }))
        << panel->statusDisplay().getHeadline();
    dialogs->holdCloseAnswer = true;
    panel->confirmClose([] {});
    ASSERT_EQ(dialogs->closeQuestions.size(), 1);
    EXPECT_TRUE(dialogs->closeQuestions[0].startsWith("1 change has not been sent"))
        << dialogs->closeQuestions[0];
}
