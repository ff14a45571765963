#pragma once

#include "MidiPorts.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/** In-process MIDI ports with any number of named inputs and outputs. What is sent to an output reaches
    that output's receiver at once, on the sender's thread; what is delivered to an input reaches the
    listeners that opened it on a delivery thread of its own, in order, as real MIDI input does. */
class VirtualMidiPorts : public MidiPortSystem
{
public:
    using Receiver = std::function<void(const juce::MidiMessage&)>;

    VirtualMidiPorts();
    ~VirtualMidiPorts() override;

    //==============================================================================
    /** Adds an input (a source of messages for whoever opens it); returns its index. */
    int addInput(const juce::String& name);
    /** Adds an output; its receiver is called with every message sent to it. Returns its index. */
    int addOutput(const juce::String& name, Receiver receiver = {});
    void setOutputReceiver(int index, Receiver receiver);

    enum class Ports
    {
        both,
        inputs,
        outputs
    };
    /** Takes every port of that name out of the lists (false) or brings it back (true), as unplugging and
        replugging a device does. Ports opened before an unplug stay dead: nothing reaches or leaves them. */
    void setPlugged(const juce::String& name, bool plugged, Ports which = Ports::both);
    /** Outputs of that name open once at a time, as some drivers allow: a second open fails while the first
        is open. */
    void setOpensOnce(const juce::String& outputName);

    /** Queues a message on an input, to be delivered after delayMs. */
    void deliver(int inputIndex, const juce::MidiMessage& message, int delayMs = 0);
    /** Queues a message on the first input of that name. */
    void deliver(const juce::String& inputName, const juce::MidiMessage& message, int delayMs = 0);

    /** Waits until nothing is queued or being delivered; false on timeout. */
    bool waitUntilIdle(int timeoutMs = 5000);

    /** Number of inputs currently open and started with that name. */
    int openInputCount(const juce::String& name) const;
    /** Number of inputs currently open (started or not). */
    int openInputCount() const;
    /** Number of outputs currently open. */
    int openOutputCount() const;

    //==============================================================================
    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    /** The name and how often the port has been plugged in: a replugged port is another identity. */
    juce::StringArray getInputIdentifiers() override;
    juce::StringArray getOutputIdentifiers() override;
    std::unique_ptr<MidiInputPort> openInput(int index, MidiPortListener& listener) override;
    std::unique_ptr<MidiOutputPort> openOutput(int index) override;

private:
    class InputPort;
    class OutputPort;
    struct Pending
    {
        int input;
        juce::MidiMessage message;
        juce::uint32 due;
    };

    void run();
    void closeInput(InputPort* port);
    void setStarted(InputPort* port, bool started);
    void sendToOutput(int index, int generation, const juce::MidiMessage& message);
    /** The internal index of the plugged port at a listed position, or -1. */
    static int internalIndex(const std::vector<int>& generations, int listed);
    static juce::StringArray pluggedNames(const juce::StringArray& names, const std::vector<int>& generations,
                                          bool withGeneration = false);
    void closeOutput(int index);

    mutable std::mutex lock;
    std::condition_variable wake, idle;
    juce::StringArray inputNames, outputNames;
    // Per port: how often it has been plugged in; negative while unplugged. An open port remembers the
    // generation it was opened in.
    std::vector<int> inputGenerations, outputGenerations;
    std::vector<Receiver> receivers;
    std::vector<InputPort*> openInputs;
    int outputsOpen = 0;
    std::vector<int> openCounts; // per output
    juce::StringArray opensOnce;
    std::deque<Pending> queue;
    bool delivering = false, quitting = false;

    // Held while a message is handed to listeners, and while any port is opened or closed, as the system's
    // MIDI code does: closing an input waits for a delivery in progress, and a manager that opens or closes
    // ports while holding a lock its listeners need would deadlock here just as it would on real ports.
    // Recursive: a listener may open or close ports from inside its own callback.
    std::recursive_mutex deliveryLock;
    std::thread thread;
};
