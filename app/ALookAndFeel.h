#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The editor's own look: the classic look with grey combo boxes, flat rounded text buttons with bold
    text, and small plain tooltips. Every text is drawn in the embedded sans face (regular or bold), so the
    toolkit never needs the system's fonts. */
class ALookAndFeel : public juce::LookAndFeel_V2
{
public:
    ALookAndFeel();
    ~ALookAndFeel() override = default;

    void drawButtonBackground(juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                              bool isMouseOverButton, bool isButtonDown) override;
    void drawButtonText(juce::Graphics& g, juce::TextButton& button, bool isMouseOverButton,
                        bool isButtonDown) override;

    /** The size a tooltip needs: its text laid out, plus a margin. */
    void getTooltipSize(const juce::String& tipText, int& width, int& height);
    juce::Rectangle<int> getTooltipBounds(const juce::String& tipText, juce::Point<int> screenPos,
                                          juce::Rectangle<int> parentArea) override;
    void drawTooltip(juce::Graphics& g, const juce::String& text, int width, int height) override;

    /** The embedded face for every font: bold ones get the bold face, all others the regular one. */
    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;

    //==============================================================================
    /** The outline of a text button's background, for its size and connected edges. */
    static juce::Path buttonShape(float width, float height, int connectedEdgeFlags);
    /** The fill colour of a text button's background. */
    static juce::Colour buttonFill(juce::Colour onColour, bool isMouseOver);

private:
    static juce::TextLayout layoutTooltip(const juce::String& text, juce::Colour colour);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ALookAndFeel)
};
