#include "ValueHints.h"

#include "model/ValueMeaning.h"

ValueHints::ValueHints(juce::ComboBox& n, juce::ComboBox& lo, juce::ComboBox& hi)
    : number(n), minimum(lo), maximum(hi)
{
}

void ValueHints::update(int mode, int channelCode, int value)
{
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
    if (meaning.isNotEmpty() && number.getSelectedItemIndex() >= 0 && !isTyping(number))
    {
        // The box's own text names a controller, which means nothing in this mode.
        const auto area = textArea(number);
        g.setColour(number.findColour(juce::ComboBox::backgroundColourId));
        g.fillRect(area);
        g.setColour(number.findColour(juce::ComboBox::textColourId));
        g.setFont(juce::Font(14.0f));
        g.drawFittedText(juce::String(number.getSelectedItemIndex()) + " - " + meaning,
                         area.withTrimmedLeft(2), juce::Justification::centredLeft, 1, 0.8f);
    }
    g.setFont(juce::Font(11.0f));
    g.setColour(juce::Colours::black.withAlpha(0.45f));
    for (const auto* box : {&minimum, &maximum})
    {
        const auto& role = box == &minimum ? minimumRole : maximumRole;
        if (role.isNotEmpty() && !isTyping(*box))
            g.drawText(role, textArea(*box).withTrimmedRight(2), juce::Justification::centredRight, false);
    }
}
