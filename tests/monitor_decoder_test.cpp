#include "device/MonitorDecoder.h"
#include "device/MonitorFilter.h"
#include "device/MonitorHistory.h"
#include "device/MonitorTap.h"
#include "emulator/EmulatedMove.h"
#include "emulator/KeyboardEmulator.h"
#include "files/MonitorExport.h"
#include "support/midi_bytes.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
std::vector<juce::uint8> bytesOf(const char* text)
{
    juce::MemoryBlock block;
    block.loadFromHexString(text);
    const auto* d = static_cast<const juce::uint8*>(block.getData());
    return {d, d + block.getSize()};
}

juce::String middleDot()
{
    return juce::String(juce::CharPointer_UTF8("\xC2\xB7"));
}

/** Knobs 1 and 2 share CC 74 on channel 3, with a user name holding a comma and quotes; knob 3 sends CC 20
    on the upper channel (set to 6); knob 4 CC 21 on every channel; pad 1 a note on channel 10; pad 2 program
    changes on channel 16; host button 1 MMC Play; knob 5 NRPN 5 on channel 1. */
SettingsState configuration()
{
    SettingsState s;
    const auto assign = [&s](int id, int mode, int channel, int number)
    {
        s.set(itemFieldMode, id, mode);
        s.set(itemFieldChannel, id, channel);
        s.set(itemFieldNumber, id, number);
    };
    assign(0x01, modeControl, 2, 74);
    assign(0x02, modeControl, 2, 74);
    assign(0x03, modeControl, channelUpper, 20);
    assign(0x04, modeControl, channelAll, 21);
    assign(0x70, modeMidiNote, 9, 36);
    assign(0x71, modePatchChange, 15, 4);
    assign(0x58, modeMmc, 0, 2);
    assign(0x05, modeNrpn, 0, 5);
    s.globals[globalUpperChannel] = 5;
    s.names[0x01] = "Cut, \"off\"";
    return s;
}

struct MonitorTest : ::testing::Test
{
    MonitorLine in(const char* text, double time = 0.0)
    {
        const auto b = bytesOf(text);
        return decoder.decode(time, MonitorDirection::fromKeyboard, b.data(), (int)b.size());
    }
    std::vector<int> idsOf(const MonitorLine& line)
    {
        return line.controls != nullptr ? line.controls->ids : std::vector<int>{};
    }
    MonitorDecoder decoder{configuration()};
};
} // namespace

//==============================================================================
TEST_F(MonitorTest, ChannelMessagesKeepTheirBytesAndCountChannelsFromOne)
{
    const auto low = in("9F 00 01");
    EXPECT_EQ(low.kind, MonitorKind::note);
    EXPECT_EQ(low.channel, 16);
    EXPECT_EQ(low.number, 0);
    EXPECT_EQ(low.hex(), "9F 00 01");
    EXPECT_TRUE(low.words().contains("C-2 0 (0x00)")) << low.words();
    EXPECT_TRUE(low.words().endsWith("channel 16"));

    const auto high = in("80 7F 40");
    EXPECT_EQ(high.channel, 1);
    EXPECT_TRUE(high.words().startsWith("Note Off G8 127 (0x7F)")) << high.words();
    EXPECT_TRUE(in("90 3C 00").words().startsWith("Note Off C3 60 (0x3C)")); // velocity 0 ends a note

    EXPECT_EQ(in("E0 00 00").value, -8192);
    EXPECT_EQ(in("E0 7F 7F").value, 8191);
    EXPECT_EQ(in("EF 00 40").value, 0);
    EXPECT_TRUE(in("E0 00 00").words().startsWith("Pitch bend -8192")) << in("E0 00 00").words();

    EXPECT_TRUE(in("C5 04").words().contains("program 5")) << in("C5 04").words();
    EXPECT_TRUE(in("B0 4A 3F").words().contains("= 63 (0x3F)"));
    EXPECT_EQ(in("B0 4A 3F").timeText(), "0.000");
    EXPECT_EQ(in("F8", 12.3456).timeText(), "12.346");
    EXPECT_EQ(in("F8").kind, MonitorKind::timing);
    EXPECT_EQ(in("FE").kind, MonitorKind::timing);
    EXPECT_EQ(in("FA").kind, MonitorKind::system);
    EXPECT_EQ(in("FA").channel, 0);
}

