#include "app/ALookAndFeel.h"

#include <QuilletBinaryData.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <set>

// The editor draws every text in an embedded subset of one face, with no other font to fall back on: a
// character missing from the subset would silently not be drawn.
namespace
{
/** The characters of every string literal in a C++ source text, escapes decoded. */
std::set<juce::juce_wchar> literalCharacters(const juce::String& source)
{
    juce::MemoryOutputStream bytes;
    std::set<juce::juce_wchar> found;
    auto flush = [&]
    {
        const auto text = juce::String::fromUTF8((const char*)bytes.getData(), (int)bytes.getDataSize());
        for (auto p = text.getCharPointer(); !p.isEmpty(); ++p)
            if (*p >= 0x20 && *p != 0xFEFF) // a byte-order mark is looked for in files, never drawn
                found.insert(*p);
        bytes.reset();
    };
    const auto utf8 = source.toStdString();
    bool inString = false, inLineComment = false, inBlockComment = false;
    for (size_t i = 0; i < utf8.size(); ++i)
    {
        const char c = utf8[i];
        const char next = i + 1 < utf8.size() ? utf8[i + 1] : 0;
        if (inLineComment)
            inLineComment = c != '\n';
        else if (inBlockComment)
        {
            if (c == '*' && next == '/')
                inBlockComment = false, ++i;
        }
        else if (!inString)
        {
            if (c == '/' && next == '/')
                inLineComment = true;
            else if (c == '/' && next == '*')
                inBlockComment = true;
            else if (c == '\'')
                i += next == '\\' ? 3 : 2;                       // a character literal: skipped
            else if (c == '"' && !(i > 0 && utf8[i - 1] == '<')) // not an #include <...> path
                inString = true;
        }
        else if (c == '"')
        {
            inString = false;
            flush();
        }
        else if (c == '\\')
        {
            const char e = utf8[++i];
            if (e == 'x')
            {
                bytes.writeByte((char)std::stoi(utf8.substr(i + 1, 2), nullptr, 16));
                i += 2;
            }
            else if (e != 'n' && e != 't' && e != 'r')
                bytes.writeByte(e);
        }
        else
            bytes.writeByte(c);
    }
    return found;
}

struct EmbeddedFaces
{
    EmbeddedFaces()
    {
        FT_Init_FreeType(&library);
        FT_New_Memory_Face(library, (const FT_Byte*)QuilletBinaryData::DejaVuSansLatin_ttf,
                           QuilletBinaryData::DejaVuSansLatin_ttfSize, 0, &faces[0]);
        FT_New_Memory_Face(library, (const FT_Byte*)QuilletBinaryData::DejaVuSansBoldLatin_ttf,
                           QuilletBinaryData::DejaVuSansBoldLatin_ttfSize, 0, &faces[1]);
    }
    ~EmbeddedFaces() { FT_Done_FreeType(library); }

    FT_Library library = nullptr;
    FT_Face faces[2] = {};
};
} // namespace

TEST(EmbeddedFont, BothFacesHaveAGlyphForEveryCharacterTheEditorShowsOrAUserTypesInLatin)
{
    std::set<juce::juce_wchar> shown;
    int files = 0;
    for (const char* folder : {"ui", "app", "model", "device", "files"})
        for (const auto& entry : juce::RangedDirectoryIterator(
                 juce::File(QUILLET_SOURCE_DIR).getChildFile(folder), false, "*.cpp;*.h"))
        {
            ++files;
            for (auto c : literalCharacters(entry.getFile().loadFileAsString()))
                shown.insert(c);
        }
    ASSERT_GT(files, 20);
    ASSERT_TRUE(shown.count('K') && shown.count('.') && shown.count(' ')) << "the sources were not read";

    // Names typed by the user: the letters of Latin-1 and Latin Extended-A, and common punctuation.
    std::set<juce::juce_wchar> typed;
    for (juce::juce_wchar c = 0x20; c <= 0x17F; ++c)
        if (c < 0x7F || c >= 0xA0)
            typed.insert(c);
    for (juce::juce_wchar c : {0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC})
        typed.insert(c);

    EmbeddedFaces font;
    for (int f = 0; f < 2; ++f)
    {
        ASSERT_NE(font.faces[f], nullptr);
        for (auto c : shown)
            EXPECT_NE(FT_Get_Char_Index(font.faces[f], (FT_ULong)c), 0u)
                << "face " << f << " lacks U+" << juce::String::toHexString((int)c) << " shown by the editor";
        for (auto c : typed)
            EXPECT_NE(FT_Get_Char_Index(font.faces[f], (FT_ULong)c), 0u)
                << "face " << f << " lacks U+" << juce::String::toHexString((int)c);
    }
}

TEST(EmbeddedFont, TheLookServesTheEmbeddedFacesForPlainAndBoldText)
{
    ALookAndFeel look;
    const auto plain = look.getTypefaceForFont(juce::Font(15.0f, juce::Font::plain));
    const auto bold = look.getTypefaceForFont(juce::Font(13.0f, juce::Font::bold));
    const auto named = look.getTypefaceForFont(juce::Font("Some Other Face", 12.0f, juce::Font::plain));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(plain->getName(), "DejaVu Sans");
    EXPECT_EQ(bold->getName(), "DejaVu Sans");
    EXPECT_EQ(bold->getStyle(), "Bold");
    EXPECT_NE(plain->getStyle(), "Bold");
    // No other face exists for the editor: a font naming one gets the embedded face too.
    EXPECT_EQ(named.get(), plain.get());

    // Made from memory, the faces measure text: a longer string is wider, and bold is wider than plain.
    EXPECT_GT(plain->getStringWidth("Back Panel"), plain->getStringWidth("Back"));
    EXPECT_GT(bold->getStringWidth("Back Panel"), plain->getStringWidth("Back Panel"));
}
