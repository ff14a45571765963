#include "model/ControlCatalogue.h"
#include "support/ui_test_support.h"
#include "ui/OpaquePicture.h"
#include "ui/PickerLayout.h"
#include "ui/QMV49CtrlPickerComponent.h"

#include <QuilletBinaryData.h>

namespace
{
struct ActionRecorder : juce::ActionListener
{
    void actionListenerCallback(const juce::String& message) override { received.add(message); }
    juce::StringArray received;
};

juce::Rectangle<int> spotBounds(const PickerSpot& s)
{
    return {s.x, s.y, s.w, s.h};
}

bool anyPixelIn(const juce::Image& image, juce::Rectangle<int> area,
                const std::function<bool(juce::Colour)>& test)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (test(image.getPixelAt(x, y)))
                return true;
    return false;
}

bool isUniform(const juce::Image& image, juce::Rectangle<int> area)
{
    const auto first = image.getPixelAt(area.getX(), area.getY());
    return !anyPixelIn(image, area, [first](juce::Colour c) { return c != first; });
}

/** Text pixels: every channel below 0x40. */
bool hasDarkPixel(const juce::Image& image, juce::Rectangle<int> area)
{
    return anyPixelIn(image, area,
                      [](juce::Colour c)
                      { return c.getRed() < 0x40 && c.getGreen() < 0x40 && c.getBlue() < 0x40; });
}

class PickerTest : public ::testing::Test
{
protected:
    PickerTest()
    {
        picker.addActionListener(&recorder);
        picker.setSize(1063, 317);
    }
    ~PickerTest() override { picker.removeActionListener(&recorder); }

    MoxCtrlPickerButton& button(int id) { return *picker.findButtonFor(id); }
    int buttonsOn() const
    {
        int n = 0;
        for (int i = 0; i < picker.getNumPickerButtons(); ++i)
            n += picker.getPickerButton(i)->getToggleState() ? 1 : 0;
        return n;
    }

    QMV49CtrlPickerComponent picker;
    ActionRecorder recorder;
};
} // namespace

TEST_F(PickerTest, HasOneUnselectedButtonOverEachSpotOfThePicture)
{
    ASSERT_EQ(picker.getNumPickerButtons(), 53);
    for (size_t i = 0; i < pickerSpots.size(); ++i)
    {
        const auto& spot = pickerSpots[i];
        auto* b = picker.getPickerButton((int)i);
        EXPECT_EQ(b->getBounds(), spotBounds(spot)) << "button " << i;
        EXPECT_EQ(b->getButtonText(),
                  "0x" + juce::String::toHexString(spot.id).toUpperCase().paddedLeft('0', 2));
        EXPECT_EQ(b->getTooltip(), juce::String(ControlCatalogue::tooltip(spot.id)));
        EXPECT_EQ(b->getRadioGroupId(), 1);
        EXPECT_EQ(b->getParentComponent(), &picker);
    }
    EXPECT_EQ(picker.getPickerButton(0)->getButtonText(), "0x40");
    EXPECT_EQ(picker.findButtonFor(0x1A)->getButtonText(), "0x1A") << "hex digits are upper case";
    EXPECT_EQ(buttonsOn(), 0) << "nothing is selected at first";
}

TEST_F(PickerTest, ClickSelectsOnlyThatButtonAndBroadcastsItsId)
{
    picker.buttonClicked(&button(0x70));
    EXPECT_TRUE(button(0x70).getToggleState());
    picker.buttonClicked(&button(0x0B));
    EXPECT_TRUE(button(0x0B).getToggleState());
    EXPECT_FALSE(button(0x70).getToggleState());
    EXPECT_EQ(buttonsOn(), 1);

    ASSERT_TRUE(pumpUntil([this] { return recorder.received.size() >= 2; }));
    EXPECT_EQ(recorder.received, juce::StringArray({"0x70", "0x0B"}));
}

TEST_F(PickerTest, ClickingTheSameButtonTwiceBroadcastsTwice)
{
    button(0x52).triggerClick();
    ASSERT_TRUE(pumpUntil([this] { return recorder.received.size() >= 1; }));
    button(0x52).triggerClick();
    ASSERT_TRUE(pumpUntil([this] { return recorder.received.size() >= 2; }));
    drainMessages();
    EXPECT_EQ(recorder.received, juce::StringArray({"0x52", "0x52"}));
    EXPECT_TRUE(button(0x52).getToggleState());
    EXPECT_EQ(buttonsOn(), 1);
}

