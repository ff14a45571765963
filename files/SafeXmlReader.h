#pragma once

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
        unreadable, // missing, a folder, or could not be opened
        tooLarge,
        refused, // DOCTYPE, entity declaration or nesting too deep
        notXml
    };

    Status status = Status::unreadable;
    juce::String message; // why it failed, in words for the user
    std::unique_ptr<juce::XmlElement> root;
};

constexpr juce::int64 maxFileSize = 1024 * 1024; // a real settings file is about 6 KB
constexpr int maxNestingDepth = 32;

Result readFile(const juce::File& file);
Result parseText(const juce::String& text);
/** Parses raw file bytes, which must be valid UTF-8: the toolkit's strings read past the end of malformed
    sequences. */
Result parseBytes(const void* data, size_t size);

/** Deepest element nesting of a document's text, or -1 when the text is not well-formed enough to tell
    (an unfinished comment, section or tag, or a reference that is not a predefined entity or a complete
    character reference). */
int nestingDepth(const juce::String& text);
} // namespace SafeXmlReader
