#pragma once

#include "model/ControlRole.h"
#include "model/SentMessage.h"

/** One control with a role in a DAW map: what it sends and what it does. */
struct MapBinding
{
    int id;
    juce::String control; // the user's name, else the control's own, on one line
    SentMessage sent;
    ControlRole role;

    /** The MIDI channel (0..15) a map listens on: the first the control sends on (a control on every
        channel sends the same message on each, so one is enough and a button is not pressed sixteen
        times). */
    int channel() const { return sent.channels.front(); }
};

/** A map's whole text and what it had to leave out, a line each naming the control. */
struct MapText
{
    std::string text;
    juce::StringArray warnings;
};
