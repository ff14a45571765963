// The library when a step fails or a detail is on the hard side: a rename whose new file cannot be written,
// a trash that cannot be made, a search whose words are in different setups, an index entry for a file
// changed in place, titles that collide, and imports past what the editor knows.
#include "device/SysExCodec.h"
#include "files/SetupLibrary.h"
#include "files/SyxImport.h"
#include "support/scratch_folder.h"
#include "support/setup_helpers.h"

#include <gtest/gtest.h>

#if JUCE_LINUX
#include "support/file_test_support.h"

#include <cstdlib>
#endif

namespace
{

juce::MemoryBlock bytesOf(const juce::File& f)
{
    juce::MemoryBlock b;
    f.loadFileAsData(b);
    return b;
}

juce::StringArray titlesFound(SetupLibrary& library, const juce::String& text)
{
    library.refresh();
    const auto list = library.entries();
    juce::StringArray titles;
    for (int i : library.filter(*list, {text, {}, false}))
        titles.add((*list)[(size_t)i].displayTitle());
    return titles;
}
} // namespace

#if JUCE_LINUX
TEST(LibraryFailures, ARenameOrDeleteThatCannotFinishKeepsTheSetupItsBytesAndItsMarks)
{
    ScratchFolder scratch, home;
    SetupLibrary library(scratch.folder);
    ASSERT_TRUE(library.saveNew(withPadChannel(4), titled("Opener")).ok);
    ASSERT_TRUE(library.marks().setFavourite("Opener.qmv49", true));
    const auto before = bytesOf(scratch.file("Opener.qmv49"));
    ASSERT_GT(before.getSize(), 1000u);
    {
        // The new name can be claimed (an empty file), its contents cannot be written.
        FileSizeLimit nearlyFull(512);
        const auto renamed = library.rename("Opener.qmv49", "Closer");
        EXPECT_FALSE(renamed.ok);
        EXPECT_TRUE(renamed.message.isNotEmpty());
    }
    EXPECT_EQ(bytesOf(scratch.file("Opener.qmv49")), before) << "the only copy must stay whole";
    EXPECT_EQ(scratch.folder.getNumberOfChildFiles(juce::File::findFiles, "*.qmv49"), 1)
        << "no claimed name left behind";
    EXPECT_TRUE(LibraryMarks(scratch.folder).isFavourite("Opener.qmv49"));

    // A trash that cannot be made: its folder's place is taken by a file.
    ASSERT_TRUE(home.file("data").replaceWithText("not a folder"));
    const auto dataHome = juce::SystemStats::getEnvironmentVariable("XDG_DATA_HOME", {});
    setenv("XDG_DATA_HOME", home.file("data").getFullPathName().toRawUTF8(), 1);
    const auto removed = library.remove("Opener.qmv49");
    dataHome.isEmpty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", dataHome.toRawUTF8(), 1);
    EXPECT_FALSE(removed.ok) << "a delete that did not happen is not reported as done";
    EXPECT_TRUE(removed.message.contains("trash")) << removed.message;
    EXPECT_EQ(bytesOf(scratch.file("Opener.qmv49")), before);
    EXPECT_TRUE(LibraryMarks(scratch.folder).isFavourite("Opener.qmv49"));
}
#endif

