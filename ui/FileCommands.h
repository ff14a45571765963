#pragma once

#include "EditorDialogs.h"
#include "SaveFolder.h"
#include "files/DawNames.h"
#include "files/SafeFileWriter.h"
#include "files/SettingsFile.h"
#include "model/EditHistory.h"

/** Load..., Save... and Chart...: their dialogs, the files they read and write, and their messages. A load
    is one undoable step of the edit history; a save marks the configuration saved. */
class FileCommands
{
public:
    FileCommands(KbdSettingsStore& store, EditHistory& history, EditorDialogs& dialogs);

    void load();
    /** Loads a settings file and reports it as Load... does (also for a file the editor was opened with). */
    void loadFrom(const juce::File& file);
    /** Loads a document already read from a file, as one step, and reports it as Load... does; false when
        the read failed and nothing was loaded. */
    bool loadDocument(const juce::File& file, const SettingsDocument& doc, const SettingsReadResult& result);
    /** A configuration was written to a file by other means (the library): marked saved if nothing changed
        since, and reported with the note. */
    void savedElsewhere(const juce::File& file, const SettingsState& written, const juce::String& note);
    /** Asks where and saves; done, if given, is told whether the settings were saved. */
    void save(std::function<void(bool)> done = {});
    void writeChart();
    /** Asks where, then writes the names a DAW shows for the controls, in that format; the setup's title,
        else the file's name, names the instrument. */
    void exportNames(DawNames::Format format);
    /** Writes the MIDI Name Document into the folder the newest Ardour reads, asking before it replaces a
        file there; says where it went, or that no Ardour was found. */
    void installForArdour();

    /** Told what a command did, in a few words for the status display, with what a click on them does
        (nothing, or opening the chart just written). */
    std::function<void(const juce::String& note, std::function<void()> onClick)> onAnswered;
    /** The roles of the controls in the DAW, kept with the setup: its own, else the defaults. */
    ControlRoles roles() const { return currentSetup.roles.value_or(ControlRoles::defaults()); }
    /** The roles the user gave, for a copy of the setup saved elsewhere; nothing when none were given. */
    const std::optional<ControlRoles>& givenRoles() const { return currentSetup.roles; }
    /** Gives the setup these roles; the next save writes them, and until then closing asks. */
    void setRoles(const ControlRoles& roles);
    bool hasUnsavedRoles() const { return rolesUnsaved; }
    /** The setup's title, else the file's name, else the keyboard's. */
    juce::String instrumentName() const;

    /** The settings file last loaded or saved; nothing before. */
    const std::optional<juce::File>& currentFile() const { return current; }

    /** Where the files for other programs are saved (charts, the DAW's names and maps, the monitor's
        messages): one folder remembered for them all. */
    SaveFolder& exports() { return exportFolder; }

    /** The file name with everything from its last dot replaced by "." and the extension. */
    static juce::File withReplacedExtension(const juce::File& file, const juce::String& extension);

private:
    /** Asks where to save, proposing the name in the folder last used (the documents folder at first),
        and gives the name the proposed name's extension; chosen is told the file, or nothing on cancel. */
    void chooseSaveTarget(const juce::String& title, const juce::String& proposedName, SaveFolder& folder,
                          std::function<void(std::optional<juce::File>)> chosen);
    /** Save... and Chart...: asks where, then writes; done, if given, is told whether it was written. */
    void saveTo(const juce::String& title, const juce::String& proposedName, SaveFolder& folder,
                const juce::String& failure,
                std::function<FileWriteResult(const juce::File&, ReadOnlyFiles)> write,
                std::function<void(bool)> done);
    /** Runs a save, asking before it replaces a read-only file, and reports a failure naming the file;
        done is told whether it was written. */
    void writeTo(const juce::File& file, const juce::String& failure,
                 std::function<FileWriteResult(ReadOnlyFiles)> write, std::function<void(bool)> done);
    void reportFileProblem(const juce::String& what, const juce::File& file, const juce::String& why);
    void answer(const juce::String& note, std::function<void()> onClick = {});
    /** What a saved file carries beyond the values: over the file the editor holds, what that file carries
        now (the library may have changed it); elsewhere, what the file last loaded carried. */
    SetupInfo setupInfoFor(const juce::File& target) const;

    KbdSettingsStore& store;
    EditHistory& history;
    EditorDialogs& dialogs;
    // The folders last chosen in this run's dialogs: settings files (Load... and Save...) and the others.
    SaveFolder settingsFolder{dialogs}, exportFolder{dialogs};
    std::optional<juce::File> current;
    SetupInfo currentSetup; // the title, description and tags of the file last loaded or saved
    SetupInfo lastSetup;    // those of the save under way
    juce::File lastWritten;
    bool dialogOpen = false;
    bool rolesUnsaved = false;

    // Dialogs answer after their caller has returned: their callbacks hold the commands by this.
    using WeakThis = juce::WeakReference<FileCommands>;
    JUCE_DECLARE_WEAK_REFERENCEABLE(FileCommands)
    JUCE_DECLARE_NON_COPYABLE(FileCommands)
};
