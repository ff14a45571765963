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
#else
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
