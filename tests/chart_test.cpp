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
    // The pad plays note 124, an E (120 is a C) in octave 8 (C3 is 60): no drum of the General MIDI set.
    EXPECT_EQ(rowNamed(rows, "Pad #1"),
              juce::StringArray({"Pad #1", "Midi Note", "10", "124 - E8", "0", "127"}));
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

TEST(MidiChart, UserNamesStandBesideTheControlsOwnAndTheKeyboardWideValuesFollowInATableOfTheirOwn)
{
    auto state = KbdSettingsStore().snapshot();
    state.names[0x70] = "Kick";
    state.set(itemFieldNumber, 0x70, 36);
    state.globals[globalLowerChannel] = 2;
    state.globals[globalUpperChannel] = 15;
    state.globals[globalKnobMode] = 127;
    state.globals[globalFaderMode] = 0;
    state.globals[globalSplitMode] = 127;
    state.globals[globalSplitPoint] = 61;
    const auto rows = rowsOf(state);
    EXPECT_EQ(rowNamed(rows, "Kick").size(), 0) << "the control keeps its own name first";
    EXPECT_EQ(rowNamed(rows, "Pad #1 (Kick)").joinIntoString("|"),
              juce::String(
                  juce::CharPointer_UTF8("Pad #1 (Kick)|Midi Note|10|36 - C1 \xc2\xb7 Bass Drum 1|0|127")));
    EXPECT_EQ(rows.size(), 54u) << "the described table keeps its rows";

    auto html = createMidiChartXml(state);
    auto* body = html->getChildByName("body");
    juce::Array<juce::XmlElement*> tables;
    for (auto* e : body->getChildWithTagNameIterator("table"))
        tables.add(e);
    ASSERT_EQ(tables.size(), 2);
    std::map<juce::String, juce::String> wide;
    for (auto* tr : tables[1]->getChildIterator())
    {
        const auto cells = cellsOf(*tr);
        ASSERT_EQ(cells.size(), 2);
        wide[cells[0]] = cells[1];
    }
    EXPECT_EQ(wide, (std::map<juce::String, juce::String>{{"Lower channel", "3"},
                                                          {"Upper channel", "16"},
                                                          {"Knob mode", "Relative"},
                                                          {"Fader mode", "Normal"},
                                                          {"Split mode", "On"},
                                                          {"Split point", "C#3"}}));

    // Printed: no shaded backgrounds, no row cut by a page break.
    const auto style = html->getChildByName("head")->getChildByName("style")->getAllSubText();
    const auto print = style.fromFirstOccurrenceOf("@media print", false, false);
    EXPECT_TRUE(print.contains("background: none")) << style;
    EXPECT_TRUE(print.contains("tr {") && print.contains("break-inside: avoid")) << style;
    EXPECT_TRUE(print.contains("font-size")) << style;
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
