#pragma once

#include "../model/KbdSettingsStore.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <vector>

/** Builders of every message the editor sends to the keyboard. Each argument is written as one byte,
    unchanged; callers keep values in 0..127 (see isWireSafe). */
namespace OrvSysEx
{
//==============================================================================
// The protocol's bytes. A maker's frame is F0, the maker (00 6E 31), the sender (7F from the editor, 02 from
// the keyboard), the model (42), a command, 00, an address and its values, F7.
constexpr juce::uint8 sysExStart = 0xF0, sysExEnd = 0xF7;
/** The maker's header bytes after F0. */
constexpr juce::uint8 manufacturer[3] = {0x00, 0x6E, 0x31};
constexpr juce::uint8 fromEditor = 0x7F, fromKeyboard = 0x02, model = 0x42;
/** Commands: ask for values; a value (set by the editor, answered by the keyboard); end a stream. */
constexpr juce::uint8 commandRequest = 0x01, commandValue = 0x02, commandClosing = 0x06;
/** The address of the keyboard-wide values; 0..5 address a field of every control (ItemField). */
constexpr juce::uint8 globalAddress = 0x40;
/** Where a received frame's command and address stand, counted from the byte after F0. */
constexpr int commandIndex = 5, addressIndex = 7;
/** The keyboard's answers start with these eight bytes; the body and F7 follow. */
constexpr juce::uint8 answerStart[8] = {sysExStart,   manufacturer[0], manufacturer[1], manufacturer[2],
                                        fromKeyboard, model,           commandValue,    0x00};

//==============================================================================
juce::MidiMessage makeIdentityRequest();
juce::MidiMessage makeRequestFrame(int a, int b);
/** The bytes of makeSetFrame(a, b, c), written to out: for building frames into memory that is reused. */
constexpr int setFrameSize = 12;
/** The eight bytes every set frame starts with; a, b and c follow, then F7. */
constexpr juce::uint8 setFrameStart[8] = {sysExStart, manufacturer[0], manufacturer[1], manufacturer[2],
                                          fromEditor, model,           commandValue,    0x00};
/** Inline: the send-all stream writes one for every value. */
inline void writeSetFrame(juce::uint8* out, int a, int b, int c)
{
    std::copy(setFrameStart, setFrameStart + 8, out);
    out[8] = (juce::uint8)a;
    out[9] = (juce::uint8)b;
    out[10] = (juce::uint8)c;
    out[11] = sysExEnd;
}
/** True when the bytes are those writeSetFrame(out, a, b, c) writes. */
inline bool isSetFrame(const juce::uint8* bytes, int size, int a, int b, int c)
{
    return size == setFrameSize && bytes[8] == a && bytes[9] == b && bytes[10] == c &&
           bytes[11] == sysExEnd && std::equal(setFrameStart, setFrameStart + 8, bytes);
}
juce::MidiMessage makeSetFrame(int a, int b, int c);
juce::MidiMessage makeItemConfigRequest(int id);
juce::MidiMessage makeItemFieldRequest(int field);
juce::MidiMessage makeGlobalParamRequest(int g);
juce::MidiMessage makeMidiChannelRequest();
juce::MidiMessage makeKnobModeRequest();
juce::MidiMessage makeOctaveShiftRequest();
juce::MidiMessage makeItemValueSet(int id, int value);
juce::MidiMessage makeItemFieldSet(int field, int id, int value);
juce::MidiMessage makeGlobalParamSet(int g, int value);
juce::MidiMessage makeClosingCommand();

/** The set-value messages, in order, that Send transmits for a configuration: every field of every numbered
    control, the keyboard-wide values Send transmits, then the closing command. Values that no frame can
    carry are left out. */
std::vector<juce::MidiMessage> sendAllMessages(const SettingsState& state);
/** Fills frames with the messages sendAllMessages gives, keeping every frame whose bytes are already right:
    a configuration sent again is sent from the same memory. */
void buildSendAllFrames(const SettingsState& state, std::vector<juce::MidiMessage>& frames);

/** True when no byte between a SysEx message's F0 and F7 has its top bit set, or when the message is
    not SysEx. A frame that fails this would be cut short or misread by the keyboard. */
inline bool isWireSafe(const juce::MidiMessage& message)
{
    // Read from the raw bytes: every frame of a stream is checked as it goes out.
    const auto* d = message.getRawData();
    const int size = message.getRawDataSize();
    if (size < 2 || d[0] != 0xF0)
        return true;
    return std::all_of(d + 1, d + size - 1, [](juce::uint8 b) { return b < 0x80; });
}

/** Makes a kept message hold other bytes. The toolkit's MidiMessage move assignment (7.0.5) takes the
    other message's heap bytes without freeing its own, so a kept frame longer than the inline size that
    is move-assigned a new message leaks; this copies into the kept message instead. */
void replaceMessage(juce::MidiMessage& kept, const juce::uint8* bytes, int size);

/** True for a data value that can travel inside a SysEx frame. */
constexpr bool isDataByte(int value)
{
    return value >= 0 && value <= 127;
}
} // namespace OrvSysEx

