#pragma once

#include "FileGate.h"

#include <juce_core/juce_core.h>

#include <memory>

/** Reads an XML file that may come from anyone. The toolkit's parser expands DTD entities without limit,
    follows external DTDs to local files and recurses once per nesting level, so this reader caps the file
    size, refuses any DOCTYPE or entity declaration, bounds the nesting depth and parses from memory. */
namespace SafeXmlReader
{
/** What came of reading a document. */
struct Result
{
    enum class Status
    {
        ok,
        unreadable, // missing, a folder, a special file, or could not be opened
        tooLarge,
        refused, // DOCTYPE, entity declaration, nesting too deep or too many distinct names
        notXml
    };

    Status status = Status::unreadable;
    juce::String message; // why it failed, in words for the user
    std::unique_ptr<juce::XmlElement> root;
};

constexpr juce::int64 maxFileSize = 256 * 1024; // a real settings file is about 6 KB
constexpr int maxNestingDepth = 32;
/** The toolkit interns every element and attribute name at a cost that grows with the square of their
    count; a settings file uses about a dozen. */
constexpr int maxDistinctNames = 256;

/** A settings file, through the file gate. */
Result readFile(const juce::File& file);
/** Another XML file of the program's, with a cap of its own. */
Result readFile(const juce::File& file, const FileGate::Limits& limits);
Result parseText(const juce::String& text);
/** Parses raw file bytes, which must be UTF-8 in its shortest forms (isStrictUtf8: the toolkit's strings
    miscount malformed or overlong sequences); one leading byte-order mark is allowed. */
Result parseBytes(const void* data, size_t size);

/** Deepest element nesting of a document's text, or -1 when the text is not well-formed enough to tell
    (an unfinished comment, section or tag, or a reference that is not a predefined entity or a complete
    character reference). */
int nestingDepth(const juce::String& text);

/** The number of distinct element and attribute names in a document's text, counted up to limit + 1. */
int distinctNames(const juce::String& text, int limit = maxDistinctNames);
} // namespace SafeXmlReader
