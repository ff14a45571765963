#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

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
    exitUsage = 64
};

int run(const juce::StringArray& args, std::ostream& out, std::ostream& err);

int writeDefaults(const juce::File& out, std::ostream& err);
int writeChart(const juce::File& in, const juce::File& out, std::ostream& err);
int show(const juce::File& in, std::ostream& out, std::ostream& err);
int check(const juce::File& in, std::ostream& out, std::ostream& err);
int writeSyx(const juce::File& in, const juce::File& out, std::ostream& err);

const char* usage();
} // namespace QuilletCommands
