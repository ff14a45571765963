// What the editor makes of its command line: nothing, or one settings file (as a desktop opens one).
#include "app/EditorCommandLine.h"

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

    for (const auto& refused :
         {juce::StringArray{"a.qmv49", "b.qmv49"}, juce::StringArray{"--emulated-keyboard"},
          juce::StringArray{"-h"}, juce::StringArray{""}})
    {
        const auto parsed = EditorCommandLine::parse(refused);
        EXPECT_TRUE(parsed.problem.isNotEmpty()) << refused.joinIntoString(" ");
        EXPECT_FALSE(parsed.settingsFile.has_value()) << refused.joinIntoString(" ");
    }
}
