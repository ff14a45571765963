#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <cstring>
#include <memory>
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
    juce::uint8 port = 0;     // the tap's number for the port, its name from MonitorTap::portName
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
    /** Inline: the decoder writes every line's bytes through it. */
    void setBytes(const juce::uint8* data, int count)
    {
        byteCount = count > 0 ? count : 0;
        if (byteCount <= inlineSize)
        {
            if (longBytes.capacity() > 0)
                std::vector<juce::uint8>().swap(longBytes); // a kept line holds no more than its own bytes
            if (byteCount > 0 && data != nullptr)
                std::memcpy(inlineBytes.data(), data, (size_t)byteCount);
        }
        else
        {
            longBytes.assign(data, data + byteCount);
        }
    }

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
