#pragma once

#include "PortWatch.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <mutex>

/** The search for the keyboard: opens every input and asks the outputs for their identity, one per timer
    tick, three passes in all; keeps the keyboard's ports once one answers, and its input open.

    Threads: the timer and the ports' opening and closing run on the message thread; the keyboard's ports
    and version are recorded from the MIDI input thread too. The lock guards the scan's inputs and state
    and the keyboard's port names; ports are opened and closed with no lock held. */
class KeyboardScan : private juce::Timer
{
public:
    /** Opens the inputs with the listener; tells the port watch the lists it starts asking. */
    KeyboardScan(MidiPortSystem& ports, MidiPortListener& listener, PortWatch& portWatch);
    ~KeyboardScan() override;

    /** Told on the message thread when a scan ends with no keyboard found. */
    std::function<void()> onUnanswered;

    /** Opens every input and starts asking the outputs, unless a scan runs already. */
    void start();
    /** The timer action; public so that the scan can be driven step by step. */
    void timerCallback() override;
    /** Closes the scan's inputs except the keyboard's own, which stays open for the rest of the run. */
    void closeInputs();
    /** The keyboard's ports are gone: a running scan ends (its ports are dead), every input is closed and the
        keyboard is forgotten. */
    void keyboardGone();
    /** Stops the scan and closes its inputs and the asked output, keeping what it knows of the keyboard. */
    void close();

    /** Records the keyboard's ports; from now on it counts as found. */
    void keyboardFound(const juce::String& inputName, const juce::String& outputName);
    /** The name of the output asked last, which a reply answers. */
    juce::String askedOutputName();
    void setFirmwareVersion(const juce::String& version);

    bool isFound() const { return found.load(); }
    bool isScanning() const { return scanning.load(); }
    juce::String getKeyboardInputName() const;
    juce::String getKeyboardOutputName() const;
    juce::String getFirmwareVersion() const;

    /** Replaces the millisecond clock that the timing reads. */
    void setClock(std::function<juce::uint32()> clock);

private:
    void probeOutput(int index);
    void releaseInputsExceptKeyboard(std::vector<std::unique_ptr<MidiInputPort>>& released);
    /** Stops and closes every input the scan holds, the keyboard's too; keyboardGone also forgets it. */
    void stopInputs(bool keyboardGone);

    MidiPortSystem& ports;
    MidiPortListener& listener;
    PortWatch& portWatch;

    mutable std::mutex lock;
    std::vector<std::unique_ptr<MidiInputPort>> inputs;
    std::unique_ptr<MidiOutputPort> probe;
    int probeIndex = 0, outputCount = 0, passesLeft = 0;
    juce::uint32 lastActionTime = 0;
    juce::String keyboardInputName, keyboardOutputName, firmwareVersion;
    std::function<juce::uint32()> clock;
    std::atomic<bool> found{false}, scanning{false};

    JUCE_DECLARE_NON_COPYABLE(KeyboardScan)
};
