// The library of setups: what a setup carries beyond its values, the .syx import, and the folder's list,
// search, index and changes.
#include "device/SysExCodec.h"
#include "files/SetupLibrary.h"
#include "files/SyxImport.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
SettingsState configured()
{
    KbdSettingsStore fresh;
    auto s = fresh.snapshot();
    s.set(itemFieldChannel, 0x70, 3);
    s.set(itemFieldMode, 0x50, 3);
    s.globals[globalSplitPoint] = 48;
    return s;
}

SetupInfo info(const char* title, const char* tags, const char* description = "")
{
    SetupInfo i;
    i.title = title;
    i.tags = SetupInfo::tagsFromText(tags);
    i.description = description;
    return i;
}

juce::String itemsText(const juce::File& file)
{
    const auto xml = juce::parseXML(file);
    return xml != nullptr && xml->getChildByName("Items") != nullptr
               ? xml->getChildByName("Items")->toString() + xml->getChildByName("Globals")->toString()
               : juce::String();
}
} // namespace

TEST(SetupInfo, TravelsAfterTheValuesAndAFileWithoutItStaysAsBefore)
{
    ScratchFolder scratch;
    const auto plain = createSettingsXml(configured())->toString();
    EXPECT_EQ(createSettingsXml(configured(), {})->toString(), plain)
        << "a file without info must not change";

    const auto file = scratch.file("live.qmv49");
    const auto tagged = info("Live set", " stage, daw ,Stage,, ", "Song 1\nSong 2");
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(configured(), tagged), file).ok);
    const auto text = file.loadFileAsString();
    EXPECT_GT(text.indexOf("<Setup"), text.indexOf("</Globals>"));

    SettingsDocument doc;
    ASSERT_TRUE(readSettingsDocument(file, doc).ok);
    EXPECT_TRUE(doc.skipped.isEmpty());
    EXPECT_EQ(doc.setup.title, "Live set");
    EXPECT_EQ(doc.setup.tags, juce::StringArray({"stage", "daw"}));
    EXPECT_EQ(doc.setup.description, "Song 1\nSong 2");
}

TEST(SyxImport, TheSendStreamComesBackByteForByteAndAnythingElseIsRefused)
{
    const auto stream = SyxImport::streamOf(configured());
    const auto back = SyxImport::fromBytes(stream.getData(), stream.getSize());
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_EQ(back.state.get(itemFieldChannel, 0x70), 3);
    EXPECT_EQ(back.state.globals[globalSplitPoint], 48);
    EXPECT_EQ(SyxImport::streamOf(back.state), stream);

    const auto* bytes = static_cast<const juce::uint8*>(stream.getData());
    const size_t frame = 12; // F0, maker (3), sender, model, command, 00, three values, F7
    std::vector<juce::uint8> whole(bytes, bytes + stream.getSize());
    auto swapped = whole;
    std::swap_ranges(swapped.begin(), swapped.begin() + frame, swapped.begin() + frame);
    auto missingOne = whole;
    missingOne.erase(missingOne.begin() + (long)frame, missingOne.begin() + 2 * (long)frame);
    auto twice = whole;
    twice.insert(twice.begin(), whole.begin(), whole.begin() + frame);
    auto noClosing = whole;
    noClosing.resize(noClosing.size() - 9);
    auto otherMaker = whole;
    otherMaker[2] = 0x11;
    auto highByte = whole;
    highByte[10] = 0x90;
    std::vector<juce::uint8> noteOn = {0x90, 60, 100};
    for (const auto* bad : {&missingOne, &twice, &noClosing, &otherMaker, &highByte, &noteOn})
    {
        const auto r = SyxImport::fromBytes(bad->data(), bad->size());
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.isNotEmpty());
    }
    // Two frames swapped set the same values, but not in the order Send transmits them.
    EXPECT_FALSE(SyxImport::fromBytes(swapped.data(), swapped.size()).ok);
    EXPECT_FALSE(SyxImport::fromBytes(whole.data(), 0).ok);
    // A mode the editor does not know, where a value belongs, round-trips but is no setup.
    auto unknownMode = whole;
    unknownMode[10] = 0x7F;
    EXPECT_FALSE(SyxImport::fromBytes(unknownMode.data(), unknownMode.size()).ok);