/** Protocol questions about one received message. */
class IOrvMidiMessage
{
public:
    virtual bool isItemConfigRequest() const = 0;
    virtual bool isItemConfigResponse() const = 0;
    virtual int getItemConfigId() const = 0;
    virtual juce::Array<int> getItemConfigPairs() const = 0;
    virtual bool isItemValueRequest() const = 0;
    virtual bool isItemValueResponse() const = 0;
    virtual int getItemValueId() const = 0;
    virtual int getItemValue() const = 0;
    virtual bool isMidiChannelRequest() const = 0;
    virtual bool isMidiChannelResponse() const = 0;
    virtual int getMidiChannel() const = 0;
    virtual bool isKnobModeRequest() const = 0;
    virtual bool isKnobModeResponse() const = 0;
    virtual bool isKnobModeRelative() const = 0;
    virtual bool isOctaveShiftRequest() const = 0;
    virtual bool isOctaveShiftResponse() const = 0;
    virtual int getOctaveShift() const = 0;
    virtual bool isLedStateRequest() const = 0;
    virtual bool isLedStateResponse() const = 0;
    virtual int getLedId() const = 0;
    virtual int getLedState() const = 0;
    virtual bool isKeyboardSysEx() const = 0;
    virtual juce::String toHexString() const = 0;
    virtual juce::String toDebugString() const = 0;
    virtual ~IOrvMidiMessage() = default;
};

/** One message received from the keyboard, copied, with the protocol's predicates and getters. Short or
    foreign messages make every predicate false and every getter 0. */
class OrvMidiMessage49 : public IOrvMidiMessage, public juce::MidiMessage
{
public:
    explicit OrvMidiMessage49(const juce::MidiMessage& message);

    bool isItemConfigRequest() const override;
    bool isItemConfigResponse() const override;
    int getItemConfigId() const override;
    juce::Array<int> getItemConfigPairs() const override;
    bool isItemValueRequest() const override;
    bool isItemValueResponse() const override;
    int getItemValueId() const override;
    int getItemValue() const override;
    bool isMidiChannelRequest() const override;
    bool isMidiChannelResponse() const override;
    int getMidiChannel() const override;
    bool isKnobModeRequest() const override;
    bool isKnobModeResponse() const override;
    bool isKnobModeRelative() const override;
    bool isOctaveShiftRequest() const override;
    bool isOctaveShiftResponse() const override;
    int getOctaveShift() const override;
    bool isLedStateRequest() const override;
    bool isLedStateResponse() const override;
    int getLedId() const override;
    int getLedState() const override;
    bool isKeyboardSysEx() const override;
    juce::String toHexString() const override;
    juce::String toDebugString() const override;

    /** d[k], the k-th byte after F0, or 0 when the message is too short or not SysEx. */
    int dataByte(int k) const { return k >= 0 && k < sysExSize ? getRawData()[k + 1] : 0; }
    /** Number of bytes between F0 and F7 (0 when not SysEx). */
    int dataSize() const { return sysExSize; }

private:
    // Taken once: every question about the message reads its bytes through it.
    int sysExSize = 0;

    bool commandAt(int command, int address) const;
    bool globalAt(int command, int id) const;

    JUCE_LEAK_DETECTOR(OrvMidiMessage49)
};

/** True for a response (command 02) with a field address 1..5. */
bool isItemFieldResponse(const juce::MidiMessage& message);

/** True for a MIDI identity reply from the keyboard's family (family 2, member 1 to 3). */
bool isIdentityReply(const juce::MidiMessage& message);
/** The software version an identity reply carries (its bytes after the family member, at most four), in
    decimal joined by dots ("1.0.0.0"); empty when it carries none. */
juce::String identityVersion(const juce::MidiMessage& message);
