#pragma once

#include "EmulatedPlayer.h"
#include "device/VirtualMidiPorts.h"
#include "model/KbdSettingsStore.h"

#include <map>
#include <mutex>
#include <thread>

/** A stand-in for the 49-key keyboard, behind one virtual output (what the editor sends reaches it) and
    one virtual input (what it answers reaches the editor). It answers the identity request and every
    configuration request, takes set-value messages and the closing command into its own configuration,
    and can be made to misbehave the way real hardware and cables do. */
class KeyboardEmulator
{
public:
    static constexpr const char* defaultPortName = "Quillet 49 Keyboard";

    /** Adds its ports to the virtual port system; both carry portName. */
    explicit KeyboardEmulator(VirtualMidiPorts& ports, const juce::String& portName = defaultPortName);
    ~KeyboardEmulator();

    //==============================================================================
    /** What the keyboard says about itself in its identity reply. */
    struct Identity
    {
        int deviceByte = 0x7F;
        int family = 0x02;
        int member = 0x01;
        int version[4] = {0x01, 0x00, 0x00, 0x00};
    };
    void setIdentity(const Identity& identity);

    /** The keyboard's configuration: factory defaults unless a test gives it another. */
    void setConfiguration(const SettingsState& state);
    SettingsState getConfiguration() const;
    /** The factory configuration: every control's default and the keyboard-wide defaults. */
    static SettingsState factoryConfiguration();
    /** A setup that differs from the factory's, so that a read-out visibly brings the keyboard's values in:
        what the emulated launches start from. */
    static SettingsState demoConfiguration();

    /** Sets trouble from a list such as "drop-every=3,slow=20": drop-every=N, slow=MS, silent-after=N,
        unplug-after=N, split=N (pairs per message), no-identity; and play=FILE.mid, play-rate=N, which play a
        file's channel messages once the keyboard is found. Returns the first item it does not know or cannot
        use (with the reason in brackets), or nothing. */
    juce::String applyTrouble(const juce::String& list);
    static const char* troubleHelp();

    void setOctaveShift(int shift);
    int getItemValue(int id) const;
    int closingCommandsReceived() const;
    int messagesReceived() const;
    /** Every message the keyboard has received, in order, each stamped with the millisecond counter
        (Time::getMillisecondCounterHiRes) at its arrival. */
    std::vector<juce::MidiMessage> receivedLog() const;

    //==============================================================================
    // Trouble.
    /** Every answer leaves this long after its request. */
    void setReplyDelayMs(int delayMs);
    /** After this many answers the keyboard falls silent (negative: never). */
    void stopAnsweringAfter(int replies);
    /** Pair lists longer than this many pairs are split over several messages (0: never). */
    void setMaxPairsPerMessage(int pairs);
    /** When false, identity requests go unanswered. */
    void setAnswersIdentityRequest(bool answers);
    /** Ignores every Nth set-value message, as a keyboard with a flaky cable would (0: none). */
    void dropEverySetValue(int n);
    /** Pulls the keyboard's USB cable out, or puts it back: its ports leave or rejoin the system's lists. */
    void setPlugged(bool plugged);
    /** After this many answers have arrived, the cable is pulled (negative: never). */
    void unplugAfter(int replies);

    //==============================================================================
    // Things the keyboard sends of its own accord.
    void sendControlChange(int controller, int value, int channel = 1);
    void sendPitchWheel(int value, int channel = 1);
    void sendNoteOn(int note, int velocity, int channel = 1);
    void sendChannelPressure(int pressure, int channel = 1);
    void sendRaw(const juce::MidiMessage& message);
    /** Sends a SysEx message of another maker. */
    void sendForeignSysEx();
    /** Sends a truncated maker's answer (fewer than nine data bytes). */
    void sendMalformedSysEx();

    int inputIndex() const { return input; }
    int outputIndex() const { return output; }

private:
    void receive(const juce::MidiMessage& message);
    std::vector<juce::MidiMessage> answer(const juce::MidiMessage& message);
    std::vector<juce::MidiMessage> pairListAnswer(int field, int onlyId);
    juce::MidiMessage makeAnswer(std::initializer_list<int> body) const;

    VirtualMidiPorts& ports;
    const juce::String portName;
    int input = -1, output = -1;

    mutable std::mutex lock;
    SettingsState config;
    std::map<int, int> itemValues;
    int octaveShift = 0;
    Identity identity;
    int closings = 0, replyDelayMs = 0, repliesLeft = -1, maxPairs = 0, dropEvery = 0, setValuesSeen = 0;
    int unplugAfterReplies = -1, repliesSent = 0;
    bool answersIdentity = true;
    std::vector<juce::MidiMessage> log;
    // Pulls the cable off the thread that sent to the keyboard, which may hold the sender's locks.
    std::thread unplugger;
    EmulatedPlayer player; // last: stopped before anything it plays through goes
};
