#pragma once

#include "midi_bytes.h"

#include "device/KeyboardLink.h"
#include "device/SysExCodec.h"
#include "device/VirtualMidiPorts.h"
#include "emulator/KeyboardEmulator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

/** A maker's answer as the keyboard sends it: F0 00 6E 31 02 42 02 00 <body> F7. */
juce::MidiMessage answer(std::initializer_list<int> body);
juce::MidiMessage identityReply();
/** A channel message, or a SysEx frame from F0 to F7 holding only data bytes. */
bool isCompleteFrame(const juce::MidiMessage& m);
/** Every configurable control within the keyboard's ranges; of the keyboard-wide values only the six the
    editor sends are set. */
SettingsState randomConfiguration(juce::Random& random);

/** A list that any thread may add to. */
template <typename T> class Recorder
{
public:
    void add(T item)
    {
        std::lock_guard<std::mutex> g(lock);
        items.push_back(std::move(item));
    }
    std::vector<T> all() const
    {
        std::lock_guard<std::mutex> g(lock);
        return items;
    }
    void clear()
    {
        std::lock_guard<std::mutex> g(lock);
        items.clear();
    }

private:
    mutable std::mutex lock;
    std::vector<T> items;
};

struct Event
{
    int event, p1, p2;
    bool operator==(const Event& o) const { return event == o.event && p1 == o.p1 && p2 == o.p2; }
};
std::ostream& operator<<(std::ostream& os, const Event& e);

struct EventLog final : OrvManagerListener, Recorder<Event>
{
    void handleManagerEvent(int event, int p1, int p2, int) override { add({event, p1, p2}); }
    int count(int event) const;
};

/** Virtual ports holding the keyboard emulator and other named ports, the keyboard link with a manager whose
    scan runs on a fake clock, its event log and, on request, the link's read-out started on detection. */
class Rig
{
public:
    static constexpr const char* keyboardName = KeyboardEmulator::defaultPortName;

    /** Outputs in `before` come ahead of the keyboard's, those in `after` behind it; what reaches them is
        kept in `captured`. */
    explicit Rig(const juce::StringArray& before = {}, const juce::StringArray& after = {},
                 const juce::StringArray& extraInputs = {});
    ~Rig();

    /** Advances the clock, runs one scan tick and lets the answers arrive. */
    void tick(int ms = 500)
    {
        now += (juce::uint32)ms;
        manager.timerCallback();
        ports.waitUntilIdle();
    }
    void runScanToEnd()
    {
        for (int i = 0; i < 100 && manager.isScanning(); ++i)
            tick();
    }
    /** Scans with the keyboard answering, lets the scan end and empties the event log. */
    void detect();
    /** Sends a message from the keyboard and waits until it has been dispatched. */
    void fromKeyboard(const juce::MidiMessage& m)
    {
        kbd.sendRaw(m);
        ports.waitUntilIdle();
    }
    /** What the keyboard has received from index `from` on, as hex text. */
    std::vector<juce::String> sentToKeyboard(size_t from = 0) const;
    std::vector<juce::String> sentTo(const juce::String& output) { return captured[output].all(); }

    /** The link's read-out, started on detection from now on, on the fake clock. */
    ReadOutChain& attachChain(int stallTimeoutMs = 2000);
    /** The link's verified send; its read-back waits answerTimeoutMs of real time. */
    VerifiedSend& attachSender(int answerTimeoutMs);

    VirtualMidiPorts ports;

private:
    std::map<juce::String, Recorder<juce::String>> captured;
    void addCapturedOutputs(const juce::StringArray& names);
    std::unique_ptr<KeyboardEmulator> keyboard;

public:
    KeyboardEmulator& kbd;
    std::atomic<juce::uint32> now{100000};
    EventLog events;
    KeyboardLink link{ports};
    OrvManager49& manager;
    Recorder<ReadOutChain::Outcome> outcomes;
    std::atomic<int> globalsReceived{0};

private:
    std::vector<Subscription> heard;
};
