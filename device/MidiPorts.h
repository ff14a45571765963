#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <memory>

/** Receives the messages of an open input port, on that port's own thread. */
class MidiPortListener
{
public:
    /** sourceName is the input's name, or "unknown" when the port cannot tell. */
    virtual ~MidiPortListener() = default;
    virtual void portMessageReceived(const juce::String& sourceName, const juce::MidiMessage& message) = 0;
};

/** An open MIDI input. Closing it (destroying it) waits for any delivery in progress to end. */
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;
    virtual juce::String getName() const = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
};

/** An open MIDI output. */
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;
    virtual juce::String getName() const = 0;
    virtual void sendMessageNow(const juce::MidiMessage& message) = 0;
};

/** How the device manager reaches the system's MIDI ports: the real ones, or virtual ones for the tests
    and for trying the editor without a keyboard. */
class MidiPortSystem
{
public:
    virtual ~MidiPortSystem() = default;
    virtual juce::StringArray getInputNames() = 0;
    virtual juce::StringArray getOutputNames() = 0;
    /** The identities of the listed ports, in the order of their names. A device unplugged and plugged in
        again comes back under its old name but, where the system tells them apart, as another identity.
        Where it does not, the names. */
    virtual juce::StringArray getInputIdentifiers() { return getInputNames(); }
    virtual juce::StringArray getOutputIdentifiers() { return getOutputNames(); }
    /** Opens input index with the listener; null when it cannot be opened. Not started yet. */
    virtual std::unique_ptr<MidiInputPort> openInput(int index, MidiPortListener& listener) = 0;
    /** Opens output index; null when it cannot be opened. */
    virtual std::unique_ptr<MidiOutputPort> openOutput(int index) = 0;
    /** Why the system's MIDI service cannot be used, as a sentence for the user; empty when it can. */
    virtual juce::String serviceProblem() { return {}; }
};

/** The sentence for a MIDI service that could not be opened, from the system's error number. */
juce::String describeMidiServiceError(int errorNumber);

/** The operating system's MIDI ports through JUCE. On a machine without MIDI (no ALSA sequencer) the lists
    are empty and ALSA's complaints are kept off stderr. */
MidiPortSystem& systemMidiPorts();
