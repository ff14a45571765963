#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** Where the keyboard moves between the controls of the picture: the nearest control in a direction, and a
    stable walk through all of them in reading order (rows from top to bottom, each from left to right).
    Plain geometry over the controls' rectangles, by index; it knows nothing of buttons or focus. */
class PickerGeometry
{
public:
    enum class Direction
    {
        left,
        right,
        up,
        down
    };

    explicit PickerGeometry(std::vector<juce::Rectangle<int>> spots);

    /** The control nearest to this one in that direction, or -1 when there is none. Controls beside it in
        the same lane (their extents across the direction overlap) come first; otherwise the nearest of those
        lying more that way than aside, with a step aside counting twice a step along. */
    int neighbour(int index, Direction direction) const;

    /** The indices in reading order. A row is led by the control whose centre lies highest among those
        left; every control whose centre lies within the leader's height joins its row. */
    const std::vector<int>& readingOrder() const { return order; }

    /** The control after (or before) this one in reading order, or -1 past either end. */
    int step(int index, bool forward) const;

    /** The controls whose centres lie within an area, in reading order. */
    std::vector<int> within(juce::Rectangle<int> area) const;
    /** The area from one control to another: both, and all between them. */
    juce::Rectangle<int> span(int from, int to) const;

private:
    std::vector<juce::Rectangle<int>> spots;
    std::vector<int> order;
};
