#pragma once

#include <juce_core/juce_core.h>

/** The one way the program reads a file's bytes from disk. A settings file, a .syx, the library's index
    and marks and the preferences may all come from anyone (a library folder synced from another machine, a
    file named on a command line), so every one is read here: opened without blocking and checked on the
    opened descriptor to be a regular file (a FIFO or a device would hold the caller forever or never end),
    read no further than a cap fitting what that file can hold, and refused with a reason a user can act on.
    What the bytes mean (strict UTF-8 before any text is made, then the format) is the caller's to check. */
namespace FileGate
{
/** What a file may be. */
struct Limits
{
    juce::int64 maxBytes = 0;
    /** What the file should be, for the refusal of one far too large: "a settings file". */
    const char* what = "the file";
    /** False for the program's own files inside a folder it shares with others (the library's index and
        marks): a link there is refused, never followed nor written through. */
    bool followLinks = true;
};

/** Why a file was not read. */
enum class Refusal
{
    none,
    missing,
    folder,
    notRegular, // a FIFO, a device, a socket, or a link where none may be
    noPermission,
    tooLarge,
    failed // could not be opened or read for another reason
};

struct Read
{
    Refusal refusal = Refusal::failed;
    juce::String reason; // in words for the user; empty when read
    juce::MemoryBlock bytes;

    bool ok() const { return refusal == Refusal::none; }
};

Read readBytes(const juce::File& file, const Limits& limits);
} // namespace FileGate
