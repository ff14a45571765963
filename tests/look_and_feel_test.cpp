#include "app/ALookAndFeel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using juce::Colour;
namespace Colours = juce::Colours;

/** A 100 x 30 button whose on and off colours cannot be mistaken for each other. */
std::unique_ptr<juce::TextButton> colouredButton(bool on)
{
    auto b = std::make_unique<juce::TextButton>("Load...");
    b->setSize(100, 30);
    b->setColour(juce::TextButton::buttonColourId, Colour(0xFFFF0000));
    b->setColour(juce::TextButton::buttonOnColourId, Colour(0xFF0000FF));
    b->setColour(juce::TextButton::textColourOffId, Colour(0xFF0000FF));
    b->setColour(juce::TextButton::textColourOnId, Colour(0xFFFF0000));
    b->setToggleState(on, juce::dontSendNotification);
    return b;
}

bool anyPixel(const juce::Image& image, const std::function<bool(Colour)>& test)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (test(image.getPixelAt(x, y)))
                return true;
    return false;
}

juce::Image paintOnWhite(const std::function<void(juce::Graphics&)>& paint)
{
    juce::Image image(juce::Image::ARGB, 100, 30, true);
    juce::Graphics g(image);
    g.fillAll(juce::Colours::white);
    paint(g);
    return image;
}
} // namespace

TEST(LookAndFeel, ComboBoxesAreGreyWithDarkArrow)
{
    ALookAndFeel lf;
    EXPECT_EQ(lf.findColour(juce::ComboBox::outlineColourId), Colour(0xFF959595));
    EXPECT_EQ(lf.findColour(juce::ComboBox::buttonColourId), Colour(0xFFD7D7D7));
    EXPECT_EQ(lf.findColour(juce::ComboBox::arrowColourId), Colour(0xFF595959));
}

TEST(LookAndFeelButtonFill, HoverDarkensLightColoursAndBrightensDarkOnesAndLowersAnOpaqueAlpha)
{
    const Colour light(0xFFD7D7D7), dark(0xFF535A5E);
    EXPECT_EQ(ALookAndFeel::buttonFill(light, false), light);
    EXPECT_EQ(ALookAndFeel::buttonFill(dark, false), dark);
    EXPECT_EQ(ALookAndFeel::buttonFill(light, true), light.darker(0.1f).withAlpha(0.8f));
    EXPECT_EQ(ALookAndFeel::buttonFill(light, true).getAlpha(), 204);
    // Alpha of a light fill moves two tenths toward the middle: 0.8 drops to 0.6.
    EXPECT_EQ(ALookAndFeel::buttonFill(Colour(0xCCFFFFFF), true).getAlpha(), 153);

    // A dark fill (the panel's Load... button) is lit by three tenths and made 80 % opaque, as a light one is
    // darkened and made see-through: on the panel's white it looks lighter than at rest.
    const auto hoveredDark = ALookAndFeel::buttonFill(dark, true);
    EXPECT_EQ(hoveredDark.getAlpha(), 204);
    EXPECT_EQ(hoveredDark.withAlpha(1.0f), dark.brighter(0.3f));
    EXPECT_GT(Colours::white.overlaidWith(hoveredDark).getPerceivedBrightness(),
              dark.getPerceivedBrightness());
}

TEST(LookAndFeelButtonBackground, FillsWithTheOnColourWhateverTheToggleState)
{
    ALookAndFeel lf;
    for (bool on : {false, true})
    {
        auto b = colouredButton(on);
        const auto image = paintOnWhite(
            [&](juce::Graphics& g) { lf.drawButtonBackground(g, *b, Colour(0xFFFF0000), false, false); });
        EXPECT_EQ(image.getPixelAt(50, 15), Colour(0xFF0000FF)) << "toggle " << on;
    }
}

