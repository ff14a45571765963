#include "PickerBand.h"

PickerBand::PickerBand(juce::Component& o) : owner(o)
{
    setInterceptsMouseClicks(false, false);
    owner.addMouseListener(this, false);
}

PickerBand::~PickerBand()
{
    owner.removeMouseListener(this);
}

void PickerBand::paint(juce::Graphics& g)
{
    if (band.isEmpty())
        return;
    g.setColour(findColour(fillColourId));
    g.fillRect(band);
    g.setColour(findColour(outlineColourId));
    g.drawRect(band, 1);
}

void PickerBand::show(juce::Rectangle<int> area)
{
    // Only what the band covered and covers is drawn again.
    repaint(band.getUnion(area).expanded(1));
    band = area;
}

void PickerBand::mouseDown(const juce::MouseEvent& e)
{
    dragging = e.eventComponent == &owner && !e.mods.isPopupMenu();
    start = e.getPosition();
}

void PickerBand::mouseDrag(const juce::MouseEvent& e)
{
    if (dragging && e.eventComponent == &owner)
        show(juce::Rectangle<int>(start, e.getPosition()).getIntersection(getLocalBounds()));
}

void PickerBand::mouseUp(const juce::MouseEvent& e)
{
    if (!dragging)
        return;
    dragging = false;
    const auto area = band;
    show({});
    // A click that barely moved is not a band.
    if (area.getWidth() > 3 || area.getHeight() > 3)
        if (onBand)
            onBand(area, e.mods.isCommandDown());
}
