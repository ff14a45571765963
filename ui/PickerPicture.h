#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The keyboard picture under the picker's controls, with what it lacks painted over it: the captions and
    the breath-control socket. */
class PickerPicture
{
public:
    /** The picture, decoded at its first use: the first paint, once the window is on the screen; larger: the
        one of twice the size, for zooms above 100 percent. */
    const juce::Image& get(bool larger = false) const;
    /** Paints the picture, its captions and the socket over the picker's whole area. */
    void paint(juce::Graphics& g) const;

private:
    // Decoded when first painted, once the window has been put on the screen: on a machine with few cores,
    // decoding beside the building of the window slowed both.
    mutable juce::Image picture, largerPicture;
};
