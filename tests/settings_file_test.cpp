#include "files/SafeFileWriter.h"
#include "files/SafeXmlReader.h"
#include "files/SettingsFile.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

namespace
{
class SettingsFileTest : public ::testing::Test
{
protected:
    juce::File withText(const juce::String& text)
    {
        auto f = folder.getNonexistentChildFile("in", ".xml");
        EXPECT_TRUE(f.replaceWithText(text));
        return f;
    }

    // Loads a document whose Items and Globals hold the given markup.
    SettingsReadResult load(const juce::String& items, const juce::String& globals = {})
    {
        return readSettingsFile(store, withText("<Settings><Items>" + items + "</Items><Globals>" + globals +
                                                "</Globals></Settings>"));
    }

    // Tag name followed by the attribute names, in document order.
    static juce::String layoutOf(const juce::XmlElement& e)
    {
        auto text = e.getTagName();
        for (int a = 0; a < e.getNumAttributes(); ++a)
            text << " " << e.getAttributeName(a);
        return text;
    }

    ItemConfig itemOf(int id) const
    {
        auto s = store.snapshot();
        return {s.get(1, id), s.get(2, id), s.get(3, id), s.get(4, id), s.get(5, id)};
    }

    ScratchFolder scratch;
    const juce::File& folder = scratch.folder;
    KbdSettingsStore store;
};
} // namespace

TEST_F(SettingsFileTest, WritesItemsThenGlobalsInOrder)
{
    auto f = folder.getChildFile("out.xml");
    auto result = writeSettingsFile(store, f);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(f.loadFileAsString().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    auto root = juce::parseXML(f);
    ASSERT_NE(root, nullptr);
    auto *items = root->getChildElement(0), *globals = root->getChildElement(1);
    ASSERT_TRUE(items != nullptr && globals != nullptr);
    EXPECT_EQ(items->getTagName() + " " + globals->getTagName(), "Items Globals");
    ASSERT_EQ(items->getNumChildElements(), 65);
    EXPECT_EQ(items->getChildElement(0)->getIntAttribute("ID"), 1);
    EXPECT_EQ(items->getChildElement(64)->getIntAttribute("ID"), 115);
    for (auto* item : items->getChildIterator())
        EXPECT_EQ(layoutOf(*item), "Item ID Mode Chan Num MinLSB MaxMSB");
    ASSERT_EQ(globals->getNumChildElements(), 12);
    for (int g = 0; g < 12; ++g)
    {
        EXPECT_EQ(layoutOf(*globals->getChildElement(g)), "Param ID Value");
        EXPECT_EQ(globals->getChildElement(g)->getIntAttribute("ID"), g);
    }
}

TEST_F(SettingsFileTest, RoundTripIsByteIdenticalAndKeepsUncataloguedItems)
{
    for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
        store.setItemField(f, 100, f); // 100 is no catalogued control
    store.setItemField(itemFieldChannel, 0x05, 64);
    store.setGlobal(0, -5);
    auto first = folder.getChildFile("a.xml"), second = folder.getChildFile("b.xml");
    ASSERT_TRUE(writeSettingsFile(store, first).ok);
    KbdSettingsStore other;
    ASSERT_TRUE(readSettingsFile(other, first).ok);
    ASSERT_TRUE(writeSettingsFile(other, second).ok);
    EXPECT_EQ(first.loadFileAsString(), second.loadFileAsString());
    EXPECT_EQ(other.snapshot(), store.snapshot());
}

TEST_F(SettingsFileTest, ReaderTakesAnyRootAndItemTagAndFillsMissingAttributes)
{
    const auto before = itemOf(0x02);
    auto r =
        readSettingsFile(store, withText("<Foo><Items><Thing ID='1' Mode='3' Chan='2' Num='9' MinLSB='4' "
                                         "MaxMSB='90'/><Item ID='5'/><Item ID='6' Mode='2' MaxMSB='80'/>"
                                         "<Item Mode='3'/></Items><Globals><Param ID='8' Value='60'/>"
                                         "<Param ID='12' Value='7'/><Param ID='-1' Value='7'/>"
                                         "<Param Value='7'/></Globals></Foo>"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.skippedCount(), 0);
    EXPECT_EQ(itemOf(1), (ItemConfig{3, 2, 9, 4, 90}));
    EXPECT_EQ(itemOf(5), (ItemConfig{0, 0, 0, 0, 127}));
    EXPECT_EQ(itemOf(6), (ItemConfig{2, 0, 0, 0, 80}));
    EXPECT_EQ(itemOf(0x02), before);
    for (int g = 0; g < numGlobalParams; ++g)
        EXPECT_EQ(store.getGlobal(g), g == 8 ? 60 : 0) << g;
}

TEST_F(SettingsFileTest, AttributesAreFoundInAnyOrderAmongOthersAndTheFirstOfTwinsCounts)
{
    // Unknown attributes before and among the known ones, in a new order, a twin Mode after the first; and
    // the same item again with many unknown attributes, which are looked up another way.
    auto item = [](int id, int unknown)
    {
        juce::String extra;
        for (int k = 0; k < unknown; ++k)
            extra << " X" << k << "='" << k << "'";
        return "<Item" + extra +
               " Num='9' Name='Deep' Mode='3' MaxMSB='90' Chan='2' Mode='5' MinLSB='4' ID='" +
               juce::String(id) + "'/>";
    };
    for (int unknown : {0, 2, 9, 10, 40})
    {
        SCOPED_TRACE(unknown);
        auto r = load(item(7, unknown));
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(itemOf(7), (ItemConfig{3, 2, 9, 4, 90}));
        EXPECT_EQ(store.snapshot().names.at(7), "Deep");
    }
}

TEST_F(SettingsFileTest, ValuesThatCannotBeSentAreSkippedAndCounted)
{
    auto r = load("<Item ID='128' Num='1'/><Item ID='7' Mode='200'/><Item ID='8' Chan='-1'/>"
                  "<Item ID='9' Mode='2' Num='40'/>",
                  "<Param ID='8' Value='200'/><Param ID='1' Value='-1'/>"
                  "<Param ID='0' Value='70000'/><Param ID='3' Value='-5'/>");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.skippedCount(), 5);
    EXPECT_EQ(store.getItemField(itemFieldNumber, 128), -1);
    EXPECT_EQ(itemOf(7), *ControlCatalogue::defaultConfig(7));
    EXPECT_EQ(itemOf(8), *ControlCatalogue::defaultConfig(8));
    EXPECT_EQ(itemOf(9), (ItemConfig{2, 0, 40, 0, 127}));
    EXPECT_EQ(store.getGlobal(8), 0);
    EXPECT_EQ(store.getGlobal(1), 0);
    EXPECT_EQ(store.getGlobal(0), 4464);
    EXPECT_EQ(store.getGlobal(3), -5);
}

// An explicit negative ID is a bad value, not a missing one: it is reported like any other.
TEST_F(SettingsFileTest, NegativeItemIdIsReportedAsSkipped)
{
    auto r = load("<Item ID='-5' Num='1'/>");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.skippedCount(), 1);
}

