#include "support/scratch_folder.h"
#include "ui/EditorZoom.h"

#include <gtest/gtest.h>

#include <cstring>

// The zoom the editor starts at, and the preference file that remembers the user's choice.

TEST(EditorPreferences, AChosenZoomIsKeptBesideOtherValuesAndADamagedOneIsIgnored)
{
    ScratchFolder scratch;
    const auto file = scratch.file("config/quillet49/preferences.xml");
    juce::String problem;
    EditorPreferences missing(file);
    EXPECT_FALSE(missing.zoomPercent().has_value());

    // A value a newer editor keeps stays when the zoom is written, and when it is forgotten.
    ASSERT_TRUE(file.getParentDirectory().createDirectory());
    ASSERT_TRUE(file.replaceWithText("<QuilletPreferences Theme=\"dark\" Zoom=\"175\"/>"));
    EditorPreferences prefs(file);
    EXPECT_EQ(prefs.zoomPercent(), 175);
    ASSERT_TRUE(prefs.setZoomPercent(125, problem)) << problem;
    EXPECT_EQ(EditorPreferences(file).zoomPercent(), 125);
    ASSERT_TRUE(prefs.setZoomPercent(std::nullopt, problem)) << problem;
    EXPECT_FALSE(prefs.zoomPercent().has_value());
    EXPECT_TRUE(file.loadFileAsString().contains("Theme=\"dark\""));
    EXPECT_FALSE(prefs.setZoomPercent(110, problem)) << "only the offered steps are written";

    for (const char* damaged : {"<QuilletPreferences Zoom=\"150%\"/>", "<QuilletPreferences Zoom=\"1e2\"/>",
                                "<QuilletPreferences Zoom=\"300\"/>", "<QuilletPreferences Zoom=\"-150\"/>",
                                "<QuilletPreferences Zoom=\"130\"/>", "<OtherProgram Zoom=\"150\"/>",
                                "<QuilletPreferences Zoom=\"150\"", "\xff\xfe<Q Zoom=\"150\"/>",
                                "<!DOCTYPE q [<!ENTITY z \"150\">]><QuilletPreferences Zoom=\"&z;\"/>"})
    {
        ASSERT_TRUE(file.replaceWithData(damaged, std::strlen(damaged)));
        EXPECT_FALSE(prefs.zoomPercent().has_value()) << damaged;
    }
    // A damaged file gives way to a sound one when the user picks a zoom.
    ASSERT_TRUE(prefs.setZoomPercent(150, problem)) << problem;
    EXPECT_EQ(EditorPreferences(file).zoomPercent(), 150);

    // A file where the folder should be: nothing is remembered, and it is said why.
    const auto blocked = scratch.file("blocked");
    ASSERT_TRUE(blocked.replaceWithText("x"));
    EditorPreferences cannot(blocked.getChildFile("quillet49/preferences.xml"));
    EXPECT_FALSE(cannot.setZoomPercent(150, problem));
    EXPECT_TRUE(problem.isNotEmpty());

    // The file's own name taken by a folder: the write fails, and says so.
    const auto taken = scratch.file("taken/preferences.xml");
    ASSERT_TRUE(taken.createDirectory());
    problem = {};
    EXPECT_FALSE(EditorPreferences(taken).setZoomPercent(125, problem));
    EXPECT_TRUE(problem.isNotEmpty());
    EXPECT_TRUE(taken.isDirectory());
}

TEST(EditorZoom, TheDesktopsScaleChoosesTheStartUntilTheUserChoosesAndTheKeysStepWithinRange)
{
    // Xft.dpi carries fractional scales, GDK_SCALE whole ones; nonsense counts as no setting.
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.antialias:\t1\nXft.dpi:\t144\n", {})),
              150);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: 120", {})), 125);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom({}, "2")), 200);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: 384", {})), 200);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: lots\n", "two")), 100);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: 72", {})), 100);
    // Between two steps, the nearer one: 115 dpi is 1.2 times 96, nearer 125 than 100 percent.
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: 115", {})), 125);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: 100", {})), 100);
    EXPECT_EQ(EditorZoom::stepFor(EditorZoom::desktopScaleFrom("Xft.dpi: 178", {})), 175);

    ScratchFolder scratch;
    const auto file = scratch.file("preferences.xml");
    EditorPreferences prefs(file);
    {
        EditorZoom zoom(prefs, 1.75);
        EXPECT_EQ(zoom.percent(), 175) << "nothing chosen: the desktop's scale";
        const juce::KeyPress plus('=', juce::ModifierKeys::commandModifier, 0),
            minus('-', juce::ModifierKeys::commandModifier, 0),
            reset('0', juce::ModifierKeys::commandModifier, 0);
        EXPECT_TRUE(zoom.keyPressed(plus, nullptr));
        EXPECT_TRUE(zoom.keyPressed(plus, nullptr));
        EXPECT_EQ(zoom.percent(), 200) << "no step past 200 percent";
        EXPECT_FALSE(zoom.keyPressed(juce::KeyPress('=', {}, 0), nullptr)) << "a plain = is typing, not zoom";
        EXPECT_TRUE(zoom.keyPressed(minus, nullptr));
        EXPECT_EQ(EditorZoom(prefs, 1.0).percent(), 175) << "the choice outlives the desktop's scale";
        EXPECT_TRUE(zoom.keyPressed(reset, nullptr));
        EXPECT_EQ(zoom.percent(), 175);
        EXPECT_EQ(EditorZoom(prefs, 1.25).percent(), 125) << "after Ctrl+0 the desktop decides again";
    }
    // The zoom is global to the process: the other tests draw at 100 percent.
    juce::Desktop::getInstance().setGlobalScaleFactor(1.0f);
}

// A step is offered when the window at that step, with its title bar, fits the screen: the title bar's
// pixels do not grow with the zoom, and a window that fits exactly is not refused.
TEST(EditorZoom, TheLargestStepIsTheLastThatFitsTheScreen)
{
    auto& displays = const_cast<juce::Displays&>(juce::Desktop::getInstance().getDisplays());
    const auto real = displays.displays;
    auto screenOf = [&](int width, int height)
    {
        juce::Displays::Display screen;
        screen.totalArea = screen.userArea = {0, 0, width, height};
        screen.isMain = true;
        displays.displays.clearQuick();
        displays.displays.add(screen);
    };
    ScratchFolder scratch;
    EditorPreferences prefs(scratch.file("preferences.xml"));
    EditorZoom zoom(prefs, 1.0);
    zoom.setWindowSize({1063, 460}, {0, 40});
    // At 150 percent the window is 1594.5 x 690 pixels, 730 with its title bar; at 175, 1860 wide.
    screenOf(1600, 1000);
    EXPECT_EQ(zoom.largestStep(), 150);
    screenOf(1594, 1000);
    EXPECT_EQ(zoom.largestStep(), 125) << "half a pixel too narrow";
    screenOf(1600, 729);
    EXPECT_EQ(zoom.largestStep(), 125) << "its title bar a pixel too tall";
    // 200 percent: 2126 x 920, 960 with the title bar.
    screenOf(2126, 960);
    EXPECT_EQ(zoom.largestStep(), 200);
    screenOf(1000, 600);
    EXPECT_EQ(zoom.largestStep(), 100) << "100 percent however small the screen";
    displays.displays = real;
}