#if JUCE_LINUX
    EXPECT_FALSE(SyxImport::fromFile(juce::File("/dev/zero")).ok) << "a device is read without end";
#endif
}

TEST(SetupLibrary, ListsEverySetupWithCorruptOnesAndSearchesFavouritesAndRecentFirst)
{
    ScratchFolder scratch;
    SetupLibrary library(scratch.folder);
    ASSERT_TRUE(library.saveNew(configured(), info("Bitwig Studio", "daw")).ok);
    ASSERT_TRUE(library.saveNew(configured(), info("Ableton Live", "daw, stage", "drum rack on pads")).ok);
    auto named = configured();
    named.names[0x70] = "Kick";
    ASSERT_TRUE(library.saveNew(named, info("Moog Sub", "synth")).ok);
    scratch.file("broken.qmv49").replaceWithText("<Settings><Items>");

    library.refresh();
    const auto list = *library.entries();
    ASSERT_EQ(list.size(), 4u);
    const auto titles = [&](const LibraryQuery& q)
    {
        juce::StringArray t;
        for (int i : library.filter(list, q))
            t.add(list[(size_t)i].isUsable() ? list[(size_t)i].displayTitle()
                                             : "!" + list[(size_t)i].fileName);
        return t;
    };
    EXPECT_EQ(titles({}), juce::StringArray({"Ableton Live", "Bitwig Studio", "!broken.qmv49", "Moog Sub"}));
    EXPECT_EQ(titles({"DRUM live", {}, false}), juce::StringArray({"Ableton Live"}));
    EXPECT_EQ(titles({"kick", {}, false}), juce::StringArray({"Moog Sub"})) << "a control's name is found";
    EXPECT_EQ(titles({"", "DAW", false}), juce::StringArray({"Ableton Live", "Bitwig Studio"}));
    const auto uses = LibraryTags::collect(list);
    EXPECT_EQ(LibraryTags::forChips(uses, uses.size()), juce::StringArray({"daw", "stage", "synth"}));
    for (const auto& e : list)
        if (e.fileName == "broken.qmv49")
            EXPECT_TRUE(e.problem.isNotEmpty());
        else
            EXPECT_TRUE(e.differing[0x70] && e.differing[0x50] && e.differing.count() == 2)
                << e.fileName << " " << e.differing.to_string();

    // A second program marks at the same time: nothing is lost.
    LibraryMarks other(scratch.folder);
    ASSERT_TRUE(library.marks().markUsed("Bitwig Studio.qmv49"));
    ASSERT_TRUE(other.setFavourite("Moog Sub.qmv49", true));
    ASSERT_TRUE(library.marks().markUsed("broken.qmv49"));
    EXPECT_TRUE(library.changedOnDisk());
    library.refresh();
    EXPECT_EQ(titles({}), juce::StringArray({"Moog Sub", "!broken.qmv49", "Bitwig Studio", "Ableton Live"}));
    EXPECT_EQ(titles({"", {}, true}), juce::StringArray({"Moog Sub"}));
    EXPECT_FALSE(library.changedOnDisk());
}

