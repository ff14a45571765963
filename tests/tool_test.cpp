// The command-line tool, run in-process: exit codes, outputs and the files it writes.
#include "device/SysExCodec.h"
#include "emulator/KeyboardEmulator.h"
#include "files/SettingsFile.h"
#include "files/SetupLibrary.h"
#include "support/seven_changes.h"
#include "tools/quillet/Commands.h"
#include "tools/quillet/LinkCommands.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace
{
// The link commands run the message loop of the calling thread; its timer thread ends before the statics.
struct MessageManagerEnvironment : ::testing::Environment
{
    void TearDown() override
    {
        juce::DeletedAtShutdown::deleteAll();
        juce::MessageManager::deleteInstance();
    }
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new MessageManagerEnvironment);

struct ToolRun
{
    int code;
    std::string out, err;
};

class ToolTest : public ::testing::Test
{
protected:
    juce::TemporaryFile folderHolder;
    juce::File dir;

    void SetUp() override
    {
        dir = folderHolder.getFile();
        ASSERT_TRUE(dir.createDirectory());
    }
    void TearDown() override { dir.deleteRecursively(); }

    ToolRun run(const juce::StringArray& args)
    {
        std::ostringstream out, err;
        const int code = QuilletCommands::run(args, out, err);
        return {code, out.str(), err.str()};
    }
    juce::String path(const char* name) const { return dir.getChildFile(name).getFullPathName(); }
    void write(const char* name, const juce::String& text) const
    {
        dir.getChildFile(name).replaceWithText(text);
    }
    /** A MIDI file of one note, for the emulated keyboard to play. */
    juce::String midiFile() const
    {
        juce::MidiMessageSequence track;
        track.addEvent(juce::MidiMessage::noteOn(1, 60, (juce::uint8)90));
        juce::MidiFile file;
        file.addTrack(track);
        const auto f = dir.getChildFile("played.mid");
        f.deleteFile();
        juce::FileOutputStream out(f);
        file.writeTo(out);
        return f.getFullPathName();
    }
};

TEST_F(ToolTest, DefaultsWritesTheEditorsDefaultValuesConfiguration)
{
    ASSERT_EQ(run({"defaults", path("d.qmv49")}).code, 0);
    KbdSettingsStore store;
    ASSERT_TRUE(readSettingsFile(store, dir.getChildFile("d.qmv49")).ok);
    EXPECT_EQ(store.snapshot(), KeyboardEmulator::factoryConfiguration());
    EXPECT_EQ(store.getGlobal(globalSplitPoint), 60);
    EXPECT_EQ(store.getGlobal(globalKnobMode), 1);
}

TEST_F(ToolTest, CheckAcceptsACleanFileAndListsEachProblemOfAFaultyOne)
{
    run({"defaults", path("d.qmv49")});
    auto clean = run({"check", path("d.qmv49")});
    EXPECT_EQ(clean.code, 0);
    EXPECT_NE(clean.out.find("OK"), std::string::npos);

    write("bad.qmv49", "<Settings><Items>"
                       "<Item ID=\"1\" Mode=\"12\" Chan=\"0\" Num=\"74\"/>"
                       "<Item ID=\"2\" Mode=\"1\" Chan=\"20\" Num=\"71\"/>"
                       "<Item ID=\"100\" Mode=\"1\" Chan=\"0\" Num=\"5\"/>"
                       "<Item ID=\"3\" Mode=\"1\" Chan=\"0\" Num=\"200\"/>"
                       "</Items><Globals><Param ID=\"2\" Value=\"5\"/></Globals></Settings>");
    auto bad = run({"check", path("bad.qmv49")});
    EXPECT_EQ(bad.code, 1);
    for (const char* expected :
         {"mode 12", "channel code 20", "control id 100", "CC number 200", "is missing", "neither 1 nor 127"})
        EXPECT_NE(bad.out.find(expected), std::string::npos) << expected << "\n" << bad.out;
}

TEST_F(ToolTest, CheckCountsAsShowDoesAndTellsOfAFaultOnceInThePanelsWords)
{
    // The picture's 53 controls and the six keyboard-wide values of the panel, as 'show' and the chart list.
    run({"defaults", path("d.qmv49")});
    EXPECT_NE(run({"check", path("d.qmv49")}).out.find("53 controls and 6 keyboard-wide values"),
              std::string::npos);

    // Filter Cutoff's item is skipped for its number: said once, not again as a missing control.
    auto text = dir.getChildFile("d.qmv49").loadFileAsString();
    text = text.replace("<Item ID=\"1\" Mode=\"1\" Chan=\"0\" Num=\"74\"",
                        "<Item ID=\"1\" Mode=\"1\" Chan=\"0\" Num=\"300\"");
    ASSERT_TRUE(text.contains("Num=\"300\""));
    write("one.qmv49", text);
    const auto checked = run({"check", path("one.qmv49")});
    EXPECT_EQ(checked.code, 1);
    EXPECT_NE(checked.out.find(": 1 problem\n"), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("Filter Cutoff (item 1): CC number 300 is outside 0..127"), std::string::npos)
        << checked.out;
}

TEST_F(ToolTest, UnreadableInputsExitWithTwoAndBadCommandLinesWithUsage)
{
    write("text.qmv49", "not xml at all");
    write("other.xml", "<Foo><Bar/></Foo>");
    EXPECT_EQ(run({"check", path("text.qmv49")}).code, 2);
    EXPECT_EQ(run({"show", path("missing.qmv49")}).code, 2);
    EXPECT_EQ(run({"chart", path("other.xml"), path("c.html")}).code, 2);
    EXPECT_FALSE(dir.getChildFile("c.html").exists());

    EXPECT_EQ(run({"frobnicate"}).code, QuilletCommands::exitUsage);
    EXPECT_EQ(run({"chart", path("d.qmv49")}).code, QuilletCommands::exitUsage);
    EXPECT_EQ(run({}).code, QuilletCommands::exitUsage);
    auto help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Exit codes"), std::string::npos);
}

TEST_F(ToolTest, CommandLineMistakesGetOneLineAndHelpGoesToTheCommand)
{
    run({"defaults", path("d.qmv49")});
    auto lines = [](const std::string& s)
    {
        return std::count(s.begin(), s.end(), '\n');
    };

    // Help after a command is that command's help, not a file name to read.
    auto showHelp = run({"show", "--help"});
    EXPECT_EQ(showHelp.code, 0);
    EXPECT_NE(showHelp.out.find("quillet show IN.qmv49"), std::string::npos) << showHelp.out;
    EXPECT_EQ(showHelp.out.find("Exit codes"), std::string::npos) << "only the command's own help";
    EXPECT_TRUE(showHelp.err.empty()) << showHelp.err;
    EXPECT_EQ(run({"help", "syx"}).out.rfind("Usage: quillet syx IN.qmv49 OUT.syx\n", 0), 0u);

    auto version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("quillet ", 0), 0u) << version.out;
    EXPECT_EQ(lines(version.out), 1);
    EXPECT_TRUE(std::isdigit((unsigned char)version.out[8])) << version.out;

    // Unknown options are refused wherever they stand, and nothing is written.
    for (const juce::StringArray& args :
         {juce::StringArray{"--frobnicate"},
          juce::StringArray{"chart", "--wide", path("d.qmv49"), path("c.html")},
          juce::StringArray{"chart", path("d.qmv49")}, juce::StringArray{"frobnicate", path("d.qmv49")},
          juce::StringArray{}})
    {
        auto r = run(args);
        EXPECT_EQ(r.code, QuilletCommands::exitUsage) << args.joinIntoString(" ");
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find("see quillet --help"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_NE(run({"chart", "-x", path("d.qmv49"), path("c.html")}).err.find("'-x'"), std::string::npos);
    EXPECT_FALSE(dir.getChildFile("c.html").exists());

    // After "--" a name that starts with a dash is a file.
    ASSERT_TRUE(dir.getChildFile("d.qmv49").copyFileTo(dir.getChildFile("-d.qmv49")));
    const auto previous = juce::File::getCurrentWorkingDirectory();
    dir.setAsCurrentWorkingDirectory();
    auto dashed = run({"check", "--", "-d.qmv49"});
    previous.setAsCurrentWorkingDirectory();
    EXPECT_EQ(dashed.code, 0) << dashed.err;
}

TEST_F(ToolTest, ShowPrintsAssignmentsAndKeyboardWideValuesInWords)
{
    write("s.qmv49",
          "<Settings><Items><Item ID=\"112\" Mode=\"10\" Chan=\"64\" Num=\"36\"/>"
          "<Item ID=\"113\" Mode=\"10\" Chan=\"9\" Num=\"38\"/></Items>"
          "<Globals><Param ID=\"2\" Value=\"127\"/><Param ID=\"8\" Value=\"61\"/></Globals></Settings>");
    auto shown = run({"show", path("s.qmv49")});
    ASSERT_EQ(shown.code, 0);
    EXPECT_NE(shown.out.find("Pad #1"), std::string::npos);
    EXPECT_NE(shown.out.find("Lwr"), std::string::npos);
    EXPECT_NE(shown.out.find("Relative"), std::string::npos);
    EXPECT_NE(shown.out.find("C#3"), std::string::npos);
    EXPECT_EQ(shown.out.find("Fader mode:     Drawbar"), std::string::npos);

    // A pad's number says its note, and on channel 10 its drum; the lower channel's pad only the note.
    EXPECT_NE(shown.out.find("38 - D1 \xC2\xB7 Acoustic Snare"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("36 - C1 "), std::string::npos) << shown.out;
    EXPECT_EQ(shown.out.find("Bass Drum 1"), std::string::npos) << shown.out;
    // The middle dot is one character wide: every line of the table is as long as the heading's.
    std::istringstream lines(shown.out);
    std::vector<size_t> widths;
    for (std::string line; std::getline(lines, line) && !line.empty();)
        widths.push_back((size_t)std::count_if(line.begin(), line.end(),
                                               [](char ch) { return ((unsigned char)ch & 0xC0) != 0x80; }));
    ASSERT_GT(widths.size(), 50u);
    EXPECT_EQ(std::count(widths.begin(), widths.end(), widths[0]), (long)widths.size()) << shown.out;
}

TEST_F(ToolTest, SyxHoldsExactlyTheSendAllStream)
{
    run({"defaults", path("d.qmv49")});
    ASSERT_EQ(run({"syx", path("d.qmv49"), path("d.syx")}).code, 0);
    juce::MemoryBlock bytes;
    ASSERT_TRUE(dir.getChildFile("d.syx").loadFileAsData(bytes));
    ASSERT_EQ(bytes.getSize(), 3981u); // 325 item messages, six globals, the closing command

    // Walk the frames: every one is F0 ... F7 with data bytes only, the last is the closing command.
    const auto* b = static_cast<const juce::uint8*>(bytes.getData());
    int frames = 0;
    size_t start = 0;
    for (size_t i = 0; i < bytes.getSize(); ++i)
    {
        if (b[i] == 0xF7)
        {
            EXPECT_EQ(b[start], 0xF0);
            for (size_t k = start + 1; k < i; ++k)
                EXPECT_LT(b[k], 0x80);
            ++frames;
            start = i + 1;
        }
    }
    EXPECT_EQ(frames, 332);
    const auto closing = OrvSysEx::makeClosingCommand();
    EXPECT_EQ(0, memcmp(b + bytes.getSize() - 9, closing.getRawData(), 9));
}
} // namespace

TEST_F(ToolTest, LinkCommandsReadAndVerifiedSendAgainstTheEmulatorWithTrouble)
{
    ASSERT_EQ(run({"defaults", path("d.qmv49")}).code, 0);

    auto sent = run({"send", path("d.qmv49"), "--emulated-keyboard=drop-every=5"});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_NE(sent.out.find("verified"), std::string::npos) << sent.out;

    // A keyboard that takes nothing keeps its own setup, which differs in Filter Cutoff's number.
    auto refused = run({"send", path("d.qmv49"), "--emulated-keyboard=drop-every=1"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("Filter Cutoff"), std::string::npos) << refused.err;

    // split=0 is the documented "all pairs in one answer".
    ASSERT_EQ(run({"read", path("r.qmv49"), "--emulated-keyboard=split=0"}).code, 0);
    KbdSettingsStore store;
    ASSERT_TRUE(readSettingsFile(store, dir.getChildFile("r.qmv49")).ok);
    const auto setup = KeyboardEmulator::demoConfiguration();
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            EXPECT_EQ(store.getItemField(f, id), setup.get(f, id)) << id << " " << f;
    EXPECT_EQ(store.getGlobal(globalSplitPoint), setup.globals[globalSplitPoint]);

    EXPECT_EQ(run({"read", path("x.qmv49"), "--emulated-keyboard=silent-after=3"}).code, 1);
    EXPECT_FALSE(dir.getChildFile("x.qmv49").exists()) << "an incomplete read-out writes nothing";
    EXPECT_EQ(run({"send", path("missing.qmv49"), "--emulated-keyboard"}).code, 2);
    EXPECT_EQ(run({"send", path("d.qmv49"), "--emulated-keyboard=no-identity"}).code, 4);
    EXPECT_EQ(run({"ports", "--emulated-keyboard=no-identity"}).code, 4);
    // Pulled after the identity reply and two answers of the read-out.
    const auto pulled = run({"read", path("y.qmv49"), "--emulated-keyboard=unplug-after=3"});
    EXPECT_EQ(pulled.code, 4);
    EXPECT_NE(pulled.err.find("disconnected"), std::string::npos) << pulled.err;
    EXPECT_FALSE(dir.getChildFile("y.qmv49").exists());
    EXPECT_EQ(run({"ports", "--emulated-keyboard=bogus"}).code, 64);
}

TEST_F(ToolTest, SendSaysPlainlyWhatHappenedAndExitsWithFiveWhenPartsOfTheFileWereSkipped)
{
    for (const char* command : {"ports", "read", "send"})
        EXPECT_NE(run({command, "--help"}).out.find("--emulated-keyboard"), std::string::npos) << command;
    EXPECT_NE(run({"send", "--help"}).out.find("5 when"), std::string::npos);
    EXPECT_NE(run({"--help"}).out.find("  5 "), std::string::npos) << "documented with the exit codes";

    ASSERT_EQ(run({"defaults", path("d.qmv49")}).code, 0);
    auto clean = run({"send", path("d.qmv49"), "--emulated-keyboard"});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_EQ(clean.out.rfind("Sent and verified: ", 0), 0u) << clean.out;
    EXPECT_EQ(clean.out.find("verified: Sent"), std::string::npos) << clean.out;

    // A skipped element: the rest is sent and verified with the default in its place, and a script can tell.
    auto text = dir.getChildFile("d.qmv49").loadFileAsString();
    write("partly.qmv49", text.replace("<Param ID=\"8\" Value=\"60\"/>", "<Param ID=\"8\" Value=\"200\"/>"));
    ASSERT_NE(dir.getChildFile("partly.qmv49").loadFileAsString(), text);
    auto partly = run({"send", path("partly.qmv49"), "--emulated-keyboard"});
    EXPECT_EQ(partly.code, QuilletCommands::exitSentWithDefaults) << partly.err;
    EXPECT_NE(partly.code, 0);
    EXPECT_NE(partly.out.find("Sent and verified"), std::string::npos) << partly.out;
    EXPECT_NE(partly.err.find("1 element of the file was skipped and the default sent"), std::string::npos)
        << partly.err;

    // 'syx' sends nothing: the default goes into the file it writes.
    auto syx = run({"syx", path("partly.qmv49"), path("partly.syx")});
    EXPECT_EQ(syx.code, 0) << syx.err;
    EXPECT_NE(syx.err.find("the default written to partly.syx in its place"), std::string::npos) << syx.err;
    EXPECT_EQ(syx.err.find("sent"), std::string::npos) << syx.err;

    // A keyboard that goes quiet after the search: the tool's own words, lower-case after its name.
    auto quiet = run({"send", path("d.qmv49"), "--emulated-keyboard=silent-after=1"});
    EXPECT_EQ(quiet.code, 1) << quiet.err;
    EXPECT_EQ(quiet.err.rfind("quillet: the keyboard stopped answering", 0), 0u) << quiet.err;
}

namespace
{
/** The lines of a report that name a value: those with the words' separator. */
juce::StringArray valueLines(const std::string& out)
{
    juce::StringArray found;
    for (const auto& line : juce::StringArray::fromLines(juce::String::fromUTF8(out.c_str())))
        if (line.contains(juce::CharPointer_UTF8("\xc2\xb7")))
            found.add(line);
    return found;
}
} // namespace

TEST_F(ToolTest, DiffOfTwoFilesSaysWhatDiffersWhatOneLeavesOutAndExitsByTheResult)
{
    ASSERT_EQ(run({"defaults", path("a.qmv49")}).code, 0);
    auto same = run({"diff", path("a.qmv49"), path("a.qmv49")});
    EXPECT_EQ(same.code, 0);
    EXPECT_EQ(same.out, "a.qmv49 and a.qmv49 are identical\n");

    // One value changed, one control and the keyboard-wide values left out.
    const auto a = dir.getChildFile("a.qmv49").loadFileAsString();
    auto b = a.replace("ID=\"114\" Mode=\"10\" Chan=\"9\"", "ID=\"114\" Mode=\"10\" Chan=\"0\"");
    ASSERT_NE(b, a);
    b = b.replace("<Item ID=\"80\" Mode=\"1\" Chan=\"0\" Num=\"64\" MinLSB=\"0\" MaxMSB=\"127\"/>", "");
    b = b.upToFirstOccurrenceOf("<Globals", false, false) + "</Settings>\n";
    write("b.qmv49", b);

    const auto differs = run({"diff", path("a.qmv49"), path("b.qmv49")});
    EXPECT_EQ(differs.code, 1);
    const auto rows = valueLines(differs.out);
    EXPECT_EQ(rows.size(), 1 + 5 + 6) << differs.out;
    EXPECT_TRUE(rows.contains(juce::CharPointer_UTF8("Pad #3 \xc2\xb7 Channel \xc2\xb7 10 \xc2\xb7 1")));
    EXPECT_TRUE(rows.contains(
        juce::CharPointer_UTF8("Sustain Pedal \xc2\xb7 Mode \xc2\xb7 Control \xc2\xb7 not defined")));
    EXPECT_TRUE(rows.contains(
        juce::CharPointer_UTF8("Global Parameters \xc2\xb7 Split point \xc2\xb7 C3 \xc2\xb7 not defined")));

    const auto tsv = run({"diff", "--format=tsv", path("a.qmv49"), path("b.qmv49")});
    EXPECT_EQ(tsv.code, 1);
    const auto tsvLines = juce::StringArray::fromLines(juce::String(tsv.out).trimEnd());
    ASSERT_EQ(tsvLines.size(), 1 + 12);
    EXPECT_EQ(tsvLines[0], "control\tfield\ta.qmv49\tb.qmv49");
    EXPECT_TRUE(tsvLines.contains("Pad #3\tChannel\t10\t1"));

    EXPECT_EQ(run({"diff", path("a.qmv49"), path("missing.qmv49")}).code, 2);
    EXPECT_EQ(run({"diff", path("a.qmv49")}).code, 64);
    EXPECT_EQ(run({"diff", path("a.qmv49"), path("b.qmv49"), "--format=csv"}).code, 64);
}

TEST_F(ToolTest, ARememberingKeyboardTakesASendThroughDroppedValuesAndDiffFindsWhatIsLeft)
{
    // The keyboard starts from factory values (no state file yet); the file differs from it in 7 places.
    const auto file = withSevenChanges(KeyboardEmulator::factoryConfiguration());
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(file), dir.getChildFile("f.qmv49")).ok);
    const auto state = "--emulated-keyboard=state=" + path("kbd.qmv49") + ",drop-every=3";

    const auto before = run({"diff", path("f.qmv49"), "--keyboard", state});
    EXPECT_EQ(before.code, 1) << before.err;
    EXPECT_EQ(valueLines(before.out).size(), 7) << before.out;
    ASSERT_TRUE(dir.getChildFile("kbd.qmv49").existsAsFile()) << "the keyboard's state was not written back";

    // Three of the file's values taken onto what the keyboard holds, and sent.
    auto taken = KeyboardEmulator::factoryConfiguration();
    taken.set(itemFieldChannel, 0x70, 3);
    taken.set(itemFieldMode, 0x50, modeNoteToggle);
    taken.globals[globalSplitPoint] = 48;
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(taken), dir.getChildFile("g.qmv49")).ok);
    const auto sent = run({"send", path("g.qmv49"), state});
    ASSERT_EQ(sent.code, 0) << sent.err;

    // The next command meets the keyboard the last one left.
    const auto after =
        run({"diff", path("f.qmv49"), "--keyboard", "--emulated-keyboard=state=" + path("kbd.qmv49")});
    EXPECT_EQ(after.code, 1);
    const auto rows = valueLines(after.out);
    EXPECT_EQ(rows.size(), 4) << after.out;
    EXPECT_TRUE(
        rows.contains(juce::CharPointer_UTF8("Filter Cutoff \xc2\xb7 CC number \xc2\xb7 20 \xc2\xb7 74")));
    EXPECT_FALSE(rows.joinIntoString("\n").contains("Pad #1"));
    EXPECT_EQ(
        run({"diff", path("g.qmv49"), "--keyboard", "--emulated-keyboard=state=" + path("kbd.qmv49")}).code,
        0);
    EXPECT_EQ(run({"diff", path("g.qmv49"), path("kbd.qmv49")}).code, 0);

    // An unreadable state file is bad input, and is left as it was.
    write("bad.qmv49", "not a settings file");
    EXPECT_EQ(
        run({"diff", path("g.qmv49"), "--keyboard", "--emulated-keyboard=state=" + path("bad.qmv49")}).code,
        2);
    EXPECT_EQ(dir.getChildFile("bad.qmv49").loadFileAsString(), "not a settings file");
}

