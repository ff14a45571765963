#include "files/MidiChart.h"

#include <gtest/gtest.h>

namespace
{
const char* const title = "The Quillet Midi Chart";

juce::XmlElement* tableOf(const juce::XmlElement& html)
{
    auto* body = html.getChildByName("body");
    return body != nullptr ? body->getChildByName("table") : nullptr;
}

juce::StringArray cellsOf(const juce::XmlElement& row)
{
    juce::StringArray cells;
    for (auto* cell : row.getChildIterator())
        cells.add(cell->getAllSubText());
    return cells;
}

// The data rows of a chart, keyed by their first cell.
std::map<juce::String, juce::StringArray> rowsOf(const SettingsState& state)
{
    std::map<juce::String, juce::StringArray> rows;
    auto html = createMidiChartXml(state);
    for (auto* tr : tableOf(*html)->getChildWithTagNameIterator("tr"))
        if (tr->getChildByName("td") != nullptr)
            rows[cellsOf(*tr)[0]] = cellsOf(*tr);
    return rows;
}
} // namespace

TEST(MidiChart, PageHasTitleHeadingAndBorderedTable)
{
    auto html = createMidiChartXml(KbdSettingsStore().snapshot());
    EXPECT_EQ(html->getTagName(), "html");
    ASSERT_NE(html->getChildByName("head"), nullptr);
    EXPECT_EQ(html->getChildByName("head")->getChildByName("title")->getAllSubText(), title);
    EXPECT_EQ(html->getChildByName("body")->getChildByName("h1")->getAllSubText(), title);
    auto* table = tableOf(*html);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->getStringAttribute("border"), "1");
    auto* heading = table->getChildElement(0);
    EXPECT_EQ(heading->getChildElement(0)->getTagName(), "th");
    EXPECT_EQ(cellsOf(*heading),
              juce::StringArray({"Item", "Mode", "Channel", "Number", "Min/LSB", "Max/MSB"}));
}

TEST(MidiChart, FreshStoreListsTheVisibleControlsInIdOrder)
{
    auto html = createMidiChartXml(KbdSettingsStore().snapshot());
    auto* table = tableOf(*html);
    ASSERT_EQ(table->getNumChildElements(), 1 + 53);
    juce::StringArray expected;
    for (int id : ControlCatalogue::configurableControls())
        if (id < 0x20 || id > 0x2B)
            expected.add(ControlCatalogue::displayName(id));
    juce::StringArray firstCells;
    for (int r = 1; r <= 53; ++r)
        firstCells.add(cellsOf(*table->getChildElement(r))[0]);
    EXPECT_EQ(firstCells, expected);
    EXPECT_EQ(firstCells[0], "Filter Cutoff");
    EXPECT_EQ(firstCells[52], "Pad #4");

    auto rows = rowsOf(KbdSettingsStore().snapshot());
    EXPECT_EQ(rows["Pad #1"], juce::StringArray({"Pad #1", "Midi Note", "10", "124", "0", "127"}));
    EXPECT_EQ(rows["Snapshot #9"],
              juce::StringArray({"Snapshot #9", "Duration Ctl", "1", "30", "30", "116"}));
}

TEST(MidiChart, UnnamedIdsShowTheirNumberExceptTheHiddenBlock)
{
    auto state = KbdSettingsStore().snapshot();
    for (int id : {100, 0x25, 0x2F})
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            state.set(f, id, 1);
    auto rows = rowsOf(state);
    EXPECT_EQ(rows.size(), 54u);
    EXPECT_EQ(rows["100"], juce::StringArray({"100", "Control", "2", "1", "1", "1"}));
    EXPECT_EQ(rows.count("37"), 0u);
    EXPECT_EQ(rows.count("47"), 0u);
}

TEST(MidiChart, SpecialChannelsAndBadModesHaveShortTexts)
{
    auto state = KbdSettingsStore().snapshot();
    state.set(itemFieldChannel, 0x01, 64);
    state.set(itemFieldChannel, 0x02, 126);
    state.set(itemFieldChannel, 0x03, 127);
    state.set(itemFieldChannel, 0x04, 20);
    state.set(itemFieldMode, 0x05, 12);
    auto rows = rowsOf(state);
    EXPECT_EQ(rows["Filter Cutoff"][2], "Lwr");
    EXPECT_EQ(rows["Filter Resonance"][2], "All");
    EXPECT_EQ(rows["LFO Rate"][2], "Pnl");
    EXPECT_EQ(rows["LFO Amount"][2], "Err");
    EXPECT_EQ(rows["Key Parameter #1"][1], "Err");
}

TEST(MidiChart, WrittenFileIsUtf8XmlOfTheChart)
{
    juce::TemporaryFile temp(".html");
    auto result = writeMidiChart(KbdSettingsStore(), temp.getFile());
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(temp.getFile().loadFileAsString().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    auto html = juce::parseXML(temp.getFile());
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(tableOf(*html)->getNumChildElements(), 54);
}
