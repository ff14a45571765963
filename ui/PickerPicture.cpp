#include "PickerPicture.h"

#include "OpaquePicture.h"

#include <QuilletBinaryData.h>

const juce::Image& PickerPicture::get(bool larger) const
{
    if (larger && !largerPicture.isValid())
        largerPicture = decodeOpaquePicture(QuilletBinaryData::keyboard_2x_png,
                                            (size_t)QuilletBinaryData::keyboard_2x_pngSize);
    if (larger && largerPicture.isValid())
        return largerPicture;
    if (!picture.isValid())
        picture =
            decodeOpaquePicture(QuilletBinaryData::keyboard_png, (size_t)QuilletBinaryData::keyboard_pngSize);
    return picture;
}

void PickerPicture::paint(juce::Graphics& g) const
{
    g.fillAll(juce::Colours::white);
    g.setColour(juce::Colours::black);
    // Where a pixel of the layout is more than one of the screen, the larger picture keeps it sharp.
    const auto& keyboard = get(g.getInternalContext().getPhysicalPixelScaleFactor() > 1.01f);
    g.drawImage(keyboard, 0, 0, 1063, 317, 0, 0, keyboard.getWidth(), keyboard.getHeight(), false);

    // The captions are black whatever the look and feel says.
    const juce::Font captionFont(15.0f, juce::Font::plain);
    g.setColour(juce::Colours::black);
    g.setFont(captionFont);
    g.drawFittedText("Back Panel", 151, 278, 454, 30, juce::Justification::centred, 1);
    g.setColour(juce::Colours::black);
    g.setFont(captionFont);
    g.drawFittedText("Drum Pads", 729, 278, 305, 30, juce::Justification::centred, 1);

    // The picture has no breath-control socket: it is painted here, under its button.
    g.setColour(juce::Colour(0xFF1D1D1D));
    g.fillRect(408.0f, 240.0f, 11.0f, 10.0f);
}
