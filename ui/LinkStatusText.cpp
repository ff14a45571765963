#include "LinkStatusText.h"

const char* const keyboardUnpluggedText =
    "The keyboard is not connected: its MIDI ports have gone. Plug it in "
    "again; the editor finds it by itself.";

namespace
{
const char* const notFoundAdvice =
    "No keyboard answered. Check the USB cable and the keyboard's power, that no other program is holding "
    "its MIDI port, and that the system's MIDI service is running. Click here to search again.";

juce::String clockTime(const juce::Time& t)
{
    return t.formatted("%H:%M");
}

LinkStatusText duringWork(const LinkFacts& f)
{
    if (f.sending)
    {
        const auto& p = f.sendProgress;
        if (p.phase == VerifiedSend::Phase::reading)
            return {"Checking what the keyboard took",
                    "Verifying " + juce::String(p.done) + " of " + juce::String(p.total),
                    "Reading the settings back to compare them with what was sent.", false};
        if (p.phase == VerifiedSend::Phase::retrying)
            return {"Sending again, try " + juce::String(p.attempt) + " of " + juce::String(p.tries),
                    "Retrying " + juce::String(p.done) + " of " + juce::String(p.total),
                    "Sending again the values the keyboard did not take.", false};
        return {"Sending to the keyboard",
                "Sending " + juce::String(p.total > 0 ? 100 * p.done / p.total : 0) + "%",
                "Sending the whole configuration to the keyboard.", false};
    }
    return {"Reading from the keyboard",
            "Reading " + juce::String(f.readSteps) + " of " + juce::String(f.readStepsInAll),
            "Reading the keyboard's settings on " + f.port + ".", false};
}
} // namespace

juce::String changesText(int n)
{
    return juce::String(n) + (n == 1 ? " change" : " changes");
}

namespace
{
/** The texts for the link alone, before the note's click and the settings file are added. */
LinkStatusText describeLinkAlone(const LinkFacts& f)
{
    if (f.sending || f.reading)
        return duringWork(f);
    // A search about to start is shown as one under way: the window's first picture says so.
    if (!f.found && f.searching)
        return {"Looking at the MIDI ports", "Searching...",
                "Looking for the keyboard among the system's MIDI ports.", false};
    if (!f.found && f.unplugged)
        return {"Plug it in again to reconnect", "Unplugged",
                juce::String(keyboardUnpluggedText) + " Click here to search again.", true};
    if (!f.found)
    {
        const juce::String when = f.searchedAt != juce::Time() ? "Not found at " + clockTime(f.searchedAt)
                                                               : "Check cable, power, MIDI port";
        if (f.serviceProblem.isNotEmpty())
            return {f.note.isNotEmpty() ? f.note : when, "No MIDI service",
                    f.serviceProblem + " Click here to search again.", true};
        return {f.note.isNotEmpty() ? f.note : when, "Not found: click", notFoundAdvice, true};
    }

    // The last thing that happened on the link, then whether the editor holds changes the keyboard lacks.
    LinkStatusText t{f.port, f.readIncomplete ? "Not all read" : "Connected",
                     "Connected to the keyboard on " + f.port + ".", false};
    if (f.lastSend)
    {
        const auto when = clockTime(f.sentAt);
        const auto& r = *f.lastSend;
        t.tooltip = r.describe() + ".";
        if (r.outcome == VerifiedSend::Outcome::verified)
        {
            t.detail = "Sent and verified at " + when;
            t.headline = "Verified";
        }
        else if (r.outcome == VerifiedSend::Outcome::differences)
        {
            t.detail = "Sent at " + when + ", not all taken";
            t.headline = juce::String((int)r.differences.size()) +
                         (r.differences.size() == 1 ? " value differs" : " values differ");
        }
        else
        {
            t.detail = "Sent at " + when + ", not verified";
            t.headline = "Not verified";
        }
    }
    else if (f.readAt != juce::Time())
    {
        t.detail = "Read from the keyboard at " + clockTime(f.readAt);
        t.headline = "Connected";
        t.tooltip = t.detail + " on " + f.port + ".";
    }
    if (f.unsent > 0)
    {
        t.headline = changesText(f.unsent) + " not sent";
        t.tooltip << " " << changesText(f.unsent)
                  << " in the editor are not on the keyboard yet; Send to Keyboard "
                  << "sends them.";
    }
    if (f.note.isNotEmpty())
        t.detail = f.note;
    return t;
}
} // namespace

namespace
{
juce::String syncText(const LinkFacts& f)
{
    const bool sendConfirmed = f.lastSend && (f.lastSend->outcome == VerifiedSend::Outcome::verified ||
                                              f.lastSend->outcome == VerifiedSend::Outcome::differences);
    const bool known = f.found && f.keyboardKnown &&
                       (f.readAt != juce::Time() || sendConfirmed || f.freshReadAt != juce::Time());
    if (!known)
        return "Whether the keyboard holds the editor's settings is unknown: it has not been read since it "
               "was plugged in.";
    if (f.unsent == 0)
        return "In sync: the keyboard holds the editor's settings.";
    return "Differs from the keyboard in " + juce::String(f.unsent) +
           (f.unsent == 1 ? " value." : " values.");
}

/** What the comparisons add: their read while it runs, else the last one's time and whether the keyboard
    holds the editor's settings. */
void addComparisons(LinkStatusText& t, const LinkFacts& f)
{
    if (f.freshReading && !f.sending && !f.reading)
    {
        t = {"Reading from the keyboard",
             "Reading " + juce::String(f.freshReadSteps) + " of " + juce::String(f.readStepsInAll),
             "Reading the keyboard's settings on " + f.port + " for a comparison.", false};
        return;
    }
    if (f.sending || f.reading || !f.found)
        return;
    // The last read is the comparison's when nothing was sent since the keyboard was found.
    if (f.freshReadAt != juce::Time() && !f.lastSend && f.note.isEmpty() && f.freshReadAt > f.readAt)
        t.detail = "Read from the keyboard at " + clockTime(f.freshReadAt);
    t.tooltip << " " << syncText(f);
    if (f.firmware.isNotEmpty())
        t.tooltip << " Firmware version " << f.firmware << ".";
    t.tooltip << " Click for Read from the Keyboard and the comparisons.";
}
} // namespace

LinkStatusText describeLink(const LinkFacts& f)
{
    auto t = describeLinkAlone(f);
    if (f.note.isNotEmpty() && f.noteClickable && t.detail == f.note)
        t.clickable = true;
    if (f.fileName.isNotEmpty())
        t.tooltip << "\nSettings file: " << f.fileName;
    if (f.comparisons)
        addComparisons(t, f);
    return t;
}
