#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

/** 'quillet export': the names a DAW shows for what a settings file's controls send. */
namespace QuilletExport
{
/** Writes the names of the settings file in to outFile in the format named (midnam, ins, reaper, csv);
    controls whose names were joined on one number are said in err. */
int exportNames(const juce::String& format, const juce::File& in, const juce::File& outFile,
                std::ostream& err);
} // namespace QuilletExport
