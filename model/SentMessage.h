#pragma once

#include "KbdSettingsStore.h"

#include <vector>

/** What a control sends, in MIDI terms: the kind of message, the MIDI channels it goes out on (the keyboard's
    lower and upper channels looked up, All as every channel), its number and its value range. For the
    exports a DAW reads and for naming what the keyboard sends. */
struct SentMessage
{
    enum class Kind
    {
        none,       // off, or a mode that sends no channel message a DAW names
        controller, // control change: number is the controller
        rpn,        // registered parameter: number is the parameter
        nrpn,       // non-registered parameter
        note,       // note on and off: number is the note
        program,    // program change: number is the program, from 0
        mmc         // a MIDI Machine Control command (SysEx): number is the command
    };

    Kind kind = Kind::none;
    std::vector<int> channels; // 0..15, in order
    int number = 0;
    int min = 0, max = 127;

    /** What the control sends in the configuration; Kind::none when it sends nothing nameable. The Panel
        channel is the keyboard's own MIDI channel, the slot the keyboard answers as its channel: the upper
        channel's. */
    static SentMessage of(const SettingsState& state, int id);
    /** The mode's kind alone. */
    static Kind kindOfMode(int mode);
    /** The MIDI channels (0..15) a channel code sends on under the configuration's keyboard-wide channels:
        Lower and Upper looked up, Panel as the upper channel's slot, All as every channel; none for a code
        that is no channel. */
    static std::vector<int> channelsOf(int code, const SettingsState& state);
};