TEST_F(MonitorTest, TheControlsThatSendAMessageAreNamedByTheConfiguration)
{
    EXPECT_EQ(idsOf(in("B2 4A 10")), (std::vector<int>{0x01, 0x02}));
    EXPECT_EQ(in("B2 4A 10").controlNames(), "Filter Cutoff (Cut, \"off\"), Filter Resonance");
    EXPECT_TRUE(idsOf(in("B1 4A 10")).empty());            // another channel
    EXPECT_TRUE(idsOf(in("B2 4B 10")).empty());            // another controller
    EXPECT_EQ(idsOf(in("B5 14 00")), std::vector<int>{3}); // the upper channel, 6
    EXPECT_TRUE(idsOf(in("B0 14 00")).empty());
    EXPECT_EQ(idsOf(in("B0 15 00")), std::vector<int>{4}); // all channels
    EXPECT_EQ(idsOf(in("BF 15 00")), std::vector<int>{4});
    EXPECT_EQ(idsOf(in("99 24 64")), std::vector<int>{0x70});
    EXPECT_EQ(idsOf(in("89 24 00")), std::vector<int>{0x70});
    EXPECT_TRUE(idsOf(in("B9 24 64")).empty()); // a controller of the pad's number is not the pad
    EXPECT_EQ(idsOf(in("CF 04")), std::vector<int>{0x71});
    EXPECT_EQ(idsOf(in("F0 7F 7F 06 02 F7")), std::vector<int>{0x58});
    EXPECT_TRUE(in("F0 7F 7F 06 02 F7").words().startsWith("MMC Play"));
    // The pitch wheel, whatever the channel; channel pressure, which no control is configured for, none.
    EXPECT_EQ(idsOf(in("E5 00 40")), std::vector<int>{0x41});
    EXPECT_EQ(idsOf(in("EF 7F 7F")), std::vector<int>{0x41});
    EXPECT_TRUE(idsOf(in("D5 40")).empty());

    // A new configuration is a new table.
    auto changed = configuration();
    changed.set(itemFieldChannel, 0x02, 3);
    decoder.setConfiguration(changed);
    EXPECT_EQ(idsOf(in("B2 4A 10")), std::vector<int>{0x01});
}

TEST_F(MonitorTest, ParameterSequencesBecomeOneLineAtTheirDataEntry)
{
    // NRPN 0x0123 = 456 with its LSB: 456 = 3 * 128 + 72.
    const auto msb = in("B0 63 02"), lsb = in("B0 62 23"), valueLsb = in("B0 26 48");
    for (const auto& part : {msb, lsb, valueLsb})
    {
        EXPECT_EQ(part.kind, MonitorKind::controller);
        EXPECT_TRUE(part.words().contains("pending")) << part.words();
    }
    const auto full = in("B0 06 03");
    EXPECT_EQ(full.kind, MonitorKind::parameter);
    EXPECT_EQ(full.number, 0x0123);
    EXPECT_EQ(full.value, 456);
    EXPECT_EQ(full.hex(), "B0 06 03");
    EXPECT_TRUE(full.words().startsWith("NRPN 0x0123 = 456")) << full.words();
    EXPECT_FALSE(full.words().contains("MSB only"));

    // Without its LSB: a 7-bit value, on channel 1, which knob 5 sends as NRPN 5.
    in("B0 63 00");
    in("B0 62 05");
    const auto coarse = in("B0 06 05");
    EXPECT_EQ(coarse.value, 5);
    EXPECT_TRUE(coarse.words().startsWith("NRPN 0x0005 = 5")) << coarse.words();
    EXPECT_TRUE(coarse.words().contains("MSB only"));
    EXPECT_EQ(idsOf(coarse), std::vector<int>{0x05});

    // RPN 0 on channel 16: pitch bend sensitivity, two semitones; not knob 5's NRPN.
    in("BF 65 00");
    in("BF 64 00");
    const auto rpn = in("BF 06 02");
    EXPECT_TRUE(rpn.words().contains("RPN 0x0000 = 2")) << rpn.words();
    EXPECT_TRUE(rpn.words().contains("Pitch Bend Sensitivity"));
    EXPECT_EQ(rpn.channel, 16);
    EXPECT_TRUE(idsOf(rpn).empty());
}