TEST_F(ToolTest, ImportTurnsASyxBackAndTheLibraryAddsListsAndSendsSetups)
{
    auto s = KeyboardEmulator::factoryConfiguration();
    s.set(itemFieldChannel, 0x70, 3);
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(s), dir.getChildFile("drums.qmv49")).ok);
    ASSERT_EQ(run({"syx", path("drums.qmv49"), path("drums.syx")}).code, 0);
    ASSERT_EQ(run({"import", path("drums.syx"), path("back.qmv49")}).code, 0);
    ASSERT_EQ(run({"syx", path("back.qmv49"), path("again.syx")}).code, 0);
    EXPECT_EQ(dir.getChildFile("again.syx").loadFileAsString(),
              dir.getChildFile("drums.syx").loadFileAsString());
    juce::MemoryBlock stream;
    ASSERT_TRUE(dir.getChildFile("drums.syx").loadFileAsData(stream));
    dir.getChildFile("cut.syx").replaceWithData(stream.getData(), 40);
    EXPECT_EQ(run({"import", path("cut.syx"), path("cut.qmv49")}).code, 2);
    EXPECT_FALSE(dir.getChildFile("cut.qmv49").exists()) << "nothing half imported";

    const auto lib = "--library=" + path("lib");
    write("notes.qmv49", "set list: opener, ballad");
    const auto added =
        run({"library", "add", path("drums.syx"), path("notes.qmv49"), path("back.qmv49"), lib});
    EXPECT_EQ(added.code, 2) << "one file was refused";
    EXPECT_TRUE(juce::String(added.err).contains("notes.qmv49")) << added.err;
    EXPECT_EQ(dir.getChildFile("lib").getNumberOfChildFiles(juce::File::findFiles, "*.qmv49"), 2);

    const auto listed = run({"library", "list", "--search", "DRUMS", lib});
    EXPECT_EQ(listed.code, 0);
    EXPECT_TRUE(juce::String(listed.out).contains("drums  (drums.qmv49)")) << listed.out;
    EXPECT_TRUE(juce::String(listed.out).contains("1 of 2 setups")) << listed.out;

    EXPECT_EQ(run({"library", "send", "back", lib, "--emulated-keyboard"}).code, 0);
    const auto recent = juce::StringArray::fromLines(juce::String(run({"library", "list", lib}).out));
    EXPECT_TRUE(recent[0].contains("back.qmv49")) << "the setup just sent comes first";
    EXPECT_EQ(run({"library", "send", "nothing like it", lib, "--emulated-keyboard"}).code, 2);
    // A send that found no keyboard does not count as a use.
    EXPECT_EQ(run({"library", "send", "drums", lib, "--emulated-keyboard=no-identity"}).code, 4);
    EXPECT_TRUE(
        juce::StringArray::fromLines(juce::String(run({"library", "list", lib}).out))[0].contains("back"));
    EXPECT_EQ(run({"library", "list", "--colour", lib}).code, 64);
}

