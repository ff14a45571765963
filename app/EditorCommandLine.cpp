#include "EditorCommandLine.h"

EditorCommandLine EditorCommandLine::parse(const juce::StringArray& arguments)
{
    EditorCommandLine result;
    juce::StringArray files;
    bool optionsEnded = false;
    for (const auto& arg : arguments)
    {
#if JUCE_MAC
        // Older macOS versions pass the process serial number to an application started from the Finder.
        if (arg.startsWith("-psn_"))
            continue;
#endif
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && arg.length() > 1 && arg.startsWithChar('-'))
            return {std::nullopt, "unknown option '" + arg + "'"};
        else
            files.add(arg);
    }
    if (files.size() > 1)
        return {std::nullopt, "only one settings file can be opened at a time"};
    if (files.size() == 1)
    {
        if (files[0].isEmpty())
            return {std::nullopt, "the settings file name is empty"};
        result.settingsFile = juce::File::getCurrentWorkingDirectory().getChildFile(files[0]);
    }
    return result;
}

const char* EditorCommandLine::usage()
{
    return "usage: quillet-editor [SETTINGS-FILE.qmv49]";
}
