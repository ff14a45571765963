#include "MidiChart.h"

#include "../model/ValueMeaning.h"

namespace
{
const char* const chartTitle = "The Quillet Midi Chart";
const char* const keyboardWideTitle = "Keyboard-wide values";

// On paper: no shaded backgrounds, no row cut in two by a page break, and a size that reads at arm's length.
const char* const chartStyle = "table { border-collapse: collapse; margin-bottom: 1.5em; }\n"
                               "th, td { padding: 2px 8px; text-align: left; }\n"
                               "th { background-color: #e8e8e8; }\n"
                               "@media print {\n"
                               "  * { background: none !important; color: black !important; }\n"
                               "  body { font-size: 11pt; }\n"
                               "  tr { page-break-inside: avoid; break-inside: avoid; }\n"
                               "}\n";

template <size_t columns>
void addRow(juce::XmlElement& table, const char* cellTag, const std::array<juce::String, columns>& cells)
{
    auto* row = table.createNewChildElement("tr");
    for (const auto& text : cells)
        row->createNewChildElement(cellTag)->addTextElement(text);
}

juce::String utf8(const std::string& text)
{
    return juce::String::fromUTF8(text.c_str(), (int)text.size());
}

// The control's own name, and the user's beside it when the user gave one.
juce::String nameCell(const SettingsState& state, int id)
{
    const char* own = ControlCatalogue::displayName(id);
    const auto ownName = own != nullptr ? juce::String(own) : juce::String(id);
    const auto label = controlLabel(state, id);
    return state.names.count(id) != 0 && label != ownName ? ownName + " (" + label + ")" : ownName;
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
        const int mode = state.get(itemFieldMode, id), channel = state.get(itemFieldChannel, id);
        rows.push_back({nameCell(state, id), ControlCatalogue::modeShortName(mode),
                        ControlCatalogue::channelChartText(channel),
                        utf8(ValueMeaning::numberWithMeaning(mode, channel, number)),
                        juce::String(state.get(itemFieldMinLsb, id)),
                        juce::String(state.get(itemFieldMaxMsb, id))});
    }
    return rows;
}

std::vector<std::array<juce::String, 2>> keyboardWideRows(const SettingsState& state)
{
    std::vector<std::array<juce::String, 2>> rows;
    for (int id : sentGlobalParams)
        rows.push_back({ControlCatalogue::globalParam(id)->label,
                        utf8(ControlCatalogue::globalValueText(id, state.globals[(size_t)id]))});
    return rows;
}

std::unique_ptr<juce::XmlElement> createMidiChartXml(const SettingsState& state)
{
    auto html = std::make_unique<juce::XmlElement>("html");
    auto* head = html->createNewChildElement("head");
    head->createNewChildElement("title")->addTextElement(chartTitle);
    head->createNewChildElement("style")->addTextElement(chartStyle);
    auto* body = html->createNewChildElement("body");
    body->createNewChildElement("h1")->addTextElement(chartTitle);

    auto* table = body->createNewChildElement("table");
    table->setAttribute("border", 1);
    const auto rows = assignmentRows(state);
    for (size_t i = 0; i < rows.size(); ++i)
        addRow(*table, i == 0 ? "th" : "td", rows[i]);

    body->createNewChildElement("h2")->addTextElement(keyboardWideTitle);
    auto* globals = body->createNewChildElement("table");
    globals->setAttribute("border", 1);
    globals->setAttribute("class", "keyboard-wide");
    for (const auto& row : keyboardWideRows(state))
        addRow(*globals, "td", row);
    return html;
}

FileWriteResult writeMidiChart(const KbdSettingsStore& store, const juce::File& file, ReadOnlyFiles readOnly)
{
    return writeXmlDocument(*createMidiChartXml(store.snapshot()), file, readOnly);
}