namespace
{
/** The number a report gives before " controls". */
std::string controlCount(const std::string& text)
{
    const auto at = text.find(" controls");
    auto start = at == std::string::npos ? 0 : at;
    while (start > 0 && std::isdigit((unsigned char)text[start - 1]))
        --start;
    return text.substr(start, at == std::string::npos ? 0 : at - start);
}
} // namespace

TEST_F(ToolTest, SendCountsTheControlsAsCheckDoes)
{
    ASSERT_EQ(run({"defaults", path("d.qmv49")}).code, 0);
    const auto checked = run({"check", path("d.qmv49")});
    ASSERT_EQ(checked.code, 0) << checked.out;
    const auto sent = run({"send", path("d.qmv49"), "--emulated-keyboard"});
    ASSERT_EQ(sent.code, 0) << sent.err;
    EXPECT_FALSE(controlCount(checked.out).empty()) << checked.out;
    EXPECT_EQ(controlCount(sent.out), controlCount(checked.out)) << sent.out << checked.out;
}

TEST_F(ToolTest, EveryOptionTheEmulatedKeyboardTakesIsInTheHelpOfEachCommandThatTalksToIt)
{
    const auto& options = QuilletLinkCommands::emulatedKeyboardOptions();
    juce::StringArray forms;
    for (const auto& o : options)
    {
        const auto form = QuilletLinkCommands::optionForm(o);
        forms.add(form);
        // The parser takes it, with a value of its kind.
        const juce::String kind(o.value);
        const auto given = juce::String(o.name) + (kind.isEmpty()       ? juce::String()
                                                   : kind == "FILE"     ? "=" + path("kbd.qmv49")
                                                   : kind == "FILE.mid" ? "=" + midiFile()
                                                                        : juce::String("=3"));
        juce::StringArray args{"ports", "--emulated-keyboard=" + given};
        juce::String problem;
        EXPECT_TRUE(QuilletLinkCommands::takeLinkOptions(args, problem).has_value())
            << given << ": " << problem;

        for (const char* command : {"ports", "read", "send", "diff", "library"})
            EXPECT_TRUE(juce::String(run({command, "--help"}).out).contains(form)) << command << " " << form;
        EXPECT_TRUE(juce::String(run({"--help"}).out).contains(form)) << form;
    }
    EXPECT_TRUE(forms.contains("state=FILE")) << forms.joinIntoString(" ");
    EXPECT_TRUE(forms.contains("no-identity")) << forms.joinIntoString(" ");

    // A name it does not take is refused with every one it does, and nothing is run.
    const auto refused = run({"ports", "--emulated-keyboard=slow=5,stat=" + path("kbd.qmv49")});
    EXPECT_EQ(refused.code, QuilletCommands::exitUsage);
    for (const auto& form : forms)
        EXPECT_NE(refused.err.find(form.toStdString()), std::string::npos) << form << "\n" << refused.err;
    EXPECT_EQ(run({"ports", "--emulated-keyboard=state="}).code, QuilletCommands::exitUsage);
    EXPECT_FALSE(dir.getChildFile("kbd.qmv49").exists());
}

