#include "UserFolders.h"

namespace UserFolders
{
namespace
{
#if JUCE_LINUX
juce::File xdgFolder(const char* variable, const char* fallback)
{
    const auto folder = juce::SystemStats::getEnvironmentVariable(variable, {});
    return juce::File::isAbsolutePath(folder) ? juce::File(folder) : juce::File(fallback);
}
#else
juce::File programFolder()
{
    const auto appData = juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory);
#if JUCE_MAC
    return appData.getChildFile("Application Support/Quillet49");
#else
    return appData.getChildFile("Quillet49");
#endif
}
#endif
} // namespace

#if JUCE_LINUX
juce::File dataHome()
{
    return xdgFolder("XDG_DATA_HOME", "~/.local/share");
}

juce::File programData()
{
    return dataHome().getChildFile("quillet49");
}

juce::File programSettings()
{
    return xdgFolder("XDG_CONFIG_HOME", "~/.config").getChildFile("quillet49");
}

namespace
{
/** Each version of Ardour keeps its settings in ardourN: the newest one is the one in use. */
std::optional<juce::File> newestArdourFolder()
{
    std::optional<juce::File> newest;
    int newestVersion = 0;
    for (const auto& folder : xdgFolder("XDG_CONFIG_HOME", "~/.config")
                                  .findChildFiles(juce::File::findDirectories, false, "ardour*"))
    {
        const auto number = folder.getFileName().substring(6);
        if (number.isNotEmpty() && number.length() <= 3 && number.containsOnly("0123456789") &&
            number.getIntValue() > newestVersion)
        {
            newestVersion = number.getIntValue();
            newest = folder;
        }
    }
    return newest;
}
} // namespace

std::optional<juce::File> ardourPatchFolder()
{
    const auto ardour = newestArdourFolder();
    return ardour ? std::optional<juce::File>(ardour->getChildFile("patchfiles")) : std::nullopt;
}

std::optional<juce::File> ardourMapFolder()
{
    const auto ardour = newestArdourFolder();
    return ardour ? std::optional<juce::File>(ardour->getChildFile("midi_maps")) : std::nullopt;
}

std::optional<juce::File> abletonRemoteScripts()
{
    return std::nullopt; // Live has no Linux version
}

juce::File realearnControllerPresets()
{
    return xdgFolder("XDG_CONFIG_HOME", "~/.config")
        .getChildFile("REAPER/Data/helgoboss/realearn/presets/controller");
}
#else
std::optional<juce::File> ardourPatchFolder()
{
    return std::nullopt;
}

std::optional<juce::File> ardourMapFolder()
{
    return std::nullopt;
}

std::optional<juce::File> abletonRemoteScripts()
{
#if JUCE_MAC
    const auto home = juce::File::getSpecialLocation(juce::File::userMusicDirectory);
#else
    const auto home = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
#endif
    return home.getChildFile("Ableton/User Library/Remote Scripts");
}

juce::File realearnControllerPresets()
{
    const auto appData = juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory);
#if JUCE_MAC
    return appData.getChildFile("Application Support/REAPER/Data/helgoboss/realearn/presets/controller");
#else
    return appData.getChildFile("REAPER/Data/helgoboss/realearn/presets/controller");
#endif
}

juce::File programData()
{
    return programFolder();
}

juce::File programSettings()
{
    return programFolder();
}
#endif
} // namespace UserFolders
