#include "TagChipRow.h"

#include "LibraryRow.h"

TagChipRow::TagChipRow()
{
    setViewedComponent(&row, false);
    setScrollBarsShown(false, true, false, true);
    setScrollBarThickness(6);
}

void TagChipRow::setChipColours(juce::Button& b)
{
    const bool on = b.getToggleState();
    const auto chipOn = b.findColour(chipOnColourId);
    b.setColour(juce::TextButton::buttonOnColourId, on ? chipOn : b.findColour(LibraryRow::tagFillColourId));
    b.setColour(juce::TextButton::textColourOnId, juce::Colours::white);
    b.setColour(juce::TextButton::textColourOffId,
                on ? chipOn.darker(0.3f) : b.findColour(LibraryRow::tagTextColourId));
}

void TagChipRow::show(const juce::StringArray& newTags, const juce::String& chosen)
{
    if (newTags != tags)
        rebuild(newTags);
    for (int i = 0; i < chips.size(); ++i)
    {
        chips[i]->setToggleState(tags[i - 1] == chosen, juce::dontSendNotification);
        setChipColours(*chips[i]);
    }
}

void TagChipRow::rebuild(const juce::StringArray& newTags)
{
    tags = newTags;
    chips.clear();
    // The first chip shows every setup; the others one tag each.
    for (int i = -1; i < tags.size(); ++i)
    {
        auto* c = chips.add(new juce::TextButton(i < 0 ? juce::String("All") : tags[i]));
        c->setClickingTogglesState(false);
        c->onClick = [this, tag = i < 0 ? juce::String() : tags[i]]
        {
            if (onChosen)
                onChosen(tag);
        };
        row.addAndMakeVisible(c);
    }
    layOut();
}

void TagChipRow::layOut()
{
    const juce::Font font(13.0f, juce::Font::bold);
    int x = 0;
    for (auto* c : chips)
    {
        const int w = juce::jmax(44, font.getStringWidth(c->getButtonText()) + 22);
        c->setBounds(x, 0, w, 24);
        x += w + 6;
    }
    row.setSize(juce::jmax(x, getWidth()), 24);
}

juce::Button* TagChipRow::chip(const juce::String& tag)
{
    for (int i = 0; i < chips.size(); ++i)
        if (tags[i - 1] == tag && (i > 0 || tag.isEmpty()))
            return chips[i];
    return nullptr;
}

void TagChipRow::resized()
{
    Viewport::resized();
    layOut();
}
