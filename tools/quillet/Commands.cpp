#include "Commands.h"

#include "DiffCommand.h"
#include "ExportCommand.h"
#include "LibraryCommand.h"
#include "LinkCommands.h"
#include "MapsCommand.h"
#include "MonitorCommand.h"
#include "device/SysExCodec.h"
#include "files/MidiChart.h"
#include "files/SettingsFile.h"
#include "files/SetupFileName.h"
#include "files/StrictUtf8.h"

#include <cstring>
#include <set>

namespace QuilletCommands
{
bool argumentsOf(int argc, const char* const argv[], juce::StringArray& args, std::ostream& err)
{
    for (int i = 1; i < argc; ++i)
    {
        if (!isStrictUtf8(argv[i], std::strlen(argv[i])))
        {
            err << "quillet: argument " << i << " is not UTF-8 text; give the file a name in UTF-8\n";
            return false;
        }
        args.add(juce::String::fromUTF8(argv[i]));
    }
    return true;
}

namespace
{
/** What each command takes and does, for the command line's checks and for `quillet COMMAND --help`. */
struct CommandHelp
{
    const char* name;
    int argumentCount;
    const char* arguments;
    const char* description;
    bool talksToKeyboard = false; // takes --emulated-keyboard
};

/** Words on lines of at most width characters, each indented. */
juce::String wrapped(const juce::String& text, int indent, int width)
{
    juce::String result, line;
    for (const auto& word : juce::StringArray::fromTokens(text, " ", ""))
    {
        if (line.isNotEmpty() && indent + line.length() + 1 + word.length() > width)
        {
            result << juce::String::repeatedString(" ", indent) << line << "\n";
            line.clear();
        }
        line << (line.isEmpty() ? "" : " ") << word;
    }
    return result + juce::String::repeatedString(" ", indent) + line + "\n";
}

/** The option of the commands that talk to the keyboard, with every option of the emulated keyboard. */
juce::String emulatedKeyboardHelp()
{
    juce::StringArray options;
    for (const auto& o : QuilletLinkCommands::emulatedKeyboardOptions())
        options.add(QuilletLinkCommands::optionForm(o) + " (" + o.help + ")");
    return "\nOptions:\n"
           "  --emulated-keyboard[=TROUBLE,...]\n" +
           wrapped("talk to the built-in keyboard emulator over virtual MIDI ports instead of the system's "
                   "ports. TROUBLE makes it misbehave or remember: " +
                       options.joinIntoString(", ") + ".",
                   6, 104);
}

const CommandHelp commandHelp[] = {
    {"defaults", 1, "OUT.qmv49",
     "Writes the factory configuration to OUT.qmv49: every control with its factory setting, and the\n"
     "keyboard-wide values that the editor's Default Values button restores.\n"},
    {"chart", 2, "IN.qmv49 OUT.html",
     "Writes the MIDI chart of the settings file IN.qmv49 to OUT.html, the same page as the editor's\n"
     "Chart... button.\n"},
    {"show", 1, "IN.qmv49",
     "Prints every assignment of the settings file IN.qmv49 as a table (mode, channel, number, minimum\n"
     "and maximum), then the keyboard-wide values.\n"},
    {"check", 1, "IN.qmv49",
     "Checks the settings file IN.qmv49 and lists every problem: values the keyboard cannot take,\n"
     "unknown controls, controls that are missing.\n"
     "Exits with 0 when the file is clean, 1 when problems were found, 2 when it cannot be read.\n"},
    {"syx", 2, "IN.qmv49 OUT.syx",
     "Writes to OUT.syx the exact SysEx bytes that sending the settings file IN.qmv49 to the keyboard\n"
     "transmits, for sending with any SysEx tool.\n"},
    {"ports", 0, "",
     "Lists the system's MIDI inputs and outputs and asks the outputs, as the editor does, which one is\n"
     "the keyboard, with the firmware version it reports. Exits with 4 when none answers.\n",
     true},
    {"read", 1, "OUT.qmv49",
     "Finds the keyboard as the editor does, reads its whole configuration with the editor's start-up\n"
     "read-out and writes it to OUT.qmv49. Exits with 1, writing nothing, when the keyboard stops\n"
     "answering part way, and with 4 when no keyboard is found.\n",
     true},
    {"send", 1, "IN.qmv49",
     "Sends the settings file IN.qmv49 to the keyboard (the bytes 'syx' writes), reads it back and sends\n"
     "again what the keyboard did not take, up to three times. Prints \"Sent and verified\" or what still\n"
     "differs. Parts of the file that cannot be used are skipped and the defaults of a freshly started\n"
     "editor are sent in their place; the command says so.\n"
     "Exits with 1 when values still differ, 4 when no keyboard is found or it is lost, 5 when the send was\n"
     "verified but parts of the file were skipped.\n",
     true},
    {"diff", 2, "A.qmv49 B.qmv49 | A.qmv49 --keyboard [--format=tsv]",
     "Lists every value in which the settings file A.qmv49 differs from B.qmv49, or with --keyboard from\n"
     "what the keyboard holds (read afresh), one a line in the editor's words: control, field, the value\n"
     "in A, the other value. A value a file leaves out, or that the keyboard did not answer, is listed as\n"
     "\"not defined\" or \"unknown\", never as equal. --format=tsv prints tab-separated columns instead.\n"
     "Exits with 0 when identical, 1 when they differ or the read was incomplete, 2 when a file cannot be\n"
     "read, 4 when no keyboard is found or it is lost.\n",
     true},
    {"import", 2, "IN.syx OUT.qmv49",
     "Reads a .syx file holding the stream that Send transmits (as 'syx' writes it) and writes the\n"
     "settings file OUT.qmv49 that sends those bytes again. Anything else in a .syx file is refused with\n"
     "the reason, and nothing is written. Exits with 2 when the file is refused or cannot be read.\n"},
    {"export", 2, "--format=midnam|ins|reaper|csv IN.qmv49 OUT | --format=... --keyboard OUT",
     "Writes the names a DAW shows for what the controls of the settings file IN.qmv49 send: each\n"
     "control's name (yours, else its own) on its note, controller or parameter. midnam: a MIDI Name\n"
     "Document with one name set per channel in use; ins: instrument definitions; reaper: REAPER's\n"
     "note/CC name map; csv: one row per control. The setup's title, else the file's name, names the\n"
     "instrument. The formats without channels join the names that share a number and say so. With\n"
     "--keyboard, what the keyboard holds, read as the editor reads it, names the Quillet 49 instead.\n"
     "Exits with 4 when no keyboard is found or it is lost.\n",
     true},
    {"maps", 2, "--daw=ardour|ableton|realearn IN.qmv49 OUT|--install | --daw=... --keyboard OUT|--install",
     "Writes the file a DAW reads to know what each control does, from what the controls of the settings\n"
     "file IN.qmv49 send and the role each has in the setup (the default roles when it has none: faders as\n"
     "track volumes, the first eight knobs as device parameters, the host buttons as transport).\n"
     "ardour: Ardour's generic MIDI binding map; ableton: Live's user remote script, written in a folder\n"
     "named for the setup inside the folder OUT; realearn: a ReaLearn controller preset for REAPER. A\n"
     "control whose message or role the DAW's file cannot hold is left out and said. --install writes where\n"
     "the DAW reads instead of OUT, when it is there, and otherwise says where the file goes. With\n"
     "--keyboard, what the keyboard holds, read as the editor reads it, with the default roles.\n"
     "Exits with 3 when nothing could be written or installed, 4 when no keyboard is found or it is lost.\n",
     true},
    {"monitor", 0,
     "[--count=N] [--seconds=S] [--format=text|tsv] [--raw] [--hide=LIST] [--only=LIST] [--setup=IN.qmv49] "
     "[--syx=OUT.syx]",
     "Prints every message the keyboard sends, a line each, until interrupted: the time, the controls that\n"
     "send it (by the names the keyboard holds, read first, or those of --setup), the message in words\n"
     "with its channel counted 1 to 16, and its bytes. --count and --seconds stop by themselves;\n"
     "--format=tsv prints tab-separated columns (time, direction, control, kind, channel, number, value,\n"
     "bytes) under a heading row; --raw prints the bytes alone; --syx keeps the SysEx heard in a file.\n"
     "--hide and --only take a list such as notes,ch10: the kinds notes, controllers (with RPN and NRPN),\n"
     "pitch (bend and pressure), program, sysex, system and timing (clock and active sensing, hidden\n"
     "unless named in --only), the channels ch1 to ch16 or a range such as ch1-4 (a message of no channel\n"
     "is shown by its kind), and the directions from and to the keyboard. --count counts the lines shown.\n"
     "Exits with 4 when no keyboard is found or it is lost.\n",
     true},
    {"library", -1, "list [--tag T] [--search TEXT] [--favourites] | add FILE... | send NAME",
     "Works with the library of setups: a folder of settings files (QUILLET_LIBRARY, else\n"
     "$XDG_DATA_HOME/quillet49/setups; --library DIR for another). 'list' prints the setups, favourites\n"
     "and the most recently used first, with their tags and files; a file that cannot be used is listed\n"
     "with '!' and the reason. --search keeps the setups whose title, tags, description, file name or\n"
     "control names hold every word of TEXT. 'add' copies settings files in, or imports .syx files. 'send'\n"
     "sends the setup named by its file or title to the keyboard, as 'send' does; a NAME that more than\n"
     "one setup answers to is refused with their files listed, and the whole file name picks one.\n"
     "Exits with 2 when a file is not added or the setup is not found, 64 when more than one setup answers\n"
     "to NAME, otherwise as 'send'.\n",
     true},
};

const CommandHelp* findCommand(const juce::String& name)
{
    for (const auto& c : commandHelp)
        if (name == c.name)
            return &c;
    return nullptr;
}

bool isHelpOption(const juce::String& arg)
{
    return arg == "--help" || arg == "-h";
}

/** A single dash is a file name, as is anything after "--". */
bool isOption(const juce::String& arg)
{
    return arg.length() > 1 && arg.startsWithChar('-');
}

void printCommandHelp(const CommandHelp& c, std::ostream& out)
{
    out << "Usage: quillet " << c.name << " " << c.arguments
        << (c.talksToKeyboard
                ? juce::String(c.arguments[0] != 0 ? " " : "") + "[--emulated-keyboard[=TROUBLE,...]]"
                : juce::String())
        << "\n\n"
        << c.description << (c.talksToKeyboard ? emulatedKeyboardHelp() : juce::String());
}
} // namespace

const char* usage()
{
    return "Usage: quillet COMMAND [ARGUMENTS]\n"
           "\n"
           "Works with the settings files (.qmv49) of the Morvane - The Quillet MIDI Control Center.\n"
           "Files are loaded as a freshly started editor would load them.\n"
           "\n"
           "Commands:\n"
           "  defaults OUT.qmv49     write the factory configuration\n"
           "  chart IN.qmv49 OUT.html\n"
           "                         write the MIDI chart of a settings file\n"
           "  show IN.qmv49          print every assignment and the keyboard-wide values\n"
           "  check IN.qmv49         check a settings file for problems\n"
           "  syx IN.qmv49 OUT.syx   write the SysEx bytes that sending the file to the keyboard transmits\n"
           "  ports                  list the MIDI ports and say which one answers as the keyboard\n"
           "  read OUT.qmv49         read the keyboard's configuration into a settings file\n"
           "  send IN.qmv49          send a settings file to the keyboard, then read it back to verify it\n"
           "  diff A.qmv49 B.qmv49 | A.qmv49 --keyboard [--format=tsv]\n"
           "                         list every value in which two settings, or a file and the keyboard,\n"
           "                         differ\n"
           "  import IN.syx OUT.qmv49\n"
           "                         turn a .syx file that 'syx' wrote back into a settings file\n"
           "  export --format=midnam|ins|reaper|csv IN.qmv49 OUT\n"
           "                         write the names a DAW shows for the controls of a settings file\n"
           "  maps --daw=ardour|ableton|realearn IN.qmv49 OUT|--install\n"
           "                         write the map a DAW reads to know what each control does\n"
           "  monitor                print what the keyboard sends, a line a message, in its words\n"
           "  library list|add|send  list the library of setups, add files to it, send one of them\n"
           "\n"
           "  quillet COMMAND --help   more about one command\n"
           "  quillet --help           show this text\n"
           "  quillet --version        show the version\n"
           "  A file name that starts with '-' goes after '--', as in: quillet show -- -setup.qmv49\n"
           "\n"
           "ports, read, send, diff --keyboard, export --keyboard, maps --keyboard, monitor and library "
           "send\n"
           "take --emulated-keyboard[=TROUBLE,...] to talk to the built-in keyboard emulator instead of the\n"
           "system's MIDI ports. TROUBLE:\n"
           "drop-every=N, slow=MS, silent-after=N, unplug-after=N, split=N, no-identity, play=FILE.mid,\n"
           "play-rate=N, and state=FILE: the emulated keyboard starts holding the settings file FILE\n"
           "(factory defaults when it does not exist) and writes what it holds back to FILE when the "
           "command\n"
           "ends.\n"
           "\n"
           "Exit codes:\n"
           "  0   success (check: the file is clean)\n"
           "  1   check found problems (each one is listed); send left values that differ; read was\n"
           "      incomplete; diff found differences\n"
           "  2   the input file cannot be read or is not a settings file\n"
           "  3   the output file cannot be written\n"
           "  4   no keyboard was found, or it was lost (ports, read, send, diff --keyboard, export\n"
           "      --keyboard, maps --keyboard, monitor, library send)\n"
           "  5   send was verified, but parts of the file were skipped and the defaults were sent in their\n"
           "      place ('check' lists them)\n"
           "  64  bad command line\n";
}

int run(const juce::StringArray& args, std::ostream& out, std::ostream& err)
{
    // A mistake on the command line gets one line, not the whole help.
    const auto usageError = [&err](const juce::String& problem)
    {
        err << "quillet: " << problem << "; see quillet --help\n";
        return exitUsage;
    };

    const auto command = args[0];
    if (isHelpOption(command) || command == "help")
    {
        if (const auto* c = findCommand(args[1]))
            printCommandHelp(*c, out);
        else
            out << usage();
        return exitOk;
    }
    if (command == "--version")
    {
        out << "quillet " << QUILLET_VERSION << "\n";
        return exitOk;
    }
    if (command.isEmpty())
        return usageError("no command given");
    if (isOption(command))
        return usageError("unknown option '" + command + "'");
    const auto* help = findCommand(command);
    if (help == nullptr)
        return usageError("unknown command '" + command + "'");

    // The commands that talk to the keyboard may be pointed at the built-in emulator.
    auto rest = args;
    std::optional<QuilletLinkCommands::LinkOptions> link;
    if (help->talksToKeyboard)
    {
        juce::String problem;
        link = QuilletLinkCommands::takeLinkOptions(rest, problem);
        if (!link)
            return usageError(problem);
    }

    if (command == "monitor")
    {
        QuilletMonitor::Options options;
        juce::String problem;
        if (rest.contains("--help") || rest.contains("-h"))
        {
            printCommandHelp(*help, out);
            return exitOk;
        }
        if (!QuilletMonitor::takeOptions(rest, options, problem))
            return usageError(problem);
        if (rest.size() > 1)
            return usageError("unknown option '" + rest[1] + "'");
        return QuilletMonitor::run(options, *link, out, err);
    }
    if (command == "library")
    {
        if (rest.size() < 2 || isHelpOption(rest[1]) || rest.contains("--help"))
        {
            printCommandHelp(*help, out);
            return rest.size() < 2 ? exitUsage : exitOk;
        }
        rest.remove(0);
        return QuilletLibrary::run(rest, *link, out, err);
    }

    juce::StringArray files;
    juce::String format, daw;
    bool optionsEnded = false, keyboard = false, tsv = false, install = false;
    for (int i = 1; i < rest.size(); ++i)
    {
        if (!optionsEnded && rest[i] == "--")
            optionsEnded = true;
        else if (!optionsEnded && (command == "diff" || command == "export" || command == "maps") &&
                 rest[i] == "--keyboard")
            keyboard = true;
        else if (!optionsEnded && command == "maps" && rest[i].startsWith("--daw="))
            daw = rest[i].fromFirstOccurrenceOf("=", false, false);
        else if (!optionsEnded && command == "maps" && rest[i] == "--install")
            install = true;
        else if (!optionsEnded && command == "diff" &&
                 (rest[i] == "--format=tsv" || rest[i] == "--format=text"))
            tsv = rest[i] == "--format=tsv";
        else if (!optionsEnded && command == "export" && rest[i].startsWith("--format="))
            format = rest[i].fromFirstOccurrenceOf("=", false, false);
        else if (!optionsEnded && isHelpOption(rest[i]))
        {
            printCommandHelp(*help, out);
            return exitOk;
        }
        else if (!optionsEnded && isOption(rest[i]))
            return usageError("unknown option '" + rest[i] + "'");
        else
            files.add(rest[i]);
    }
    if (command == "diff" && files.size() == (keyboard ? 1 : 2))
        return keyboard ? QuilletLinkCommands::diffWithKeyboard(fileArg(files[0]), tsv, *link, out, err)
                        : QuilletDiff::diffFiles(fileArg(files[0]), fileArg(files[1]), tsv, out, err);
    if (command == "diff")
        return usageError("'diff' takes two settings files, or one and --keyboard");
    if (command == "export" && keyboard && files.size() == 1 && format.isNotEmpty())
        return QuilletExport::exportFromKeyboard(format, fileArg(files[0]), *link, out, err);
    if (command == "maps")
    {
        if (daw.isEmpty())
            return usageError("'maps' needs --daw=ardour, ableton or realearn");
        if (files.size() != (keyboard ? 0 : 1) + (install ? 0 : 1))
            return usageError("'maps' takes " + juce::String(help->arguments));
        const QuilletMaps::Destination to =
            install ? QuilletMaps::Destination() : QuilletMaps::Destination(fileArg(files[files.size() - 1]));
        return keyboard ? QuilletMaps::mapsFromKeyboard(daw, to, *link, out, err)
                        : QuilletMaps::mapsFromFile(daw, fileArg(files[0]), to, out, err);
    }
    if (files.size() != help->argumentCount)
        return usageError("'" + command + "' takes " + juce::String(help->argumentCount) +
                          (help->argumentCount == 1 ? " argument, " : " arguments, ") + help->arguments);

    if (command == "export")
        return format.isEmpty()
                   ? usageError("'export' needs --format=midnam, ins, reaper or csv")
                   : QuilletExport::exportNames(format, fileArg(files[0]), fileArg(files[1]), err);
    if (command == "defaults")
        return writeDefaults(fileArg(files[0]), err);
    if (command == "chart")
        return writeChart(fileArg(files[0]), fileArg(files[1]), err);
    if (command == "show")
        return show(fileArg(files[0]), out, err);
    if (command == "check")
        return check(fileArg(files[0]), out, err);
    if (command == "ports")
        return QuilletLinkCommands::listPorts(*link, out, err);
    if (command == "read")
        return QuilletLinkCommands::readKeyboard(fileArg(files[0]), *link, out, err);
    if (command == "send")
        return QuilletLinkCommands::sendToKeyboard(fileArg(files[0]), *link, out, err);
    if (command == "import")
        return QuilletLibrary::importSyx(fileArg(files[0]), fileArg(files[1]), err);
    return writeSyx(fileArg(files[0]), fileArg(files[1]), err);
}

int writeDefaults(const juce::File& outFile, std::ostream& err)
{
    KbdSettingsStore store;
    store.modify(
        [](SettingsState& s)
        {
            s.resetItemsToDefaults();
            s.applyEditorGlobalDefaults();
        });
    return reportWrite(writeSettingsFile(store, outFile), outFile, err);
}

int writeChart(const juce::File& in, const juce::File& outFile, std::ostream& err)
{
    KbdSettingsStore store;
    SettingsDocument doc;
    SettingsReadResult result;
    if (!loadFresh(in, store, doc, result, err))
        return exitUnreadable;
    return reportWrite(writeMidiChart(store, outFile), outFile, err);
}

int show(const juce::File& in, std::ostream& out, std::ostream& err)
{
    KbdSettingsStore store;
    SettingsDocument doc;
    SettingsReadResult result;
    if (!loadFresh(in, store, doc, result, err))
        return exitUnreadable;

    const auto s = store.snapshot();
    const auto rows = assignmentRows(s);
    // Widths in characters, not bytes: a meaning may hold a middle dot.
    std::array<int, 6> width{};
    for (const auto& r : rows)
        for (size_t c = 0; c < 6; ++c)
            width[c] = std::max(width[c], r[c].length());
    const auto padded = [](const juce::String& text, int w, bool right)
    {
        const auto gap = juce::String::repeatedString(" ", std::max(0, w - text.length()));
        return (right ? gap + text : text + gap).toStdString();
    };
    for (size_t i = 0; i < rows.size(); ++i)
    {
        for (size_t c = 0; c < 6; ++c)
        {
            // Names, words and numbers with their meaning left-aligned, bare numbers right-aligned.
            out << padded(rows[i][c], width[c], c >= 4) << (c < 5 ? "  " : "\n");
        }
        if (i == 0)
        {
            size_t total = 10;
            for (auto w : width)
                total += (size_t)w;
            out << std::string(total, '-') << "\n";
        }
    }

    out << "\nKeyboard-wide values\n";
    for (const auto& [label, value] : keyboardWideRows(s))
        out << "  " << padded(label + ":", 16, false) << value.toStdString() << "\n";
    if (!result.skipped.isEmpty())
        out << "\n"
            << result.skipped.size()
            << " element(s) of the file were skipped; run 'quillet check' for details.\n";
    return exitOk;
}

int check(const juce::File& in, std::ostream& out, std::ostream& err)
{
    KbdSettingsStore store;
    SettingsDocument doc;
    SettingsReadResult result;
    if (!loadFresh(in, store, doc, result, err))
        return exitUnreadable;

    const auto problems = settingsProblems(doc, result, store.snapshot());
    if (problems.isEmpty())
    {
        // Counted as 'show' and the chart list them: the picture's controls and the values Send transmits.
        std::set<int> controls, globals;
        for (const auto& item : doc.items)
            if (ControlCatalogue::isPictureControl(item.id))
                controls.insert(item.id);
        for (const auto& [slot, value] : doc.globals)
            if (isSentGlobal(slot))
                globals.insert(slot);
        out << in.getFileName() << ": OK, " << controls.size() << " controls and " << globals.size()
            << " keyboard-wide values, as 'quillet show' lists them\n";
        return exitOk;
    }
    out << in.getFileName() << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems")
        << "\n";
    for (const auto& p : problems)
        out << "  " << p << "\n";
    return exitProblems;
}

int writeSyx(const juce::File& in, const juce::File& outFile, std::ostream& err)
{
    // The bytes Send transmits, from the codec Send takes its frames from.
    KbdSettingsStore store;
    SettingsDocument doc;
    SettingsReadResult result;
    if (!loadFresh(in, store, doc, result, err))
        return exitUnreadable;
    juce::MemoryBlock bytes;
    for (const auto& m : OrvSysEx::sendAllMessages(store.snapshot()))
        bytes.append(m.getRawData(), (size_t)m.getRawDataSize());
    if (const auto written = SafeFileWriter::replaceFileContents(outFile, bytes.getData(), bytes.getSize());
        !written.ok)
        return reportWrite(written, outFile, err);
    reportSkipped(result, "written to " + SetupFileName::printable(outFile.getFileName()), err);
    return exitOk;
}
} // namespace QuilletCommands
