#include "ALookAndFeel.h"

#include "MainWindow.h"

#include "ui/EditorColours.h"

#include <QuilletBinaryData.h>

namespace
{
// The mark on the warning icon's amber.
const juce::Colour iconInk(0xFF1D1D1D);
constexpr float panelFontHeight = 15.0f;
} // namespace

ALookAndFeel::ALookAndFeel()
{
    setColour(juce::ComboBox::outlineColourId, juce::Colour(0xFF959595));
    setColour(juce::ComboBox::buttonColourId, juce::Colour(0xFFD7D7D7));
    setColour(juce::ComboBox::arrowColourId, juce::Colour(0xFF595959));
    setColour(MainAppWindow::backgroundColourId, juce::Colour(0xFFF0FFFF));
    setEditorColours(*this);
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
    // Lit or darkened, then made more see-through when opaque: the hovered button's look, dark or light.
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
juce::Font ALookAndFeel::getPopupMenuFont()
{
    return juce::Font(panelFontHeight);
}

juce::Font ALookAndFeel::getMenuBarFont(juce::MenuBarComponent&, int, const juce::String&)
{
    return getPopupMenuFont();
}

juce::PopupMenu::Options ALookAndFeel::getOptionsForComboBoxPopupMenu(juce::ComboBox& box, juce::Label& label)
{
    // Shown as a child of the window rather than on the desktop, a list of 128 entries is bounded by the
    // window and scrolls there instead of running to the screen's edges.
    auto options = LookAndFeel_V2::getOptionsForComboBoxPopupMenu(box, label);
    if (auto* window = box.getTopLevelComponent(); window != nullptr && window != &box)
        options = options.withParentComponent(window);
    return options;
}

juce::Font ALookAndFeel::fontToFit(const juce::Font& font, const juce::String& text, float width)
{
    // Three points smaller at the most: below that the text no longer matches the panel's.
    const float smallest = font.getHeight() - 3.0f;
    auto fitted = font;
    while (fitted.getHeight() > smallest && fitted.getStringWidthFloat(text) > width)
        fitted.setHeight(juce::jmax(smallest, fitted.getHeight() - 0.5f));
    return fitted;
}

void ALookAndFeel::drawLabel(juce::Graphics& g, juce::Label& label)
{
    if (label.isBeingEdited() || dynamic_cast<juce::ComboBox*>(label.getParentComponent()) == nullptr)
        return LookAndFeel_V2::drawLabel(g, label);

    g.fillAll(label.findColour(juce::Label::backgroundColourId));
    const auto area = getLabelBorderSize(label).subtractedFrom(label.getLocalBounds());
    const float alpha = label.isEnabled() ? 1.0f : 0.5f;
    g.setColour(label.findColour(juce::Label::textColourId).withMultipliedAlpha(alpha));
    g.setFont(fontToFit(getLabelFont(label), label.getText(), (float)area.getWidth()));
    // A horizontal scale of 1 cuts what still does not fit with an ellipsis instead of squeezing it.
    g.drawFittedText(label.getText(), area, label.getJustificationType(), 1, 1.0f);
    g.setColour(label.findColour(juce::Label::outlineColourId).withMultipliedAlpha(alpha));
    g.drawRect(label.getLocalBounds());
}

//==============================================================================
void ALookAndFeel::drawAlertBox(juce::Graphics& g, juce::AlertWindow& alert,
                                const juce::Rectangle<int>& textArea, juce::TextLayout& textLayout)
{
    const auto bounds = alert.getLocalBounds().toFloat();
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFFFCFCFC), 0.0f, 0.0f, juce::Colour(0xFFE4E4E4),
                                           0.0f, bounds.getBottom(), false));
    g.fillAll();

    // The box keeps an 80-pixel column left of its text for the icon: a 40-pixel icon sits in it whole.
    constexpr int iconColumn = 80;
    const auto type = alert.getAlertType();
    if (type != juce::MessageBoxIconType::NoIcon)
    {
        const juce::Rectangle<float> icon((float)textArea.getX() + 16.0f, (float)textArea.getY() + 4.0f,
                                          40.0f, 40.0f);
        juce::String mark;
        juce::Path shape;
        juce::Colour ink;
        if (type == juce::MessageBoxIconType::WarningIcon)
        {
            shape.addTriangle(icon.getCentreX(), icon.getY() + 1.0f, icon.getRight(), icon.getBottom() - 2.0f,
                              icon.getX(), icon.getBottom() - 2.0f);
            shape = shape.createPathWithRoundedCorners(4.0f);
            g.setColour(findColour(EditorColours::notSentColourId));
            mark = "!";
            ink = iconInk;
        }
        else
        {
            shape.addEllipse(icon.reduced(2.0f));
            g.setColour(findColour(EditorColours::panelButtonOnColourId));
            mark = type == juce::MessageBoxIconType::InfoIcon ? "i" : "?";
            ink = findColour(EditorColours::panelButtonTextColourId);
        }
        g.fillPath(shape);
        g.setColour(ink);
        g.setFont(juce::Font(24.0f, juce::Font::bold));
        g.drawText(mark, icon.withTrimmedTop(type == juce::MessageBoxIconType::WarningIcon ? 10.0f : 0.0f),
                   juce::Justification::centred, false);
    }

    const int indent = type == juce::MessageBoxIconType::NoIcon ? 0 : iconColumn;
    g.setColour(alert.findColour(juce::AlertWindow::textColourId));
    textLayout.draw(g, textArea.withTrimmedLeft(indent).toFloat());

    g.setColour(findColour(juce::ComboBox::outlineColourId));
    g.drawRect(alert.getLocalBounds());
}

int ALookAndFeel::getAlertWindowButtonHeight()
{
    return 24;
}

juce::Array<int> ALookAndFeel::getWidthsForTextButtons(juce::AlertWindow&,
                                                       const juce::Array<juce::TextButton*>& buttons)
{
    juce::Array<int> widths;
    for (auto* b : buttons)
    {
        b->setColour(juce::TextButton::buttonColourId, findColour(EditorColours::panelButtonColourId));
        b->setColour(juce::TextButton::buttonOnColourId, findColour(EditorColours::panelButtonOnColourId));
        b->setColour(juce::TextButton::textColourOffId, findColour(EditorColours::panelButtonTextColourId));
        b->setColour(juce::TextButton::textColourOnId, findColour(EditorColours::panelButtonTextColourId));
        // Measured in the bold face the text is drawn in, so that it is never squeezed.
        const auto font = getTextButtonFont(*b, getAlertWindowButtonHeight()).boldened();
        widths.add(juce::jmax(80, font.getStringWidth(b->getButtonText()) + 28));
    }
    return widths;
}

juce::Font ALookAndFeel::getAlertWindowTitleFont()
{
    return juce::Font(panelFontHeight + 1.0f, juce::Font::bold);
}

juce::Font ALookAndFeel::getAlertWindowMessageFont()
{
    return juce::Font(panelFontHeight);
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
