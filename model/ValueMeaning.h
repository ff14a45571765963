#pragma once

#include "ControlCatalogue.h"

#include <string>

/** What a control's number, minimum and maximum mean in its mode, in a musician's words: the note and,
    on channel 10, the General MIDI drum for the note modes; the program for Patch Change; the command for
    MMC; the parameter for the RPNs that have a name; and whether the two value fields are a range (Min,
    Max) or a parameter's two bytes (LSB, MSB). Empty where the panel's own list already says it. */
namespace ValueMeaning
{
/** The number's meaning for a control in that mode on that channel code; empty when it is a controller. */
std::string ofNumber(int mode, int channelCode, int number);
/** Which meaning applies to a value field (itemFieldMinLsb or itemFieldMaxMsb) in that mode: "Min", "Max",
    "LSB" or "MSB". */
std::string roleOf(int mode, int field);
/** The number's meaning in a few words, for lists and tables that show many controls: in the note modes the
    note ("C1") and, on channel 10, the General MIDI drum after a middle dot ("C1 · Bass Drum 1"); the
    program ("program 37"), preset, MMC command or RPN name otherwise; empty for the controller modes, whose
    number the controller list names already. UTF-8. */
std::string shortMeaning(int mode, int channelCode, int number);
/** The number followed by its short meaning, "36 - C1 · Bass Drum 1", or the bare number when the meaning
    is empty. UTF-8. */
std::string numberWithMeaning(int mode, int channelCode, int number);
/** The General MIDI name of a drum note (35 to 81), or empty. */
std::string drumName(int note);
} // namespace ValueMeaning
