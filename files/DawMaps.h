#pragma once

#include "MapBinding.h"
#include "SafeFileWriter.h"
#include "model/ControlRoles.h"

#include <optional>

/** The files a DAW reads to know what each control of the keyboard does, from a configuration (what each
    control sends) and the controls' roles: Ardour's generic MIDI map, Ableton Live's user remote script
    and a ReaLearn controller preset for REAPER. Every value is inside what the DAW's reader accepts; a
    control whose message or role a format cannot express is left out of it with a warning naming it. */
class DawMaps
{
public:
    enum class Daw
    {
        ardour,
        ableton,
        realearn
    };
    /** The DAW of a name as the tool takes it ("ardour", "ableton", "realearn"). */
    static std::optional<Daw> dawNamed(const juce::String& name);
    static const char* nameOf(Daw daw);

    /** The map of a configuration with the controls' roles; setupName names it inside the file and gives
        its file or folder name. */
    DawMaps(const SettingsState& state, const ControlRoles& roles, const juce::String& setupName);

    /** The whole file, UTF-8. */
    std::string text(Daw daw) const;
    /** Each control with a role that the DAW's file leaves out, and why. */
    juce::StringArray warnings(Daw daw) const;
    /** The name the file is given where the DAW reads it: the setup's name made safe with the format's
        extension (Ardour .map, ReaLearn .json); Live's fixed name, inside a folder of folderName(). */
    juce::String fileName(Daw daw) const;
    /** The setup's name as a file or folder name: nothing a file system refuses or reads as a path, no
        control characters, no device name of Windows, not hidden, at most 100 bytes; "Setup" when nothing
        is left. */
    juce::String folderName() const;
    /** Writes the file safely; the old file keeps every byte unless the new one is complete. */
    FileWriteResult write(Daw daw, const juce::File& file, ReadOnlyFiles readOnly) const;

    /** The controls with a role, in the catalogue's order. */
    const std::vector<MapBinding>& bindings() const { return assigned; }

private:
    MapText map(Daw daw) const;

    const juce::String setupName;
    std::vector<MapBinding> assigned; // those that send something
    juce::StringArray silent;         // a warning for each control with a role that sends nothing
};
