#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** Where this program keeps what belongs to the user, by the desktop's rules. */
namespace UserFolders
{
#if JUCE_LINUX
/** The user's data folder: $XDG_DATA_HOME, else ~/.local/share. The desktop's trash lives there too. */
juce::File dataHome();
#endif

/** This program's folder for what the user keeps (the library of setups): quillet49 in the data folder on
    Linux; elsewhere Quillet49 in the application data folder. */
juce::File programData();
/** This program's folder for its settings (the preferences): quillet49 in $XDG_CONFIG_HOME (else
    ~/.config) on Linux; elsewhere the same folder as programData. */
juce::File programSettings();
/** Where the newest Ardour found reads the user's MIDI Name Documents: patchfiles in the highest ardourN
    folder of $XDG_CONFIG_HOME (else ~/.config), which may not exist yet; nothing where no Ardour has kept
    settings, and on other systems. */
std::optional<juce::File> ardourPatchFolder();
/** Where the newest Ardour found reads the user's MIDI binding maps: midi_maps in the same ardourN folder;
    nothing where no Ardour has kept settings, and on other systems. */
std::optional<juce::File> ardourMapFolder();
/** Where Ableton Live reads the user's remote scripts: Remote Scripts in the User Library (in the Music
    folder on macOS, Documents on Windows), which may not exist yet; nothing on other systems. */
std::optional<juce::File> abletonRemoteScripts();
/** Where ReaLearn keeps its controller presets: Data/helgoboss/realearn/presets/controller in REAPER's
    resource folder ($XDG_CONFIG_HOME/REAPER, else ~/.config/REAPER on Linux; REAPER in the application
    data folder elsewhere), which may not exist yet. */
juce::File realearnControllerPresets();
} // namespace UserFolders
