#include "NumberBox.h"

namespace
{
// What one notch of a wheel reports on the desktops the editor runs on (X11 gives 50/256, the smallest).
constexpr float notchTravel = 50.0f / 256.0f;
} // namespace

void NumberBox::mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    // Over an open list the box does what the toolkit does.
    if (!isEnabled() || isPopupActive() || e.eventComponent != this || wheel.deltaY == 0.0f)
        return juce::ComboBox::mouseWheelMove(e, wheel);

    int steps = 0;
    if (!wheel.isSmooth)
        steps = wheel.deltaY > 0.0f ? 1 : -1; // one event is one notch, however far the system says it went
    else
    {
        travel += wheel.deltaY;
        steps = (int)(travel / notchTravel);
        travel -= (float)steps * notchTravel;
    }
    if (wheel.isReversed)
        steps = -steps;
    if (steps == 0)
        return;

    // The list rises downwards: up is the next entry. Entries that cannot be picked are passed over.
    const int count = getNumItems();
    int index = getSelectedItemIndex();
    for (int remaining = std::abs(steps); remaining > 0;)
    {
        int next = index + (steps > 0 ? 1 : -1);
        while (next >= 0 && next < count && !isItemEnabled(getItemId(next)))
            next += steps > 0 ? 1 : -1;
        if (next < 0 || next >= count)
            break;
        index = next;
        --remaining;
    }
    if (index != getSelectedItemIndex() && index >= 0)
        setSelectedItemIndex(index, juce::sendNotificationAsync);
}
