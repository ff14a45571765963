#pragma once

#include <juce_core/juce_core.h>

/** How a setup's title becomes a file name in the library, which names are setups of its folder, and how
    any name is shown on one line. A title or a source file's name may carry anything (an escape that turns a
    terminal red, a line break, a second extension); a name made here carries none of it. */
namespace SetupFileName
{
/** The extension of a setup's file. */
inline constexpr const char* extension = ".qmv49";

/** A name a setup's file may have inside the folder: no separator, not hidden. */
bool isPlain(const juce::String& fileName);

/** The file of a name inside the folder, taken literally (a leading "~" is no home folder). */
juce::File inFolder(const juce::File& folder, const juce::String& fileName);

/** The name without its extension for a setup of this title: no control characters or line breaks, nothing
    a file system refuses, neither hidden nor read as a home folder, no extension of a setup's file left at
    its end, at most maxBytes of UTF-8; "Setup" when nothing is left. */
juce::String baseFor(const juce::String& title, size_t maxBytes = 180);

/** A name as it can be printed or shown on one line: each control character becomes '?'. */
juce::String printable(const juce::String& name);

/** A file name's bytes as text: each byte that is not part of UTF-8 in its shortest forms becomes U+FFFD,
    so the text can be shown and kept, though it no longer names the file. */
juce::String fromBytes(const char* bytes, size_t size);

/** Cut to at most maxBytes of UTF-8, at a character's boundary: file names are limited in bytes. */
juce::String cutToBytes(const juce::String& text, size_t maxBytes);
} // namespace SetupFileName
