#include "support/device_test_support.h"

namespace
{
const char* const identityRequest = "F0 7E 7F 06 01 F7";
using Events = std::vector<Event>;
} // namespace

TEST(Scan, KeyboardOnFirstOutputIsFoundAndTheNextActingTickEndsTheScan)
{
    Rig r({}, {"Synth A"}, {"Other In"});
    r.manager.startScan();
    r.ports.waitUntilIdle();

    EXPECT_EQ(r.sentToKeyboard(), std::vector<juce::String>{identityRequest});
    EXPECT_TRUE(r.manager.isKeyboardFound());
    EXPECT_EQ(r.manager.getKeyboardInputName(), Rig::keyboardName);
    EXPECT_EQ(r.manager.getKeyboardOutputName(), Rig::keyboardName);
    EXPECT_EQ(r.events.all(), (Events{{KeyboardDetected, 0, 0}}));

    r.tick(); // the first tick never acts
    EXPECT_TRUE(r.manager.isScanning());
    r.tick();
    EXPECT_FALSE(r.manager.isScanning());
    EXPECT_TRUE(r.sentTo("Synth A").empty());
    EXPECT_EQ(r.events.count(ScanEndedUnanswered), 0);

    // The keyboard's own input outlives the scan; the others are closed.
    EXPECT_EQ(r.ports.openInputCount(Rig::keyboardName), 1);
    EXPECT_EQ(r.ports.openInputCount(), 1);
    ASSERT_TRUE(r.manager.requestGlobal(globalUpperChannel));
    r.ports.waitUntilIdle();
    EXPECT_EQ(r.events.count(UpperChannelReceived), 1);
}

// Whoever sees the keyboard found acts at once (the tool reads it straight away): its output must be open.
TEST(Scan, TheKeyboardCountsAsFoundOnlyOnceItsOutputIsOpen)
{
    struct WatchedPorts : VirtualMidiPorts
    {
        std::function<void()> opening;
        std::unique_ptr<MidiOutputPort> openOutput(int index) override
        {
            if (opening)
                opening();
            return VirtualMidiPorts::openOutput(index);
        }
    } ports;
    KeyboardEmulator kbd(ports);
    OrvManager49 manager(ports);
    std::atomic<int> opensWhileFound{0};
    ports.opening = [&]
    {
        opensWhileFound += manager.isKeyboardFound() ? 1 : 0;
    };

    manager.startScan();
    ports.waitUntilIdle();
    ASSERT_TRUE(manager.isKeyboardFound());
    EXPECT_TRUE(manager.hasKeyboardOutput());
    EXPECT_EQ(opensWhileFound.load(), 0);
    manager.closeAllPorts();
    ports.waitUntilIdle();
}

TEST(Scan, KeyboardOnThirdOfFourOutputsIsFoundAfterTheFirstTwoWereAsked)
{
    Rig r({"Synth A", "Synth B"}, {"Synth C"});
    r.manager.startScan();
    r.ports.waitUntilIdle();
    r.tick(); // quiet
    r.tick(); // asks Synth B
    EXPECT_FALSE(r.manager.isKeyboardFound());
    r.tick(); // asks the keyboard
    EXPECT_TRUE(r.manager.isKeyboardFound());
    r.runScanToEnd();

    EXPECT_EQ(r.sentTo("Synth A"), std::vector<juce::String>{identityRequest});
    EXPECT_EQ(r.sentTo("Synth B"), std::vector<juce::String>{identityRequest});
    EXPECT_TRUE(r.sentTo("Synth C").empty());
    EXPECT_EQ(r.sentToKeyboard(), std::vector<juce::String>{identityRequest});
    EXPECT_EQ(r.manager.getKeyboardOutputName(), Rig::keyboardName);
    EXPECT_EQ(r.events.count(KeyboardDetected), 1);

    ASSERT_TRUE(r.manager.sendClosingCommand());
    EXPECT_EQ(r.sentToKeyboard().back(), "F0 00 6E 31 7F 42 06 00 F7");
}

TEST(Scan, UnansweredScanAsksEveryOutputThreeTimesThenReportsOnce)
{
    Rig r({}, {"Synth A"}, {"Other In"});
    r.kbd.setAnswersIdentityRequest(false);
    r.manager.startScan();
    r.manager.startScan(); // already scanning: no second request
    r.ports.waitUntilIdle();
    EXPECT_EQ(r.sentToKeyboard().size(), 1u);
    r.tick(500);
    EXPECT_EQ(r.sentTo("Synth A").size(), 0u) << "the first tick must not act";
    r.tick(500);
    EXPECT_EQ(r.sentTo("Synth A").size(), 1u);
    r.tick(200);
    EXPECT_EQ(r.sentToKeyboard().size(), 1u) << "no action within 200 ms of the last";
    r.tick(1);
    EXPECT_EQ(r.sentToKeyboard().size(), 2u);

    r.runScanToEnd();
    EXPECT_FALSE(r.manager.isScanning());
    EXPECT_EQ(r.sentToKeyboard(), std::vector<juce::String>(3, identityRequest));
    EXPECT_EQ(r.sentTo("Synth A"), std::vector<juce::String>(3, identityRequest));
    EXPECT_EQ(r.events.all(), (Events{{ScanEndedUnanswered, 0, 0}}));
    EXPECT_EQ(r.ports.openInputCount(), 0);
    EXPECT_FALSE(r.manager.hasKeyboardOutput());
}