TEST_F(PickerTest, ItemIdSetHoldsTheControlsItCanConfigure)
{
    const auto ids = picker.getItemIdSet();
    EXPECT_EQ(ids.size(), 45u);
    EXPECT_EQ(ids.count(0x20), 1u);
    EXPECT_EQ(ids.count(0x21), 1u);
    for (int id : {0x1C, 0x1D, 0x1E, 0x1F, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D})
        EXPECT_EQ(ids.count((juce::uint16)id), 0u) << id;
}

TEST_F(PickerTest, RendersThePictureBreathSocketAndCaptions)
{
    const auto image = picker.createComponentSnapshot(picker.getLocalBounds(), true, 1.0f);
    ASSERT_EQ(image.getWidth(), 1063);
    ASSERT_EQ(image.getHeight(), 317);

    for (const auto& spot : pickerSpots)
    {
        if (spot.id == 0x52)
            continue;
        EXPECT_FALSE(isUniform(image, spotBounds(spot))) << "no picture under control " << spot.id;
    }

    // The breath socket is painted solid, and its idle button leaves it alone.
    EXPECT_EQ(image.getPixelAt(413, 245), juce::Colour(0xFF1D1D1D));
    EXPECT_TRUE(isUniform(image, {408, 240, 11, 10}));

    EXPECT_TRUE(hasDarkPixel(image, {151, 278, 454, 30})) << "Back Panel caption";
    EXPECT_TRUE(hasDarkPixel(image, {729, 278, 305, 30})) << "Drum Pads caption";
}

// The panel behind the picture is not painted where the picture lies, on the picture's word that it covers
// every pixel: a pixel left transparent would show whatever was on the screen before.
TEST_F(PickerTest, CoversEveryPixelOfItsAreaSoThePanelNeedNotPaintUnderIt)
{
    ASSERT_TRUE(picker.isOpaque());
    const auto image = picker.createComponentSnapshot(picker.getLocalBounds(), true, 1.0f);
    EXPECT_FALSE(anyPixelIn(image, image.getBounds(), [](juce::Colour c) { return c.getAlpha() != 255; }));
}

//==============================================================================
namespace
{
/** Paints a 26 x 24 picker button over a plain background. */
juce::Image paintButtonOver(MoxCtrlPickerButton& b, juce::Colour under, bool mouseOver = false)
{
    juce::Image image(juce::Image::ARGB, 26, 24, true);
    juce::Graphics g(image);
    g.fillAll(under);
    b.setSize(26, 24);
    b.paintButton(g, mouseOver, false);
    return image;
}

void expectColourNear(juce::Colour got, juce::Colour expected, const char* where)
{
    EXPECT_NEAR(got.getRed(), expected.getRed(), 2) << where;
    EXPECT_NEAR(got.getGreen(), expected.getGreen(), 2) << where;
    EXPECT_NEAR(got.getBlue(), expected.getBlue(), 2) << where;
}
} // namespace

TEST(PickerButton, CornerMarksFollowTheButtonSizeAndAreRebuiltOnResize)
{
    MoxCtrlPickerButton b;
    b.setSize(26, 24);
    EXPECT_EQ(b.cornerMark(0).getBounds(), juce::Rectangle<float>(0, 0, 8, 7));   // (8,0)->(0,0)->(0,7)
    EXPECT_EQ(b.cornerMark(1).getBounds(), juce::Rectangle<float>(0, 17, 8, 7));  // (0,17)->(0,24)->(8,24)
    EXPECT_EQ(b.cornerMark(2).getBounds(), juce::Rectangle<float>(18, 0, 8, 7));  // (18,0)->(26,0)->(26,7)
    EXPECT_EQ(b.cornerMark(3).getBounds(), juce::Rectangle<float>(18, 17, 8, 7)); // (26,17)->(26,24)->(18,24)

    // The top-left mark runs from the top edge through the corner down the left edge.
    juce::Path::Iterator it(b.cornerMark(0));
    std::vector<juce::Point<float>> points;
    while (it.next())
        points.emplace_back(it.x1, it.y1);
    EXPECT_EQ(points, (std::vector<juce::Point<float>>{{8, 0}, {0, 0}, {0, 7}}));

    // A resize starts the marks afresh: growing and shrinking back leaves the small marks alone.
    b.setSize(52, 48);
    b.setSize(26, 24);
    EXPECT_EQ(b.cornerMark(0).getBounds(), juce::Rectangle<float>(0, 0, 8, 7));
    EXPECT_EQ(b.cornerMark(3).getBounds(), juce::Rectangle<float>(18, 17, 8, 7));
}

