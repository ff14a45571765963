// The emulated keyboard playing a MIDI file: once found, its channel messages and nothing else, in order;
// files it cannot play refused before anything starts; a keyboard that goes stops playing at once.
#include "support/device_test_support.h"
#include "support/scratch_folder.h"

namespace
{
struct Listener : MidiPortListener
{
    Recorder<juce::MidiMessage> heard;
    void portMessageReceived(const juce::String&, const juce::MidiMessage& m) override { heard.add(m); }
};

/** A file of one track at the default tempo (120 beats a minute, 960 ticks a beat): the messages at the
    given ticks, with a track name and a SysEx among them. */
juce::File midiFile(const juce::File& folder, const std::vector<std::pair<double, juce::MidiMessage>>& events)
{
    juce::MidiMessageSequence track;
    track.addEvent(juce::MidiMessage::textMetaEvent(3, "Lead"), 0);
    const juce::uint8 sysEx[] = {0x43, 0x10, 0x4C};
    track.addEvent(juce::MidiMessage::createSysExMessage(sysEx, 3), 0);
    for (const auto& [tick, m] : events)
        track.addEvent(m, tick);
    track.updateMatchedPairs();
    juce::MidiFile file;
    file.setTicksPerQuarterNote(960);
    file.addTrack(track);
    auto f = folder.getChildFile("played.mid");
    f.deleteFile();
    juce::FileOutputStream out(f);
    EXPECT_TRUE(file.writeTo(out));
    return f;
}

juce::MidiMessage identityRequest()
{
    const juce::uint8 body[] = {0x7E, 0x7F, 0x06, 0x01};
    return juce::MidiMessage::createSysExMessage(body, 4);
}

std::vector<juce::String> bytesOf(const std::vector<juce::MidiMessage>& messages)
{
    std::vector<juce::String> out;
    for (const auto& m : messages)
        out.push_back(juce::String::toHexString(m.getRawData(), m.getRawDataSize(), 0));
    return out;
}
} // namespace

TEST(EmulatedPlayer, OnceFoundItSendsTheFilesChannelMessagesInOrderAndNothingElse)
{
    ScratchFolder folder;
    // Channel 16's controller first in the file but last in time; a program change between two notes.
    const auto file = midiFile(folder.folder, {{960.0, juce::MidiMessage::controllerEvent(16, 74, 63)},
                                               {0.0, juce::MidiMessage::noteOn(10, 36, (juce::uint8)100)},
                                               {10.0, juce::MidiMessage::programChange(1, 5)},
                                               {20.0, juce::MidiMessage::noteOff(10, 36)}});
    for (const juce::String rate : {"", ",play-rate=5000"})
    {
        SCOPED_TRACE(rate);
        VirtualMidiPorts ports;
        auto keyboard = std::make_unique<KeyboardEmulator>(ports);
        ASSERT_EQ(keyboard->applyTrouble("play=" + file.getFullPathName() + rate), "");
        Listener listener;
        auto in = ports.openInput(keyboard->inputIndex(), listener);
        in->start();
        auto out = ports.openOutput(keyboard->outputIndex());
        juce::Thread::sleep(50);
        ports.waitUntilIdle();
        EXPECT_TRUE(listener.heard.all().empty()) << "played before anyone found the keyboard";

        out->sendMessageNow(identityRequest());
        const std::vector<juce::String> expected = {"992464", "c005", "892400", "bf4a3f"};
        for (int i = 0; i < 400 && listener.heard.all().size() < expected.size() + 1; ++i)
            juce::Thread::sleep(10);
        auto heard = bytesOf(listener.heard.all());
        ASSERT_FALSE(heard.empty());
        EXPECT_TRUE(heard.front().startsWith("f07e")) << "the identity reply comes first: " << heard.front();
        heard.erase(heard.begin());
        EXPECT_EQ(heard, expected);
    }
}

TEST(EmulatedPlayer, FilesItCannotPlayAreRefusedAndAKeyboardThatGoesStopsPlaying)
{
    ScratchFolder folder;
    VirtualMidiPorts ports;
    KeyboardEmulator refusing(ports, "Refusing");
    const auto notMidi = folder.folder.getChildFile("notes.mid");
    ASSERT_TRUE(notMidi.replaceWithText("MThd but not really"));
    EXPECT_TRUE(
        refusing.applyTrouble("play=" + notMidi.getFullPathName()).contains("not a Standard MIDI File"));
    EXPECT_TRUE(refusing.applyTrouble("play=" + folder.folder.getChildFile("gone.mid").getFullPathName())
                    .startsWith("play="));
    EXPECT_TRUE(refusing.applyTrouble("play=" + folder.folder.getFullPathName()).startsWith("play="))
        << "a folder";
    EXPECT_EQ(refusing.applyTrouble("play-rate=0"), "play-rate=0");

    // A note a minute in: the keyboard is unplugged and destroyed long before; nothing waits for it.
    const auto file = midiFile(folder.folder, {{0.0, juce::MidiMessage::noteOn(1, 60, (juce::uint8)90)},
                                               {115200.0, juce::MidiMessage::noteOff(1, 60)}});
    auto keyboard = std::make_unique<KeyboardEmulator>(ports);
    ASSERT_EQ(keyboard->applyTrouble("play=" + file.getFullPathName()), "");
    Listener listener;
    auto in = ports.openInput(keyboard->inputIndex(), listener);
    in->start();
    auto out = ports.openOutput(keyboard->outputIndex());
    out->sendMessageNow(identityRequest());
    for (int i = 0; i < 400 && listener.heard.all().size() < 2; ++i)
        juce::Thread::sleep(10);
    ASSERT_EQ(listener.heard.all().size(), 2u);
    in = nullptr;
    out = nullptr;
    keyboard = nullptr; // returns at once, or the test runs into its time limit
    SUCCEED();
}

TEST(EmulatedPlayer, FilesThatWouldTakeHoursToTimeAreRefusedAndUnendedNotesAreNot)
{
    const auto bytesOf = [](const juce::MidiMessageSequence& track)
    {
        juce::MidiFile file;
        file.setTicksPerQuarterNote(96);
        file.addTrack(track);
        juce::MemoryOutputStream out;
        file.writeTo(out);
        return out.getMemoryBlock();
    };
    // 200,000 notes struck and never let go: each sent as it is, none waiting for an end.
    juce::MidiMessageSequence struck;
    for (int i = 0; i < 200000; ++i)
        struck.addEvent(juce::MidiMessage::noteOn(1 + i % 16, i % 128, (juce::uint8)100), i);
    const auto notes = bytesOf(struck);
    const auto loaded = EmulatedPlayer::parse(notes.getData(), notes.getSize());
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.messages.size(), 200000u);

    // A tempo change before each of 40,000 notes: refused, where timing it would walk 40,000 changes for
    // every note.
    juce::MidiMessageSequence hurried;
    for (int i = 0; i < 40000; ++i)
    {
        hurried.addEvent(juce::MidiMessage::tempoMetaEvent(400000 + i), 2 * i);
        hurried.addEvent(juce::MidiMessage::noteOn(1, 60, (juce::uint8)100), 2 * i + 1);
    }
    const auto tempos = bytesOf(hurried);
    EXPECT_TRUE(EmulatedPlayer::parse(tempos.getData(), tempos.getSize()).problem.contains("tempo"));
}
