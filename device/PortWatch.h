#pragma once

#include "MidiPorts.h"

#include <juce_events/juce_events.h>

#include <mutex>

/** Notices, by comparing the identities of the system's ports with the last look, that the keyboard's ports
    have gone or that new outputs have come. The toolkit has no callback for a changed device list; a look a
    second costs no work while the lists stay the same. */
class PortWatch : private juce::Timer
{
public:
    explicit PortWatch(MidiPortSystem& ports);
    ~PortWatch() override;

    /** Remembers the lists as they are now (a scan starts asking them). */
    void rememberLists();
    /** Remembers the identities of the keyboard's ports, found under these names. */
    void rememberKeyboard(const juce::String& inputName, const juce::String& outputName);

    struct Look
    {
        bool changed = false, keyboardGone = false, newOutputs = false;
    };
    /** Compares the lists with the last look. The keyboard's ports are looked for whenever it is connected,
        also while a scan runs; other changes only when no scan runs. */
    Look look(bool keyboardConnected, bool scanning);

    /** Calls onTick from the message thread every intervalMs (0 stops). */
    void watch(int intervalMs);
    std::function<void()> onTick;

private:
    void timerCallback() override;

    MidiPortSystem& ports;
    std::mutex lock;
    juce::StringArray seenInputs, seenOutputs;  // the ports' identities at the last look
    juce::String keyboardInput, keyboardOutput; // the identities of the keyboard's ports when it was found
};
