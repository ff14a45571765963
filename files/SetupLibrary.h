#pragma once

#include "LibraryMarks.h"
#include "LibraryTags.h"
#include "SettingsFile.h"
#include "SetupEntry.h"
#include "SetupInfo.h"
#include "SetupLibraryChanges.h"

#include <atomic>
#include <bitset>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

/** The library of setups: a folder of ordinary settings files, listed with their titles, tags and marks,
    searched, added to and changed only through the safe writer. The list is read through an index kept in
    the folder, so an unchanged library is listed without parsing its files again. Every method may be
    called from any thread; the entries are shared snapshots that stay valid after the next refresh. */
class SetupLibrary
{
public:
    explicit SetupLibrary(const juce::File& folder);

    /** QUILLET_LIBRARY when set, else the platform's place for a user's data:
        $XDG_DATA_HOME/quillet49/setups (~/.local/share/quillet49/setups) on Linux,
        %APPDATA%\Quillet49\setups on Windows, ~/Library/Application Support/Quillet49/setups on a Mac. */
    static juce::File defaultFolder();
    static constexpr const char* indexFileName = ".quillet-index";

    const juce::File& getFolder() const { return folder; }

    //==============================================================================
    using Entries = std::shared_ptr<const std::vector<SetupEntry>>;
    /** Reads the folder again (files whose size and time are unchanged come from the index) and keeps
        the index up to date. Returns the number of files parsed. Creates the folder when missing. */
    int refresh();
    /** The entries of the last refresh, sorted by file name. */
    Entries entries() const;
    /** True when the folder or its marks changed since the last refresh (a cheap look, for polling). */
    bool changedOnDisk() const;

    /** The entries the query lets through, favourites first, then the most recently used, then by
        title; as indexes into entries. */
    std::vector<int> filter(const std::vector<SetupEntry>& list, const LibraryQuery& query) const;
    /** The tags of the last refresh's entries, each once with how many setups carry it
        (LibraryTags::collect), collected with the listing. */
    LibraryTags::Uses tags() const;
    /** What the refreshes since the last call could not use of the library's own files (its index, its
        marks), each once, in words for the user; empty when everything could be used. Taken, so that a
        notice of a refresh whose listing was never shown is not lost, nor said twice. */
    juce::StringArray takeNotices();

    LibraryMarks& marks() { return libraryMarks; }

    //==============================================================================
    /** The changes to the folder, as SetupLibraryChanges makes them; the next refresh lists them. */
    using Outcome = SetupLibraryChanges::Outcome;
    Outcome add(const juce::File& source) { return changes.add(source); }
    Outcome saveNew(const SettingsState& state, const SetupInfo& info)
    {
        return changes.saveNew(state, info);
    }
    Outcome replace(const juce::String& fileName, const SettingsState& state, const SetupInfo& info)
    {
        return changes.replace(fileName, state, info);
    }
    Outcome rename(const juce::String& fileName, const juce::String& newTitle)
    {
        return changes.rename(fileName, newTitle);
    }
    Outcome duplicate(const juce::String& fileName) { return changes.duplicate(fileName); }
    Outcome remove(const juce::String& fileName) { return changes.remove(fileName); }
    Outcome setInfo(const juce::String& fileName, const SetupInfo& info)
    {
        return changes.setInfo(fileName, info);
    }

    /** Reads a setup for loading or sending. */
    SettingsReadResult read(const juce::String& fileName, SettingsDocument& document) const;
    /** The file of a setup named on a command line: a file name, with or without its extension, or a
        title (compared without case). Empty when none or more than one matches; why in problem. */
    juce::File find(const juce::String& name, juce::String& problem);

    /** Reads one file into an entry (also for the benchmarks). */
    static SetupEntry readEntry(const juce::File& file);
    /** A file's last change in nanoseconds, finer than the toolkit's whole seconds; 0 when unknown. */
    static juce::int64 modificationTime(const juce::File& file);

private:
    juce::File child(const juce::String& fileName) const;

    const juce::File folder;
    LibraryMarks libraryMarks;
    SetupLibraryChanges changes{folder, libraryMarks};
    mutable std::mutex lock;
    Entries current;
    LibraryTags::Uses currentTags;
    juce::StringArray pendingNotices;
    juce::int64 installedGeneration = 0;
    std::atomic<juce::int64> generations{0};
    juce::int64 folderTimeSeen = 0, marksTimeSeen = 0;

    JUCE_DECLARE_NON_COPYABLE(SetupLibrary)
};
