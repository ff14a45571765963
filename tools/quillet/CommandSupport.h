#pragma once

#include "files/SettingsFile.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <ostream>

class KbdSettingsStore;
struct SettingsDocument;
struct SettingsReadResult;
struct FileWriteResult;

/** What every command of the command-line tool shares: the exit codes, files named on the command line, and
    how a settings file is loaded and a written file reported. */
namespace QuilletCommands
{
enum ExitCode
{
    exitOk = 0,
    exitProblems = 1,
    exitUnreadable = 2,
    exitFailed = 3,
    exitNoKeyboard = 4,
    exitSentWithDefaults = 5, // send: verified, but parts of the file were skipped and defaults went instead
    exitUsage = 64
};

/** A file named on the command line, relative to the current folder. */
juce::File fileArg(const juce::String& path);
/** Loads a settings file the way a freshly started editor would: a fresh store, then the file. Says why in
    err when it cannot be read. */
bool loadFresh(const juce::File& in, KbdSettingsStore& store, SettingsDocument& doc,
               SettingsReadResult& result, std::ostream& err);
/** A settings file as loadFresh loads it, for the commands that make something of it: its configuration,
    its document, and the name the setup goes by (its title, else the file's name). */
struct LoadedSetup
{
    SettingsState state;
    SettingsDocument doc;
    juce::String name;
};
/** Nothing, having said why in err, when the file cannot be read. */
std::optional<LoadedSetup> loadSetup(const juce::File& in, std::ostream& err);
/** Says in err how many elements of a file were skipped and what became of the defaults of a fresh editor
    that went in their place ("sent", "written to out.syx"); nothing when none was. */
void reportSkipped(const SettingsReadResult& r, const juce::String& defaultsWere, std::ostream& err);
/** exitOk for a written file; otherwise says why in err and gives exitFailed. */
int reportWrite(const FileWriteResult& r, const juce::File& out, std::ostream& err);
} // namespace QuilletCommands
