#pragma once

#include "LinkCommands.h"
#include "device/MonitorFilter.h"

/** 'quillet monitor': what the keyboard sends, a line a message, in the keyboard's words. */
namespace QuilletMonitor
{
struct Options
{
    int count = 0;        // stop after this many lines; 0: never
    double seconds = 0.0; // stop after this long; 0: never
    bool tsv = false, raw = false;
    juce::String setupFile; // whose names to use instead of reading the keyboard's
    juce::String syxFile;   // where the SysEx heard is kept, byte for byte, whatever is shown
    MonitorFilter filter;   // the lines printed (and counted)
};

/** Takes the monitor's own options out of the arguments; false with the problem said when one is wrong. */
bool takeOptions(juce::StringArray& args, Options& options, juce::String& problem);

int run(const Options& options, const QuilletLinkCommands::LinkOptions& link, std::ostream& out,
        std::ostream& err);
} // namespace QuilletMonitor
