#include "MidiChart.h"

namespace
{
const char* const chartTitle = "The Quillet Midi Chart";

void addRow(juce::XmlElement& table, const char* cellTag, const juce::StringArray& cells)
{
    auto* row = table.createNewChildElement("tr");
    for (const auto& text : cells)
        row->createNewChildElement(cellTag)->addTextElement(text);
}
} // namespace

std::unique_ptr<juce::XmlElement> createMidiChartXml(const SettingsState& state)
{
    auto html = std::make_unique<juce::XmlElement>("html");
    html->createNewChildElement("head")->createNewChildElement("title")->addTextElement(chartTitle);
    auto* body = html->createNewChildElement("body");
    body->createNewChildElement("h1")->addTextElement(chartTitle);

    auto* table = new juce::XmlElement("table");
    table->setAttribute("border", 1);
    addRow(*table, "th", {"Item", "Mode", "Channel", "Number", "Min/LSB", "Max/MSB"});

    for (const auto& [id, number] : state.numbers())
    {
        if (!isChartedItem(id))
            continue;
        addRow(*table, "td",
               {controlLabel(state, id), ControlCatalogue::modeShortName(state.get(itemFieldMode, id)),
                ControlCatalogue::channelChartText(state.get(itemFieldChannel, id)), juce::String(number),
                juce::String(state.get(itemFieldMinLsb, id)), juce::String(state.get(itemFieldMaxMsb, id))});
    }
    body->addChildElement(table);
    return html;
}

FileWriteResult writeMidiChart(const KbdSettingsStore& store, const juce::File& file, ReadOnlyFiles readOnly)
{
    return writeXmlDocument(*createMidiChartXml(store.snapshot()), file, readOnly);
}