TEST_F(ToolTest, ALibrarySendThatFitsTwoSetupsIsRefusedWithBothFilesNamedAndTheFileNamePicksOne)
{
    auto first = KeyboardEmulator::factoryConfiguration(), second = first;
    first.set(itemFieldChannel, 0x70, 3);
    second.set(itemFieldChannel, 0x70, 5);
    SetupLibrary library(dir.getChildFile("lib"));
    const auto one = library.saveNew(first, {"f", {}, {}});
    const auto two = library.saveNew(second, {"f", {}, {}});
    ASSERT_TRUE(one.ok && two.ok) << one.message << two.message;
    ASSERT_NE(one.fileName, two.fileName);

    // One setup's file is named like the title, so the name fits a file and a title: neither is guessed.
    const auto lib = "--library=" + path("lib");
    const auto state = "--emulated-keyboard=state=" + path("kbd.qmv49");
    const auto refused = run({"library", "send", "f", lib, state});
    EXPECT_EQ(refused.code, QuilletCommands::exitUsage);
    EXPECT_NE(refused.err.find(one.fileName.toStdString()), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(two.fileName.toStdString()), std::string::npos) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_FALSE(dir.getChildFile("kbd.qmv49").exists()) << "nothing was sent";
    EXPECT_EQ(run({"library", "send", "F", lib, state}).code, QuilletCommands::exitUsage)
        << "titles, any case";

    // The whole file name is one setup's: that one goes.
    const auto picked = run({"library", "send", two.fileName, lib, state});
    ASSERT_EQ(picked.code, 0) << picked.err;
    KbdSettingsStore keyboard;
    ASSERT_TRUE(readSettingsFile(keyboard, dir.getChildFile("kbd.qmv49")).ok);
    EXPECT_EQ(keyboard.getItemField(itemFieldChannel, 0x70), 5);
}

