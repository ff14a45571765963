#pragma once

// Plain C++ only: this header is also given to the toolkit's own MIDI code, ahead of its headers.

/** The name under which the program appears in the system's MIDI connection lists. On Linux it names the
    program's ALSA sequencer client, which the toolkit would otherwise call after the application's title, or
    "JUCE" where there is no application object. Set it once at the start of main, before any MIDI port is
    looked at; until then it is "quillet". */
void setMidiClientName(const char* name);
const char* quilletMidiClientName();
