#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A picture button that draws from pictures of twice its size wherever a pixel of its layout is more than
    one pixel of the screen (a zoom above 100 percent), so that its lettering stays sharp. The larger pictures
    are decoded the first time they are needed: at 100 percent they cost nothing. */
class SharpImageButton : public juce::ImageButton
{
public:
    using juce::ImageButton::ImageButton;

    /** A picture in the program's data: its bytes and their count. */
    struct Source
    {
        const void* data = nullptr;
        int size = 0;
    };
    /** The normal, hovered and pressed pictures at twice the size of those given to setImages. */
    void setLargerImages(Source normal, Source over, Source down);

    void paintButton(juce::Graphics& g, bool highlighted, bool down) override;

private:
    Source largerSources[3];
};
