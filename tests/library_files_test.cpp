// The library's own files as a hostile folder or bad luck leaves them: a damaged, oversized or special
// index or marks file, names that carry control characters, and marks that must follow a rename while
// another program changes them.
#include "files/FileGate.h"
#include "files/LibraryIndex.h"
#include "files/LibraryTags.h"
#include "files/SetupFileName.h"
#include "files/SetupLibrary.h"
#include "support/scratch_folder.h"
#include "support/setup_helpers.h"
#include "tools/quillet/Commands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#if !JUCE_WINDOWS
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

/** A library of two setups whose index is already written. */
struct TwoSetups
{
    TwoSetups()
    {
        EXPECT_TRUE(SetupLibrary(scratch.folder).saveNew(withPadChannel(5), titled("Stage")).ok);
        EXPECT_TRUE(SetupLibrary(scratch.folder).saveNew(withPadChannel(5), titled("Studio")).ok);
        SetupLibrary(scratch.folder).refresh();
    }
    juce::File index() const { return scratch.file(SetupLibrary::indexFileName); }
    juce::File marks() const { return scratch.file(LibraryMarks::fileName); }

    /** Lists the library as the tool and the editor do, and says how long it took. */
    std::pair<std::vector<SetupEntry>, double> list(juce::StringArray* notices = nullptr) const
    {
        const auto start = std::chrono::steady_clock::now();
        SetupLibrary library(scratch.folder);
        library.refresh();
        if (notices != nullptr)
            *notices = library.takeNotices();
        return {*library.entries(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    }

    ScratchFolder scratch;
};

juce::StringArray titlesOf(const std::vector<SetupEntry>& list)
{
    juce::StringArray t;
    for (const auto& e : list)
        t.add(e.isUsable() ? e.displayTitle() : "!" + e.fileName);
    t.sort(false);
    return t;
}

/** An index of this program's own kind, with one entry whose title's bytes are given raw. */
juce::MemoryBlock indexWithTitle(const char* titleBytes, size_t titleSize)
{
    juce::MemoryOutputStream out;
    out.writeString("quillet-library-index-3");
    out.writeInt(1);
    out.writeString("Stage.qmv49");
    out.writeInt64(10);
    out.writeInt64(10);
    out.write(titleBytes, titleSize);
    out.writeByte(0);
    for (int text = 0; text < 3; ++text)
        out.writeByte(0);
    out.writeInt64(0);
    out.writeInt64(0);
    for (int text = 0; text < 2; ++text) // the problem and the roles
        out.writeByte(0);
    return out.getMemoryBlock();
}
} // namespace

TEST(LibraryFiles, ADamagedIndexIsSetAsideAndTheSetupsComeFromTheirFiles)
{
    TwoSetups library;
    ASSERT_TRUE(library.index().existsAsFile());
    std::map<juce::String, SetupEntry> entries;
    juce::MemoryBlock written;
    ASSERT_TRUE(library.index().loadFileAsData(written));
    ASSERT_EQ(LibraryIndex::parse(written.getData(), written.getSize(), entries), LibraryIndex::Parsed::ok);
    EXPECT_EQ(entries.size(), 2u);

    // Overlong '<', a surrogate half, a sequence cut short, bytes that are never UTF-8: the toolkit would
    // make miscounted strings of each.
    for (const std::string bad : {"\xC0\xBC", "\xED\xA0\x80", "Stu\xE2\x82", "\xFF\xFE"})
    {
        const auto damaged = indexWithTitle(bad.data(), bad.size());
        EXPECT_EQ(LibraryIndex::parse(damaged.getData(), damaged.getSize(), entries),
                  LibraryIndex::Parsed::damaged);
        EXPECT_TRUE(entries.empty());
    }
    const std::string fine = "Stage";
    const auto plain = indexWithTitle(fine.data(), fine.size());
    EXPECT_EQ(LibraryIndex::parse(plain.getData(), plain.getSize(), entries), LibraryIndex::Parsed::ok);
    // Cut anywhere, the same index is refused whole.
    for (size_t cut = 0; cut < plain.getSize(); ++cut)
        EXPECT_NE(LibraryIndex::parse(plain.getData(), cut, entries), LibraryIndex::Parsed::ok) << cut;

    const auto damaged = indexWithTitle("\xC0\xBC", 2);
    ASSERT_TRUE(library.index().replaceWithData(damaged.getData(), damaged.getSize()));
    juce::StringArray notices;
    const auto [list, seconds] = library.list(&notices);
    EXPECT_EQ(titlesOf(list), juce::StringArray({"Stage", "Studio"}));
    ASSERT_EQ(notices.size(), 1) << notices.joinIntoString("|");
    EXPECT_TRUE(notices[0].contains("set aside")) << notices[0];
    juce::MemoryBlock kept;
    ASSERT_TRUE(library.scratch.file(juce::String(SetupLibrary::indexFileName) + LibraryIndex::setAsideSuffix)
                    .loadFileAsData(kept));
    EXPECT_EQ(kept, damaged) << "the damaged index is kept as it was, beside the new one";
    // The index made anew serves the next listing without a word.
    SetupLibrary again(library.scratch.folder);
    again.refresh();
    EXPECT_TRUE(again.takeNotices().isEmpty());
}

TEST(LibraryFiles, AnIndexAtItsCapIsRefusedAtOnceAndABiggerOneIsNeverWritten)
{
    TwoSetups library;
    {
        juce::FileOutputStream huge(library.index());
        ASSERT_TRUE(huge.openedOk());
        ASSERT_TRUE(huge.setPosition(LibraryIndex::maxFileSize));
        huge.writeByte(1); // one byte past the cap, the rest a hole
    }
    juce::StringArray notices;
    const auto [list, seconds] = library.list(&notices);
    EXPECT_EQ(titlesOf(list), juce::StringArray({"Stage", "Studio"}));
    EXPECT_LT(seconds, 1.0);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_LT(library.index().getSize(), 4096) << "a fresh index in its place";

    // A library whose index would pass the cap is listed from its files, and no index is left that its own
    // reader would refuse.
    std::vector<SetupEntry> many(1);
    many[0].fileName = "Big.qmv49";
    many[0].info.description = juce::String::repeatedString("x", (int)LibraryIndex::maxFileSize);
    const auto other = library.scratch.file("other-index");
    LibraryIndex::write(other, many);
    EXPECT_FALSE(other.exists());
}

#if !JUCE_WINDOWS
TEST(LibraryFiles, SpecialFilesAreRefusedAtOnceAndLeftAsTheyAre)
{
    TwoSetups library;
    const auto path = [](const juce::File& f)
    {
        return f.getFullPathName().toStdString();
    };
    // A FIFO without a writer would hold a blocking open for ever; a link to a device would read without end.
    ASSERT_TRUE(library.index().deleteFile());
    ASSERT_EQ(mkfifo(path(library.index()).c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(path(library.marks()).c_str(), 0600), 0);

    juce::StringArray notices;
    const auto [list, seconds] = library.list(&notices);
    EXPECT_EQ(titlesOf(list), juce::StringArray({"Stage", "Studio"}));
    EXPECT_LT(seconds, 1.0);
    EXPECT_EQ(notices.size(), 2) << notices.joinIntoString("|");
    struct stat st;
    ASSERT_EQ(lstat(path(library.index()).c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "never written over";
    SetupLibrary editor(library.scratch.folder);
    EXPECT_FALSE(editor.marks().setFavourite("Stage.qmv49", true)) << "the marks cannot be kept, and say so";
    ASSERT_EQ(lstat(path(library.marks()).c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // Links inside the library's folder are never followed, nor written through.
    for (const auto& own : {library.index(), library.marks()})
    {
        ASSERT_TRUE(own.deleteFile());
        ASSERT_EQ(symlink("/dev/zero", path(own).c_str()), 0);
    }
    const auto [linked, linkedSeconds] = library.list(&notices);
    EXPECT_EQ(titlesOf(linked), juce::StringArray({"Stage", "Studio"}));
    EXPECT_LT(linkedSeconds, 1.0);
    EXPECT_EQ(notices.size(), 2);
    EXPECT_FALSE(editor.marks().setFavourite("Stage.qmv49", true));
    EXPECT_TRUE(library.index().isSymbolicLink() && library.marks().isSymbolicLink());

    // The gate itself, for every reader: a FIFO and a device are refused before any byte is read, a
    // settings file named through a link is read.
    for (const auto& special : {library.index(), juce::File("/dev/zero")})
        EXPECT_EQ(FileGate::readBytes(special, {1 << 20, "a settings file"}).refusal,
                  FileGate::Refusal::notRegular);
    ASSERT_TRUE(editor.saveNew(withPadChannel(5), titled("Linked")).ok);
    ASSERT_EQ(symlink("Linked.qmv49", path(library.scratch.file("via-link")).c_str()), 0);
    const auto viaLink = FileGate::readBytes(library.scratch.file("via-link"), {1 << 20, "a settings file"});
    EXPECT_TRUE(viaLink.ok()) << viaLink.reason;
    EXPECT_EQ(FileGate::readBytes(library.scratch.file("via-link"), {1 << 20, "x", false}).refusal,
              FileGate::Refusal::notRegular);
}
#endif

TEST(LibraryFiles, AMarksFileFarTooLargeIsRefusedAtOnceAndKept)
{
    TwoSetups library;
    ASSERT_TRUE(SetupLibrary(library.scratch.folder).marks().setFavourite("Stage.qmv49", true));
    // A marks file of a hundred thousand setups, most of them long gone.
    std::string text = "<LibraryMarks>";
    for (int i = 0; i < 100000; ++i)
        text += "<Setup File=\"Setup " + std::to_string(i) + ".qmv49\" Favourite=\"1\"/>";
    text += "</LibraryMarks>";
    ASSERT_GT(text.size(), (size_t)LibraryMarks::maxFileSize);
    ASSERT_TRUE(library.marks().replaceWithData(text.data(), text.size()));
    const auto start = std::chrono::steady_clock::now();
    SetupLibrary editor(library.scratch.folder);
    editor.refresh();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    EXPECT_TRUE(editor.marks().problem().contains("far larger")) << editor.marks().problem();
    EXPECT_FALSE(editor.marks().setFavourite("Studio.qmv49", true));
    EXPECT_EQ(library.marks().getSize(), (juce::int64)text.size()) << "never written over";
}

TEST(LibraryFiles, ARenameCarriesItsMarksWhileAnotherProgramMarks)
{
    TwoSetups library;
    ASSERT_TRUE(SetupLibrary(library.scratch.folder).saveNew(withPadChannel(5), titled("Drums")).ok);
    SetupLibrary renaming(library.scratch.folder);
    ASSERT_TRUE(renaming.marks().setFavourite("Drums.qmv49", true));
    ASSERT_TRUE(renaming.marks().markUsed("Drums.qmv49"));

    // The other program has marks of its own (its lock is the lock file, as between two processes) and
    // changes them as fast as it can.
    std::atomic<bool> done{false};
    std::atomic<int> otherChanges{0};
    std::thread other(
        [&]
        {
            LibraryMarks marks(library.scratch.folder);
            for (int i = 0; !done; ++i)
            {
                if (i % 2 == 0 ? marks.markUsed("Stage.qmv49")
                               : marks.setFavourite("Studio.qmv49", i % 4 == 1))
                    ++otherChanges;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });

    const char* const cycles = std::getenv("QUILLET_RENAME_CYCLES");
    const int renames = cycles != nullptr ? juce::jmax(2, std::atoi(cycles)) : 60;
    juce::String name = "Drums.qmv49";
    int lost = 0, refused = 0;
    for (int i = 0; i < renames; ++i)
    {
        const auto outcome = renaming.rename(name, i % 2 == 0 ? "Drum Kit" : "Drums");
        if (!outcome.ok)
        {
            // Refused is allowed (the marks busy for long); then nothing moved.
            ++refused;
            EXPECT_TRUE(library.scratch.file(name).existsAsFile()) << outcome.message;
            continue;
        }
        name = outcome.fileName;
        LibraryMarks reader(library.scratch.folder);
        lost += reader.isFavourite(name) && reader.lastUsed(name) > 0 ? 0 : 1;
    }
    done = true;
    other.join();
    EXPECT_EQ(lost, 0) << "of " << renames << " renames";
    EXPECT_LT(refused, renames / 10);
    EXPECT_GT(otherChanges.load(), 0);
    EXPECT_EQ(library.scratch.folder.getNumberOfChildFiles(juce::File::findFiles, "*.qmv49"), 3)
        << "no copy left behind";
}

TEST(LibraryFiles, NamesAreCleanedWhereTheyAreMadeAndPrintedPlain)
{
    TwoSetups library;
    SetupLibrary setups(library.scratch.folder);
    // A title or a source name may carry an escape, a line break or an extension of its own.
    const juce::String c1Control(juce::CharPointer_UTF8("\x7f\xc2\x9b.qmv49.QMV49"));
    juce::StringArray made{setups.saveNew(withPadChannel(5), titled("Live\nSet.qmv49")).fileName,
                           setups.saveNew(withPadChannel(5), titled(c1Control)).fileName};
#if !JUCE_WINDOWS
    // Windows takes no control characters in a file's name at all.
    const auto source = library.scratch.file("e\x1b[31mred.qmv49");
    ASSERT_TRUE(library.scratch.file("Stage.qmv49").copyFileTo(source));
    const auto added = setups.add(source);
    ASSERT_TRUE(added.ok) << added.message;
    made.add(added.fileName);
#endif
    for (const auto& name : made)
    {
        EXPECT_EQ(name, SetupFileName::printable(name)) << "no control character in " << name.quoted();
        EXPECT_EQ(name.indexOfIgnoreCase(".qmv49"), name.length() - 6) << name.quoted();
        EXPECT_TRUE(library.scratch.file(name).existsAsFile()) << name.quoted();
    }

    // The tool takes no argument whose bytes are not UTF-8: the toolkit would make another name of them.
    const char* const argv[] = {"quillet", "library", "add", "\xff\xfe.qmv49"};
    juce::StringArray args;
    std::ostringstream err;
    EXPECT_FALSE(QuilletCommands::argumentsOf(4, argv, args, err));
    EXPECT_NE(err.str().find("argument 3"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find('\xff'), std::string::npos);
}

TEST(LibraryFiles, TagsAreCountedOnceWithoutCaseAndTheChipsShowTheMostCarried)
{
    std::vector<SetupEntry> list(6);
    const char* const tags[] = {"Live, drums", "live, keys", "LIVE", "drums", "keys, bass", "solo"};
    for (size_t i = 0; i < list.size(); ++i)
        list[i].info.tags = SetupInfo::tagsFromText(tags[i]);
    const auto uses = LibraryTags::collect(list);
    ASSERT_EQ(uses.size(), 5u);
    EXPECT_EQ(uses[0].tag, "Live");
    EXPECT_EQ(uses[0].setups, 3);
    EXPECT_EQ(LibraryTags::forChips(uses, 3), juce::StringArray({"drums", "keys", "Live"}));
    // The tag shown keeps its chip though fewer setups carry it.
    EXPECT_EQ(LibraryTags::forChips(uses, 3, "solo"), juce::StringArray({"drums", "Live", "solo"}));
    EXPECT_EQ(LibraryTags::forChips(uses, 10).size(), 5);
}

#if !JUCE_WINDOWS && defined(QUILLET_SOURCE_DIR)
TEST(LibraryFiles, TheIndexesThatOnceCrashedTheToolAreSetAside)
{
    // The fuzz run's seeds: the part's selector byte, then a whole index.
    const juce::File seeds(juce::String(QUILLET_SOURCE_DIR) + "/tests/fuzz/corpus/library");
    int tried = 0;
    for (const auto& seed : seeds.findChildFiles(juce::File::findFiles, false, "index-*"))
    {
        TwoSetups library;
        juce::MemoryBlock bytes;
        ASSERT_TRUE(seed.loadFileAsData(bytes));
        ASSERT_TRUE(library.index().replaceWithData(bytes.begin() + 1, bytes.getSize() - 1));
        std::ostringstream out, err;
        const auto code = QuilletCommands::run(
            {"library", "list", "--library", library.scratch.folder.getFullPathName()}, out, err);
        EXPECT_EQ(code, QuilletCommands::exitOk) << seed.getFileName();
        EXPECT_NE(out.str().find("2 of 2 setups"), std::string::npos) << out.str();
        EXPECT_NE(err.str().find("set aside"), std::string::npos) << err.str();
        ++tried;
    }
    EXPECT_GE(tried, 2);
}
#endif
