#include "SetupThumbnail.h"

#include "PickerLayout.h"

namespace
{
// Where the picture's parts lie, in its pixels: the control panel above the keybed, the wheels' block on
// the left of the keys, the pads' block over the keys on the right.
constexpr float keybedTop = 150.0f, keysLeft = 105.0f;
const juce::Rectangle<float> padsBlock{730.0f, 195.0f, 318.0f, 77.0f};
constexpr int whiteKeys = 29;
} // namespace

void SetupThumbnail::paint(juce::Graphics& g, juce::Rectangle<float> area, const std::bitset<128>& differing,
                           bool greyed)
{
    const float scale = juce::jmin(area.getWidth() / pictureWidth, area.getHeight() / pictureHeight);
    const auto r = area.withSizeKeepingCentre(pictureWidth * scale, pictureHeight * scale);
    const auto map = [&r, scale](juce::Rectangle<float> p)
    {
        return juce::Rectangle<float>(r.getX() + p.getX() * scale, r.getY() + p.getY() * scale,
                                      p.getWidth() * scale, p.getHeight() * scale);
    };
    const auto tone = [greyed](int colourId)
    {
        const auto c = juce::LookAndFeel::getDefaultLookAndFeel().findColour(colourId);
        return greyed ? c.withSaturation(0.0f).withAlpha(0.45f) : c;
    };

    juce::Graphics::ScopedSaveState saved(g);
    g.reduceClipRegion(r.toNearestIntEdges());
    g.setColour(tone(panelColourId));
    g.fillRect(r);
    // The keys: white ones with a thin line between each.
    const auto keys = map({keysLeft, keybedTop, pictureWidth - keysLeft, pictureHeight - keybedTop});
    g.setColour(tone(keyColourId));
    g.fillRect(keys);
    g.setColour(tone(keyLineColourId));
    const float keyWidth = keys.getWidth() / (float)whiteKeys;
    for (int i = 1; i < whiteKeys; ++i)
        g.fillRect(keys.getX() + keyWidth * (float)i, keys.getY(), juce::jmax(0.5f, scale * 2.0f),
                   keys.getHeight());
    g.setColour(tone(panelColourId));
    g.fillRoundedRectangle(map(padsBlock), 6.0f * scale);

    for (const auto& spot : pickerSpots)
    {
        const bool differs = spot.id >= 0 && spot.id < (int)differing.size() && differing[(size_t)spot.id];
        g.setColour(tone(differs ? differingColourId : controlColourId));
        // At this size a control is a few pixels: at least one and a half, so that a fader stays visible.
        auto box = map({(float)spot.x, (float)spot.y, (float)spot.w, (float)spot.h});
        box = box.withSizeKeepingCentre(juce::jmax(1.5f, box.getWidth()), juce::jmax(1.5f, box.getHeight()));
        g.fillRect(differs ? box.expanded(0.5f) : box);
    }
    g.setColour(tone(outlineColourId));
    g.drawRect(r, 1.0f);
}
