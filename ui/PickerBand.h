#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The band dragged over the picture's background to select the controls under it: drawn over the picture
    while the mouse drags, handed on when it is let go. It lies over the whole picture without taking its
    clicks. */
class PickerBand : public juce::Component
{
public:
    /** The colours of the band. */
    enum ColourIds
    {
        fillColourId = 0x7e00401,
        outlineColourId = 0x7e00402
    };

    /** Listens to the mouse over owner's own background (not over its controls) and lies over it. */
    explicit PickerBand(juce::Component& owner);
    ~PickerBand() override;

    /** The area let go, in the owner's coordinates; adding when Ctrl was held. */
    std::function<void(juce::Rectangle<int> area, bool adding)> onBand;

    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;

private:
    void show(juce::Rectangle<int> area);

    juce::Component& owner;
    juce::Point<int> start;
    juce::Rectangle<int> band;
    bool dragging = false;
};
