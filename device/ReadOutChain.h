#pragma once

#include "OrvManager49.h"
#include "Subscription.h"

#include <atomic>
#include <functional>
#include <iterator>

/** Reads the keyboard's whole configuration after it has been detected: one request per answer, the
    numbers, modes, channels, minimums and maximums of all controls, then the keyboard-wide values, then the
    octave shift, then eight closing value messages. Driven by the manager's events through
    handleManagerEvent, which the manager's listener forwards. A keyboard that stops answering ends the
    read-out after a bounded wait, reported as incomplete; the wait is measured by checkForStall, which the
    keyboard link calls while a read-out runs (no toolkit timer: a read-out starts on the MIDI thread, and not
    every platform lets a timer start there). */
class ReadOutChain
{
public:
    enum class Outcome
    {
        complete,
        stalled,     // the keyboard stopped answering part way
        interrupted, // an answer arrived that the read-out did not expect
        disconnected // the keyboard was pulled part way
    };

    /** When a read-out begins. */
    enum class Start
    {
        onDetection, // by itself when the keyboard is detected, and by start(): the editor's start-up
                     // read-out
        onRequest    // only by start(): a send's read-back, a read for a comparison
    };

    explicit ReadOutChain(OrvManager49& manager, int stallTimeoutMs = 2000,
                          Start starts = Start::onDetection);

    /** Acts on one manager event; call it from the listener's handleManagerEvent, on any thread. */
    void handleManagerEvent(int event, int p1);

    /** Begins a read-out. withClosingValues: end it with the eight closing value messages, as the start-up
        read-out does; a read-back after Send leaves them out, its stream has ended with its own closing
        command. */
    void start(bool withClosingValues = true);
    /** Ends a running read-out without an outcome being reported. */
    void cancel();
    /** The keyboard was pulled: a running read-out ends now, reported as disconnected, rather than at the
        stall check. */
    void connectionEnded() { finish(Outcome::disconnected); }

    /** True while a read-out runs. */
    bool isActive() const { return readOutActive.load(); }
    /** Answers received so far, of numSteps(). */
    int stepsDone() const;
    static int numSteps();

    /** Ends a read-out that has waited longer than the stall timeout for an answer; any thread. */
    void checkForStall();
    void setClock(std::function<juce::uint32()> clock);
    void setStallTimeout(int ms) { stallTimeoutMs = ms; }

    /** Heard once the split point, the last keyboard-wide value shown by the editor, has arrived. */
    [[nodiscard]] Subscription onGlobalsReceived(std::function<void()> callback)
    {
        return globalsReceived.subscribe(std::move(callback));
    }
    /** Heard once when a read-out ends, on the thread that ended it. */
    [[nodiscard]] Subscription onFinished(std::function<void(Outcome)> callback)
    {
        return finished.subscribe(std::move(callback));
    }
    /** Heard when a read-out begins, on the thread that began it: whoever checks for a stall starts now. */
    [[nodiscard]] Subscription onStarted(std::function<void()> callback)
    {
        return started.subscribe(std::move(callback));
    }

private:
    void touch();
    void finish(Outcome outcome);

    OrvManager49& manager;
    std::atomic<int> stallTimeoutMs;
    const bool startsOnDetection;
    std::atomic<bool> readOutActive{false}, closingValues{true};
    std::atomic<int> nextStep{0}; // the answer the read-out waits for
    std::atomic<int> answered{0};
    std::atomic<juce::uint32> lastActivity{0};
    std::function<juce::uint32()> clock;
    Signal<> globalsReceived, started;
    Signal<Outcome> finished;
};
