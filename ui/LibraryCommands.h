#pragma once

#include "FileCommands.h"
#include "LibraryRefresh.h"

#include <memory>

/** The library of setups as the editor uses it: the list as last read, narrowed by the search, a tag and
    favourites; loading a setup into the editor (one undoable step, never over changes not sent without
    asking), saving the editor's configuration as a new setup, and renaming, duplicating, deleting, tagging
    and adding files. The window only shows what this holds and forwards the user's commands here.
    Message thread; the folder is read on a thread of its own. Nothing touches the disk before the library
    is first opened or used. */
class LibraryCommands
{
public:
    LibraryCommands(KbdSettingsStore& store, EditHistory& history, EditorDialogs& dialogs,
                    FileCommands& files);
    ~LibraryCommands();

    /** The folder to keep the setups in, instead of SetupLibrary::defaultFolder(); before the first use. */
    void useFolder(const juce::File& folder);
    SetupLibrary& getLibrary();

    /** The library's window, which the editor gives (SetupLibraryWindow) and the commands only show and
        hide: shown, hidden, and whether it is showing. */
    std::function<void()> showWindow, hideWindow;
    std::function<bool()> isWindowShowing;

    /** Shows the library's window and reads the folder again. */
    void open();
    /** Hides the window; the folder is no longer watched. */
    void close();
    bool isOpen() const;

    //==============================================================================
    /** Reads the folder again in the background; the list follows when it is done. */
    void refresh();
    /** True from a refresh asked for until the list shows it. */
    bool isRefreshing() const { return refresher != nullptr && refresher->isPending(); }

    void setQuery(const LibraryQuery& query);
    const LibraryQuery& getQuery() const { return query; }
    /** The entries the query lets through, in the order shown. */
    int getNumShown() const { return (int)shown.size(); }
    /** An entry shown, or null. */
    const SetupEntry* shownEntry(int row) const;
    /** The row showing a setup's file, or -1. */
    int rowOf(const juce::String& fileName) const;
    /** The tags that get a chip: those most setups carry (LibraryTags::forChips), with the tag shown. */
    const juce::StringArray& getTags() const { return tags; }
    bool isFavourite(const juce::String& fileName);
    /** Where the list ends: the number of setups, and the folder; then what the library could not use of its
        own files since the window opened, each said once. */
    juce::String describe() const;

    /** The setup selected in the list, by file name: it stays selected through refreshes and reordering. */
    juce::String selected;
    /** Called when the list, the tags or the selection changed. */
    std::function<void()> onListChanged;
    /** Sends the editor's configuration to the keyboard, as Send to Keyboard does. */
    std::function<void()> send;

    //==============================================================================
    /** Loads a setup into the editor as one step, asking first when the editor holds changes not sent;
        then, if asked to, sends it. */
    void load(const juce::String& fileName, bool thenSend = false);
    /** The editor's configuration as a new setup with this title. */
    void saveCurrent(const juce::String& title);
    void rename(const juce::String& fileName, const juce::String& newTitle);
    void duplicate(const juce::String& fileName);
    /** Moves a setup to the trash, asking first. */
    void remove(const juce::String& fileName);
    void setInfo(const juce::String& fileName, const SetupInfo& info);
    void setFavourite(const juce::String& fileName, bool favourite);
    /** Adds settings files and .syx files, reporting those refused, with their reasons, in one message. */
    void addFiles(const juce::Array<juce::File>& files);
    /** The files a drop or Add Files... would take. */
    static bool isAddable(const juce::File& file);

private:
    void loadNow(const juce::String& fileName, bool thenSend);
    /** Reports a change that failed; a change that worked selects its setup and reads the folder again. */
    bool changed(const SetupLibrary::Outcome& outcome, const juce::String& failure);
    void listRead();
    void chooseChips();
    void filterAgain();
    const SetupEntry* entryFor(const juce::String& fileName) const;
    void changedList();

    KbdSettingsStore& store;
    EditHistory& history;
    EditorDialogs& dialogs;
    FileCommands& files;
    juce::File folder;
    std::unique_ptr<SetupLibrary> library;
    std::unique_ptr<LibraryRefresh> refresher; // after the library, which it reads
    SetupLibrary::Entries entries;
    std::vector<int> shown;
    LibraryTags::Uses tagUses;
    juce::StringArray tags, notices;
    LibraryQuery query;
    bool asking = false;

    // Questions answer after their caller has returned: their callbacks hold the commands by this.
    using WeakThis = juce::WeakReference<LibraryCommands>;
    JUCE_DECLARE_WEAK_REFERENCEABLE(LibraryCommands)
    JUCE_DECLARE_NON_COPYABLE(LibraryCommands)
};
