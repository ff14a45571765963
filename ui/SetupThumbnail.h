#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <bitset>

/** A small picture of the keyboard for the library's list: the panel's outline and keybed, every control
    faint, and the controls whose values differ from the factory configuration filled. Drawn from the
    picker's table of rectangles, scaled down. */
namespace SetupThumbnail
{
/** The picture's proportions: the keyboard picture's size in pixels. */
constexpr float pictureWidth = 1063.0f, pictureHeight = 317.0f;

/** The picture's colours, read from the default look and feel. */
enum ColourIds
{
    panelColourId = 0x7e00b01,     ///< The panel and the pads' block.
    keyColourId = 0x7e00b02,       ///< The keys.
    keyLineColourId = 0x7e00b03,   ///< The lines between the keys.
    controlColourId = 0x7e00b04,   ///< A control at its factory values.
    differingColourId = 0x7e00b05, ///< A control whose values differ from the factory configuration.
    outlineColourId = 0x7e00b06    ///< The picture's outline.
};

/** Draws the picture as large as fits in area, centred; greyed for a setup that cannot be used. */
void paint(juce::Graphics& g, juce::Rectangle<float> area, const std::bitset<128>& differing, bool greyed);
} // namespace SetupThumbnail
