#pragma once

#include "LinkCommands.h"

#include <juce_core/juce_core.h>

#include <ostream>

/** 'quillet export': the names a DAW shows for what a settings file's controls send, or the keyboard's. */
namespace QuilletExport
{
/** Writes the names of the settings file in to outFile in the format named (midnam, ins, reaper, csv);
    controls whose names were joined on one number are said in err. */
int exportNames(const juce::String& format, const juce::File& in, const juce::File& outFile,
                std::ostream& err);
/** The same for what the keyboard holds, read as the editor reads it. */
int exportFromKeyboard(const juce::String& format, const juce::File& outFile,
                       const QuilletLinkCommands::LinkOptions& link, std::ostream& out, std::ostream& err);
} // namespace QuilletExport
