#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

class KbdSettingsStore;
struct SettingsDocument;
struct SettingsReadResult;
struct FileWriteResult;

/** The command-line tool's commands. Each returns the process exit code and writes its report to out and
    its errors to err. */
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

int run(const juce::StringArray& args, std::ostream& out, std::ostream& err);
/** The process's arguments as text; false, having said why in err, when one is not UTF-8: the toolkit would
    garble it into the name of another file than the one meant. */
bool argumentsOf(int argc, const char* const argv[], juce::StringArray& args, std::ostream& err);
/** A file named on the command line, relative to the current folder. */
juce::File fileArg(const juce::String& path);

int writeDefaults(const juce::File& out, std::ostream& err);
int writeChart(const juce::File& in, const juce::File& out, std::ostream& err);
int show(const juce::File& in, std::ostream& out, std::ostream& err);
int check(const juce::File& in, std::ostream& out, std::ostream& err);
int writeSyx(const juce::File& in, const juce::File& out, std::ostream& err);

const char* usage();

/** Loads a settings file the way a freshly started editor would: a fresh store, then the file. Says why in
    err when it cannot be read. */
bool loadFresh(const juce::File& in, KbdSettingsStore& store, SettingsDocument& doc,
               SettingsReadResult& result, std::ostream& err);
/** Says in err how many elements of a file were skipped, the defaults of a fresh editor going in their
    place; nothing when none was. */
void reportSkipped(const SettingsReadResult& r, std::ostream& err);
/** exitOk for a written file; otherwise says why in err and gives exitFailed. */
int reportWrite(const FileWriteResult& r, const juce::File& out, std::ostream& err);
} // namespace QuilletCommands