TEST_F(MonitorTest, TheKeyboardsSysExReadsAsWords)
{
    const auto dot = " " + middleDot() + " ";
    EXPECT_EQ(in("F0 00 6E 31 7F 42 02 00 02 72 09 F7").words(), "Set Pad #3" + dot + "Channel = 10");
    EXPECT_EQ(in("F0 00 6E 31 02 42 02 00 01 01 01 F7").words(),
              "Answer Filter Cutoff" + dot + "Mode = Control");
    EXPECT_EQ(in("F0 00 6E 31 7F 42 02 00 40 08 3C F7").words(), "Set Split point = C3");
    EXPECT_EQ(in("F0 00 6E 31 7F 42 06 00 F7").words(), "End of settings");
    EXPECT_TRUE(in("F0 00 6E 31 7F 42 01 00 03 00 F7").words().startsWith("Request"));
    EXPECT_TRUE(in("F0 7E 7F 06 01 F7").words().startsWith("Identity request"));
    EXPECT_TRUE(
        in("F0 7E 7F 06 02 00 6E 31 02 00 01 00 01 02 03 04 F7").words().contains("firmware 1.2.3.4"));

    const auto foreign = in("F0 41 10 42 12 F7");
    EXPECT_EQ(foreign.kind, MonitorKind::sysEx);
    EXPECT_TRUE(foreign.words().contains("6 bytes")) << foreign.words();
    EXPECT_TRUE(foreign.words().contains("41"));
}

TEST_F(MonitorTest, BrokenSysExIsShownAsSuchWithAllItsBytes)
{
    const auto endless = in("F0 00 6E 31 7F 42");
    EXPECT_TRUE(endless.words().contains("without its end")) << endless.words();
    EXPECT_EQ(endless.hex(), "F0 00 6E 31 7F 42");
    const auto statusInside = in("F0 01 90 02 F7");
    EXPECT_TRUE(statusInside.words().contains("status byte inside")) << statusInside.words();
    EXPECT_EQ(statusInside.size(), 5);
    EXPECT_TRUE(in("F0").words().contains("without its end"));
    EXPECT_TRUE(in("F0 F7").words().startsWith("SysEx, 2 bytes")) << in("F0 F7").words();
    EXPECT_TRUE(in("F7").words().isNotEmpty());
    EXPECT_TRUE(in("3C 40").words().contains("without a status"));
    EXPECT_EQ(in("90").number, 0); // a note cut short reads its missing bytes as 0
}

TEST(MonitorStream, RunningStatusAndRealtimeBytesInsideASysExAreSplitOut)
{
    const auto parts =
        MonitorDecoder::splitStream(bytesOf("90 3C 64 40 00 F0 01 F8 02 F7 F0 05 B0 07 64").data(), 15);
    const std::vector<std::vector<juce::uint8>> expected = {
        {0x90, 0x3C, 0x64},       {0x90, 0x40, 0x00}, {0xF8},
        {0xF0, 0x01, 0x02, 0xF7}, {0xF0, 0x05},       {0xB0, 0x07, 0x64}};
    EXPECT_EQ(parts, expected);
    EXPECT_EQ(MonitorDecoder::splitStream(bytesOf("40 41 C0 05 06").data(), 5),
              (std::vector<std::vector<juce::uint8>>{{0x40, 0x41}, {0xC0, 0x05}, {0xC0, 0x06}}));
}

