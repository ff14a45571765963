#pragma once

#include "../model/AnswerRouter.h"
#include "KeyboardOutput.h"
#include "KeyboardScan.h"
#include "PortWatch.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

class OrvMidiMessage49;

/** The device manager: finds the keyboard by the MIDI identity request, dispatches what the keyboard
    sends into the settings store it carries, and sends requests, values and the whole configuration.

    Threads: the scan timer and sendAllSettings run on the message thread; incoming messages arrive on the
    MIDI input thread. The store, the scan (KeyboardScan) and the keyboard output each have their own lock,
    and no lock is held while listeners are told anything. */
class OrvManager49 : public KbdSettingsStore, private MidiPortListener
{
public:
    /** Uses the system's MIDI ports. */
    OrvManager49();
    /** Uses the given ports, which must outlive the manager. */
    explicit OrvManager49(MidiPortSystem& ports);
    /** Why the system's MIDI service cannot be used; empty when it can. */
    juce::String midiServiceProblem() const { return ports.serviceProblem(); }
    ~OrvManager49() override;

    //==============================================================================
    /** Opens every input and starts asking the outputs, one per timer tick, three passes in all. */
    void startScan() { scan.start(); }
    /** The scan's timer action; public so that the scan can be driven step by step. */
    void timerCallback() { scan.timerCallback(); }
    /** Records the keyboard's ports, opens its output and raises KeyboardDetected. */
    void keyboardFound(const juce::String& inputName, const juce::String& outputName);
    /** Closes the scan's inputs except the keyboard's own, which stays open for the rest of the run. */
    void closeScanInputs() { scan.closeInputs(); }

    /** Stops the scan and closes every port; waits for a message being delivered to finish. Call it before
        tearing down anything a listener uses. */
    void closeAllPorts();

    bool isKeyboardFound() const { return scan.isFound(); }
    juce::String getKeyboardInputName() const { return scan.getKeyboardInputName(); }
    /** Where a monitor attaches to hear every message to and from the keyboard. */
    MonitorTap& monitorTap() { return tap; }
    juce::String getKeyboardOutputName() const { return scan.getKeyboardOutputName(); }
    bool hasKeyboardOutput() const { return output.isOpen(); }
    /** The software version of the keyboard's last identity reply ("1.0.0.0"), empty before one. */
    juce::String getFirmwareVersion() const { return scan.getFirmwareVersion(); }
    bool isScanning() const { return scan.isScanning(); }

    /** Replaces the millisecond clock that the scan's timing reads (for driving the scan in tests). */
    void setClock(std::function<juce::uint32()> clock) { scan.setClock(std::move(clock)); }

    //==============================================================================
    /** Compares the identities of the system's ports with the last look. The keyboard's ports gone (also
        while a scan runs, and also when they came back under their names since): its ports are closed, a
        running scan ends and KeyboardUnplugged is raised. New outputs while no keyboard is connected and no
        scan runs: a new scan asks them. Nothing changed: nothing is done. Returns true when the lists had
        changed. */
    bool checkPorts();
    /** Calls checkPorts from the message thread every intervalMs (0 stops). */
    void watchPorts(int intervalMs) { portWatch.watch(intervalMs); }

    //==============================================================================
    /** The incoming dispatch, given the name of the input that carried the message. */
    void dispatch(const juce::String& sourceName, const juce::MidiMessage& message);

    //==============================================================================
    // Each send returns false and sends nothing when there is no keyboard output or when a value lies
    // outside 0..127, which no SysEx frame can carry.
    bool requestItemField(int field);
    bool sendItemField(int control, int field, int value);
    bool requestGlobal(int id);
    bool sendGlobal(int id, int value);
    bool sendClosingCommand();
    /** Sends every stored field of every numbered control, the six keyboard-wide values and the closing
        command, back to back, from one consistent copy of the store. Returns the closing command's result. */
    bool sendAllSettings();

    /** Sends a whole configuration like sendAllSettings, reporting (messages sent, messages in all) after
        every message, with the output lock held: the callback must not send. */
    bool sendAllSettings(const SettingsState& state, const std::function<void(int, int)>& progress);

    int getPadBankCode() const { return padBank.load(); }

    //==============================================================================
    /** Keyboard-wide values are pinned and reported under this field. */
    static constexpr int globalField = AnswerRouter::globalField;
    /** The keyboard-wide values that Send transmits, in the order it sends them. */
    static constexpr const auto& sentGlobals = sentGlobalParams;
    /** The user's values that the keyboard's answers leave alone, and the read-back capture. */
    AnswerRouter& getAnswerRouter() { return answerRouter; }
    const AnswerRouter& getAnswerRouter() const { return answerRouter; }

private:
    void portMessageReceived(const juce::String& sourceName, const juce::MidiMessage& message) override;
    void dispatchKeyboardSysEx(const OrvMidiMessage49& m);
    void dispatchChannelMessage(const juce::MidiMessage& message);
    void keyboardLost();

    MidiPortSystem& ports;
    MonitorTap tap; // before the output, which hands it what it sends
    KeyboardOutput output;
    std::atomic<int> padBank{-1};
    PortWatch portWatch{ports};
    KeyboardScan scan{ports, *this, portWatch};

    AnswerRouter answerRouter;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OrvManager49)
};