TEST(LookAndFeelButtonShape, UnconnectedButtonIsInsetHalfAPixelWithRoundCorners)
{
    const auto p = ALookAndFeel::buttonShape(100.0f, 30.0f, 0);
    EXPECT_EQ(p.getBounds(), juce::Rectangle<float>(0.5f, 0.5f, 99.0f, 29.0f));
    // The corner radius is 9, 0.3 of the height: every corner is cut away.
    EXPECT_FALSE(p.contains(0.6f, 0.6f));
    EXPECT_FALSE(p.contains(99.4f, 0.6f));
    EXPECT_FALSE(p.contains(99.4f, 29.4f));
    EXPECT_FALSE(p.contains(0.6f, 29.4f));
    EXPECT_TRUE(p.contains(50.0f, 15.0f));
    // On a tall button the radius is 0.3 of the width, 6: 7 px down the left edge is already straight.
    EXPECT_TRUE(ALookAndFeel::buttonShape(20.0f, 100.0f, 0).contains(1.0f, 7.0f));
}

TEST(LookAndFeelButtonShape, ConnectedSideIsInsetATenthWithSquareCorners)
{
    const auto left = ALookAndFeel::buttonShape(100.0f, 30.0f, juce::Button::ConnectedOnLeft);
    EXPECT_FLOAT_EQ(left.getBounds().getX(), 0.1f);
    EXPECT_FLOAT_EQ(left.getBounds().getY(), 0.5f);
    EXPECT_TRUE(left.contains(0.15f, 0.55f));  // top left square
    EXPECT_TRUE(left.contains(0.15f, 29.45f)); // bottom left square
    EXPECT_FALSE(left.contains(99.4f, 0.6f));  // right corners stay round

    const auto leftTop = ALookAndFeel::buttonShape(
        100.0f, 30.0f, juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnTop);
    EXPECT_FLOAT_EQ(leftTop.getBounds().getY(), 0.1f);
    EXPECT_TRUE(leftTop.contains(0.15f, 0.15f));
    EXPECT_FALSE(leftTop.contains(99.4f, 29.4f));
}

TEST(LookAndFeelTooltip, SizeIsTheWrappedTextPlusMargins)
{
    ALookAndFeel lf;
    int w = 0, h = 0, longW = 0, longH = 0;
    lf.getTooltipSize("Level Setting", w, h);
    EXPECT_GE(h, 12 + 10) << "one line of 12-point text";
    EXPECT_LE(h, 15 + 10);
    EXPECT_GT(w, 14 + 30);
    EXPECT_LT(w, 14 + 150);

    juce::String longTip;
    while (longTip.length() < 300)
        longTip << "Attack envelope slider setting ";
    lf.getTooltipSize(longTip, longW, longH);
    EXPECT_LE(longW, 414);
    EXPECT_GT(longW, 200);
    EXPECT_GE(longH - 10, 3 * (h - 10)) << "a 300-character tip takes several lines";
}

TEST(LookAndFeelButtonText, ColourFollowsToggleState)
{
    ALookAndFeel lf;
    auto red = [](Colour c)
    {
        return c.getRed() > 200 && c.getGreen() < 120 && c.getBlue() < 120;
    };
    auto blue = [](Colour c)
    {
        return c.getBlue() > 200 && c.getGreen() < 120 && c.getRed() < 120;
    };
    for (bool on : {false, true})
    {
        auto b = colouredButton(on);
        const auto image = paintOnWhite([&](juce::Graphics& g) { lf.drawButtonText(g, *b, false, false); });
        EXPECT_EQ(anyPixel(image, red), on) << "toggle " << on;
        EXPECT_EQ(anyPixel(image, blue), !on) << "toggle " << on;
    }
}