//==============================================================================
TEST(MonitorHistoryBound, KeepsTheNewestAndCountsEveryDroppedLine)
{
    MonitorHistory history(10, 100);
    MonitorDecoder decoder;
    for (int i = 0; i < 25; ++i)
        history.add(i, MonitorDirection::fromKeyboard, juce::MidiMessage::noteOn(1, i, (juce::uint8)100));
    EXPECT_EQ(history.drain(decoder), 25);
    EXPECT_EQ(history.size(), 10);
    EXPECT_EQ(history.dropped(), 15);
    EXPECT_EQ(history.line(0).number, 15);
    EXPECT_EQ(history.line(history.size() - 1).number, 24);
    const auto saved = history.copyLines();
    ASSERT_EQ(saved.size(), 10u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(saved[(size_t)i].number, 15 + i);

    // Between two drains only what the pending buffer holds is kept; paused, messages are still taken.
    MonitorHistory small(100, 4);
    small.setPaused(true);
    for (int i = 0; i < 6; ++i)
        small.add(i, MonitorDirection::toKeyboard, juce::MidiMessage::controllerEvent(1, 7, i));
    EXPECT_EQ(small.drain(decoder), 4);
    EXPECT_EQ(small.dropped(), 2);
    EXPECT_EQ(small.received(), 6);
    EXPECT_EQ(small.line(small.size() - 1).direction, MonitorDirection::toKeyboard);

    // Cleared, nothing comes back, not even what waited to be decoded.
    small.add(9, MonitorDirection::toKeyboard, juce::MidiMessage::controllerEvent(1, 7, 9));
    small.clear();
    EXPECT_EQ(small.drain(decoder), 0);
    EXPECT_EQ(small.size(), 0);
    EXPECT_EQ(small.dropped(), 0);
}

TEST(MonitorHistoryBound, MessagesAddedFromAnotherThreadWhileDrainingAreAllAccountedFor)
{
    MonitorHistory history(1000, 64);
    MonitorDecoder decoder;
    constexpr int count = 20000;
    std::thread midi(
        [&history]
        {
            for (int i = 0; i < count; ++i)
                history.add(i * 0.001, MonitorDirection::fromKeyboard,
                            juce::MidiMessage::controllerEvent(1 + i % 16, i % 128, 1));
        });
    juce::int64 decoded = 0;
    while (history.received() < count)
        decoded += history.drain(decoder);
    midi.join();
    decoded += history.drain(decoder);
    // Every message is a line kept, a line pushed out by newer ones, or one the full pending buffer refused.
    EXPECT_EQ((juce::int64)history.size() + history.dropped(), count);
    EXPECT_GE(decoded, (juce::int64)history.size());
    EXPECT_LE(history.size(), 1000);
}

//==============================================================================
TEST(MonitorSaving, SyxHoldsEveryWholeSysExByteForByte)
{
    MonitorDecoder decoder;
    MonitorExport::Lines lines;
    for (const char* m :
         {"90 3C 64", "F0 7E 7F 06 01 F7", "F0 01 02", "F0 01 90 F7", "F0 41 10 42 12 40 00 7F F7"})
    {
        const auto b = bytesOf(m);
        lines.push_back(decoder.decode(0, MonitorDirection::toKeyboard, b.data(), (int)b.size()));
    }
    juce::TemporaryFile temp(".syx");
    ASSERT_TRUE(MonitorExport::writeSyx(lines, temp.getFile()).ok);
    juce::MemoryBlock written;
    ASSERT_TRUE(temp.getFile().loadFileAsData(written));
    const auto expected = bytesOf("F0 7E 7F 06 01 F7 F0 41 10 42 12 40 00 7F F7");
    EXPECT_EQ(written, juce::MemoryBlock(expected.data(), expected.size()));
}

TEST(MonitorSaving, CsvQuotesAUserNameWithACommaAndQuotes)
{
    MonitorDecoder decoder(configuration());
    MonitorExport::Lines lines{decoder.decode(1.5, MonitorDirection::fromKeyboard, msg("B2 4A 3F")),
                               decoder.decode(2.25, MonitorDirection::toKeyboard, msg("F8"))};
    const auto csv = MonitorExport::asCsv(lines);
    EXPECT_EQ(
        csv, "time,direction,control,kind,channel,number,value,bytes\r\n"
             "1.500,in,\"Filter Cutoff (Cut, \"\"off\"\"), Filter Resonance\",controller,3,74,63,B2 4A 3F\r\n"
             "2.250,out,,timing,,0,0,F8\r\n");

    juce::TemporaryFile temp(".csv");
    ASSERT_TRUE(MonitorExport::writeCsv(lines, temp.getFile()).ok);
    EXPECT_EQ(temp.getFile().loadFileAsString(), csv);
    EXPECT_TRUE(MonitorExport::asText(lines).contains("B2 4A 3F"));
}

TEST(MonitorSaving, MidiFileHoldsTheChannelAndSysExMessagesInTime)
{
    MonitorDecoder decoder;
    MonitorExport::Lines lines;
    for (const char* m : {"90 3C 64", "F8", "F0 01 02 F7", "F0 05", "80 3C 00"})
        lines.push_back(decoder.decode((double)lines.size(), MonitorDirection::fromKeyboard, msg(m)));
    juce::TemporaryFile temp(".mid");
    ASSERT_TRUE(MonitorExport::writeMidiFile(lines, temp.getFile()).ok);
    juce::FileInputStream stream(temp.getFile());
    juce::MidiFile read;
    ASSERT_TRUE(read.readFrom(stream));
    read.convertTimestampTicksToSeconds(); // through the file's own time format and tempo
    ASSERT_EQ(read.getNumTracks(), 1);
    const auto* track = read.getTrack(0);
    std::vector<juce::String> seen;
    for (const auto* e : *track)
        if (!e->message.isMetaEvent())
            seen.push_back(hex(e->message) + "@" + juce::String(e->message.getTimeStamp(), 3));
    EXPECT_EQ(seen, (std::vector<juce::String>{"90 3C 64@0.000", "F0 01 02 F7@2.000", "80 3C 00@4.000"}));
}

//==============================================================================
TEST_F(MonitorTest, FiltersChooseByKindChannelDirectionAndControlAndRefuseWordsTheyDoNotKnow)
{
    const auto knobs = in("B2 4A 10");         // knobs 1 and 2 share it, channel 3
    const auto pad = in("99 24 64");           // pad 1, channel 10
    const auto play = in("F0 7F 7F 06 02 F7"); // host button 1's MMC: no channel
    const auto clock = in("F8");
    in("B0 63 00");
    in("B0 62 05");
    const auto nrpn = in("B0 06 10"); // knob 5's NRPN, completed
    const auto echoed = decoder.decode(0, MonitorDirection::toKeyboard, msg("B2 4A 10"));
    const auto shown = [&](const MonitorFilter& f)
    {
        juce::String s;
        for (const auto* line : {&knobs, &pad, &play, &clock, &nrpn, &echoed})
            s << (f.passes(*line) ? "1" : "0");
        return s;
    };

    MonitorFilter f;
    EXPECT_EQ(shown(f), "111011") << "only the clock hidden at first";
    ASSERT_EQ(f.apply("ch10", false), "");
    EXPECT_EQ(shown(f), "011000") << "a channel keeps the lines of no channel, by their kind";
    ASSERT_EQ(f.apply("notes,timing", false), "");
    EXPECT_EQ(shown(f), "010100");

    MonitorFilter hidden;
    ASSERT_EQ(hidden.apply("controllers", true), "");
    EXPECT_EQ(shown(hidden), "011000") << "a completed parameter is a controller's";
    MonitorFilter outgoing;
    ASSERT_EQ(outgoing.apply("from", true), "");
    EXPECT_EQ(shown(outgoing), "000001");
    MonitorFilter middle;
    ASSERT_EQ(middle.apply("ch2-3", true), "");
    EXPECT_EQ(shown(middle), "011010") << "channels 2 and 3 counted from 1";

    // The selected controls: a line shared by two is shown for either; a line of none never.
    MonitorFilter chosen;
    chosen.onlyControls(std::vector<int>{0x02});
    EXPECT_EQ(shown(chosen), "100001");
    chosen.onlyControls(std::vector<int>{});
    EXPECT_EQ(shown(chosen), "000000");

    // A word it does not know is named, and nothing of the list is applied.
    for (const char* bad : {"ch0", "ch17", "ch4-2", "ch", "ch1-", "note", "notes,bogus", "notes,,ch1"})
    {
        MonitorFilter untouched;
        EXPECT_NE(untouched.apply(bad, false), "") << bad;
        EXPECT_EQ(shown(untouched), "111011") << bad;
    }
}

TEST(MonitorFilterChannels, AChannelIsOneOrTwoDigitsWithNothingAroundThem)
{
    for (const char* good : {"ch01", "ch16", "ch1-16", " CH3-03 "})
    {
        MonitorFilter f;
        EXPECT_EQ(f.apply(good, false), "") << good;
    }
    MonitorFilter zeros;
    ASSERT_EQ(zeros.apply("ch01-02", false), "");
    EXPECT_TRUE(zeros.showsChannel(1) && zeros.showsChannel(2) && !zeros.showsChannel(3));

    for (const char* bad :
         {"ch 5", "ch5 -6", "ch5- 6", "ch001", "ch0016", "ch+5", "ch-5", "ch1--5", "ch1-2-3", "ch5x"})
    {
        MonitorFilter untouched;
        EXPECT_EQ(untouched.apply(bad, false), juce::String(bad).trim().toLowerCase()) << bad;
        EXPECT_TRUE(untouched.showsEveryChannel()) << bad;
    }
}

TEST(MonitorTapPorts, EachLineNamesThePortItWentThroughEvenWhenTheKeyboardMoves)
{
    MonitorTap tap;
    auto history = std::make_shared<MonitorHistory>();
    tap.attach(history);
    const auto cc = juce::MidiMessage::controllerEvent(1, 7, 1);
    tap.record(MonitorDirection::fromKeyboard, cc);
    tap.setPorts("Keys In", "Keys Out");
    tap.record(MonitorDirection::fromKeyboard, cc);
    tap.record(MonitorDirection::toKeyboard, cc);
    tap.setPorts("Hub In", "Keys Out");
    tap.record(MonitorDirection::fromKeyboard, cc);
    // A keyboard found again and again on ports of new names: the newest is still named right.
    for (int i = 0; i < 300; ++i)
        tap.setPorts("In " + juce::String(i), "Out " + juce::String(i));
    tap.record(MonitorDirection::toKeyboard, cc);
    MonitorDecoder decoder;
    ASSERT_EQ(history->drain(decoder), 5);
    juce::StringArray names;
    for (int i = 0; i < history->size(); ++i)
        names.add(tap.portName(history->line(i).port));
    EXPECT_EQ(names.joinIntoString("|"), "|Keys In|Keys Out|Hub In|Out 299");
}

TEST(EmulatedMove, EveryControlMovedOnTheEmulatedKeyboardIsNamedOnTheMonitor)
{
    for (const auto& keyboard :
         {KeyboardEmulator::factoryConfiguration(), KeyboardEmulator::demoConfiguration(), configuration()})
    {
        MonitorDecoder decoder(keyboard);
        int moved = 0;
        for (int id : ControlCatalogue::pictureControls())
        {
            const auto moves = EmulatedMove::of(keyboard, id);
            const int mode = keyboard.get(itemFieldMode, id);
            bool named = false;
            for (const auto& m : moves)
            {
                const auto line = decoder.decode(0, MonitorDirection::fromKeyboard, m);
                named = named || (line.controls != nullptr &&
                                  std::count(line.controls->ids.begin(), line.controls->ids.end(), id) == 1);
            }
            // Off, or a preset of the keyboard's own: nothing a monitor could name.
            const bool sends = mode > modeOffDisabled && mode < numItemModes && mode != modeKeyboardPreset;
            EXPECT_EQ(named, sends) << ControlCatalogue::messageName(id) << " in mode " << mode;
            moved += sends ? 1 : 0;
        }
        EXPECT_GE(moved, 8) << "so few controls send anything that the check says little";
    }
}
