#pragma once

#include "ReadOutChain.h"

#include <condition_variable>

class VerifiedSend;

/** Reads the keyboard's whole configuration afresh into a capture of the manager's AnswerRouter, never into
    the editor's configuration: what the keyboard holds now, for a comparison. It reads as a send's
    read-back does (the read-out's requests, no closing value messages), through a chain of its own; a send,
    the start-up read-out and a fresh read never run at once. */
class FreshRead
{
public:
    struct Result
    {
        bool complete = false; // every answer came
        bool lost = false;     // the keyboard's ports went away part way
        int answers = 0;       // answers that came, of ReadOutChain::numSteps()
        /** What the keyboard said: values it did not get to are absent (-1), never guessed. */
        SettingsState keyboard;
    };

    /** chain: one that does not start on detection and whose stall check someone else drives. */
    FreshRead(OrvManager49& manager, ReadOutChain& chain, const VerifiedSend& sender,
              const ReadOutChain& startup);
    ~FreshRead();

    /** Starts a read; false when there is no keyboard, or a send, the start-up read-out or a read runs. */
    bool start();
    /** Ends a running read without reporting it. */
    void cancel();
    bool isRunning() const { return running.load(); }
    /** Acts on one manager event; call it from the listener's handleManagerEvent. */
    void handleManagerEvent(int event, int p1);
    /** Ends a running read, reported as lost: the keyboard went away, or was found anew. Its capture is
        closed before this returns. */
    void connectionEnded();
    /** Waits until no read runs and its report has been made; false on timeout. */
    bool waitUntilFinished(int timeoutMs);
    int answersSoFar() const { return chain.stepsDone(); }

    /** Called once a read has ended, on the thread that ended it (the MIDI input thread, the stall watch
        or the thread that saw the keyboard go). */
    [[nodiscard]] Subscription onFinished(std::function<void(const Result&)> callback)
    {
        return finished.subscribe(std::move(callback));
    }

private:
    void finish(bool complete, bool lost);

    OrvManager49& manager;
    ReadOutChain& chain;
    const VerifiedSend& sender;
    const ReadOutChain& startup;
    std::atomic<bool> running{false};
    std::mutex lock;
    std::condition_variable ended;
    bool reporting = false;
    Signal<const Result&> finished;
    Subscription chainEnded; // last: ended before anything its callback uses
};
