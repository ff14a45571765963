// Where the editor's boxes open: over the middle of the window their owner sits in, kept on its screen; and
// which of a box's fields takes the keys first.
#include "ui/EditorDialogs.h"

#include <gtest/gtest.h>

namespace
{
/** The screen the boxes are kept on: the display's own, or one lent where there is none (headless). */
struct Screen
{
    Screen()
    {
        auto& displays = const_cast<juce::Displays&>(juce::Desktop::getInstance().getDisplays());
        lent = displays.displays.isEmpty();
        if (lent)
        {
            juce::Displays::Display screen;
            screen.totalArea = screen.userArea = {0, 0, 1280, 800};
            screen.isMain = true;
            displays.displays.add(screen);
        }
        area = displays.getPrimaryDisplay()->userArea;
    }
    ~Screen()
    {
        if (lent)
            const_cast<juce::Displays&>(juce::Desktop::getInstance().getDisplays()).displays.clear();
    }
    bool lent = false;
    juce::Rectangle<int> area;
};
} // namespace

TEST(BoxPlacement, ABoxOpensOverItsOwnersWindowAndStaysOnTheScreen)
{
    Screen screen;
    // A window of 600 x 400 whose top left is 200 and 100 pixels into the screen; its owner deep inside it.
    juce::Component window, panel, owner;
    window.setBounds(screen.area.getX() + 200, screen.area.getY() + 100, 600, 400);
    window.addAndMakeVisible(panel);
    panel.setBounds(10, 300, 200, 80);
    panel.addAndMakeVisible(owner);
    owner.setBounds(5, 5, 20, 20);

    TypingBox box("Rename Setup", "The new title:", juce::MessageBoxIconType::NoIcon);
    box.setSize(300, 120);
    placeOverOwner(box, &owner);
    // The window's middle is 500 and 300 pixels into the screen: the box's 150 and 60 pixels before it.
    EXPECT_EQ(box.getBounds(),
              juce::Rectangle<int>(screen.area.getX() + 350, screen.area.getY() + 240, 300, 120));

    // A window mostly past the screen's top left: the box stays whole on the screen, its size kept.
    window.setTopLeftPosition(screen.area.getX() - 500, screen.area.getY() - 350);
    placeOverOwner(box, &owner);
    EXPECT_EQ(box.getPosition(), screen.area.getPosition());
    EXPECT_EQ(box.getWidth(), 300);
    EXPECT_EQ(box.getHeight(), 120);
}

TEST(BoxPlacement, TheFirstFieldAddedIsTheOneThatTakesTheKeys)
{
    Screen screen;
    TypingBox box("Title and Tags", "a file", juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ(box.firstField(), nullptr) << "a box without fields";
    box.addButton("OK", 1);
    box.addTextEditor("title", "Night Pads", "Title:");
    box.addTextEditor("tags", "pads", "Tags:");
    EXPECT_EQ(box.firstField(), box.getTextEditor("title"));
}
