#include "files/MidiChart.h"

#include <gtest/gtest.h>

namespace
{
juce::StringArray cellsOf(const juce::XmlElement& row)
{
    juce::StringArray cells;
    for (auto* cell : row.getChildIterator())
        cells.add(cell->getAllSubText());
    return cells;
}

// Every row of the chart's table, heading first.
std::vector<juce::StringArray> rowsOf(const SettingsState& state)
{
    std::vector<juce::StringArray> rows;
    auto html = createMidiChartXml(state);
    for (auto* tr : html->getChildByName("body")->getChildByName("table")->getChildIterator())
        rows.push_back(cellsOf(*tr));
    return rows;
}

juce::StringArray rowNamed(const std::vector<juce::StringArray>& rows, const juce::String& first)
{
    for (const auto& r : rows)
        if (r[0] == first)
            return r;
    return {};
}
} // namespace

TEST(MidiChart, PageHasTitleHeadingAndBorderedTable)
{
    auto html = createMidiChartXml(KbdSettingsStore().snapshot());
    EXPECT_EQ(html->getTagName(), "html");
    EXPECT_EQ(html->getChildByName("head")->getChildByName("title")->getAllSubText(),
              "The Quillet Midi Chart");
    auto* body = html->getChildByName("body");
    EXPECT_EQ(body->getChildByName("h1")->getAllSubText(), "The Quillet Midi Chart");
    auto* table = body->getChildByName("table");
    EXPECT_EQ(table->getStringAttribute("border"), "1");
    EXPECT_EQ(table->getChildElement(0)->getChildElement(0)->getTagName(), "th");
    EXPECT_EQ(cellsOf(*table->getChildElement(0)),
              juce::StringArray({"Item", "Mode", "Channel", "Number", "Min/LSB", "Max/MSB"}));
}

TEST(MidiChart, FreshStoreListsTheNamedConfigurableControlsInIdOrder)
{
    const auto rows = rowsOf(KbdSettingsStore().snapshot());
    juce::StringArray expected, actual;
    for (int id : ControlCatalogue::configurableControls())
        if (id < 0x20 || id > 0x2B)
            expected.add(ControlCatalogue::displayName(id));
    for (size_t r = 1; r < rows.size(); ++r)
        actual.add(rows[r][0]);
    EXPECT_EQ(actual.size(), 53);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(actual[0] + "|" + actual[52], "Filter Cutoff|Pad #4");
    EXPECT_EQ(rowNamed(rows, "Pad #1"), juce::StringArray({"Pad #1", "Midi Note", "10", "124", "0", "127"}));
    EXPECT_EQ(rowNamed(rows, "Snapshot #9"),
              juce::StringArray({"Snapshot #9", "Duration Ctl", "1", "30", "30", "116"}));
}

TEST(MidiChart, UnnamedIdsShowTheirNumberAndOddCodesShowShortTexts)
{
    auto state = KbdSettingsStore().snapshot();
    for (int id : {100, 0x25, 0x2F})
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            state.set(f, id, 1);
    state.set(itemFieldChannel, 0x01, 64);
    state.set(itemFieldChannel, 0x02, 126);
    state.set(itemFieldChannel, 0x03, 127);
    state.set(itemFieldChannel, 0x04, 20);
    state.set(itemFieldMode, 0x05, 12);
    const auto rows = rowsOf(state);
    EXPECT_EQ(rows.size(), 1u + 54u); // 0x25 and 0x2F stay hidden
    EXPECT_EQ(rowNamed(rows, "100"), juce::StringArray({"100", "Control", "2", "1", "1", "1"}));
    EXPECT_EQ(rowNamed(rows, "Filter Cutoff")[2], "Lwr");
    EXPECT_EQ(rowNamed(rows, "Filter Resonance")[2], "All");
    EXPECT_EQ(rowNamed(rows, "LFO Rate")[2], "Pnl");
    EXPECT_EQ(rowNamed(rows, "LFO Amount")[2], "Err");
    EXPECT_EQ(rowNamed(rows, "Key Parameter #1")[1], "Err");
}

TEST(MidiChart, WrittenFileIsUtf8XmlOfTheChart)
{
    juce::TemporaryFile temp(".html");
    auto result = writeMidiChart(KbdSettingsStore(), temp.getFile());
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(temp.getFile().loadFileAsString().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    auto html = juce::parseXML(temp.getFile());
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(html->getChildByName("body")->getChildByName("table")->getNumChildElements(), 54);
}
