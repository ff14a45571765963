#pragma once

#include "../model/KbdSettingsStore.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

/** Which way a monitored message went. */
enum class MonitorDirection : juce::uint8
{
    fromKeyboard,
    toKeyboard
};

/** What a monitored message is, for the monitor's filters. Timing (clock, active sensing) is the kind a view
    hides unless asked. */
enum class MonitorKind : juce::uint8
{
    note,
    controller,
    parameter, // an RPN or NRPN completed by its data entry
    pitchPressure,
    program,
    sysEx,
    system,
    timing
};

/** The controls whose configuration sends one message, with their names as the monitor shows them. */
struct MonitorControls
{
    std::vector<int> ids;
    /** "Filter Cutoff (Cutoff)", joined by ", ". */
    juce::String names;
};

/** One message as the monitor shows it. The words are made when asked (a view asks only for the lines it
    shows), from the fields and the bytes kept here. */
struct MonitorLine
{
    /** The finer reading of a message, from which its words are made. */
    enum class Detail : juce::uint8
    {
        plain,
        noteOn,
        noteOff,
        polyPressure,
        channelPressure,
        pitchBend,
        sequencePart, // a controller of an RPN or NRPN sequence still pending
        rpn,
        nrpn,
        mmc,
        keyboardFrame,
        identityRequest,
        identityReply,
        otherSysEx,
        unterminatedSysEx,
        statusInsideSysEx,
        strayData
    };

    double time = 0.0; // seconds since the monitor started
    MonitorDirection direction = MonitorDirection::fromKeyboard;
    MonitorKind kind = MonitorKind::system;
    Detail detail = Detail::plain;
    bool fourteenBit = false; // an RPN or NRPN value with its LSB
    int channel = 0;          // 1..16, 0 for a message of no channel
    int number = 0;           // note, controller, program, parameter or MMC command; else 0
    int value = 0;            // velocity, controller value, pressure, signed bend, parameter value; else 0
    /** Null when no control sends this message. */
    std::shared_ptr<const MonitorControls> controls;

    //==============================================================================
    int size() const { return byteCount; }
    const juce::uint8* bytes() const
    {
        return byteCount <= inlineSize ? inlineBytes.data() : longBytes.data();
    }
    void setBytes(const juce::uint8* data, int count);

    /** "B0 4A 3F". */
    juce::String hex() const;
    /** "12.345". */
    juce::String timeText() const;
    /** The message in words, numbers in decimal and hex. UTF-8. */
    juce::String words() const;
    /** "Filter Cutoff (Cutoff)", or empty. */
    juce::String controlNames() const { return controls != nullptr ? controls->names : juce::String(); }
    static const char* kindName(MonitorKind kind);
    static const char* directionName(MonitorDirection direction);

private:
    // Every message but SysEx fits here, and so does the keyboard's set frame.
    static constexpr int inlineSize = 12;
    std::array<juce::uint8, inlineSize> inlineBytes{};
    std::vector<juce::uint8> longBytes;
    int byteCount = 0;
};

/** Turns one MIDI message into a monitor line, naming the controls that send it under one configuration.

    RPN and NRPN sequences: each controller of a sequence stays a line of its own; those before the data
    entry that completes it read as a pending part ("NRPN parameter MSB 1, pending"), and the data entry MSB
    (controller 6), which the toolkit's detector takes as the end of the sequence, becomes the parameter line
    ("NRPN 0x0123 = 456"), with the parameter as its number and the 14-bit value (7-bit when no LSB came
    first) as its value. Not thread-safe: one decoder per reader, on one thread. */
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
    std::shared_ptr<const MonitorControls> controlsFor(MonitorKind kind, int channel, int number) const;

private:
    static constexpr juce::uint32 key(MonitorKind kind, int channel, int number)
    {
        return ((juce::uint32)kind << 24) | ((juce::uint32)(channel & 0x1F) << 16) |
               (juce::uint32)(number & 0xFFFF);
    }
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
