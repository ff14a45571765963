#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/** Plays the channel messages of a Standard MIDI File as the emulated keyboard's own, as if its controls
    were moved: at the file's timing, or at a fixed rate of messages per second, from a second after it is
    started. Plays once, on a thread of its own, and stops at once when destroyed. */
class EmulatedPlayer
{
public:
    /** A file's channel messages, stamped with their time in seconds from its start, in order; or why there
        are none. */
    struct Loaded
    {
        std::vector<juce::MidiMessage> messages;
        juce::String problem; // empty when loaded
    };
    /** Reads a Standard MIDI File through the file gate. */
    static Loaded read(const juce::File& file);
    /** Reads a Standard MIDI File's bytes. */
    static Loaded parse(const void* data, size_t size);

    using Send = std::function<void(const juce::MidiMessage&)>;
    EmulatedPlayer() = default;
    /** Stops at once. */
    ~EmulatedPlayer() { stop(); }

    /** Reads the file to play; the problem in words, or nothing when it can be played. */
    juce::String load(const juce::File& file);
    /** That many messages per second instead of the file's timing (0: the file's). */
    void setRate(int messagesPerSecond);
    /** Starts playing through send, once: later calls, and calls with nothing loaded or once stopped, do
        nothing. Any thread. */
    void startOnce(Send send);
    /** Stops playing, for good. */
    void stop();

    /** How many messages have been sent so far. */
    int sent() const { return count.load(); }
    bool finished() const { return done.load(); }

private:
    void run();

    std::vector<juce::MidiMessage> messages;
    int rate = 0;
    Send send;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false, started = false;
    std::atomic<int> count{0};
    std::atomic<bool> done{false};
    std::thread thread;

    JUCE_DECLARE_NON_COPYABLE(EmulatedPlayer)
};
