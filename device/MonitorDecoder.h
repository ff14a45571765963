#pragma once

#include "../model/KbdSettingsStore.h"
#include "MonitorLine.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <memory>
#include <unordered_map>
#include <vector>

/** Turns one MIDI message into a monitor line, naming the controls that send it under one configuration.

    RPN and NRPN sequences: each controller of a sequence stays a line of its own; those before the data
    entry that completes it read as their controller with "parameter pending", and the data entry MSB
    (controller 6), which the toolkit's detector takes as the end of the sequence, becomes the parameter line
    ("NRPN 0x0123 = 456"), with the parameter as its number and the 14-bit value (7-bit when no LSB came
    first, said "MSB only") as its value. Not thread-safe: one decoder per reader, on one thread. */
class MonitorDecoder
{
public:
    MonitorDecoder();
    explicit MonitorDecoder(const SettingsState& configuration);

    /** Builds the table of assignments anew: call when the configuration changes. */
    void setConfiguration(const SettingsState& configuration);
    /** Forgets pending RPN and NRPN sequences. */
    void reset();

    MonitorLine decode(double time, MonitorDirection direction, const juce::MidiMessage& message);
    /** The same for raw bytes; any bytes are taken, a malformed message is shown as such. */
    MonitorLine decode(double time, MonitorDirection direction, const juce::uint8* data, int size);
    /** Decodes into a line kept before, reusing its memory: every field is written. */
    void decodeInto(MonitorLine& line, double time, MonitorDirection direction, const juce::uint8* data,
                    int size);

    /** Cuts a byte stream, as a port delivers it, into messages: running status, real-time bytes inside a
        SysEx or between a message's bytes (each its own message), a SysEx cut short by another status byte,
        data bytes with no status (kept together as one message). Each message is given as a span of the
        stream's bytes or, for a message under running status, its bytes with the status put back. */
    static std::vector<std::vector<juce::uint8>> splitStream(const juce::uint8* data, int size);

    /** The controls configured to send this message: (kind, channel 1..16, number), or null. */
    const std::shared_ptr<const MonitorControls>& controlsFor(MonitorKind kind, int channel,
                                                              int number) const;

private:
    static constexpr juce::uint32 key(MonitorKind kind, int channel, int number)
    {
        return ((juce::uint32)kind << 24) | ((juce::uint32)(channel & 0x1F) << 16) |
               (juce::uint32)(number & 0xFFFF);
    }
    static void setControls(MonitorLine& line, const std::shared_ptr<const MonitorControls>& controls);
    void decodeChannelMessage(MonitorLine& line, const juce::uint8* data, int size);
    void decodeSysEx(MonitorLine& line, const juce::uint8* data, int size) const;

    // Every message but a parameter has a number below 128: its groups are found by direct indexing in a
    // table of (kind, channel 0..16, number), holding 1 + the group's index, 0 for none. A parameter's
    // 14-bit number goes to the map.
    static constexpr int flatKinds = (int)MonitorKind::timing + 1, flatChannels = 17;
    std::vector<juce::uint16> flatIndex;
    std::vector<std::shared_ptr<const MonitorControls>> groups;
    std::unordered_map<juce::uint32, std::shared_ptr<const MonitorControls>> parameterAssignments;
    juce::MidiRPNDetector rpnDetector;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MonitorDecoder)
};
