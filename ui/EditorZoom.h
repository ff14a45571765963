#pragma once

#include "files/EditorPreferences.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The size everything is drawn at: 100 to 200 percent in steps of 25, following the desktop's scale until
    the user picks one with Ctrl+Plus, Ctrl+Minus or Ctrl+0 (back to the desktop's); the choice is kept in
    the preferences. Every window, box and menu is drawn at the zoom, as vectors where it can: text stays
    sharp at any step. */
class EditorZoom : public juce::KeyListener, private juce::FocusChangeListener
{
public:
    /** desktopScale: the scale the desktop asks of programs (1 = 96 dots per inch). */
    EditorZoom(EditorPreferences& preferences, double desktopScale);
    ~EditorZoom() override;

    /** The zoom's keys work in every window of the editor, those open now and those that open later (the
        library, the comparison, a box). */
    void listenInEveryWindow();

    int percent() const { return current; }
    /** The step nearest a desktop's scale, within 100 to 200 percent. */
    static int stepFor(double desktopScale);
    /** The desktop's scale from the X resources' text (its Xft.dpi) and GDK_SCALE, either of which may be
        missing: 1 when neither says more. */
    static double desktopScaleFrom(const juce::String& xResources, const juce::String& gdkScale);
    /** The scale the desktop asks of programs: as desktopScaleFrom reads it, or the display's own scale as
        the toolkit found it, whichever is larger. */
    static double desktopScale(const juce::String& xResources, const juce::String& gdkScale);

    /** The size of the largest window at 100 percent, and the frame a window manager adds to it in the
        screen's pixels, which do not grow with the zoom: no step makes the two larger than the screen. */
    void setWindowSize(juce::Point<int> size, juce::Point<int> frame)
    {
        windowSize = size;
        windowFrame = frame;
    }
    /** A window that has one size in the layout's pixels: each step gives it that size at the step, never a
        size read back from it, which a window manager still answering the step before may have set. */
    void setFixedSizeWindow(juce::Component& window, juce::Point<int> size)
    {
        fixedWindow = &window;
        fixedSize = size;
    }
    /** The largest step at which that window fits on the main screen. */
    int largestStep() const;

    /** Draws everything at the zoom now in force (at most the largest step); call once the toolkit is up. */
    void apply();
    void zoomIn();
    void zoomOut();
    /** Back to the desktop's scale, which the zoom follows again. */
    void followDesktop();

    /** Adds Zoom In, Zoom Out and Reset Zoom, with their keys. */
    void addMenuItems(juce::PopupMenu& menu);
    /** Called before the zoom changes the windows' sizes, and after. */
    std::function<void()> beforeChange, onChanged;

    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;

private:
    void change(int newPercent, bool remember);
    void globalFocusChanged(juce::Component* focused) override;

    EditorPreferences& preferences;
    const int desktopStep;
    int current;
    juce::Point<int> windowSize, windowFrame, fixedSize;
    juce::Component::SafePointer<juce::Component> fixedWindow;
    bool listening = false;
};
