#pragma once

#include "../model/KbdSettingsStore.h"

#include <juce_core/juce_core.h>

/** Reads a .syx file that holds the stream Send transmits for a configuration (as 'quillet syx' writes
    it) back into that configuration. Anything else is refused with the reason: the stream rebuilt from
    the configuration read must be the file's bytes exactly, so what is imported sends those bytes again. */
namespace SyxImport
{
struct Result
{
    bool ok = false;
    juce::String message; // why it was refused
    SettingsState state;  // the configuration, over a fresh editor's, when ok
};

Result fromBytes(const void* data, size_t size);
Result fromFile(const juce::File& file);

/** The bytes Send transmits for a configuration, as one block. */
juce::MemoryBlock streamOf(const SettingsState& state);
} // namespace SyxImport
