// The names a DAW reads, each format read back by the test's own small readers and compared with a
// configuration whose every assignment the test chose: each note, controller and parameter once, with its
// name, on its channel; hostile names cleaned as each format allows, never breaking its structure.
#include "files/DawNames.h"
#include "model/ControlCatalogue.h"
#include "support/scratch_folder.h"
#include "tools/quillet/Commands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
using Key = std::tuple<int, juce::String, int>; // channel 1-16 (0: none), kind, number
using Named = std::map<Key, juce::String>;

/** Every picture control off, then the controls given: (mode, channel code, number, user name). */
struct Assignments
{
    SettingsState state;
    std::vector<int> ids = ControlCatalogue::pictureControls();
    Assignments()
    {
        state.resetItemsToDefaults();
        state.globals[globalLowerChannel] = 0; // channel 1
        state.globals[globalUpperChannel] = 2; // channel 3
        for (int id : ids)
            state.set(itemFieldMode, id, modeOffDisabled);
    }
    void assign(size_t index, int mode, int channel, int number, const std::string& name = {})
    {
        const int id = ids[index];
        state.set(itemFieldMode, id, mode);
        state.set(itemFieldChannel, id, channel);
        state.set(itemFieldNumber, id, number);
        state.set(itemFieldMinLsb, id, 10);
        state.set(itemFieldMaxMsb, id, 100);
        if (!name.empty())
            state.names[id] = name;
    }
    juce::String own(size_t index) const { return ControlCatalogue::displayName(ids[index]); }
};

Named readMidnam(const std::string& text)
{
    Named named;
    auto root = juce::XmlDocument::parse(juce::String::fromUTF8(text.c_str()));
    EXPECT_NE(root, nullptr);
    if (root == nullptr)
        return named;
    auto* device = root->getChildByName("MasterDeviceNames");
    for (auto* set : device->getChildWithTagNameIterator("ChannelNameSet"))
    {
        int channel = 0;
        for (auto* a : set->getChildByName("AvailableForChannels")->getChildIterator())
            if (a->getStringAttribute("Available") == "true")
                channel = a->getIntAttribute("Channel");
        for (auto* list : set->getChildIterator())
            for (auto* e : list->getChildIterator())
                if (list->hasTagName("NoteNameList") || list->hasTagName("ControlNameList"))
                {
                    const auto kind = list->getTagName() == "NoteNameList" ? juce::String("note")
                                                                           : e->getStringAttribute("Type");
                    const Key key{channel, kind, e->getIntAttribute("Number")};
                    EXPECT_EQ(named.count(key), 0u) << "twice: " << kind << " " << std::get<2>(key);
                    named[key] = e->getStringAttribute("Name");
                }
    }
    return named;
}

/** key=value lines under each [section] of the .ins sections, and its comment lines. */
std::map<juce::String, std::map<int, juce::String>> readIns(const std::string& text,
                                                            juce::StringArray& comments)
{
    std::map<juce::String, std::map<int, juce::String>> sections;
    juce::String current;
    for (const auto& line : juce::StringArray::fromLines(juce::String::fromUTF8(text.c_str())))
    {
        if (line.startsWith(";"))
            comments.add(line);
        else if (line.startsWith("["))
            current = line.fromFirstOccurrenceOf("[", false, false).upToLastOccurrenceOf("]", false, false);
        else if (line.containsChar('=') &&
                 line.upToFirstOccurrenceOf("=", false, false).containsOnly("0123456789"))
            sections[current][line.getIntValue()] = line.fromFirstOccurrenceOf("=", false, false);
        else if (line.containsChar(';'))
            ADD_FAILURE() << "a comment inside a line: " << line;
    }
    return sections;
}

/** RFC 4180 rows, each field UTF-8. */
std::vector<juce::StringArray> readCsv(const std::string& text)
{
    std::vector<juce::StringArray> rows(1);
    std::string field;
    bool quoted = false;
    const auto endField = [&]
    {
        rows.back().add(juce::String::fromUTF8(field.c_str()));
        field.clear();
    };
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            field += text[i++];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            endField();
        else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        {
            endField();
            rows.emplace_back();
            ++i;
        }
        else
            field += c;
    }
    rows.pop_back(); // after the last line break
    return rows;
}
} // namespace

