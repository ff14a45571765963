#pragma once

#include "device/MonitorFilter.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The monitor's filters as a user sets them: a toggle per kind of message, the channels from a menu, the
    two directions, and "only the selected controls". Says when any of them changes; the controls themselves
    are the view's to fill in. */
class MonitorFilterBar : public juce::Component
{
public:
    MonitorFilterBar();

    /** The filter as set, without the selected controls. */
    const MonitorFilter& filter() const { return current; }
    void setFilter(const MonitorFilter& filter);
    bool onlySelected() const { return only.getToggleState(); }
    void setOnlySelected(bool onlySelectedControls);
    /** Shows the channel menu; a choice in it changes the filter. */
    void showChannelMenu();

    std::function<void()> onChange;

    static constexpr int rowHeight = 26, height = 2 * rowHeight;
    void resized() override;

private:
    void changed();
    void showState();

    MonitorFilter current;
    juce::OwnedArray<juce::ToggleButton> kinds;
    juce::TextButton channels{"Channels: all"};
    juce::ToggleButton from{"From keyboard"}, to{"To keyboard"}, only{"Only the selected controls"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MonitorFilterBar)
};
