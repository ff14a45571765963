#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** What the editor was started with: nothing, one settings file to load (as the desktop passes a file opened
    with the editor), a request for help or the version, and for the editor attached to the keyboard emulator
   the trouble the emulated keyboard is to make. */
struct EditorCommandLine
{
    /** The settings file to load once the window is up; relative names are taken from the working folder. */
    std::optional<juce::File> settingsFile;
    /** Why the command line cannot be used; empty when it can. */
    juce::String problem;
    /** --help or -h: the editor prints its help and starts nothing. */
    bool helpWanted = false;
    /** --version: the editor prints its name and version and starts nothing. */
    bool versionWanted = false;
    /** What follows "--emulated-keyboard=": the emulator's trouble list ("slow=40,drop-every=5"), unchecked.
     */
    juce::String emulatorTrouble;

    /** With emulated set, for the editor attached to the emulator: --emulated-keyboard[=TROUBLE,...] is taken
        too. The plain editor refuses it and says where the emulator is. */
    static EditorCommandLine parse(const juce::StringArray& arguments, bool emulated = false);
    /** The one line that explains how the editor is started. */
    static juce::String usage(bool emulated = false);
    /** The usage line, what the editor does with its arguments, and its options. */
    static juce::String help(bool emulated = false);
    /** The program's name and the version it was built as, on one line. */
    static juce::String version(bool emulated = false);
};
