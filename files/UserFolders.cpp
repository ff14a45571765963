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

std::optional<juce::File> ardourPatchFolder()
{
    // Each version of Ardour keeps its settings in ardourN: the newest one is the one in use.
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
            newest = folder.getChildFile("patchfiles");
        }
    }
    return newest;
}
#else
std::optional<juce::File> ardourPatchFolder()
{
    return std::nullopt;
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
