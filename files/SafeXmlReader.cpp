#include "SafeXmlReader.h"

#include "StrictUtf8.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

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

namespace
{
struct MarkupScan
{
    int depth = 0; // deepest nesting, or -1 when the text is not well-formed enough to tell
    int names = 0; // distinct element and attribute names, counted up to the limit + 1
    int roots = 0; // elements outside any other
};

bool isNameBreak(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '=' || c == '/' || c == '>' || c == '<' ||
           c == '"' || c == '\'';
}

MarkupScan scanMarkup(const std::string& text, int nameLimit)
{
    // Works on the UTF-8 bytes: markup characters never occur inside a multi-byte sequence.
    const size_t n = text.size();
    MarkupScan result;
    std::unordered_set<std::string_view> names;
    int depth = 0;
    size_t i = 0;
    while (i < n)
    {
        if (text[i] == '&' && !isWellFormedReference(text, i))
            return {-1, (int)names.size()};
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
                return {-1, (int)names.size()};
            i = end + 3;
            continue;
        }
        if (text.compare(i, 9, "<![CDATA[") == 0)
        {
            const auto end = text.find("]]>", i + 9);
            if (end == std::string::npos)
                return {-1, (int)names.size()};
            i = end + 3;
            continue;
        }
        const bool closing = i + 1 < n && text[i + 1] == '/';
        const bool special = i + 1 < n && (text[i + 1] == '?' || text[i + 1] == '!');
        // Find the end of the tag, stepping over quoted attribute values, which may hold '>'. Every run of
        // name characters outside quotes is the element's name or an attribute's.
        size_t j = i + 1;
        size_t nameStart = std::string::npos;
        char quote = 0;
        while (j < n)
        {
            const char c = text[j];
            if (c == '&' && !isWellFormedReference(text, j))
                return {-1, (int)names.size()};
            if (quote != 0)
            {
                if (c == quote)
                    quote = 0;
                ++j;
                continue;
            }
            const bool breaks = isNameBreak(c);
            if (!special && !closing && breaks && nameStart != std::string::npos)
            {
                names.insert(std::string_view(text).substr(nameStart, j - nameStart));
                nameStart = std::string::npos;
                if ((int)names.size() > nameLimit)
                    return {result.depth, (int)names.size()};
            }
            else if (!breaks && nameStart == std::string::npos)
                nameStart = j;
            if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                break;
            ++j;
        }
        if (j >= n)
            return {-1, (int)names.size()};
        if (!special)
        {
            if (closing)
                --depth;
            else
            {
                result.roots += depth == 0 ? 1 : 0;
                if (text[j - 1] != '/')
                    result.depth = std::max(result.depth, ++depth);
            }
        }
        i = j + 1;
    }
    result.names = (int)names.size();
    return result;
}

/** What a settings file never holds, found before the text is parsed. */
struct Declarations
{
    bool typesOrEntities = false;       // <!DOCTYPE or <!ENTITY, in any case
    bool unfinishedDeclaration = false; // <?xml without its ?>
    bool instructions = false;          // <? after the XML declaration
};

/** The checks that once took an upper-cased copy of the whole text and several searches, in one pass over
    the bytes; only for a text of ASCII characters (else nothing), whose case mapping is ASCII's own. */
std::optional<Declarations> findDeclarationsInAscii(const std::string& text)
{
    const size_t n = text.size();
    Declarations found;
    size_t start = 0; // where the text starts after leading white space
    while (start < n && std::strchr(" \t\n\v\f\r", text[start]) != nullptr && text[start] != 0)
        ++start;
    if (start < n && text[start] >= 0x1C && text[start] <= 0x1F)
        return std::nullopt; // separators that the toolkit's trimming may take for white space

    size_t instructionsFrom = start;
    if (text.compare(start, 5, "<?xml") == 0)
    {
        instructionsFrom = text.find("?>", start);
        found.unfinishedDeclaration = instructionsFrom == std::string::npos;
    }
    const auto matchesUpper = [&](size_t at, const char* word)
    {
        for (; *word != 0; ++word, ++at)
            if (at >= n || std::toupper((unsigned char)text[at]) != *word)
                return false;
        return true;
    };
    for (size_t i = 0; i < n; ++i)
    {
        const char c = text[i];
        if ((unsigned char)c >= 0x80)
            return std::nullopt;
        if (c != '<' || i + 1 >= n)
            continue;
        if (text[i + 1] == '!' && (matchesUpper(i + 2, "DOCTYPE") || matchesUpper(i + 2, "ENTITY")))
            found.typesOrEntities = true;
        else if (text[i + 1] == '?' && !found.unfinishedDeclaration && i >= instructionsFrom)
            found.instructions = true;
    }
    return found;
}

