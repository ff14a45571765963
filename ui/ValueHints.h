#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <optional>

/** The meaning of the selected control's number, minimum and maximum, in their boxes and tooltips: the
    number box's entries in the mode's meaning (a note, a program, an MMC command...; the controllers' list
    where the number is a controller), and whether the value boxes hold Min and Max or LSB and MSB as a
    small tag in each. Nothing is drawn over a box while the user types in it. */
class ValueHints
{
public:
    /** numberLabel names what the number is, as the mode says. */
    ValueHints(juce::Label& numberLabel, juce::ComboBox& number, juce::ComboBox& minimum,
               juce::ComboBox& maximum);

    /** For a control in that mode, on that channel code, with that number; a negative mode clears them. */
    void update(int mode, int channelCode, int number);
    /** Draws over the boxes, in their parent's coordinates. */
    void paint(juce::Graphics& g) const;

    const juce::String& numberMeaning() const { return meaning; }

private:
    /** Names the number box's entries for the mode, renaming only when they change. */
    void showEntries(int mode, int channelCode);
    static bool isTyping(const juce::ComboBox& box);
    /** The box's text area, without its arrow, in the parent's coordinates. */
    static juce::Rectangle<int> textArea(const juce::ComboBox& box);

    juce::Label& numberLabel;
    juce::ComboBox &number, &minimum, &maximum;
    std::optional<juce::String> ownLabel, ownTitle; // the panel's, for the controller modes
    // The boxes' own tooltips, taken at the first update, once the panel has given them.
    std::optional<std::array<juce::String, 3>> ownTips;
    juce::String meaning, minimumRole, maximumRole;
    juce::StringArray controllerEntries;                // the panel's list, taken at the first update
    std::optional<std::pair<int, int>> entriesShownFor; // the mode and channel the entries were named for
};
