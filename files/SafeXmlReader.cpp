#include "SafeXmlReader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace SafeXmlReader
{
namespace
{
Result failure(Result::Status status, const juce::String& message)
{
    Result r;
    r.status = status;
    r.message = message;
    return r;
}

/** True when the reference at text[i] ('&') is one of the five predefined entities or a complete numeric
    character reference. The toolkit's parser steps past the end of the text on an unfinished one. */
bool isWellFormedReference(const std::string& text, size_t i)
{
    for (const char* named : {"&amp;", "&quot;", "&apos;", "&lt;", "&gt;"})
        if (text.compare(i, strlen(named), named) == 0)
            return true;
    if (text.compare(i, 2, "&#") != 0)
        return false;
    size_t j = i + 2;
    const bool hex = j < text.size() && text[j] == 'x';
    if (hex)
        ++j;
    const size_t start = j;
    while (j < text.size() && j - start < 8 &&
           (hex ? isxdigit((unsigned char)text[j]) : isdigit((unsigned char)text[j])))
        ++j;
    return j > start && j < text.size() && text[j] == ';';
}
} // namespace

int nestingDepth(const juce::String& xml)
{
    // Works on the UTF-8 bytes: markup characters never occur inside a multi-byte sequence.
    const std::string text = xml.toStdString();
    const size_t n = text.size();
    int depth = 0, deepest = 0;
    size_t i = 0;
    while (i < n)
    {
        if (text[i] == '&' && !isWellFormedReference(text, i))
            return -1;
        if (text[i] != '<')
        {
            ++i;
            continue;
        }
        // Skip markup that never nests: comments and CDATA sections.
        if (text.compare(i, 4, "<!--") == 0)
        {
            const auto end = text.find("-->", i + 4);
            if (end == std::string::npos)
                return -1;
            i = end + 3;
            continue;
        }
        if (text.compare(i, 9, "<![CDATA[") == 0)
        {
            const auto end = text.find("]]>", i + 9);
            if (end == std::string::npos)
                return -1;
            i = end + 3;
            continue;
        }
        const bool closing = i + 1 < n && text[i + 1] == '/';
        const bool special = i + 1 < n && (text[i + 1] == '?' || text[i + 1] == '!');
        // Find the end of the tag, stepping over quoted attribute values, which may hold '>'.
        size_t j = i + 1;
        char quote = 0;
        while (j < n)
        {
            const char c = text[j];
            if (c == '&' && !isWellFormedReference(text, j))
                return -1;
            if (quote != 0)
            {
                if (c == quote)
                    quote = 0;
            }
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                break;
            ++j;
        }
        if (j >= n)
            return -1;
        if (!special)
        {
            if (closing)
                --depth;
            else if (text[j - 1] != '/')
                deepest = std::max(deepest, ++depth);
        }
        i = j + 1;
    }
    return deepest;
}

Result parseText(const juce::String& text)
{
    const auto upper = text.toUpperCase();
    if (upper.contains("<!DOCTYPE") || upper.contains("<!ENTITY"))
        return failure(Result::Status::refused,
                       "it declares a document type or entities, which a settings file never does");

    // The toolkit's parser loops forever on a processing instruction followed by text inside an element;
    // a settings file has none beyond its XML declaration.
    const auto body = text.trimStart();
    int afterDeclaration = 0;
    if (body.startsWith("<?xml"))
    {
        afterDeclaration = body.indexOf("?>");
        if (afterDeclaration < 0)
            return failure(Result::Status::notXml, "its XML declaration is unfinished");
    }
    if (body.indexOf(afterDeclaration, "<?") >= 0)
        return failure(Result::Status::refused,
                       "it holds processing instructions, which a settings file never does");

    // An unfinished comment, section or tag makes the depth unknowable; the parser would still recurse
    // through everything before it, so such a text is refused too.
    const int depth = nestingDepth(text);
    if (depth < 0)
        return failure(Result::Status::notXml, "it is not a well-formed XML document");
    if (depth > maxNestingDepth)
        return failure(Result::Status::refused, "its elements are nested far deeper than a settings file's");

    juce::XmlDocument doc(text);
    auto root = doc.getDocumentElement();
    if (root == nullptr)
    {
        auto error = doc.getLastParseError();
        return failure(Result::Status::notXml,
                       "it is not an XML document" +
                           (error.isNotEmpty() ? " (" + error + ")" : juce::String()));
    }
    Result r;
    r.status = Result::Status::ok;
    r.root = std::move(root);
    return r;
}

Result parseBytes(const void* data, size_t size)
{
    // Text ends at a NUL byte, as every string operation of the toolkit takes it to.
    const auto* text = static_cast<const char*>(data);
    size = (size_t)(std::find(text, text + size, '\0') - text);
    if (!juce::CharPointer_UTF8::isValidString(text, (int)size))
        return failure(Result::Status::notXml, "it is not text in the UTF-8 encoding of a settings file");
    return parseText(juce::String::fromUTF8(text, (int)size));
}

Result readFile(const juce::File& file)
{
    if (!file.existsAsFile())
        return failure(Result::Status::unreadable,
                       file.exists() ? "it is not a file" : "the file does not exist");
    if (file.getSize() > maxFileSize)
        return failure(Result::Status::tooLarge, "the file is far larger than a settings file (" +
                                                     juce::File::descriptionOfSizeInBytes(file.getSize()) +
                                                     ")");

    juce::FileInputStream in(file);
    if (!in.openedOk())
        return failure(Result::Status::unreadable,
                       "the file could not be opened: " + in.getStatus().getErrorMessage());

    juce::MemoryBlock bytes;
    // Reads at most one byte past the cap, in case the file grew since its size was taken.
    in.readIntoMemoryBlock(bytes, (ssize_t)maxFileSize + 1);
    if ((juce::int64)bytes.getSize() > maxFileSize)
        return failure(Result::Status::tooLarge, "the file is far larger than a settings file");

    return parseBytes(bytes.getData(), bytes.getSize());
}
} // namespace SafeXmlReader
