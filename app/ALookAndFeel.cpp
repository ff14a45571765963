#include "ALookAndFeel.h"

#include <QuilletBinaryData.h>

ALookAndFeel::ALookAndFeel()
{
    setColour(juce::ComboBox::outlineColourId, juce::Colour(0xFF959595));
    setColour(juce::ComboBox::buttonColourId, juce::Colour(0xFFD7D7D7));
    setColour(juce::ComboBox::arrowColourId, juce::Colour(0xFF595959));
}

juce::Path ALookAndFeel::buttonShape(float w, float h, int flags)
{
    const bool left = (flags & juce::Button::ConnectedOnLeft) != 0;
    const bool right = (flags & juce::Button::ConnectedOnRight) != 0;
    const bool top = (flags & juce::Button::ConnectedOnTop) != 0;
    const bool bottom = (flags & juce::Button::ConnectedOnBottom) != 0;

    const float cs = juce::jmin(0.3f * w, 0.3f * h);
    const float x = left ? 0.1f : 0.5f, y = top ? 0.1f : 0.5f;
    const float x2 = w - (right ? 0.1f : 0.5f), y2 = h - (bottom ? 0.1f : 0.5f);
    const bool roundTL = !(left || top), roundTR = !(right || top);
    const bool roundBR = !(right || bottom), roundBL = !(left || bottom);
    const float halfPi = juce::MathConstants<float>::halfPi;

    // Starts on the left edge and runs clockwise; a corner is rounded only where neither side is connected.
    juce::Path p;
    p.startNewSubPath(x, roundTL ? y + cs : y);
    if (roundTL)
        p.addCentredArc(x + cs, y + cs, cs, cs, 0.0f, -halfPi, 0.0f);
    p.lineTo(roundTR ? x2 - cs : x2, y);
    if (roundTR)
        p.addCentredArc(x2 - cs, y + cs, cs, cs, 0.0f, 0.0f, halfPi);
    p.lineTo(x2, roundBR ? y2 - cs : y2);
    if (roundBR)
        p.addCentredArc(x2 - cs, y2 - cs, cs, cs, 0.0f, halfPi, 2.0f * halfPi);
    p.lineTo(roundBL ? x + cs : x, y2);
    if (roundBL)
        p.addCentredArc(x + cs, y2 - cs, cs, cs, 0.0f, 2.0f * halfPi, 3.0f * halfPi);
    p.closeSubPath();
    return p;
}

juce::Colour ALookAndFeel::buttonFill(juce::Colour colour, bool isMouseOver)
{
    if (!isMouseOver)
        return colour;
    colour = colour.getBrightness() > 0.5f ? colour.darker(0.1f) : colour.brighter(0.3f);
    const float a = colour.getFloatAlpha();
    return colour.withAlpha(a > 0.5f ? a - 0.2f : a + 0.2f);
}

void ALookAndFeel::drawButtonBackground(juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                        bool isMouseOverButton, bool)
{
    const auto shape =
        buttonShape((float)button.getWidth(), (float)button.getHeight(), button.getConnectedEdgeFlags());
    g.setColour(buttonFill(button.findColour(juce::TextButton::buttonOnColourId), isMouseOverButton));
    g.fillPath(shape);
    g.setColour(button.findColour(juce::TextButton::textColourOffId));
    g.strokePath(shape,
                 juce::PathStrokeType(1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void ALookAndFeel::drawButtonText(juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    auto font = getTextButtonFont(button, button.getHeight()).boldened();
    g.setFont(font);
    g.setColour(button.findColour(button.getToggleState() ? juce::TextButton::textColourOnId
                                                          : juce::TextButton::textColourOffId));
    const int yIndent = juce::jmin(4, button.proportionOfHeight(0.3f));
    const int xIndent = juce::roundToInt(font.getHeight() * 0.6f) / 2;
    g.drawFittedText(button.getButtonText(), xIndent, yIndent, button.getWidth() - 2 * xIndent,
                     button.getHeight() - 2 * yIndent, juce::Justification::centred, 2, 0.7f);
}

//==============================================================================
juce::TextLayout ALookAndFeel::layoutTooltip(const juce::String& text, juce::Colour colour)
{
    juce::AttributedString s;
    s.setJustification(juce::Justification::centredLeft);
    s.setWordWrap(juce::AttributedString::byWord);
    s.append(text, juce::Font(12.0f, juce::Font::plain), colour);
    juce::TextLayout layout;
    layout.createLayoutWithBalancedLineLengths(s, 400.0f);
    return layout;
}

void ALookAndFeel::getTooltipSize(const juce::String& tipText, int& width, int& height)
{
    const auto layout = layoutTooltip(tipText, juce::Colours::black);
    width = (int)(layout.getWidth() + 14.0f);
    height = (int)(layout.getHeight() + 10.0f);
}

juce::Rectangle<int> ALookAndFeel::getTooltipBounds(const juce::String& tipText, juce::Point<int> screenPos,
                                                    juce::Rectangle<int> parentArea)
{
    int w, h;
    getTooltipSize(tipText, w, h);
    // The toolkit's usual placement: beside the mouse, away from the nearer screen edges.
    return juce::Rectangle<int>(
               screenPos.x > parentArea.getCentreX() ? screenPos.x - (w + 12) : screenPos.x + 24,
               screenPos.y > parentArea.getCentreY() ? screenPos.y - (h + 6) : screenPos.y + 6, w, h)
        .constrainedWithin(parentArea);
}

void ALookAndFeel::drawTooltip(juce::Graphics& g, const juce::String& text, int width, int height)
{
    g.fillAll(findColour(juce::TooltipWindow::backgroundColourId));
    g.setColour(findColour(juce::TooltipWindow::outlineColourId));
    g.drawRect(0, 0, width, height, 1);

    const auto layout = layoutTooltip(text, findColour(juce::TooltipWindow::textColourId));
    const float lw = layout.getWidth(), lh = layout.getHeight();
    layout.draw(g, {((float)width - lw) / 2.0f, ((float)height - lh) / 2.0f, lw, lh});
}

//==============================================================================
juce::Typeface::Ptr ALookAndFeel::getTypefaceForFont(const juce::Font& font)
{
    // Made once, on first use: a typeface made from memory is shared by every font that asks for it.
    static const juce::Typeface::Ptr regular = juce::Typeface::createSystemTypefaceFor(
        QuilletBinaryData::DejaVuSansLatin_ttf, (size_t)QuilletBinaryData::DejaVuSansLatin_ttfSize);
    static const juce::Typeface::Ptr bold = juce::Typeface::createSystemTypefaceFor(
        QuilletBinaryData::DejaVuSansBoldLatin_ttf, (size_t)QuilletBinaryData::DejaVuSansBoldLatin_ttfSize);
    return font.isBold() ? bold : regular;
}
