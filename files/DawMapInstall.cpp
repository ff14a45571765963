#include "DawMapInstall.h"

#include "UserFolders.h"

namespace DawMapInstall
{
namespace
{
using Daw = DawMaps::Daw;

/** How the user then picks the map in the DAW. */
juce::String howToUse(Daw daw)
{
    switch (daw)
    {
    case Daw::ardour:
        return "in Ardour, enable Generic MIDI in Preferences > Control Surfaces and choose the map there";
    case Daw::ableton:
        return "in Live, choose the folder's name as a Control Surface in Preferences > Link, Tempo & MIDI";
    default:
        return "in ReaLearn, choose it as the controller preset";
    }
}
} // namespace

juce::String where(Daw daw)
{
    switch (daw)
    {
    case Daw::ardour:
        if (const auto f = UserFolders::ardourMapFolder())
            return f->getFullPathName();
        return "midi_maps in Ardour's settings folder (~/.config/ardourN on Linux, ~/Library/Preferences/"
               "ArdourN on macOS, %LOCALAPPDATA%\\ArdourN on Windows)";
    case Daw::ableton:
        if (const auto f = UserFolders::abletonRemoteScripts())
            return f->getFullPathName() + " (in a folder of its own)";
        return "a folder of its own in Remote Scripts of Live's User Library (~/Music/Ableton/User Library "
               "on macOS, Documents\\Ableton\\User Library on Windows)";
    default:
        return UserFolders::realearnControllerPresets().getFullPathName();
    }
}

std::optional<juce::File> folder(Daw daw)
{
    switch (daw)
    {
    case Daw::ardour:
        return UserFolders::ardourMapFolder(); // only where an ardourN folder is
    case Daw::ableton:
    {
        const auto scripts = UserFolders::abletonRemoteScripts();
        if (scripts && scripts->getParentDirectory().isDirectory())
            return scripts;
        return std::nullopt;
    }
    default:
    {
        // ReaLearn's own folder shows it is installed; its presets folder comes with the first preset.
        const auto presets = UserFolders::realearnControllerPresets();
        if (presets.getParentDirectory().getParentDirectory().isDirectory())
            return presets;
        return std::nullopt;
    }
    }
}

MapInstall install(Daw daw, const DawMaps& maps)
{
    const auto target = folder(daw);
    if (!target)
        return {false,
                {},
                "nothing written: no folder was found where it reads its maps; the file goes in " +
                    where(daw)};
    const auto into = daw == Daw::ableton ? target->getChildFile(maps.folderName()) : *target;
    if (!into.isDirectory() && !into.createDirectory().wasOk())
        return {false, {}, "nothing written: the folder " + into.getFullPathName() + " cannot be made"};
    const auto file = into.getChildFile(maps.fileName(daw));
    const auto written = maps.write(daw, file, ReadOnlyFiles::refuse);
    if (!written.ok)
        return {false, {}, "nothing written to " + file.getFullPathName() + ": " + written.message};
    return {true, file, "Wrote " + file.getFullPathName() + "; " + howToUse(daw)};
}
} // namespace DawMapInstall
