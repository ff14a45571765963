// The command-line tool, run in-process: exit codes, outputs and the files it writes.
#include "device/SysExCodec.h"
#include "emulator/KeyboardEmulator.h"
#include "files/SettingsFile.h"
#include "tools/quillet/Commands.h"

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
          "<Settings><Items><Item ID=\"112\" Mode=\"10\" Chan=\"64\" Num=\"36\"/></Items>"
          "<Globals><Param ID=\"2\" Value=\"127\"/><Param ID=\"8\" Value=\"61\"/></Globals></Settings>");
    auto shown = run({"show", path("s.qmv49")});
    ASSERT_EQ(shown.code, 0);
    EXPECT_NE(shown.out.find("Pad #1"), std::string::npos);
    EXPECT_NE(shown.out.find("Lwr"), std::string::npos);
    EXPECT_NE(shown.out.find("Relative"), std::string::npos);
    EXPECT_NE(shown.out.find("C#3"), std::string::npos);
    EXPECT_EQ(shown.out.find("Fader mode:     Drawbar"), std::string::npos);
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

    // A keyboard that goes quiet after the search: the tool's own words, lower-case after its name.
    auto quiet = run({"send", path("d.qmv49"), "--emulated-keyboard=silent-after=1"});
    EXPECT_EQ(quiet.code, 1) << quiet.err;
    EXPECT_EQ(quiet.err.rfind("quillet: the keyboard stopped answering", 0), 0u) << quiet.err;
}
