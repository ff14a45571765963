// What the editor makes of its command line: nothing, or one settings file (as a desktop opens one), help,
// and for the emulated editor the emulated keyboard's trouble.
#include "app/EditorCommandLine.h"
#include "ui/EditorCommands.h"

#include <gtest/gtest.h>

TEST(EditorCommandLine, TakesOneOptionalSettingsFileAndRefusesAnythingElse)
{
    const auto here = juce::File::getCurrentWorkingDirectory();

    const auto none = EditorCommandLine::parse({});
    EXPECT_FALSE(none.settingsFile.has_value());
    EXPECT_TRUE(none.problem.isEmpty());

    // A relative name is found from the working folder; a name with spaces stays one argument.
    EXPECT_EQ(EditorCommandLine::parse({"live set.qmv49"}).settingsFile, here.getChildFile("live set.qmv49"));
    EXPECT_EQ(EditorCommandLine::parse({"/music/a.qmv49"}).settingsFile, juce::File("/music/a.qmv49"));
    EXPECT_EQ(EditorCommandLine::parse({"--", "-odd.qmv49"}).settingsFile, here.getChildFile("-odd.qmv49"));
    EXPECT_EQ(EditorCommandLine::parse({"--", "--help"}).settingsFile, here.getChildFile("--help"));

    for (const auto& refused : {juce::StringArray{"a.qmv49", "b.qmv49"}, juce::StringArray{"--verbose"},
                                juce::StringArray{"-x"}, juce::StringArray{""}})
    {
        const auto parsed = EditorCommandLine::parse(refused);
        EXPECT_TRUE(parsed.problem.isNotEmpty()) << refused.joinIntoString(" ");
        EXPECT_FALSE(parsed.settingsFile.has_value()) << refused.joinIntoString(" ");
    }
}

TEST(EditorCommandLine, HelpNamesTheFileArgumentAndTheEmulatorOnlyTheEmulatedEditorTakesIt)
{
    for (const char* option : {"--help", "-h"})
    {
        const auto asked = EditorCommandLine::parse({option});
        EXPECT_TRUE(asked.helpWanted) << option;
        EXPECT_TRUE(asked.problem.isEmpty()) << option;
    }
    EXPECT_TRUE(EditorCommandLine::help(false).startsWith(EditorCommandLine::usage(false)));
    EXPECT_TRUE(EditorCommandLine::help(false).contains("SETTINGS-FILE.qmv49"));
    EXPECT_TRUE(EditorCommandLine::help(true).contains("--emulated-keyboard[=TROUBLE,...]"));
    EXPECT_TRUE(EditorCommandLine::help(true).contains("slow=MS"));

    // The emulated editor takes the trouble beside a file; the plain one says where the emulator is.
    const auto slow = EditorCommandLine::parse({"--emulated-keyboard=slow=40,split=2", "a.qmv49"}, true);
    EXPECT_TRUE(slow.problem.isEmpty()) << slow.problem;
    EXPECT_EQ(slow.emulatorTrouble, "slow=40,split=2");
    EXPECT_TRUE(slow.settingsFile.has_value());
    EXPECT_TRUE(EditorCommandLine::parse({"--emulated-keyboard"}, true).problem.isEmpty());
    const auto plain = EditorCommandLine::parse({"--emulated-keyboard=slow=40"});
    EXPECT_TRUE(plain.problem.contains("quillet-editor-emulated")) << plain.problem;
}

TEST(EditorCommandLine, VersionIsTheBuildsAndHelpAndTheManualPageListIt)
{
    const auto asked = EditorCommandLine::parse({"--version"});
    EXPECT_TRUE(asked.versionWanted);
    EXPECT_TRUE(asked.problem.isEmpty()) << asked.problem;
    EXPECT_FALSE(asked.settingsFile.has_value());
    EXPECT_FALSE(EditorCommandLine::parse({"--", "--version"}).versionWanted) << "after --, a file's name";

    EXPECT_EQ(EditorCommandLine::version(false), juce::String("quillet-editor ") + QUILLET_VERSION + "\n");
    EXPECT_EQ(EditorCommandLine::version(true),
              juce::String("quillet-editor-emulated ") + QUILLET_VERSION + "\n");
    for (bool emulated : {false, true})
        EXPECT_TRUE(EditorCommandLine::help(emulated).contains("  --version ")) << emulated;
    const auto page =
        juce::File(QUILLET_SOURCE_DIR).getChildFile("resources/man/quillet-editor.1.in").loadFileAsString();
    EXPECT_TRUE(page.contains(".B \\-\\-version\n"));
}

// The manual page lists every shortcut as the editor's help does, and names no key the editor does not take.
TEST(EditorCommandLine, TheManualPageAndTheHelpListEveryShortcutAndNoOther)
{
    const auto page =
        juce::File(QUILLET_SOURCE_DIR).getChildFile("resources/man/quillet-editor.1.in").loadFileAsString();
    ASSERT_TRUE(page.contains(".SH SHORTCUTS"));
    const auto help = EditorCommandLine::help(false);
    juce::StringArray known;
    for (const auto& c : editorCommands())
    {
        known.add(c.keys);
        const juce::String line = juce::String(c.label) + ": " + c.help + ".";
        EXPECT_TRUE(page.contains(".B " + juce::String(c.keys) + "\n" + line.replace("-", "\\-")))
            << c.keys << " " << line;
        EXPECT_TRUE(help.contains(line)) << line;
        // Each key the table gives is one the editor takes for that command.
        const auto parts = juce::StringArray::fromTokens(c.keys, "+", "");
        const auto last = parts[parts.size() - 1];
        const int code = last == "Return"  ? juce::KeyPress::returnKey
                         : last == "Plus"  ? '+'
                         : last == "Minus" ? '-'
                                           : (int)last.toLowerCase()[0];
        const auto mods = juce::ModifierKeys::commandModifier |
                          (parts.contains("Shift") ? juce::ModifierKeys::shiftModifier : 0);
        EXPECT_EQ(commandForKey(juce::KeyPress(code, mods, 0)), std::optional<EditorCommand>(c.id)) << c.keys;
    }
    for (const auto* text : {&page, &help})
        for (int at = text->indexOf("Ctrl+"); at >= 0; at = text->indexOf(at + 1, "Ctrl+"))
        {
            int end = at + 5;
            while (end < text->length() && (juce::CharacterFunctions::isLetterOrDigit((*text)[end]) ||
                                            ((*text)[end] == '+' && end + 1 < text->length() &&
                                             juce::CharacterFunctions::isLetter((*text)[end + 1]))))
                ++end;
            EXPECT_TRUE(known.contains(text->substring(at, end))) << text->substring(at, end + 10);
        }
}
