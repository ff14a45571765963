#pragma once

#include "model/ConfigComparison.h"

#include <ostream>

/** 'quillet diff': two settings files, or a settings file and the keyboard, value by value. */
namespace QuilletDiff
{
/** Reads what a settings file defines, and nothing more: a value the file leaves out stays unknown (-1).
    Says why in err when the file cannot be read. */
bool loadDefined(const juce::File& in, SettingsState& state, std::ostream& err);

/** Prints a comparison, one difference a line in the panel's words and a summary line, or as tab-separated
    columns with a heading row. Returns exitOk when identical, exitProblems otherwise. */
int report(const ConfigComparison& comparison, const juce::String& mineName, const juce::String& theirsName,
           bool tsv, std::ostream& out);

/** Compares two settings files. */
int diffFiles(const juce::File& a, const juce::File& b, bool tsv, std::ostream& out, std::ostream& err);
} // namespace QuilletDiff