TEST(PickerButton, IdleUnselectedButtonPaintsNothing)
{
    MoxCtrlPickerButton b;
    const auto image = paintButtonOver(b, juce::Colour(0xFF336699));
    EXPECT_TRUE(isUniform(image, image.getBounds()));
    EXPECT_EQ(image.getPixelAt(13, 12), juce::Colour(0xFF336699));
}

TEST(PickerButton, HoveredButtonFillsTheLightTriangleOfEachCornerMark)
{
    MoxCtrlPickerButton b;
    const auto under = juce::Colours::black;
    const auto image = paintButtonOver(b, under, true);
    const auto veil = under.overlaidWith(juce::Colour(0x20FFFFFF));
    const auto triangle = veil.overlaidWith(juce::Colour(0x40FFFFFF));

    // Inside the top-left triangle (8,0)-(0,0)-(0,7) and the bottom-right one (26,17)-(26,24)-(18,24),
    // clear of the dark strokes along the button's edges.
    expectColourNear(image.getPixelAt(3, 2), triangle, "top-left triangle");
    expectColourNear(image.getPixelAt(23, 21), triangle, "bottom-right triangle");
    // Beyond the triangles' long sides and in the middle only the veil lies over the picture.
    expectColourNear(image.getPixelAt(6, 5), veil, "beside the top-left triangle");
    expectColourNear(image.getPixelAt(13, 12), veil, "middle");
}

TEST(PickerButton, SelectedButtonLaysAReddishVeil)
{
    MoxCtrlPickerButton b;
    b.setToggleState(true, juce::dontSendNotification);
    const auto image = paintButtonOver(b, juce::Colours::white);
    const auto expected = juce::Colours::white.overlaidWith(juce::Colour(0x60FF8080));
    const auto got = image.getPixelAt(13, 12);
    EXPECT_NEAR(got.getRed(), expected.getRed(), 2);
    EXPECT_NEAR(got.getGreen(), expected.getGreen(), 2);
    EXPECT_NEAR(got.getBlue(), expected.getBlue(), 2);
    EXPECT_TRUE(isUniform(image, image.getBounds())) << "no corner marks unless hovered";
}

TEST(OpaquePicture, DecodesAsTheToolkitDoesPixelForPixelAndLeavesOtherPicturesToTheToolkit)
{
    auto png = [](const juce::Image& image)
    {
        juce::MemoryOutputStream out;
        juce::PNGImageFormat().writeImageToStream(image, out);
        return out.getMemoryBlock();
    };
    // Rows whose bytes are not a multiple of four, and every channel different, so that a wrong order of
    // channels or a wrong row length shows.
    juce::Image opaque(juce::Image::RGB, 7, 5, false);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            opaque.setPixelAt(
                x, y, juce::Colour((juce::uint8)(x * 30), (juce::uint8)(y * 50), (juce::uint8)(200 - x - y)));
    juce::Image translucent(juce::Image::ARGB, 3, 2, true);
    translucent.setPixelAt(1, 1, juce::Colour(0x80FF0000));

    const auto keyboard =
        juce::MemoryBlock(QuilletBinaryData::keyboard_png, (size_t)QuilletBinaryData::keyboard_pngSize);
    // A gamma chunk, which the toolkit ignores and a colour-managing decoder would apply.
    auto withGamma = png(opaque);
    const juce::uint8 gamma[] = {0x00, 0x00, 0x00, 0x04, 0x67, 0x41, 0x4D, 0x41,
                                 0x00, 0x01, 0x86, 0xA0, 0x31, 0xE8, 0x96, 0x5F}; // gAMA 1.0
    withGamma.insert(gamma, sizeof(gamma), 33); // after the signature and the header chunk
    for (const auto& data : {keyboard, png(opaque), png(translucent), withGamma})
    {
        const auto expected = juce::ImageFileFormat::loadFrom(data.getData(), data.getSize());
        const auto got = decodeOpaquePicture(data.getData(), data.getSize());
        ASSERT_EQ(got.getBounds(), expected.getBounds());
        for (int y = 0; y < got.getHeight(); ++y)
            for (int x = 0; x < got.getWidth(); ++x)
                ASSERT_EQ(got.getPixelAt(x, y).getARGB(), expected.getPixelAt(x, y).getARGB())
                    << x << "," << y;
    }
    EXPECT_EQ(decodeOpaquePicture(keyboard.getData(), keyboard.getSize()).getFormat(), juce::Image::RGB);
    EXPECT_FALSE(decodeOpaquePicture("not a picture", 13).isValid());
}
