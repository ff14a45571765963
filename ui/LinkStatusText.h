#pragma once

#include "device/VerifiedSend.h"

#include <optional>

/** What the link to the keyboard looks like at one moment: the facts the status display is worded from. */
struct LinkFacts
{
    bool sending = false; // a verified send runs
    VerifiedSend::Progress sendProgress;
    bool reading = false; // the start-up read-out runs
    int readSteps = 0, readStepsInAll = 0;
    bool found = false;     // the keyboard answered and is connected
    bool searching = false; // a search runs, or is about to start
    bool unplugged = false, readIncomplete = false;
    juce::String port; // the keyboard's output
    std::optional<VerifiedSend::Result> lastSend;
    juce::Time sentAt, readAt;  // readAt: a null time when no read-out completed since the keyboard was found
    int unsent = 0;             // values in the editor the keyboard does not have yet
    juce::String note;          // a passing word of the editor's, shown over the detail
    bool noteClickable = false; // a click on the note does what it offers
    juce::Time searchedAt;      // when the last search ended without finding the keyboard
    juce::String serviceProblem; // why the system's MIDI service cannot be used, if it cannot
    juce::String fileName;       // the settings file last loaded or saved
    int connection = 0;          // counts the keyboard's detections: a read belongs to one connection

    // What the comparisons add, when the editor offers them.
    bool comparisons = false;
    bool freshReading = false; // a read for a comparison runs
    int freshReadSteps = 0;
    juce::Time freshReadAt; // the last complete read for a comparison on this connection, else a null time
    bool keyboardKnown = false; // the editor has known the keyboard's values since it was found
    juce::String firmware;      // the keyboard's firmware version, if it said
};

/** The status display's texts for those facts. */
struct LinkStatusText
{
    juce::String detail, headline, tooltip;
    bool clickable = false; // a click searches again, or does what the note offers

    bool operator==(const LinkStatusText& o) const
    {
        return detail == o.detail && headline == o.headline && tooltip == o.tooltip &&
               clickable == o.clickable;
    }
};

/** Words the link's state for the status display: the work under way first (sending, reading, searching),
    else whether the keyboard is there, the last thing that happened on the link and the changes not sent. */
LinkStatusText describeLink(const LinkFacts& facts);

/** "1 change" or "n changes". */
juce::String changesText(int n);

/** What the editor says when the keyboard has gone. */
extern const char* const keyboardUnpluggedText;