TEST_F(ToolTest, MonitorNamesEachPlayedMessagesControlChannelNumberAndValue)
{
    ASSERT_EQ(run({"defaults", path("factory.qmv49")}).code, 0);
    // In the factory setup Filter Cutoff sends controller 74 on channel 1; nothing sends 74 on channel 16.
    juce::MidiMessageSequence track;
    track.addEvent(juce::MidiMessage::controllerEvent(1, 74, 63), 0);
    track.addEvent(juce::MidiMessage::controllerEvent(16, 74, 5), 10);
    track.addEvent(juce::MidiMessage::noteOff(10, 0), 20);
    track.addEvent(juce::MidiMessage::pitchWheel(2, 0), 30);
    juce::MidiFile file;
    file.addTrack(track);
    {
        juce::FileOutputStream stream(dir.getChildFile("moves.mid"));
        ASSERT_TRUE(file.writeTo(stream));
    }
    const auto r = run({"monitor", "--emulated-keyboard=play=" + path("moves.mid"), "--count=4",
                        "--format=tsv", "--setup=" + path("factory.qmv49")});
    ASSERT_EQ(r.code, 0) << r.err;
    auto lines = juce::StringArray::fromLines(juce::String(r.out).trimEnd());
    ASSERT_EQ(lines.size(), 5) << r.out;
    EXPECT_EQ(lines[0], "time\tdirection\tcontrol\tkind\tchannel\tnumber\tvalue\tbytes");
    const auto columns = [&](int i)
    {
        auto c = juce::StringArray::fromTokens(lines[i], "\t", {});
        c.remove(0); // the time
        return c.joinIntoString("|");
    };
    EXPECT_EQ(columns(1), "in|Filter Cutoff|controller|1|74|63|B0 4A 3F");
    EXPECT_EQ(columns(2), "in||controller|16|74|5|BF 4A 05");
    EXPECT_EQ(columns(3), "in||note|10|0|0|89 00 00");
    EXPECT_EQ(columns(4), "in|Pitch Wheel|pitch/pressure|2|0|-8192|E1 00 00");

    // Filtered, in the order given: the count is of the lines shown.
    const auto some =
        run({"monitor", "--emulated-keyboard=play=" + path("moves.mid"), "--count=3", "--seconds=20",
             "--format=tsv", "--setup=" + path("factory.qmv49"), "--hide=ch1-2", "--only=ch2-16"});
    ASSERT_EQ(some.code, 0) << some.err;
    lines = juce::StringArray::fromLines(juce::String(some.out).trimEnd());
    ASSERT_EQ(lines.size(), 4) << some.out;
    EXPECT_EQ(columns(1), "in||controller|16|74|5|BF 4A 05");
    EXPECT_EQ(columns(2), "in||note|10|0|0|89 00 00");
    EXPECT_EQ(columns(3), "in|Pitch Wheel|pitch/pressure|2|0|-8192|E1 00 00")
        << "shown again by the later --only";
    EXPECT_EQ(run({"monitor", "--emulated-keyboard", "--only=ch17"}).code, QuilletCommands::exitUsage);

    // No keyboard at all: said, with its own exit code.
    const auto alone = run({"monitor", "--emulated-keyboard=no-identity", "--count=1"});
    EXPECT_EQ(alone.code, QuilletCommands::exitNoKeyboard);
}
