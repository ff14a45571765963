#pragma once

#include "MidiPorts.h"
#include "MonitorTap.h"
#include "model/KbdSettingsStore.h"

#include <mutex>

/** The keyboard's MIDI output and what goes out on it. Its lock keeps the bytes of messages sent from two
    threads apart, and a whole send-all stream in one piece; the port itself is opened and closed with no
    lock held. */
class KeyboardOutput
{
public:
    /** Takes a newly opened port (null: none could be opened). */
    void open(std::unique_ptr<MidiOutputPort> port);
    /** Closes the port, if one is open. */
    void close();
    bool isOpen() const;

    /** Sends one message at once; false and nothing sent when no port is open or the message is not
     * wire-safe. */
    bool send(const juce::MidiMessage& message);
    /** Sends the send-all stream of a configuration, reporting (messages sent, messages in all) after every
        message with the lock held (the callback must not send). Returns the closing command's result. */
    bool sendAll(const SettingsState& state, const std::function<void(int, int)>& progress = {});
    /** The same from the store as it stands, without a copy of the whole configuration. */
    bool sendAll(const KbdSettingsStore& store);
    /** Every message sent goes there too (the link's monitor tap, which outlives the output). */
    void tapInto(MonitorTap& tap) { monitor = &tap; }

private:
    bool sendLocked(const juce::MidiMessage& message);
    bool sendFrames(const std::function<void(int, int)>& progress);

    mutable std::mutex lock;
    std::unique_ptr<MidiOutputPort> port;
    MonitorTap* monitor = nullptr;
    // The frames of the last send-all, built anew only where a value changed.
    std::mutex framesLock;
    std::vector<juce::MidiMessage> frames;
};
