#pragma once

#include "CommandSupport.h"

/** The command-line tool's commands. Each returns the process exit code and writes its report to out and
    its errors to err. */
namespace QuilletCommands
{
int run(const juce::StringArray& args, std::ostream& out, std::ostream& err);
/** The process's arguments as text; false, having said why in err, when one is not UTF-8: the toolkit would
    garble it into the name of another file than the one meant. */
bool argumentsOf(int argc, const char* const argv[], juce::StringArray& args, std::ostream& err);

int writeDefaults(const juce::File& out, std::ostream& err);
int writeChart(const juce::File& in, const juce::File& out, std::ostream& err);
int show(const juce::File& in, std::ostream& out, std::ostream& err);
int check(const juce::File& in, std::ostream& out, std::ostream& err);
int writeSyx(const juce::File& in, const juce::File& out, std::ostream& err);

const char* usage();

} // namespace QuilletCommands
