#pragma once

#include "SetupEntry.h"

#include <map>

/** The library's index: what each setup file held when it was last read, with its size and time, so that
    an unchanged library is listed without parsing its files again. Only a cache: a damaged, missing or
    oversized index costs a full read, never an entry. The folder may be synced from anywhere, so the index
    is read through the file gate and every text in it is checked before it is made a string. */
namespace LibraryIndex
{
/** About 200 bytes a setup with short descriptions: 8 MB holds 10,000 setups many times over. */
constexpr juce::int64 maxFileSize = 8 * 1024 * 1024;
constexpr const char* setAsideSuffix = ".damaged";

struct Read
{
    std::map<juce::String, SetupEntry> entries;
    /** Why the index could not be used, once, in words for the user; empty when it could or was absent. */
    juce::String problem;
    /** False when what is there is not a file of the library's own (a link, a FIFO, a device, a folder, or
        one it may not read): then it is never written over. */
    bool writable = true;
};

/** Reads the index. A damaged or oversized one is set aside beside it (with setAsideSuffix), so the next
    index is made fresh and the damaged one is kept for whoever wants to look at it. */
Read read(const juce::File& file);

enum class Parsed
{
    ok,
    otherVersion, // an index another version of the program wrote: made anew without a word
    damaged
};
/** Takes an index's bytes apart into entries; they are left empty unless ok. */
Parsed parse(const void* data, size_t size, std::map<juce::String, SetupEntry>& entries);

/** Writes the index through the safe writer; an index that would pass maxFileSize is not written. */
void write(const juce::File& file, const std::vector<SetupEntry>& entries);
} // namespace LibraryIndex