TEST(DawNames, EveryAssignmentOnceWithItsNameOnItsChannelInEachFormat)
{
    Assignments s;
    s.assign(0, modeControl, 0, 74, "Cut & \"Res\" <1>"); // channel 1
    s.assign(1, modeRelativeControl, channelUpper, 20);   // channel 3, its own name
    s.assign(2, modeNrpn, channelLower, 5, "Wave;Shape"); // channel 1
    s.assign(3, modeRpn, 9, 0, "Bend\nRange");            // channel 10
    s.assign(4, modeMidiNote, 9, 36,
             "K\xC3\xAF"
             "ck"); // channel 10, non-ASCII
    s.assign(5, modeNoteToggle, 9, 36,
             "K\xC3\xAF"
             "ck");                                  // the same note and name: one entry
    s.assign(6, modeControl, 1, 20, "Other");        // CC 20 again, channel 2, another name
    s.assign(7, modePatchChange, 0, 3, "Not named"); // programs and MMC are no names for a DAW
    s.assign(8, modeMmc, 0, 2);
    const DawNames names(s.state, "Live, \"Set\" 1");

    const juce::String kick = juce::String::fromUTF8("K\xC3\xAF"
                                                     "ck");
    const Named expected = {
        {{1, "7bit", 74}, "Cut & \"Res\" <1>"}, {{3, "7bit", 20}, s.own(1)}, {{1, "NRPN", 5}, "Wave;Shape"},
        {{10, "RPN", 0}, "Bend Range"},         {{10, "note", 36}, kick},    {{2, "7bit", 20}, "Other"}};
    EXPECT_EQ(readMidnam(names.text(DawNames::Format::midnam)), expected);

    juce::StringArray comments;
    auto ins = readIns(names.text(DawNames::Format::ins), comments);
    const juce::String title = "Live, \"Set\" 1";
    EXPECT_EQ(ins[title + " Controllers"],
              (std::map<int, juce::String>{{74, "Cut & \"Res\" <1>"}, {20, s.own(1) + " / Other"}}));
    EXPECT_EQ(ins[title + " NRPNs"], (std::map<int, juce::String>{{5, "Wave,Shape"}}));
    EXPECT_EQ(ins[title + " RPNs"], (std::map<int, juce::String>{{0, "Bend Range"}}));
    EXPECT_EQ(ins[title + " Notes"], (std::map<int, juce::String>{{36, kick}}));
    // The one number two names share is said, with both controls; the note two controls share by one name
    // is not.
    ASSERT_EQ(names.merged().size(), 1) << names.merged().joinIntoString("\n");
    EXPECT_TRUE(names.merged()[0].contains(s.own(1)) && names.merged()[0].contains(s.own(6)));
    EXPECT_TRUE(comments.joinIntoString("\n").contains("merged: CC 20"));

    juce::StringArray reaper;
    reaper.addLines(juce::String::fromUTF8(names.text(DawNames::Format::reaper).c_str()));
    EXPECT_EQ(reaper[0], "# MIDI note/CC name map");
    EXPECT_TRUE(reaper.contains("CC74 Cut & \"Res\" <1>"));
    EXPECT_TRUE(reaper.contains("CC20 " + s.own(1) + " / Other"));
    EXPECT_TRUE(reaper.contains("36 " + kick));
    for (const auto& line : reaper)
        EXPECT_TRUE(line.startsWith("#") || line.startsWith("CC") ||
                    line.substring(0, 1).containsOnly("0123456789"))
            << line;

    const auto rows = readCsv(names.text(DawNames::Format::csv));
    ASSERT_EQ(rows.size(), s.ids.size() + 1);
    EXPECT_EQ(rows[0].joinIntoString("|"), "Control|User name|Mode|Channel|Number|Min|Max|Meaning");
    EXPECT_EQ(rows[1].joinIntoString("|"), s.own(0) + "|Cut & \"Res\" <1>|Control|1|74|10|100|Brightness");
    EXPECT_EQ(rows[4][1], "Bend\nRange") << "the user's name whole, line break and all";
    EXPECT_EQ(rows[4][3], "10");
    EXPECT_EQ(rows[2][3], "3") << "the upper channel";
    EXPECT_EQ(rows[5][7], juce::String::fromUTF8("C1 \xC2\xB7 Bass Drum 1"));
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 8) << row.joinIntoString("|");
}

TEST(DawNames, TheToolWritesWhatTheEditorExportsAndRefusesAnUnknownFormat)
{
    ScratchFolder folder;
    const auto in = folder.file("Night Pads.qmv49");
    std::ostringstream out, err;
    ASSERT_EQ(QuilletCommands::run({"defaults", in.getFullPathName()}, out, err), 0) << err.str();
    const auto midnam = folder.file("out.midnam");
    ASSERT_EQ(QuilletCommands::run(
                  {"export", "--format=midnam", in.getFullPathName(), midnam.getFullPathName()}, out, err),
              0)
        << err.str();
    EXPECT_TRUE(midnam.loadFileAsString().contains("<Model>Night Pads</Model>"));

    // What the keyboard holds: the same document as its read-out's file gives.
    const auto read = folder.file("Quillet 49.qmv49");
    ASSERT_EQ(QuilletCommands::run({"read", read.getFullPathName(), "--emulated-keyboard"}, out, err), 0);
    const auto fromFile = folder.file("file.csv"), fromKeyboard = folder.file("keyboard.csv");
    ASSERT_EQ(QuilletCommands::run(
                  {"export", "--format=csv", read.getFullPathName(), fromFile.getFullPathName()}, out, err),
              0);
    ASSERT_EQ(QuilletCommands::run({"export", "--format=csv", "--keyboard", fromKeyboard.getFullPathName(),
                                    "--emulated-keyboard"},
                                   out, err),
              0)
        << err.str();
    EXPECT_EQ(fromKeyboard.loadFileAsString(), fromFile.loadFileAsString());
    EXPECT_EQ(QuilletCommands::run({"export", "--format=csv", "--keyboard", fromKeyboard.getFullPathName(),
                                    "--emulated-keyboard=no-identity"},
                                   out, err),
              QuilletCommands::exitNoKeyboard);

    const auto refused = folder.file("out.xyz");
    EXPECT_EQ(QuilletCommands::run(
                  {"export", "--format=xyz", in.getFullPathName(), refused.getFullPathName()}, out, err),
              QuilletCommands::exitUsage);
    EXPECT_EQ(QuilletCommands::run({"export", in.getFullPathName(), refused.getFullPathName()}, out, err),
              QuilletCommands::exitUsage);
    EXPECT_FALSE(refused.exists());
}
