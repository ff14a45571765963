#pragma once

#include "MonitorDecoder.h"

/** The monitor's record: the newest lines, at most a fixed number, and the messages not decoded yet.

    The MIDI input thread (and whoever sends) only appends a message's time, direction and bytes to a pending
    buffer of fixed size, allocated once: no allocation per message, and a lock held only for that copy. The
    message thread's drain() takes the pending messages out under the same short lock and decodes them into
    lines with no lock held, so painting never waits on MIDI and MIDI never waits on painting. What does not
    fit is counted: lines pushed out by newer ones, and messages that came while the pending buffer was full.

    Pausing is a view's affair: a paused history still takes, counts and keeps every message. */
class MonitorHistory
{
public:
    static constexpr int defaultCapacity = 100000;

    /** capacity: lines kept; pendingMessages and pendingBytes: what may wait between two drains. */
    explicit MonitorHistory(int capacity = defaultCapacity, int pendingMessages = 8192,
                            int pendingBytes = 1 << 20);

    //==============================================================================
    // Any thread (the MIDI input thread, the sending thread).
    /** Keeps a message for the next drain; false when the pending buffer is full and it was dropped. */
    /** port: the tap's number for the port it went through. */
    bool add(double time, MonitorDirection direction, const juce::uint8* data, int size,
             juce::uint8 port = 0) noexcept;
    bool add(double time, MonitorDirection direction, const juce::MidiMessage& message,
             juce::uint8 port = 0) noexcept
    {
        return add(time, direction, message.getRawData(), message.getRawDataSize(), port);
    }

    //==============================================================================
    // Message thread.
    /** Decodes the pending messages into lines; returns how many lines were added. */
    int drain(MonitorDecoder& decoder);
    /** Lines kept, at most the capacity. */
    int size() const { return (int)kept.size(); }
    /** A kept line, 0 the oldest. */
    const MonitorLine& line(int index) const
    {
        jassert(index >= 0 && index < size());
        return kept[(oldest + (size_t)index) % kept.size()];
    }
    /** The kept lines, oldest first, for saving. */
    std::vector<MonitorLine> copyLines() const;
    /** Lines pushed out by newer ones plus messages dropped while the pending buffer was full. */
    juce::int64 dropped() const;
    /** Messages dropped while the pending buffer was full, never decoded. */
    juce::int64 droppedWaiting() const;
    /** Every message ever added, dropped or not. */
    juce::int64 received() const;
    /** Forgets every line, the messages not decoded yet and the counts. */
    void clear();

    void setPaused(bool shouldPause) { paused = shouldPause; }
    bool isPaused() const { return paused; }

private:
    struct Pending
    {
        double time;
        MonitorDirection direction;
        juce::uint8 port;
        int offset, size;
    };

    const size_t capacity;
    const size_t maxPending, maxPendingBytes;

    // Held only to copy one message in, to swap the buffers out or to read the counts: a spin lock, whose
    // release is a plain store, costs the MIDI thread one atomic operation per message.
    using Lock = juce::SpinLock;
    mutable Lock pendingLock;
    std::vector<Pending> pending, draining;
    std::vector<juce::uint8> pendingBytes, drainingBytes;
    juce::int64 droppedPending = 0, receivedCount = 0; // guarded by pendingLock

    juce::int64 droppedLines = 0; // message thread only
    // A ring once full: the oldest line's memory is reused for the newest.
    std::vector<MonitorLine> kept;
    size_t oldest = 0;
    bool paused = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MonitorHistory)
};
