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
/** The colours of a row, read from the default look and feel. */
enum ColourIds
{
    textColourId = 0x7e00801,        ///< The title.
    quietTextColourId = 0x7e00802,   ///< The description, and the title of a setup that cannot be used.
    problemColourId = 0x7e00803,     ///< Why a setup cannot be used.
    selectedRowColourId = 0x7e00804, ///< The background of the selected row.
    rowLineColourId = 0x7e00805,     ///< The line under each row.
    starColourId = 0x7e00806,        ///< A favourite's star.
    starOutlineColourId = 0x7e00807, ///< The outline of the star of a setup that is not a favourite.
    tagFillColourId = 0x7e00808,     ///< The pills' fill, which the tag chips above the list share.
    tagTextColourId = 0x7e00809      ///< The pills' text, which the tag chips share too.
};

void paint(juce::Graphics& g, const SetupEntry& entry, bool favourite, int width, int height, bool selected);
} // namespace LibraryRow