//==============================================================================
namespace
{
/** A message box as the editor shows one, in a window-sized parent, drawn with the look. */
juce::Image snapshotOfBox(ALookAndFeel& lf, juce::MessageBoxIconType icon)
{
    // A box measures itself against the screen as it is made; headless there is none, so one is lent.
    auto& displays = const_cast<juce::Displays&>(juce::Desktop::getInstance().getDisplays());
    const bool lent = displays.displays.isEmpty();
    if (lent)
    {
        juce::Displays::Display screen;
        screen.totalArea = screen.userArea = {0, 0, 1280, 800};
        screen.isMain = true;
        displays.displays.add(screen);
    }
    juce::LookAndFeel::setDefaultLookAndFeel(&lf);
    juce::Component window;
    window.setSize(1063, 460);
    juce::AlertWindow box("Keyboard Problem",
                          "The keyboard has not been detected. Please correct the problem and try again.",
                          icon);
    window.addAndMakeVisible(box);
    box.addButton("ok", 0);
    auto image = box.createComponentSnapshot(box.getLocalBounds(), true, 1.0f);
    window.removeChildComponent(&box);
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    if (lent)
        displays.displays.clear();
    return image;
}

/** The smallest rectangle holding every pixel that passes the test; empty when none does. */
juce::Rectangle<int> pixelsWhere(const juce::Image& image, const std::function<bool(Colour)>& test)
{
    juce::Rectangle<int> found;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (test(image.getPixelAt(x, y)))
                found = found.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1)
                                        : found.getUnion(juce::Rectangle<int>(x, y, 1, 1));
    return found;
}
} // namespace

TEST(LookAndFeelAlertBox, AProblemShowsAWholeWarningSignAndTheButtonsAreThePanelsGreyNotBlue)
{
    ALookAndFeel lf;
    const auto amber = [](Colour c)
    {
        return c.getRed() > 200 && c.getGreen() > 130 && c.getGreen() < 190 && c.getBlue() < 100;
    };
    const auto blue = [](Colour c)
    {
        return c.getBlue() > c.getRed() + 60 && c.getBlue() > c.getGreen() + 60;
    };
    const auto darkGrey = [](Colour c)
    {
        return c.getRed() < 110 && c.getRed() > 60 && std::abs(c.getRed() - c.getBlue()) < 20;
    };

    const auto warning = snapshotOfBox(lf, juce::MessageBoxIconType::WarningIcon);
    const auto sign = pixelsWhere(warning, amber);
    ASSERT_FALSE(sign.isEmpty()) << "a warning sign is drawn";
    // Whole: clear of every edge of the box, and modest beside a text line of 15 pixels.
    EXPECT_TRUE(warning.getBounds().reduced(4).contains(sign)) << sign.toString();
    EXPECT_LE(sign.getHeight(), 60);
    EXPECT_TRUE(pixelsWhere(warning, blue).isEmpty()) << "no stock blue anywhere";
    // The "ok" button at the foot of the box is filled with the panel's dark grey.
    const auto foot = warning.getClippedImage(warning.getBounds().removeFromBottom(warning.getHeight() / 4));
    EXPECT_GT(pixelsWhere(foot, darkGrey).getWidth(), 40);

    const auto info = snapshotOfBox(lf, juce::MessageBoxIconType::InfoIcon);
    EXPECT_TRUE(pixelsWhere(info, amber).isEmpty()) << "news is not shown as a problem";
    EXPECT_TRUE(pixelsWhere(info, blue).isEmpty());
}

TEST(LookAndFeelComboBox, ListsUseThePanelsFontAndOpenInsideTheWindow)
{
    ALookAndFeel lf;
    EXPECT_FLOAT_EQ(lf.getPopupMenuFont().getHeight(), 15.0f);

    juce::Component window;
    window.setSize(1063, 460);
    juce::ComboBox box;
    window.addAndMakeVisible(box);
    box.setBounds(783, 64, 120, 24);
    juce::Label label;
    const auto options = lf.getOptionsForComboBoxPopupMenu(box, label);
    EXPECT_EQ(options.getParentComponent(), &window) << "bounded by the window, a long list scrolls in it";
    EXPECT_EQ(options.getTargetComponent(), &box);

    // A long controller name shrinks a little, never below twelve points, rather than being squeezed.
    const juce::Font panelFont(15.0f);
    const juce::String name = "99 - Non-Registered Parameter Number MSB";
    const auto fitted = ALookAndFeel::fontToFit(panelFont, name, 90.0f);
    EXPECT_LT(fitted.getHeight(), 15.0f);
    EXPECT_GE(fitted.getHeight(), 12.0f);
    EXPECT_FLOAT_EQ(ALookAndFeel::fontToFit(panelFont, "7 - Volume", 90.0f).getHeight(), 15.0f);
}
