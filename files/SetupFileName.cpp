#include "SetupFileName.h"

#include "StrictUtf8.h"

#include <cstring>

namespace SetupFileName
{
namespace
{
bool isControl(juce::juce_wchar c)
{
    // C0, DEL and C1: a terminal acts on all of them.
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}
} // namespace

bool isPlain(const juce::String& name)
{
    return name.isNotEmpty() && !name.startsWithChar('.') && !name.containsAnyOf("/\\:") &&
           !name.containsChar(0);
}

juce::File inFolder(const juce::File& folder, const juce::String& fileName)
{
    return juce::File::createFileWithoutCheckingPath(folder.getFullPathName() +
                                                     juce::File::getSeparatorString() + fileName);
}

juce::String cutToBytes(const juce::String& text, size_t maxBytes)
{
    auto cut = text;
    while (cut.getNumBytesAsUTF8() > maxBytes)
        cut = cut.dropLastCharacters(juce::jmax(1, (int)((cut.getNumBytesAsUTF8() - maxBytes) / 4)));
    return cut;
}

juce::String fromBytes(const char* bytes, size_t size)
{
    juce::String text;
    size_t i = 0;
    while (i < size)
    {
        const auto lead = (unsigned char)bytes[i];
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (i + length <= size && isStrictUtf8(bytes + i, length))
        {
            text += juce::String::fromUTF8(bytes + i, (int)length);
            i += length;
        }
        else
        {
            text += (juce::juce_wchar)0xFFFD;
            ++i;
        }
    }
    return text;
}

juce::String printable(const juce::String& name)
{
    juce::String out;
    for (auto p = name.getCharPointer(); !p.isEmpty(); ++p)
        out += isControl(*p) ? (juce::juce_wchar)'?' : *p;
    return out;
}

juce::String baseFor(const juce::String& title, size_t maxBytes)
{
    // A control character becomes a space: "Live\nSet" is "Live Set" as a file name.
    juce::String plain;
    for (auto p = title.getCharPointer(); !p.isEmpty(); ++p)
        plain += isControl(*p) ? (juce::juce_wchar)' ' : *p;
    auto base = juce::File::createLegalFileName(plain.trim()).trim();
    for (;;)
    {
        const auto before = base;
        // Neither hidden nor read as a home folder, and one extension only.
        while (base.startsWithChar('.') || base.startsWithChar('~'))
            base = base.substring(1).trimStart();
        while (base.endsWithIgnoreCase(extension))
            base = base.dropLastCharacters((int)strlen(extension)).trimEnd();
        if (base == before)
            break;
    }
    base = cutToBytes(base, maxBytes).trimEnd();
    return base.isEmpty() ? juce::String("Setup") : base;
}
} // namespace SetupFileName
