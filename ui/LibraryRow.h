#pragma once

#include "files/SetupLibrary.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** One setup as the library's list draws it: the favourite's star, the title, the tags as small pills and
    the first line of the description (or, greyed, why the file cannot be used), and the small picture of
    the keyboard with the controls it changes. */
namespace LibraryRow
{
constexpr int rowHeight = 54;
/** A click left of this is on the star. */
constexpr int starWidth = 30;
/** The pills' colours, which the tag chips above the list share. */
const juce::Colour tagFill(0xFFE6EAEE), tagText(0xFF3C4650);

void paint(juce::Graphics& g, const SetupEntry& entry, bool favourite, int width, int height, bool selected);
} // namespace LibraryRow