TEST(SetupLibrary, AnUnchangedLibraryComesFromItsIndexAndChangesKeepTheValues)
{
    ScratchFolder scratch;
    SetupLibrary library(scratch.folder);
    ASSERT_TRUE(library.saveNew(configured(), info("One", "a")).ok);
    ASSERT_TRUE(library.saveNew(configured(), info("Two", "b")).ok);
    // A library made an hour ago: files changed just before the index was written are read again.
    for (const auto* name : {"One.qmv49", "Two.qmv49"})
        scratch.file(name).setLastModificationTime(juce::Time::getCurrentTime() -
                                                   juce::RelativeTime::hours(1));
    const auto values = itemsText(scratch.file("One.qmv49"));
    EXPECT_EQ(library.refresh(), 2);
    EXPECT_EQ(SetupLibrary(scratch.folder).refresh(), 0) << "a later start reads the index";

    ASSERT_TRUE(library.setInfo("One.qmv49", info("One", "a, live")).ok);
    ASSERT_TRUE(library.marks().setFavourite("One.qmv49", true));
    const auto renamed = library.rename("One.qmv49", "Opener");
    ASSERT_TRUE(renamed.ok) << renamed.message;
    EXPECT_EQ(renamed.fileName, "Opener.qmv49");
    EXPECT_FALSE(scratch.file("One.qmv49").exists());
    EXPECT_EQ(itemsText(scratch.file("Opener.qmv49")), values) << "the values must stay as they were";
    EXPECT_TRUE(library.marks().isFavourite("Opener.qmv49")) << "the favourite follows the rename";
    const auto copy = library.duplicate("Opener.qmv49");
    ASSERT_TRUE(copy.ok);
    EXPECT_EQ(library.refresh(), 2) << "only the two new files are read";
    const auto list = *library.entries();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(library.filter(list, {"live", {}, false}).size(), 2u);

    // A damaged index costs a full read, never an entry.
    scratch.file(SetupLibrary::indexFileName).replaceWithText("quillet");
    EXPECT_EQ(SetupLibrary(scratch.folder).refresh(), 3);

    EXPECT_FALSE(library.rename("../elsewhere.qmv49", "x").ok);
    // A name starting with "~" is a file in the library, not a path from somewhere else.
    const auto home = library.saveNew(configured(), info("~home", ""));
    ASSERT_TRUE(home.ok);
    EXPECT_TRUE(scratch.file(home.fileName).existsAsFile()) << home.fileName;
    ASSERT_TRUE(scratch.file("Two.qmv49")
                    .copyFileTo(juce::File::createFileWithoutCheckingPath(scratch.folder.getFullPathName() +
                                                                          "/~draft.qmv49")));
    SettingsDocument draft;
    EXPECT_TRUE(library.read("~draft.qmv49", draft).ok);
    // A marks file that cannot be read is never written over with fewer marks.
    scratch.file(LibraryMarks::fileName).replaceWithText("<LibraryMarks><Setup File=");
    EXPECT_FALSE(library.marks().setFavourite("Two.qmv49", true));
    EXPECT_EQ(scratch.file(LibraryMarks::fileName).loadFileAsString(), "<LibraryMarks><Setup File=");
    EXPECT_FALSE(library.add(scratch.file("Two.qmv49").getSiblingFile("missing.qmv49")).ok);
}

#if JUCE_LINUX
TEST(SetupLibrary, DeletingPutsTheSetupInTheDesktopsTrashWithWhatRestoresIt)
{
    ScratchFolder scratch, home;
    const auto dataHome = juce::SystemStats::getEnvironmentVariable("XDG_DATA_HOME", {});
    setenv("XDG_DATA_HOME", home.folder.getFullPathName().toRawUTF8(), 1);
    SetupLibrary library(scratch.folder);
    ASSERT_TRUE(library.saveNew(configured(), info("Gig 2", "")).ok);
    ASSERT_TRUE(library.marks().setFavourite("Gig 2.qmv49", true));
    const auto gone = library.remove("Gig 2.qmv49");
    dataHome.isEmpty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", dataHome.toRawUTF8(), 1);
    ASSERT_TRUE(gone.ok) << gone.message;
    EXPECT_FALSE(scratch.file("Gig 2.qmv49").exists());
    EXPECT_TRUE(home.file("Trash/files/Gig 2.qmv49").existsAsFile());
    const auto restore = home.file("Trash/info/Gig 2.qmv49.trashinfo").loadFileAsString();
    EXPECT_TRUE(
        restore.contains("Path=" + scratch.folder.getFullPathName().replace(" ", "%20") + "/Gig%202.qmv49"))
        << restore;
    EXPECT_FALSE(library.marks().isFavourite("Gig 2.qmv49"));
}
#endif

