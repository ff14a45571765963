#include "EditorCommandLine.h"

#include "ui/EditorCommands.h"

namespace
{
const juce::String emulatedOption = "--emulated-keyboard";
} // namespace

EditorCommandLine EditorCommandLine::parse(const juce::StringArray& arguments, bool emulated)
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
        const bool isOption = !optionsEnded && arg.length() > 1 && arg.startsWithChar('-');
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (isOption && (arg == "--help" || arg == "-h"))
            result.helpWanted = true;
        else if (isOption && arg == "--version")
            result.versionWanted = true;
        else if (isOption && (arg == emulatedOption || arg.startsWith(emulatedOption + "=")))
        {
            if (!emulated)
                return {std::nullopt,
                        "the keyboard emulator is in quillet-editor-emulated, built beside this "
                        "editor ('scripts/run.sh --emulated-keyboard' starts it)"};
            result.emulatorTrouble = arg.fromFirstOccurrenceOf("=", false, false);
        }
        else if (isOption)
            return {std::nullopt, "unknown option '" + arg + "'"};
        else
            files.add(arg);
    }
    if (result.helpWanted || result.versionWanted)
        return result;
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

juce::String EditorCommandLine::usage(bool emulated)
{
    return emulated
               ? "usage: quillet-editor-emulated [--emulated-keyboard[=TROUBLE,...]] [SETTINGS-FILE.qmv49]"
               : "usage: quillet-editor [SETTINGS-FILE.qmv49]";
}

juce::String EditorCommandLine::help(bool emulated)
{
    juce::String text = usage(emulated) + "\n\n";
    if (emulated)
        text << "The Quillet 49 editor attached, through virtual MIDI ports, to a built-in emulation of the\n"
                "keyboard: detection, read-out, edits and Send can all be tried without one.\n";
    else
        text << "The Quillet 49 editor. It looks for the keyboard on the system's MIDI ports, reads its\n"
                "configuration and shows it on a picture of the keyboard.\n";
    text << "SETTINGS-FILE.qmv49, when given, is loaded as Load... would load it.\n"
            "\n"
            "Options:\n"
            "  -h, --help   show this text\n"
            "  --version    show the program's name and version\n"
            "  --           what follows is the settings file, even a name that starts with '-'\n";
    if (emulated)
        text << "  --emulated-keyboard[=TROUBLE,...]\n"
                "      make the emulated keyboard misbehave. TROUBLE: slow=MS (answers that late;\n"
                "      slow=400 makes the read-out last about five seconds), drop-every=N (ignores\n"
                "      every Nth value sent), silent-after=N (stops answering after N answers),\n"
                "      unplug-after=N (is unplugged after N answers), split=N (N values per answer,\n"
                "      0: all in one), no-identity (never answers the search), play=FILE.mid (a second\n"
                "      after it is found, sends the file's channel messages at its timing, as if its "
                "controls were\n"
                "      moved), play-rate=N (sends them at N messages a second instead)\n";
    else
        text << "\nNo keyboard at hand? quillet-editor-emulated, built beside the editor, is the same\n"
                "editor attached to a built-in emulation of the keyboard ('scripts/run.sh\n"
                "--emulated-keyboard' starts it).\n";
    text << "\nShortcuts:\n";
    for (const auto& c : editorCommands())
        text << "  " << juce::String(c.keys).paddedRight(' ', 16) << c.label << ": " << c.help << ".\n";
    text << "\nEnvironment:\n"
            "  QUILLET_LIBRARY   the folder of the library of setups ("
         << commandRecord(EditorCommand::library).keys
         << "); by default\n"
            "                    $XDG_DATA_HOME/quillet49/setups\n"
            "  XDG_CONFIG_HOME   where the zoom chosen is remembered: quillet49/preferences.xml\n"
            "                    in it (by default ~/.config)\n";
    return text;
}

juce::String EditorCommandLine::version(bool emulated)
{
    return juce::String(emulated ? "quillet-editor-emulated " : "quillet-editor ") + QUILLET_VERSION + "\n";
}
