#pragma once

#include "EditorDialogs.h"
#include "LinkStatusText.h"
#include "device/KeyboardLink.h"
#include "model/EditHistory.h"

#include <atomic>
#include <mutex>

/** The link to the keyboard as the editor tells it. What happens on the link is noted on any thread and
    acted on at the next update, on the message thread: the search started from the message loop, the
    read-out's end, an unplugged keyboard, a send's result, with the messages the user must see. It keeps
    the facts the status display is worded from, and runs Send to Keyboard. */
class LinkState
{
public:
    LinkState(KeyboardLink& link, EditHistory& history, EditorDialogs& dialogs);

    /** Called, on any thread, when something happened that the next update acts on. */
    std::function<void()> changed;

    /** Records one of the manager's events; any thread. */
    void noteEvent(int event, int p1);
    /** The search starts at the next update: from the message loop, once the window is on the screen. */
    void searchSoon();
    /** What an update found for the window to show. */
    struct Update
    {
        bool globalsArrived = false; // the keyboard-wide values arrived, or were put in
        bool readOutEnded = false;   // complete or not
        bool closeApproved = false;  // a send asked for on closing was verified: the window may close
        bool sendVerified = false;   // any send was verified
        int touched = -1;            // the control last moved on the keyboard
    };
    /** Acts on everything noted since the last update, and says what the window has to show. Message
        thread. */
    Update update();

    /** Sends the editor's configuration and has it verified, or says why it cannot. */
    void send();
    /** Sends, then lets the window close once the keyboard is seen to hold everything. */
    void sendThenClose();
    /** A passing word in the status display, such as how to undo Default Values, and what a click on it
        does, if anything; cleared by what follows. */
    void setNote(const juce::String& text, std::function<void()> onClick = {})
    {
        note = text;
        noteAction = std::move(onClick);
    }
    /** The status display was clicked: does what the note offers and clears it; false when it offers
        nothing. */
    bool clickNote();
    /** A search the user asked for starts: it is shown as under way for a moment at least, so that the
        click is seen to be taken also when the search ends at once. */
    void searchStarted() { searchShownUntil = juce::Time::getMillisecondCounter() + minimumSearchShownMs; }
    static constexpr int minimumSearchShownMs = 700;
    /** The settings file the editor holds, named in the status display's tooltip. */
    void setFileName(const juce::String& name) { fileName = name; }

    /** The facts of the link now, with the count of values not sent. */
    LinkFacts facts(int unsent) const;

private:
    enum Pending : unsigned
    {
        startSearch = 1,
        globals = 2,
        detected = 4,
        unplugged = 8,
        scanEnded = 16,
        readComplete = 32,
        readIncomplete = 64
    };
    void setPending(unsigned what);
    /** True when the editor's own keyboard-wide values were put in. */
    bool putInEditorGlobals();
    bool readOutEnded(bool complete);
    /** True when the window may close. */
    bool showSendResult(const VerifiedSend::Result& result);

    KeyboardLink& link;
    OrvManager49& manager;
    EditHistory& history;
    EditorDialogs& dialogs;

    std::atomic<unsigned> pending{0};
    std::atomic<int> touched{-1};
    std::mutex sendResultLock;
    std::optional<VerifiedSend::Result> sendResult;

    // Message thread only.
    bool startupSearch = true, isUnplugged = false, notAllRead = false, closeAfterSend = false;
    juce::Time readAt, sentAt;
    int connection = 0;
    std::optional<VerifiedSend::Result> lastSend;
    juce::String note, fileName, serviceProblem;
    std::function<void()> noteAction;
    juce::Time searchedAt;
    juce::uint32 searchShownUntil = 0;
    std::vector<Subscription> heard; // last: ended first

    JUCE_DECLARE_NON_COPYABLE(LinkState)
};
