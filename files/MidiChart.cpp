#include "MidiChart.h"

namespace
{
const char* const chartTitle = "The Quillet Midi Chart";

void addRow(juce::XmlElement& table, const char* cellTag, const std::array<juce::String, 6>& cells)
{
    auto* row = table.createNewChildElement("tr");
    for (const auto& text : cells)
        row->createNewChildElement(cellTag)->addTextElement(text);
}
} // namespace

std::vector<std::array<juce::String, 6>> assignmentRows(const SettingsState& state)
{
    std::vector<std::array<juce::String, 6>> rows(1);
    rows[0][0] = "Item";
    for (size_t i = 0; i < std::size(fieldTable); ++i)
        rows[0][i + 1] = ControlCatalogue::fieldHeading(fieldTable[i].field);
    for (const auto& [id, number] : state.numbers())
    {
        if (!isChartedItem(id))
            continue;
        rows.push_back(
            {controlLabel(state, id), ControlCatalogue::modeShortName(state.get(itemFieldMode, id)),
             ControlCatalogue::channelChartText(state.get(itemFieldChannel, id)), juce::String(number),
             juce::String(state.get(itemFieldMinLsb, id)), juce::String(state.get(itemFieldMaxMsb, id))});
    }
    return rows;
}

std::unique_ptr<juce::XmlElement> createMidiChartXml(const SettingsState& state)
{
    auto html = std::make_unique<juce::XmlElement>("html");
    html->createNewChildElement("head")->createNewChildElement("title")->addTextElement(chartTitle);
    auto* body = html->createNewChildElement("body");
    body->createNewChildElement("h1")->addTextElement(chartTitle);

    auto* table = new juce::XmlElement("table");
    table->setAttribute("border", 1);
    const auto rows = assignmentRows(state);
    for (size_t i = 0; i < rows.size(); ++i)
        addRow(*table, i == 0 ? "th" : "td", rows[i]);
    body->addChildElement(table);
    return html;
}

FileWriteResult writeMidiChart(const KbdSettingsStore& store, const juce::File& file, ReadOnlyFiles readOnly)
{
    return writeXmlDocument(*createMidiChartXml(store.snapshot()), file, readOnly);
}
