#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <optional>

/** The meaning of the selected control's number, minimum and maximum, in their boxes and tooltips: the
    number's meaning (a note, a program, an MMC command...) drawn over its box where the controller list
    does not say it, and whether the value boxes hold Min and Max or LSB and MSB as a small tag in each.
    Nothing is drawn over a box while the user types in it. */
class ValueHints
{
public:
    ValueHints(juce::ComboBox& number, juce::ComboBox& minimum, juce::ComboBox& maximum);

    /** For a control in that mode, on that channel code, with that number; a negative mode clears them. */
    void update(int mode, int channelCode, int number);
    /** Draws over the boxes, in their parent's coordinates. */
    void paint(juce::Graphics& g) const;

    const juce::String& numberMeaning() const { return meaning; }

private:
    static bool isTyping(const juce::ComboBox& box);
    /** The box's text area, without its arrow, in the parent's coordinates. */
    static juce::Rectangle<int> textArea(const juce::ComboBox& box);

    juce::ComboBox &number, &minimum, &maximum;
    // The boxes' own tooltips, taken at the first update, once the panel has given them.
    std::optional<std::array<juce::String, 3>> ownTips;
    juce::String meaning, minimumRole, maximumRole;
};
