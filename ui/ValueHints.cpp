#include "ValueHints.h"

#include "model/ValueMeaning.h"

namespace
{
/** What the number is in a mode where it is not a controller; empty where it is. */
juce::String numberName(int mode)
{
    switch (mode)
    {
    case modeMidiNote:
    case modeNoteToggle:
        return "Note";
    case modePatchChange:
        return "Program";
    case modeKeyboardPreset:
        return "Preset";
    case modeMmc:
        return "MMC";
    case modeRpn:
        return "RPN";
    case modeNrpn:
        return "NRPN";
    default:
        return {};
    }
}

/** The number's entry in the list, in the mode's meaning: "36 - C1 · Bass Drum 1" for a note on the drum
    channel, "60 - C3" on another; empty in a mode whose number is a controller, which the list already
    names. */
juce::String entryFor(int mode, int channelCode, int n)
{
    if (ValueMeaning::shortMeaning(mode, channelCode, n).empty())
        return {};
    return juce::String::fromUTF8(ValueMeaning::numberWithMeaning(mode, channelCode, n).c_str());
}
} // namespace

ValueHints::ValueHints(juce::Label& l, juce::ComboBox& n, juce::ComboBox& lo, juce::ComboBox& hi)
    : numberLabel(l), number(n), minimum(lo), maximum(hi)
{
}

void ValueHints::update(int mode, int channelCode, int value)
{
    showEntries(mode, channelCode);
    meaning = mode < 0 ? juce::String() : juce::String(ValueMeaning::ofNumber(mode, channelCode, value));
    minimumRole = mode < 0 ? juce::String() : juce::String(ValueMeaning::roleOf(mode, itemFieldMinLsb));
    maximumRole = mode < 0 ? juce::String() : juce::String(ValueMeaning::roleOf(mode, itemFieldMaxMsb));
    if (!ownTips)
        ownTips =
            std::array<juce::String, 3>{number.getTooltip(), minimum.getTooltip(), maximum.getTooltip()};
    const auto tip = [](const juce::String& own, const juce::String& now)
    {
        return now.isEmpty() ? own : own + "\nIn this mode: " + now;
    };
    number.setTooltip(tip((*ownTips)[0], meaning));
    minimum.setTooltip(tip((*ownTips)[1], minimumRole));
    maximum.setTooltip(tip((*ownTips)[2], maximumRole));
}

void ValueHints::showEntries(int mode, int channelCode)
{
    // The panel's label, title and controllers' list, taken at the first update, are kept for the modes
    // whose number is a controller.
    if (!ownLabel)
    {
        ownLabel = numberLabel.getText();
        ownTitle = number.getTitle();
        for (int i = 0; i < number.getNumItems(); ++i)
            controllerEntries.add(number.getItemText(i));
    }
    const auto named = numberName(mode);
    numberLabel.setText(named.isEmpty() ? *ownLabel : named + ":", juce::dontSendNotification);
    number.setTitle(named.isEmpty() ? *ownTitle : named);

    // The entries follow the mode and the channel alone: renamed only when one of them changed.
    if (entriesShownFor == std::make_pair(mode, channelCode))
        return;
    entriesShownFor = std::make_pair(mode, channelCode);
    // Renamed in place: the box keeps its item ids and its listeners' view of them. The box counts an entry
    // as selected only while its text is the entry's, so the selection is taken first.
    const int selected = number.getSelectedItemIndex();
    for (int n = 0; n < controllerEntries.size(); ++n)
    {
        const auto entry = mode < 0 ? juce::String() : entryFor(mode, channelCode, n);
        number.changeItemText(number.getItemId(n), entry.isNotEmpty() ? entry : controllerEntries[n]);
    }
    if (selected >= 0)
        number.setText(number.getItemText(selected), juce::dontSendNotification);
}

bool ValueHints::isTyping(const juce::ComboBox& box)
{
    for (auto* child : box.getChildren())
        if (auto* label = dynamic_cast<juce::Label*>(child); label != nullptr && label->isBeingEdited())
            return true;
    return false;
}

juce::Rectangle<int> ValueHints::textArea(const juce::ComboBox& box)
{
    // Up to the arrow, which is as wide as the box is high.
    auto area = box.getBounds().reduced(2);
    area.setRight(box.getRight() - box.getHeight());
    return area;
}

void ValueHints::paint(juce::Graphics& g) const
{
    g.setFont(juce::Font(11.0f));
    g.setColour(juce::Colours::black.withAlpha(0.45f));
    for (const auto* box : {&minimum, &maximum})
    {
        const auto& role = box == &minimum ? minimumRole : maximumRole;
        if (role.isNotEmpty() && !isTyping(*box))
            g.drawText(role, textArea(*box).withTrimmedRight(2), juce::Justification::centredRight, false);
    }
}
