#include "LibraryRow.h"

#include "SetupThumbnail.h"

namespace
{
constexpr int thumbnailWidth = 150;

juce::Path starShape(juce::Rectangle<float> area)
{
    juce::Path star;
    star.addStar(area.getCentre(), 5, area.getWidth() * 0.22f, area.getWidth() * 0.5f);
    return star;
}
} // namespace

void LibraryRow::paint(juce::Graphics& g, const SetupEntry& entry, bool favourite, int width, int height,
                       bool selected)
{
    const auto colour = [](int id)
    {
        return juce::LookAndFeel::getDefaultLookAndFeel().findColour(id);
    };
    const auto starColour = colour(starColourId), quietColour = colour(quietTextColourId);
    g.fillAll(selected ? colour(selectedRowColourId) : juce::Colours::white);
    g.setColour(colour(rowLineColourId));
    g.fillRect(0, height - 1, width, 1);

    auto area = juce::Rectangle<int>(0, 0, width, height - 1);
    const auto starArea = area.removeFromLeft(starWidth).toFloat().withSizeKeepingCentre(16.0f, 16.0f);
    const auto star = starShape(starArea);
    if (favourite)
    {
        g.setColour(starColour);
        g.fillPath(star);
    }
    g.setColour(favourite ? starColour.darker(0.3f) : colour(starOutlineColourId));
    g.strokePath(star, juce::PathStrokeType(1.0f));

    const auto picture = area.removeFromRight(thumbnailWidth + 12).reduced(6, 5).toFloat();
    SetupThumbnail::paint(g, picture, entry.differing, !entry.isUsable());

    area.reduce(4, 6);
    const bool usable = entry.isUsable();
    g.setColour(usable ? colour(textColourId) : quietColour);
    g.setFont(juce::Font(15.0f, juce::Font::bold));
    g.drawFittedText(entry.displayTitle(), area.removeFromTop(20), juce::Justification::centredLeft, 1, 0.8f);
    area.removeFromTop(3);
    auto line = area.removeFromTop(18);
    if (!usable)
    {
        g.setColour(colour(problemColourId));
        g.setFont(juce::Font(12.5f));
        g.drawFittedText("Cannot be used: " + entry.problem, line, juce::Justification::centredLeft, 1, 0.8f);
        return;
    }
    // The tags as small pills, then as much of the description as fits.
    const juce::Font tagFont(11.5f);
    for (const auto& tag : entry.info.tags)
    {
        const int w = tagFont.getStringWidth(tag) + 12;
        if (w > line.getWidth())
            break;
        const auto pill = line.removeFromLeft(w).toFloat().reduced(0.0f, 1.0f);
        g.setColour(colour(tagFillColourId));
        g.fillRoundedRectangle(pill, 7.0f);
        g.setColour(colour(tagTextColourId));
        g.setFont(tagFont);
        g.drawText(tag, pill, juce::Justification::centred, false);
        line.removeFromLeft(4);
    }
    g.setColour(quietColour);
    g.setFont(juce::Font(12.5f));
    g.drawFittedText(entry.info.description.upToFirstOccurrenceOf("\n", false, false),
                     line.withTrimmedLeft(2), juce::Justification::centredLeft, 1, 0.9f);
}
