#pragma once

#include "LinkCommands.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <ostream>

/** 'quillet maps': the file a DAW reads to know what each control does, from a settings file (with its
    roles, else the default roles) or from what the keyboard holds. */
namespace QuilletMaps
{
/** Where the map goes: a file (Live: a folder, in which the script's own folder is made), or, without
    one, where the DAW reads it. */
using Destination = std::optional<juce::File>;

/** Writes the map for the DAW named (ardour, ableton, realearn) of the settings file in; the controls it
    leaves out are said in err. */
int mapsFromFile(const juce::String& daw, const juce::File& in, const Destination& to, std::ostream& out,
                 std::ostream& err);
/** The same for what the keyboard holds, read as the editor reads it, with the default roles. */
int mapsFromKeyboard(const juce::String& daw, const Destination& to,
                     const QuilletLinkCommands::LinkOptions& link, std::ostream& out, std::ostream& err);
} // namespace QuilletMaps
