#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** What the editor was started with: nothing, or one settings file to load (as the desktop passes a file
    opened with the editor). */
struct EditorCommandLine
{
    /** The settings file to load once the window is up; relative names are taken from the working folder. */
    std::optional<juce::File> settingsFile;
    /** Why the command line cannot be used; empty when it can. */
    juce::String problem;

    static EditorCommandLine parse(const juce::StringArray& arguments);
    /** The one line that explains how the editor is started. */
    static const char* usage();
};
