#include "ConfigComparison.h"

namespace
{
/** The configurable controls, listed once: a comparison runs on every status update of the window. */
const std::vector<int>& comparedControls()
{
    static const std::vector<int> ids = ControlCatalogue::configurableControls();
    return ids;
}

const juce::String& separator()
{
    static const juce::String dot(juce::CharPointer_UTF8(" \xc2\xb7 "));
    return dot;
}

/** The keyboard reports a two-way value only as its second choice or not, so only that is compared. */
bool sameGlobal(int id, int a, int b)
{
    const auto* info = ControlCatalogue::globalParam(id);
    if (info != nullptr && info->kind == GlobalKind::twoChoices && a >= 0 && b >= 0)
        return (a == 127) == (b == 127);
    return a == b;
}

juce::String controlText(const SettingsState& mine, const SettingsState& theirs, int id)
{
    juce::String text(ControlCatalogue::messageName(id));
    const auto named = mine.names.find(id);
    if (named != mine.names.end())
        return text + " \"" + juce::String::fromUTF8(named->second.c_str()) + "\"";
    const auto other = theirs.names.find(id);
    if (other != theirs.names.end())
        return text + " \"" + juce::String::fromUTF8(other->second.c_str()) + "\"";
    return text;
}

const char* fieldPanelLabel(int field)
{
    for (const auto& f : fieldTable)
        if (f.field == field)
            return f.panelLabel;
    return "Value";
}
} // namespace

juce::String ConfigComparison::Row::describe() const
{
    return control + separator() + fieldLabel + separator() + mineText + separator() + theirsText;
}

SettingsState ConfigComparison::unknownState()
{
    SettingsState s;
    s.globals.fill(-1);
    return s;
}

juce::String ConfigComparison::valueText(int field, int id, int value, const juce::String& absentWord)
{
    if (value < 0)
        return absentWord;
    if (field == globalField)
        return ControlCatalogue::globalValueText(id, value);
    if (field == itemFieldMode)
        return value < numItemModes ? juce::String(ControlCatalogue::modePanelTexts()[(size_t)value])
                                    : "? (" + juce::String(value) + ")";
    if (field == itemFieldChannel)
    {
        const int index = ControlCatalogue::channelListIndex(value);
        return index >= 0 ? juce::String(ControlCatalogue::channelList()[(size_t)index].text)
                          : "? (" + juce::String(value) + ")";
    }
    return juce::String(value);
}

ConfigComparison ConfigComparison::between(const SettingsState& mine, const SettingsState& theirs,
                                           const juce::String& mineAbsent, const juce::String& theirsAbsent)
{
    ConfigComparison c;
    for (int id : comparedControls())
    {
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
        {
            const int a = mine.get(field, id), b = theirs.get(field, id);
            if (a == b && a >= 0)
                continue;
            if (a < 0 && b < 0)
                continue; // neither side has it: nothing to take either way
            c.differences.push_back({field, id, a, b, controlText(mine, theirs, id), fieldPanelLabel(field),
                                     valueText(field, id, a, mineAbsent),
                                     valueText(field, id, b, theirsAbsent)});
        }
    }
    for (int id : sentGlobalParams)
    {
        const int a = mine.globals[(size_t)id], b = theirs.globals[(size_t)id];
        if ((a < 0 && b < 0) || (sameGlobal(id, a, b) && a >= 0))
            continue;
        c.differences.push_back(
            {globalField, id, a, b, "Global Parameters", ControlCatalogue::globalParam(id)->label,
             valueText(globalField, id, a, mineAbsent), valueText(globalField, id, b, theirsAbsent)});
    }
    return c;
}

int ConfigComparison::differing() const
{
    int n = 0;
    for (const auto& r : differences)
        n += r.isUnknown() ? 0 : 1;
    return n;
}

std::vector<int> ConfigComparison::unknownControls() const
{
    std::vector<int> ids;
    for (const auto& r : differences)
        if (r.isUnknown() && r.field != globalField && (ids.empty() || ids.back() != r.id))
            ids.push_back(r.id);
    return ids;
}

std::vector<int> ConfigComparison::differingControls() const
{
    std::vector<int> ids;
    for (const auto& r : differences)
        if (r.field != globalField && (ids.empty() || ids.back() != r.id))
            ids.push_back(r.id);
    return ids;
}

juce::String ConfigComparison::summary() const
{
    if (identical())
        return "Identical";
    const int n = differing(), u = unknown();
    juce::String text;
    if (n > 0 || u == 0)
        text << n << (n == 1 ? " value differs" : " values differ");
    if (u > 0)
        text << (n > 0 ? "; " : "") << u << (u == 1 ? " value" : " values") << " not known on both sides";
    return text;
}

void ConfigComparison::takeTheirs(SettingsState& state, const std::vector<size_t>& rowIndices) const
{
    for (size_t i : rowIndices)
    {
        if (i >= differences.size() || differences[i].theirs < 0)
            continue;
        const auto& r = differences[i];
        if (r.field == globalField)
            state.globals[(size_t)r.id] = (int16_t)r.theirs;
        else
            state.set(r.field, r.id, r.theirs);
    }
}
