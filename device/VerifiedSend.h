#pragma once

#include "ReadOutChain.h"

#include <condition_variable>
#include <thread>

/** Sends a whole configuration to the keyboard, reads it back and sends again what the keyboard did not
    take, on a thread of its own so that the window stays responsive.

    The first pass is exactly the send-all stream. The read-back uses the read-out's requests (without its
    closing value messages) and lands in the capture of the manager's AnswerRouter, never in the editor's
    configuration. Values that differ are sent again one by one, with a pause between messages that grows on
    each try, followed by the closing command, and read back again; at most three tries. */
class VerifiedSend
{
public:
    /** A value the keyboard holds otherwise than it was sent; field is OrvManager49::globalField for a
        keyboard-wide value. */
    struct Difference
    {
        int field, id, sent, readBack;
        bool operator==(const Difference& o) const
        {
            return field == o.field && id == o.id && sent == o.sent && readBack == o.readBack;
        }
    };

    enum class Outcome
    {
        verified,
        differences, // values still differ after the last try
        silent,      // the keyboard stopped answering the read-back
        lost,        // the keyboard's ports went away
        notConnected // there was no keyboard to send to
    };

    struct Result
    {
        Outcome outcome = Outcome::notConnected;
        int controls = 0, globals = 0; // what was sent
        int retries = 0;               // tries after the first pass
        std::vector<Difference> differences;

        /** One line for the user: what was sent and verified, or what still differs, by name. */
        juce::String describe() const;
    };

    enum class Phase
    {
        idle,
        sending,
        reading,
        retrying
    };

    struct Progress
    {
        Phase phase = Phase::idle;
        int done = 0, total = 0, attempt = 0;
        int tries = 0; // the most tries after the first pass
    };

    /** Reads back through readBack, a chain that does not start on detection and whose stall check someone
        else drives (the keyboard link does). */
    VerifiedSend(OrvManager49& manager, ReadOutChain& readBack, int maxRetries = 3);
    ~VerifiedSend();

    /** Ends a running send without reporting it, and waits for its thread. */
    void stop();

    /** Starts sending a configuration; false when a send or a fresh read is running already. */
    bool start(const SettingsState& configuration);
    bool isRunning() const { return running.load(); }
    /** Acts on one manager event; call it from the listener's handleManagerEvent. */
    void handleManagerEvent(int event, int p1);
    /** Ends a running send as lost: the keyboard it talks to went away, or was found anew. Its read-back's
        capture is closed before this returns, so that a read-out starting next fills the store, not it. */
    void connectionEnded();
    Progress getProgress() const;
    /** Waits until no send runs; false on timeout. */
    bool waitUntilFinished(int timeoutMs);

    /** Heard once a send has ended, on the send's thread. */
    [[nodiscard]] Subscription onFinished(std::function<void(const Result&)> callback)
    {
        return finished.subscribe(std::move(callback));
    }
    /** Heard as the send moves on, on the send's thread or the MIDI input thread. */
    [[nodiscard]] Subscription onProgress(std::function<void()> callback)
    {
        return progressed.subscribe(std::move(callback));
    }
    /** Base pause between the messages of a retry, multiplied by the try's number. */
    int retryPauseMs = 10;

    /** The sent values that a read-back holds otherwise: every field of the keyboard's own controls, and
        the six keyboard-wide values that Send transmits. */
    static std::vector<Difference> compare(const SettingsState& sent, const SettingsState& readBack);

private:
    void run(SettingsState configuration);
    Result runPasses(const SettingsState& configuration);
    /** Reads the keyboard back into a capture; nothing when it did not answer completely. */
    std::optional<SettingsState> readBack(int attempt);
    bool resend(const std::vector<Difference>& differences, int attempt);
    void setProgress(Phase phase, int done, int total, int attempt);
    bool isConnectionLost() const;

    OrvManager49& manager;
    const int maxRetries;
    ReadOutChain& chain;

    std::atomic<bool> running{false}, quitting{false};
    mutable std::mutex lock;
    std::condition_variable changed;
    Progress progress;
    bool chainFinished = false, reporting = false;
    // The send's connection ended; the read-back holds the capture. The capture is opened and closed under
    // the lock (a leaf: AnswerRouter calls nobody), so that an ending connection always finds it closed or
    // closes it itself.
    bool connectionLost = false, holdingCapture = false;
    ReadOutChain::Outcome chainOutcome = ReadOutChain::Outcome::complete;
    std::thread worker;
    Signal<const Result&> finished;
    Signal<> progressed;
    Subscription chainEnded; // last: ended before anything its callback uses
};
