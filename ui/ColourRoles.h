#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The colours the editor's components paint, by role. Each component declares the ids of its own colours;
    the roles several components share are declared here. Every value is set in one place, on a look and
    feel, so a component asks for its colour and never spells it out. */
namespace EditorColours
{
enum ColourIds
{
    notSentColourId = 0x7e00101,         ///< A value the keyboard does not have yet.
    selectedControlColourId = 0x7e00102, ///< The veil of the selected control, and the field naming it.
    panelButtonColourId = 0x7e00103,     ///< The frame of the panel's text buttons.
    panelButtonOnColourId = 0x7e00104,   ///< The fill of the panel's text buttons.
    panelButtonTextColourId = 0x7e00105  ///< The text of the panel's text buttons.
};

/** Gives a text button the panel's button colours, as its look and feel has them. */
inline void usePanelButtonColours(juce::Button& b)
{
    b.setColour(juce::TextButton::buttonColourId, b.findColour(panelButtonColourId));
    b.setColour(juce::TextButton::buttonOnColourId, b.findColour(panelButtonOnColourId));
    b.setColour(juce::TextButton::textColourOffId, b.findColour(panelButtonTextColourId));
    b.setColour(juce::TextButton::textColourOnId, b.findColour(panelButtonTextColourId));
}
} // namespace EditorColours
