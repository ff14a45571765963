#pragma once

#include "LinkCommands.h"

/** The tool's library commands and the .syx import. */
namespace QuilletLibrary
{
/** 'library list|add|send ...': args start after "library", the link options already taken out. */
int run(const juce::StringArray& args, const QuilletLinkCommands::LinkOptions& link, std::ostream& out,
        std::ostream& err);
/** 'import IN.syx OUT.qmv49'. */
int importSyx(const juce::File& in, const juce::File& outFile, std::ostream& err);
} // namespace QuilletLibrary
