#include "SharpImageButton.h"

void SharpImageButton::setLargerImages(Source normal, Source over, Source down)
{
    largerSources[0] = normal;
    largerSources[1] = over;
    largerSources[2] = down;
}

void SharpImageButton::paintButton(juce::Graphics& g, bool highlighted, bool down)
{
    if (g.getInternalContext().getPhysicalPixelScaleFactor() <= 1.01f)
        return ImageButton::paintButton(g, highlighted, down);
    // The same choice of picture as the plain button makes.
    const int which = isDown() || getToggleState() ? 2 : isOver() ? 1 : 0;
    const auto& source = largerSources[which];
    const auto picture = juce::ImageCache::getFromMemory(source.data, source.size);
    if (!picture.isValid())
        return ImageButton::paintButton(g, highlighted, down);
    g.setOpacity(1.0f);
    g.drawImage(picture, getLocalBounds().toFloat(), juce::RectanglePlacement::centred);
}