TEST(Scan, ReplyIsAttributedToTheOutputAtTheProbeIndexWhenItArrives)
{
    Rig r({}, {"Synth A", "Synth B"});
    r.kbd.setAnswersIdentityRequest(false);
    r.manager.startScan();
    r.tick();
    r.tick(); // the probe has moved on to Synth A
    r.fromKeyboard(identityReply());

    EXPECT_EQ(r.manager.getKeyboardInputName(), Rig::keyboardName);
    EXPECT_EQ(r.manager.getKeyboardOutputName(), "Synth A");
    ASSERT_TRUE(r.manager.sendClosingCommand());
    EXPECT_EQ(r.sentTo("Synth A").back(), "F0 00 6E 31 7F 42 06 00 F7");
}

TEST(Scan, OnlyCompleteRepliesOfTheKeyboardsFamilyAreAccepted)
{
    const std::pair<const char*, bool> replies[] = {
        {"F0 7E 7F 06 02 00 6E 31 02 00 04 00 01 00 00 00 F7", false}, // member 04
        {"F0 7E 7F 06 02 00 6E 31 02 00 01 00 F7", false},             // 11 data bytes
        {"F0 7E 7F 06 02 00 6E 31 03 00 01 00 01 00 00 00 F7", false}, // another family
        {"F0 7E 00 06 02 00 6E 31 02 00 03 00 01 02 03 04 F7", true},  // any device byte, member 03
    };
    for (const auto& [reply, accepted] : replies)
    {
        Rig r;
        r.kbd.setAnswersIdentityRequest(false);
        r.manager.startScan();
        r.fromKeyboard(msg(reply));
        EXPECT_EQ(r.manager.isKeyboardFound(), accepted) << reply;
        EXPECT_EQ(r.events.count(KeyboardDetected), accepted ? 1 : 0) << reply;
    }
}

TEST(Scan, NoOutputsEndsTheScanAtOnceWithAReport)
{
    VirtualMidiPorts ports;
    ports.addInput("Lonely In");
    EventLog events;
    OrvManager49 manager(ports);
    manager.addListener(&events);
    manager.startScan();
    EXPECT_FALSE(manager.isScanning());
    EXPECT_EQ(events.all(), (Events{{ScanEndedUnanswered, 0, 0}}));
    EXPECT_EQ(ports.openInputCount(), 0);
}

TEST(Scan, OfTwoOutputsWithTheKeyboardsNameTheFirstIsOpened)
{
    Rig r({Rig::keyboardName});
    r.manager.startScan();
    r.tick();
    r.tick(); // asks the emulator, which answers
    ASSERT_TRUE(r.manager.isKeyboardFound());
    const auto before = r.sentTo(Rig::keyboardName).size();
    ASSERT_TRUE(r.manager.sendClosingCommand());
    EXPECT_EQ(r.sentTo(Rig::keyboardName).size(), before + 1);
    EXPECT_EQ(r.sentToKeyboard().size(), 1u); // only the identity request
}

TEST(Scan, RepeatedIdentityReplyRedetectsAndKeepsTheKeyboardInput)
{
    Rig r({"Synth A", "Synth B"}, {}, {"Other In"});
    r.detect();
    r.fromKeyboard(identityReply());
    EXPECT_EQ(r.events.all(), (Events{{KeyboardDetected, 0, 0}}));
    EXPECT_EQ(r.manager.getKeyboardOutputName(), Rig::keyboardName);
    EXPECT_EQ(r.ports.openInputCount(Rig::keyboardName), 1);
    EXPECT_EQ(r.ports.openInputCount(), 1);

    r.fromKeyboard(msg("B0 4A 10")); // CC 74, the cutoff knob's number, still arrives
    EXPECT_EQ(r.events.all().back(), (Event{ControlChanged, 0x01, 0x10}));
}

TEST(Scan, MessagesFromOtherInputsAreIgnoredOnceTheKeyboardIsKnown)
{
    Rig r({}, {}, {"Other In"});
    r.manager.startScan();
    r.ports.waitUntilIdle();
    ASSERT_TRUE(r.manager.isKeyboardFound());
    r.events.clear();
    // Before the scan has ended the other input is still open.
    r.ports.deliver("Other In", msg("B0 4A 10"));
    r.ports.deliver("Other In", identityReply());
    r.ports.waitUntilIdle();
    r.runScanToEnd();
    r.manager.dispatch("Other In", answer({0x40, 0x06, 0x05}));
    EXPECT_TRUE(r.events.all().empty());
    EXPECT_EQ(r.manager.getGlobal(globalUpperChannel), 0);
}

#if JUCE_LINUX
TEST(MidiService, AMissingOrClosedSequencerIsNamed)
{
    // This machine's own service: named as missing exactly when the sequencer's device is not there.
    const auto problem = systemMidiPorts().serviceProblem();
    if (!juce::File("/dev/snd/seq").exists())
    {
        EXPECT_TRUE(problem.contains("/dev/snd/seq") && problem.contains("missing")) << problem;
    }
    EXPECT_TRUE(describeMidiServiceError(EACCES).contains("audio group"));
    EXPECT_NE(describeMidiServiceError(EIO), describeMidiServiceError(ENOENT));
}
#endif