// The editor lists the library on a worker thread while the message thread searches and marks.
TEST(SetupLibrary, ListingOnOneThreadWhileAnotherSearchesAndMarksIsSafe)
{
    ScratchFolder scratch;
    SetupLibrary library(scratch.folder);
    for (const auto* title : {"Alpha", "Beta", "Gamma"})
        ASSERT_TRUE(library.saveNew(configured(), info(title, "x")).ok);
    // And another program adds setups of one title meanwhile: each gets its own file.
    std::thread adder(
        [&scratch]
        {
            SetupLibrary other(scratch.folder);
            for (int i = 0; i < 10; ++i)
                other.saveNew(configured(), info("Same", ""));
        });
    std::thread lister(
        [&library]
        {
            for (int i = 0; i < 20; ++i)
            {
                library.refresh();
                library.saveNew(configured(), info("Same", ""));
            }
        });
    size_t seen = 0;
    for (int i = 0; i < 20; ++i)
    {
        const auto list = library.entries();
        seen = std::max(seen, library.filter(*list, {"a", {}, false}).size());
        library.marks().setFavourite("Beta.qmv49", i % 2 == 0);
        juce::ignoreUnused(library.changedOnDisk());
    }
    lister.join();
    adder.join();
    library.refresh();
    EXPECT_EQ(library.entries()->size(), 3u + 30u);
    EXPECT_LE(seen, 3u + 30u);
    EXPECT_FALSE(library.marks().isFavourite("Beta.qmv49"));
}

// What the library reads back that others may have written: its own index and marks, and a setup's texts.
TEST(SetupLibrary, HostileIndexMarksAndTextsAreCleanedOrIgnored)
{
    ScratchFolder scratch;
    SetupLibrary library(scratch.folder);
    ASSERT_TRUE(library.saveNew(configured(), info("Kept", "")).ok);
    ASSERT_TRUE(library.saveNew(configured(), info("Also kept", "")).ok);

    // An index that claims a billion entries and then ends: every file is still listed.
    juce::MemoryOutputStream index;
    index.writeString("quillet-library-index-3");
    index.writeInt(1000000000);
    index.writeString("Kept.qmv49");
    scratch.file(SetupLibrary::indexFileName).replaceWithData(index.getData(), index.getDataSize());
    library.refresh();
    EXPECT_EQ(library.entries()->size(), 2u);

    // A use dated far in the future would keep its setup first for ever; it counts as no use.
    scratch.file(LibraryMarks::fileName)
        .replaceWithText(
            "<LibraryMarks><Setup File=\"Also kept.qmv49\" Used=\"9223372036854775807\"/></LibraryMarks>");
    ASSERT_TRUE(library.marks().markUsed("Kept.qmv49"));
    library.refresh();
    const auto list = *library.entries();
    EXPECT_EQ(list[(size_t)library.filter(list, {})[0]].displayTitle(), "Kept");

    // A title with line breaks and control characters, far too long, and tags with repeats.
    SetupInfo wild;
    wild.title = "Line\none\ttab\x01" + juce::String::repeatedString("x", 100000);
    wild.tags = {"a", "A", "b,c", juce::String::repeatedString("t", 100)};
    const auto clean = wild.cleaned();
    EXPECT_FALSE(clean.title.containsAnyOf("\n\t\x01"));
    EXPECT_TRUE(clean.title.startsWith("Lineone tab"));
    EXPECT_LE(clean.title.length(), SetupInfo::maxTitleLength);
    EXPECT_EQ(clean.tags.size(), 4) << clean.tags.joinIntoString("|");
    EXPECT_EQ(clean.tags[0], "a");
    EXPECT_LE(clean.tags[3].length(), SetupInfo::maxTagLength);
}
