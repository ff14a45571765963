// Saves that fail keep the old file; what a save may replace; inputs built to hang or fool the loader.
#include "files/SafeXmlReader.h"
#include "files/SettingsFile.h"
#include "support/file_test_support.h"
#include "support/scratch_folder.h"
#include "tools/quillet/Commands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class FileSafetyTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(tool({"defaults", "good.qmv49"}), 0); }

    int tool(juce::StringArray args)
    {
        for (int i = 1; i < args.size(); ++i)
            args.set(i, path(args[i].toRawUTF8()));
        std::ostringstream o, e;
        const int code = QuilletCommands::run(args, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
    juce::String path(const char* name) const { return dir.getChildFile(name).getFullPathName(); }
    juce::File file(const char* name) const { return dir.getChildFile(name); }
    juce::StringArray namesInFolder() const
    {
        juce::StringArray names;
        for (const auto& f : dir.findChildFiles(juce::File::findFilesAndDirectories, false, "*"))
            names.add(f.getFileName());
        names.sort(false);
        return names;
    }
    static mode_t modeOf(const juce::File& f)
    {
        struct stat st;
        return stat(f.getFullPathName().toRawUTF8(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }
    juce::String loadProblem(const juce::String& itemAttributes, const juce::String& params = {})
    {
        file("in.qmv49")
            .replaceWithText("<Settings><Items><Item " + itemAttributes + "/></Items><Globals>" + params +
                             "</Globals></Settings>");
        auto r = readSettingsFile(store, file("in.qmv49"));
        EXPECT_TRUE(r.ok) << r.message;
        return r.skipped.joinIntoString("\n");
    }

    ScratchFolder scratch;
    const juce::File& dir = scratch.folder;
    std::string out, err;
    KbdSettingsStore store;
};

const juce::String previous = juce::String::repeatedString("the previous contents of the file. ", 40);
} // namespace

TEST_F(FileSafetyTest, AFailedWriteKeepsEveryByteOfTheOldFileAndLeavesNothingBehind)
{
    const std::vector<juce::StringArray> commands = {
        {"defaults", "out.qmv49"}, {"chart", "good.qmv49", "out.html"}, {"syx", "good.qmv49", "out.syx"}};
    for (const auto& args : commands)
    {
        const auto target = file(args[args.size() - 1].toRawUTF8());
        ASSERT_TRUE(target.replaceWithText(previous));
        const auto old = target.loadFileAsString();
        const auto before = namesInFolder();
        int code = 0;
        {
            // Every one of these documents is larger than this.
            FileSizeLimit nearlyFull(1024);
            code = tool(args);
        }
        EXPECT_EQ(code, 3) << args[0];
        EXPECT_NE(err.find(target.getFullPathName().toStdString()), std::string::npos) << err;
        EXPECT_NE(err.find("larger than the system allows"), std::string::npos) << err;
        EXPECT_EQ(target.loadFileAsString(), old) << args[0];
        EXPECT_EQ(namesInFolder(), before) << args[0];
    }
}

TEST_F(FileSafetyTest, ASaveRefusesFoldersAndReadOnlyFilesKeepsPermissionsAndWritesThroughLinks)
{
    ASSERT_TRUE(file("folder.qmv49").createDirectory().wasOk());
    EXPECT_EQ(tool({"defaults", "folder.qmv49"}), 3);
    EXPECT_TRUE(file("folder.qmv49").isDirectory());
    EXPECT_EQ(tool({"defaults", "missing/out.qmv49"}), 3);
    EXPECT_NE(err.find("the folder does not exist"), std::string::npos) << err;
    // The kernel's folders exist but take no files: said as such, not as a missing folder.
    for (const char* special : {"/proc/out.qmv49", "/sys/out.qmv49"})
    {
        if (!juce::File(special).getParentDirectory().isDirectory())
            continue;
        std::ostringstream o, e;
        EXPECT_EQ(QuilletCommands::writeDefaults(juce::File(special), e), 3) << special;
        EXPECT_EQ(e.str().find("does not exist"), std::string::npos) << e.str();
        EXPECT_NE(e.str().find("system's own file system"), std::string::npos) << e.str();
    }

    file("locked.qmv49").replaceWithText(previous);
    chmod(path("locked.qmv49").toRawUTF8(), 0444);
    EXPECT_EQ(tool({"defaults", "locked.qmv49"}), 3);
    EXPECT_NE(err.find("read-only"), std::string::npos) << err;
    EXPECT_EQ(file("locked.qmv49").loadFileAsString(), previous);

    file("private.qmv49").replaceWithText(previous);
    chmod(path("private.qmv49").toRawUTF8(), 0600);
    EXPECT_EQ(tool({"defaults", "private.qmv49"}), 0);
    EXPECT_EQ(modeOf(file("private.qmv49")), 0600u);
    EXPECT_EQ(file("private.qmv49").loadFileAsString(), file("good.qmv49").loadFileAsString());

    file("real.qmv49").replaceWithText(previous);
    ASSERT_EQ(symlink("real.qmv49", path("link.qmv49").toRawUTF8()), 0);
    EXPECT_EQ(tool({"defaults", "link.qmv49"}), 0);
    EXPECT_TRUE(file("link.qmv49").isSymbolicLink());
    EXPECT_EQ(file("real.qmv49").loadFileAsString(), file("good.qmv49").loadFileAsString());

    EXPECT_EQ(namesInFolder(), juce::StringArray({"folder.qmv49", "good.qmv49", "link.qmv49", "locked.qmv49",
                                                  "private.qmv49", "real.qmv49"}));
}

TEST_F(FileSafetyTest, SpecialFilesAndNameFloodsAreRefusedAndAByteOrderMarkIsAccepted)
{
    // A FIFO without a writer used to block the reader for ever.
    ASSERT_EQ(mkfifo(path("pipe.qmv49").toRawUTF8(), 0600), 0);
    EXPECT_EQ(tool({"check", "pipe.qmv49"}), 2);
    EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;

    juce::String attributes, elements;
    for (int i = 0; i < 3000; ++i)
    {
        attributes << " a" << i << "='0'";
        elements << "<e" << i << "/>";
    }
    file("attributes.qmv49")
        .replaceWithText("<Settings><Items><Item ID='1'" + attributes + "/></Items></Settings>");
    file("elements.qmv49").replaceWithText("<Settings><Items>" + elements + "</Items></Settings>");
    EXPECT_EQ(tool({"check", "attributes.qmv49"}), 2);
    EXPECT_EQ(tool({"check", "elements.qmv49"}), 2);

    juce::MemoryBlock body, withMark("\xEF\xBB\xBF", 3);
    file("good.qmv49").loadFileAsData(body);
    withMark.append(body.getData(), body.getSize());
    file("mark.qmv49").replaceWithData(withMark.getData(), withMark.getSize());
    EXPECT_EQ(tool({"check", "mark.qmv49"}), 0) << err;
    file("mark.qmv49").replaceWithData("\xEF\xBB\xBF", 3);
    EXPECT_EQ(tool({"check", "mark.qmv49"}), 2);
    EXPECT_NE(err.find("the file is empty"), std::string::npos) << err;
}

TEST_F(FileSafetyTest, NumbersThatAreNotPlainIntegersSkipTheirElementInsteadOfWrapping)
{
    store.setItemField(itemFieldMode, 1, 7);
    store.setGlobal(globalSplitPoint, 40);
    const auto before = store.snapshot();

    // Each of these was read as some other number: 1, 1, 0, 5, 5, 0, 5, 60.
    for (const char* attributes :
         {"ID='4294967297' Mode='3'", "ID='1' Mode='1e99'", "ID='1' Mode='0x10'", "ID='1' Mode='5abc'",
          "ID='1' Mode='5.9'", "ID='1' Mode=''", "ID='1' Mode=' 5'"})
    {
        const auto skipped = loadProblem(attributes);
        EXPECT_TRUE(skipped.contains("not a whole number")) << attributes << ": " << skipped;
        EXPECT_EQ(store.snapshot(), before) << attributes;
    }
    const auto skipped = loadProblem("ID='2' Mode='1'", "<Param ID='8' Value='4294967356'/>");
    EXPECT_TRUE(skipped.contains("not a whole number")) << skipped;
    EXPECT_EQ(store.getGlobal(globalSplitPoint), 40);

    // Plain integers, negative ones included, still read as themselves.
    EXPECT_TRUE(loadProblem("ID='1' Mode='-0' Chan='015'").isEmpty());
    EXPECT_EQ(store.getItemField(itemFieldChannel, 1), 15);

    EXPECT_EQ(tool({"check", "in.qmv49"}), 1);
    file("in.qmv49").replaceWithText("<Settings><Items><Item ID='1' Num='5abc'/></Items></Settings>");
    EXPECT_EQ(tool({"check", "in.qmv49"}), 1);
    EXPECT_NE(out.find("5abc"), std::string::npos) << out;
}

TEST_F(FileSafetyTest, CheckWritesControlCharactersOfAFileAsEscapesNeverToTheTerminal)
{
    // ESC ] 0 ; ... BEL sets a terminal's title; ESC [ 2 J clears it.
    file("in.qmv49")
        .replaceWithText(juce::CharPointer_UTF8("<Settings><Items><Item ID='1' Num='\x1b]0;owned\x07'/>"
                                                "<Item ID='2' Name='\x1b[2J\xc2\x9b'/></Items></Settings>"));
    EXPECT_EQ(tool({"check", "in.qmv49"}), 1);
    EXPECT_EQ(out.find_first_of("\x1b\x07"), std::string::npos) << out;
    EXPECT_EQ(out.find("\xc2\x9b"), std::string::npos) << out;
    EXPECT_NE(out.find("\\x1B]0;owned\\x07"), std::string::npos) << out;
    EXPECT_NE(out.find("\\x1B[2J\\x9B"), std::string::npos) << out;
}

TEST(SafeXmlReaderDeclarations, FoundAlikeInPlainAsciiTextAndInTextWithOtherLetters)
{
    // Plain ASCII text is checked in one pass over its bytes, other text on an upper-cased copy: a name in
    // other letters (in a trailing comment here) must not change what is refused, nor why.
    using Status = SafeXmlReader::Result::Status;
    const juce::String good = "<Settings><Items/></Settings>";
    const std::vector<std::pair<juce::String, Status>> cases = {
        {good, Status::ok},
        {" \t\r\n<?xml version='1.0'?>\n" + good, Status::ok},
        {"<!doctype Settings>" + good, Status::refused},
        {"<Settings><!-- <!eNtItY x 'y'> --><Items/></Settings>", Status::refused},
        {"\n <?xml version='1.0'" + good, Status::notXml},
        {"<?xml version='1.0'?><Settings><?pi?><Items/></Settings>", Status::refused},
        {"<?pi?>" + good, Status::refused},
        {good + "<?xml version='1.0'?>", Status::refused},
    };
    const auto otherLetters = juce::String(juce::CharPointer_UTF8("<!-- Fl\xc3\xbcgel \xc4\xb1 -->"));
    for (const auto& [text, expected] : cases)
    {
        const auto ascii = SafeXmlReader::parseText(text);
        const auto other = SafeXmlReader::parseText(text + otherLetters);
        EXPECT_EQ(ascii.status, expected) << text;
        EXPECT_EQ(other.status, ascii.status) << text;
        EXPECT_EQ(other.message, ascii.message) << text;
    }
}
