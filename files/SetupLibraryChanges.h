#pragma once

#include "LibraryMarks.h"
#include "SettingsFile.h"
#include "SetupInfo.h"

#include <memory>

/** The changes to the library's folder: setups added, saved, replaced, renamed, duplicated, given other info
    and moved to the trash. Each writes through the safe writer and claims a new file's name before writing
    it, so that no other program writes it meanwhile; the marks follow a setup renamed or removed. Holds the
    library's folder and marks; the library's next refresh lists what the changes made. Any thread. */
class SetupLibraryChanges
{
public:
    SetupLibraryChanges(const juce::File& folder, LibraryMarks& marks);

    /** What came of a change: the setup's file name inside the folder, or why nothing changed. */
    struct Outcome
    {
        bool ok = false;
        juce::String fileName, message;
    };
    /** Copies a settings file in, or imports a .syx file holding the stream Send transmits. A file that
        is not one of them is refused with the reason; nothing half made is left. */
    Outcome add(const juce::File& source);
    /** Saves a configuration as a new setup, named after its title. */
    Outcome saveNew(const SettingsState& state, const SetupInfo& info);
    /** Replaces a setup's values (and info), keeping its file name. */
    Outcome replace(const juce::String& fileName, const SettingsState& state, const SetupInfo& info);
    /** Gives a setup a new title and a file name that follows it. */
    Outcome rename(const juce::String& fileName, const juce::String& newTitle);
    Outcome duplicate(const juce::String& fileName);
    /** Moves a setup to the desktop's trash, from where it can be restored. */
    Outcome remove(const juce::String& fileName);
    /** Changes what a setup carries beyond its values; its values stay byte for byte. An info without roles
        leaves the setup's roles as they are: the title and tags are edited apart from them. */
    Outcome setInfo(const juce::String& fileName, const SetupInfo& info);

private:
    /** A new file named after the title, claimed so that no other program writes it meanwhile. */
    juce::File claimNewFile(const juce::String& title) const;
    juce::File child(const juce::String& fileName) const;
    Outcome write(const juce::File& target, const juce::XmlElement& document);
    /** A setup's document for a change that keeps its values; nothing, with the reason in o, when the name
        is no setup of the library. */
    std::unique_ptr<juce::XmlElement> openForChange(const juce::String& fileName, Outcome& o) const;

    const juce::File& folder;
    LibraryMarks& marks;

    JUCE_DECLARE_NON_COPYABLE(SetupLibraryChanges)
};
