#pragma once

#include "SetupLibrary.h"

#include <map>

/** The library's index: what each setup file held when it was last read, with its size and time, so that
    an unchanged library is listed without parsing its files again. Only a cache: a damaged or missing
    index costs a full read, never an entry. */
namespace LibraryIndex
{
std::map<juce::String, SetupEntry> read(const juce::File& file);
void write(const juce::File& file, const std::vector<SetupEntry>& entries);
} // namespace LibraryIndex