TEST_F(SettingsFileTest, UnusableFilesChangeNothing)
{
    store.setItemField(itemFieldMode, 0x01, 3);
    store.setGlobal(2, 1);
    const auto before = store.snapshot();
    const juce::String good = "<Settings><Items><Item ID='1' Mode='0'/></Items></Settings>";
    const juce::String laughs =
        "<?xml version='1.0'?><!DOCTYPE Settings [<!ENTITY a 'aaaaaaaaaa'>"
        "<!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;&b;"
        "&b;&b;&b;'>]><Settings><Items><Item ID='1' Mode='&c;'/></Items></Settings>";
    const auto deep =
        juce::String::repeatedString("<a>", 100000) + juce::String::repeatedString("</a>", 100000);

    std::vector<juce::File> files = {
        folder.getChildFile("missing.xml"),
        folder,
        withText("hello"),
        withText(good +
                 juce::String::repeatedString(" ", (int)SafeXmlReader::maxFileSize + 1 - good.length())),
        withText(laughs),
        withText("<!DOCTYPE Settings SYSTEM \"/dev/zero\">" + good),
        withText("<Settings><!ENTITY e '1'><Items><Item ID='1' Mode='0'/></Items></Settings>"),
        withText(deep),
        // Deep nesting hidden behind an unfinished tag at the end, which stops the depth count.
        withText(juce::String::repeatedString("<a>", 100000) + juce::String::repeatedString("</a>", 100000) +
                 "<"),
        // Malformed UTF-8, which the toolkit's strings would read past.
        [this]
        {
            auto f = folder.getChildFile("latin.qmv49");
            const char bytes[] = "<Settings><Items><Item ID='1' Mode='\xff\xfe'/></Items></Settings>\xf8";
            f.replaceWithData(bytes, sizeof(bytes) - 1);
            return f;
        }(),
        // A processing instruction followed by text inside an element, on which the toolkit's parser loops.
        withText("<?xml version='1.0'?><Settings><?x?>text<Items/></Settings>"),
        // An unfinished character reference at the very end, which the toolkit's parser reads past.
        withText("<Settings><Items><Item ID='1'/></Items>&#x"),
        // Well-formed XML that holds no settings, such as a saved chart.
        withText("<html><body><table border='1'/></body></html>"),
    };
    for (size_t i = 0; i < files.size(); ++i)
    {
        auto r = readSettingsFile(store, files[i]);
        EXPECT_FALSE(r.ok) << "case " << i;
        EXPECT_TRUE(r.message.isNotEmpty()) << "case " << i;
        EXPECT_EQ(store.snapshot(), before) << "case " << i;
    }
}