TEST(LibraryFailures, SearchIndexFindAndTitlesOnTheHardSide)
{
    ScratchFolder scratch;
    SetupLibrary library(scratch.folder);
    ASSERT_TRUE(library.saveNew(withPadChannel(1), titled("Alpha", "drums")).ok);
    ASSERT_TRUE(library.saveNew(withPadChannel(2), titled("Bravo", "keys")).ok);

    // Every word must be found in one setup, not each in some setup.
    EXPECT_EQ(titlesFound(library, "alpha drums"), juce::StringArray({"Alpha"}));
    EXPECT_TRUE(titlesFound(library, "alpha keys").isEmpty());

    // A file changed in place to the same size, dated before the index, is read again: its time changed.
    const auto bravo = scratch.file("Bravo.qmv49");
    const auto hourAgo = juce::Time::getCurrentTime() - juce::RelativeTime::hours(1);
    for (const auto* name : {"Alpha.qmv49", "Bravo.qmv49"})
        scratch.file(name).setLastModificationTime(hourAgo);
    library.refresh(); // the index now holds both as they are
    auto text = bravo.loadFileAsString();
    ASSERT_TRUE(text.contains("Title=\"Bravo\""));
    ASSERT_TRUE(bravo.replaceWithText(text.replace("Title=\"Bravo\"", "Title=\"Brava\"")));
    bravo.setLastModificationTime(hourAgo - juce::RelativeTime::minutes(5));
    EXPECT_EQ(titlesFound(library, "bra"), juce::StringArray({"Brava"}));

    // Two setups of one title (their files named otherwise, as after a change of title): a name that is
    // that title picks neither; a file's name picks its file.
    ASSERT_TRUE(library.setInfo("Alpha.qmv49", titled("Shared")).ok);
    ASSERT_TRUE(library.setInfo("Bravo.qmv49", titled("Shared")).ok);
    library.refresh();
    juce::String problem;
    EXPECT_EQ(library.find("shared", problem), juce::File());
    EXPECT_TRUE(problem.contains("2")) << problem;
    EXPECT_EQ(library.find("Alpha.qmv49", problem), scratch.file("Alpha.qmv49"));

    // A copy of a title at its longest still differs from it, and stays within the longest.
    const auto longest = juce::String::repeatedString("L", SetupInfo::maxTitleLength);
    const auto original = library.saveNew(withPadChannel(5), titled(longest));
    ASSERT_TRUE(original.ok);
    const auto copy = library.duplicate(original.fileName);
    ASSERT_TRUE(copy.ok) << copy.message;
    SettingsDocument copied;
    ASSERT_TRUE(library.read(copy.fileName, copied).ok);
    EXPECT_NE(copied.setup.title, longest);
    EXPECT_LE(copied.setup.title.length(), SetupInfo::maxTitleLength);

    // At most 24 tags: a 25th typed is not kept.
    juce::StringArray many;
    for (int i = 1; i <= 25; ++i)
        many.add("tag" + juce::String(i));
    const auto tags = SetupInfo::tagsFromText(many.joinIntoString(","));
    EXPECT_EQ(tags.size(), 24);
    EXPECT_FALSE(tags.contains("tag25"));
}

TEST(LibraryFailures, EveryFieldThatDiffersFromTheFactoryMarksItsControlAndUnknownModesAreRefused)
{
    ScratchFolder scratch;
    const auto factory = KbdSettingsStore().snapshot();
    // Each field on its own, the last one (Max or MSB) too.
    for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
    {
        auto s = factory;
        s.set(field, 0x70, (factory.get(field, 0x70) + 1) % 128);
        const auto file = scratch.file("field" + juce::String(field) + ".qmv49");
        ASSERT_TRUE(writeXmlDocument(*createSettingsXml(s), file).ok);
        const auto entry = SetupLibrary::readEntry(file);
        EXPECT_TRUE(entry.differing[0x70]) << "field " << field;
        EXPECT_EQ(entry.differing.count(), 1u) << "field " << field;
    }

    // A stream with a mode the editor does not know is no setup, from the first such code on.
    for (const int mode : {(int)numItemModes, (int)numItemModes + 1, 0x7F})
    {
        auto s = factory;
        s.set(itemFieldMode, 0x70, mode);
        const auto stream = SyxImport::streamOf(s);
        EXPECT_FALSE(SyxImport::fromBytes(stream.getData(), stream.getSize()).ok) << "mode " << mode;
    }
    const auto known = SyxImport::streamOf(factory);
    EXPECT_TRUE(SyxImport::fromBytes(known.getData(), known.getSize()).ok);
}