/** The same checks for any text, on an upper-cased copy. */
Declarations findDeclarations(const juce::String& text)
{
    Declarations found;
    const auto upper = text.toUpperCase();
    found.typesOrEntities = upper.contains("<!DOCTYPE") || upper.contains("<!ENTITY");
    const auto body = text.trimStart();
    int afterDeclaration = 0;
    if (body.startsWith("<?xml"))
    {
        afterDeclaration = body.indexOf("?>");
        found.unfinishedDeclaration = afterDeclaration < 0;
    }
    found.instructions = !found.unfinishedDeclaration && body.indexOf(afterDeclaration, "<?") >= 0;
    return found;
}
} // namespace

int nestingDepth(const juce::String& xml)
{
    return scanMarkup(xml.toStdString(), std::numeric_limits<int>::max()).depth;
}

int distinctNames(const juce::String& xml, int limit)
{
    return scanMarkup(xml.toStdString(), limit).names;
}

Result parseText(const juce::String& original)
{
    // XML allows one byte-order mark before the document; some editors on Windows always write one.
    const auto text = original.startsWithChar((juce::juce_wchar)0xFEFF) ? original.substring(1) : original;

    const auto bytes = text.toStdString();
    const auto ascii = findDeclarationsInAscii(bytes);
    const auto declarations = ascii ? *ascii : findDeclarations(text);
    if (declarations.typesOrEntities)
        return failure(Result::Status::refused,
                       "this is not a Quillet 49 settings file: it declares a document type or entities");

    // The toolkit's parser loops forever on a processing instruction followed by text inside an element;
    // a settings file has none beyond its XML declaration.
    if (declarations.unfinishedDeclaration)
        return failure(Result::Status::notXml,
                       "this is not a Quillet 49 settings file: its XML declaration is unfinished");
    if (declarations.instructions)
        return failure(Result::Status::refused,
                       "this is not a Quillet 49 settings file: it holds processing instructions");

    // An unfinished comment, section or tag makes the depth unknowable; the parser would still recurse
    // through everything before it, so such a text is refused too.
    const auto scan = scanMarkup(bytes, maxDistinctNames);
    if (scan.names > maxDistinctNames)
        return failure(Result::Status::refused,
                       "this is not a Quillet 49 settings file: it uses far more different names than one");
    if (scan.depth < 0)
        return failure(Result::Status::notXml, "this is not a Quillet 49 settings file");
    if (scan.depth > maxNestingDepth)
        return failure(Result::Status::refused,
                       "this is not a Quillet 49 settings file: its elements are nested far too deep");
    // The toolkit's parser stops after the first element and would drop whatever follows it unseen.
    if (scan.roots > 1)
        return failure(Result::Status::notXml,
                       "this is not a Quillet 49 settings file: a second document follows the first");

    juce::XmlDocument doc(text);
    auto root = doc.getDocumentElement();
    // The parser's own wording ("not enough input") means nothing to a musician.
    if (root == nullptr)
        return failure(Result::Status::notXml, "this is not a Quillet 49 settings file");
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
    if (size >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
    {
        text += 3;
        size -= 3;
    }
    if (size == 0)
        return failure(Result::Status::notXml, "the file is empty");
    if (!isStrictUtf8(text, size))
        return failure(Result::Status::notXml, "this is not a Quillet 49 settings file");
    return parseText(juce::String::fromUTF8(text, (int)size));
}

Result readFile(const juce::File& file, const FileGate::Limits& limits)
{
    auto read = FileGate::readBytes(file, limits);
    if (!read.ok())
        return failure(read.refusal == FileGate::Refusal::tooLarge ? Result::Status::tooLarge
                                                                   : Result::Status::unreadable,
                       read.reason);
    return parseBytes(read.bytes.getData(), read.bytes.getSize());
}

Result readFile(const juce::File& file)
{
    return readFile(file, {maxFileSize, "a settings file"});
}
} // namespace SafeXmlReader