TEST(SafeXmlReaderBytes, OnlyShortestFormUtf8AndOneDocumentAreRead)
{
    using Status = SafeXmlReader::Result::Status;
    const auto parse = [](const std::string& bytes)
    {
        return SafeXmlReader::parseBytes(bytes.data(), bytes.size());
    };
    const auto named = [](const std::string& name)
    {
        return "<Settings><Items><Item ID='1' Name='" + name + "'/></Items></Settings>";
    };

    // Overlong forms of NUL and of '<'; a surrogate half; a code point beyond U+10FFFF; a sequence cut short.
    const std::string overflow = "\x09\xc0\x80\x10\x09\xc0\x80\x09\xc0\x80\x10\x09\xc0\x80";
    EXPECT_EQ(parse(overflow).status, Status::notXml);
    for (const char* bad : {"\xc0\xbc", "\xe0\x80\xbc", "\xed\xa0\x80", "\xf4\x90\x80\x80", "a\xe2\x82"})
        EXPECT_EQ(parse(named(bad)).status, Status::notXml) << named(bad);
    // Letters of two, three and four bytes, the last of each range included.
    EXPECT_EQ(parse(named("Fl\xc3\xbcgel \xe2\x82\xac \xf0\x9f\x8e\xb9 \xf4\x8f\xbf\xbf")).status,
              Status::ok);

    // References that are neither predefined nor complete character references.
    for (const char* reference : {"&#6A;", "&#;", "&#x;"})
        EXPECT_EQ(parse(std::string("<Settings><Items/>") + reference + "</Settings>").status, Status::notXml)
            << reference;

    const std::string document = "<Settings><Items/></Settings>";
    EXPECT_EQ(parse(document + "\n<!-- saved by hand -->\n").status, Status::ok);
    const auto twice = parse(document + "<Settings><Globals/></Settings>");
    EXPECT_EQ(twice.status, Status::notXml);
    EXPECT_TRUE(twice.message.contains("second")) << twice.message;
}

TEST_F(SettingsFileTest, DocumentsAtTheSizeAndDepthLimitsLoad)
{
    const juce::String items = "<Items><Item ID='1' Mode='0'/></Items>";
    auto nested = [&items](int depth)
    {
        return "<Settings>" + juce::String::repeatedString("<x>", depth - 1) +
               juce::String::repeatedString("</x>", depth - 1) + items + "</Settings>";
    };
    EXPECT_TRUE(readSettingsFile(store, withText(nested(SafeXmlReader::maxNestingDepth))).ok);
    EXPECT_FALSE(readSettingsFile(store, withText(nested(SafeXmlReader::maxNestingDepth + 1))).ok);

    const auto text = nested(2);
    const auto padded =
        text + juce::String::repeatedString(" ", (int)SafeXmlReader::maxFileSize - text.length());
    EXPECT_TRUE(readSettingsFile(store, withText(padded)).ok);
}

TEST_F(SettingsFileTest, WritingIntoAMissingFolderFails)
{
    auto r = writeSettingsFile(store, folder.getChildFile("nowhere").getChildFile("out.xml"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.isNotEmpty());
}

TEST_F(SettingsFileTest, TwoSavesOfOneFileAtOnceLeaveOneWholeVersionAndNothingElse)
{
    // Two threads replace one file with versions of their own, over and over, while it is being read.
    const auto target = folder.getChildFile("shared.qmv49");
    const std::string versions[] = {std::string(70000, 'a'), std::string(50000, 'b')};
    std::atomic<int> failures{0}, torn{0};
    std::atomic<bool> writing{true};
    auto writer = [&](const std::string& text)
    {
        for (int i = 0; i < 150; ++i)
            if (!SafeFileWriter::replaceFileContents(target, text.data(), text.size()).ok)
                ++failures;
    };
    ASSERT_TRUE(SafeFileWriter::replaceFileContents(target, versions[0].data(), versions[0].size()).ok);
    std::thread reader(
        [&]
        {
            while (writing)
            {
                juce::Thread::sleep(1);
                // Read to the end of the file opened: the toolkit's reader takes the length from the name,
                // which may meanwhile name the other version. What is read must be one whole version.
                std::ifstream in(target.getFullPathName().toStdString(), std::ios::binary);
                const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
                if (!text.empty() && text != versions[0] && text != versions[1])
                    ++torn;
            }
        });
    std::thread first(writer, versions[0]), second(writer, versions[1]);
    first.join();
    second.join();
    writing = false;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    const auto last = target.loadFileAsString().toStdString();
    EXPECT_TRUE(last == versions[0] || last == versions[1]);
    EXPECT_EQ(folder.findChildFiles(juce::File::findFilesAndDirectories, false, "*").size(), 1)
        << "a temporary file was left behind";
}
