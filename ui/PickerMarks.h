#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <set>

/** The marks drawn over the keyboard picture, beside its controls: the quiet dot of a control whose values
    the keyboard does not have yet, the blue ring of one listed in the comparison shown, the ring of one the
    keyboard reported moving, which fades by itself, and the frame of the one that has the keyboard. A change
    repaints only the controls whose marks came or went. */
class PickerMarks
{
public:
    /** The colours of the marks; the dot of a value not sent is EditorColours::notSentColourId. */
    enum ColourIds
    {
        comparedColourId = 0x7e00301, ///< The ring of a control listed in the comparison.
        touchedColourId = 0x7e00302   ///< The ring of a control the keyboard reported moving.
    };

    /** Draws over picture, where controlFor gives the control of an id (null: none). */
    PickerMarks(juce::Component& picture, std::function<juce::Component*(int itemId)> controlFor);

    void setMarked(const std::set<int>& ids);
    const std::set<int>& getMarked() const { return marked; }
    void setCompared(const std::set<int>& ids);
    const std::set<int>& getCompared() const { return compared; }

    /** Rings a control briefly; a control that keeps moving keeps it lit. */
    void touch(int itemId);
    /** The control ringed as touched, or -1. */
    int getTouched() const { return touchedId; }

    /** Paints every mark over the picture's controls; focused: the control that has the keyboard, or null. */
    void paint(juce::Graphics& g, const juce::Component* focused) const;

private:
    void fadeTouchedLater(int itemId, int delayMs);
    void repaintChanged(const std::set<int>& before, const std::set<int>& after);

    juce::Component& picture;
    std::function<juce::Component*(int)> controlFor;
    std::set<int> marked, compared;
    int touchedId = -1;
    juce::uint32 touchedAt = 0;

    JUCE_DECLARE_WEAK_REFERENCEABLE(PickerMarks)
    JUCE_DECLARE_NON_COPYABLE(PickerMarks)
};
