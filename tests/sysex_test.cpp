#include "device/SysExCodec.h"

#include <gtest/gtest.h>

namespace
{
juce::MidiMessage fromBytes(std::vector<juce::uint8> bytes)
{
    return juce::MidiMessage(bytes.data(), (int)bytes.size());
}

std::vector<int> bytesOf(const juce::MidiMessage& m)
{
    return {m.getRawData(), m.getRawData() + m.getRawDataSize()};
}

// A keyboard response (command 02) with the given address and trailing data bytes.
juce::MidiMessage response(std::vector<juce::uint8> tail)
{
    std::vector<juce::uint8> b = {0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00};
    b.insert(b.end(), tail.begin(), tail.end());
    b.push_back(0xF7);
    return fromBytes(b);
}

juce::MidiMessage identityReply(juce::uint8 device, juce::uint8 family, juce::uint8 member)
{
    return fromBytes(
        {0xF0, 0x7E, device, 0x06, 0x02, 0x00, 0x6E, 0x31, family, 0x00, member, 0x00, 0x05, 0x11, 0xF7});
}

bool anyProtocolPredicate(const OrvMidiMessage49& m)
{
    return m.isItemConfigRequest() || m.isItemConfigResponse() || m.isItemValueRequest() ||
           m.isItemValueResponse() || m.isMidiChannelRequest() || m.isMidiChannelResponse() ||
           m.isKnobModeRequest() || m.isKnobModeResponse() || m.isKnobModeRelative() ||
           m.isOctaveShiftRequest() || m.isOctaveShiftResponse() || m.isLedStateRequest() ||
           m.isLedStateResponse() || isItemFieldResponse(m) || isIdentityReply(m);
}
} // namespace

TEST(SysExBuilders, FramesAreByteExact)
{
    using V = std::vector<int>;
    namespace S = OrvSysEx;
    EXPECT_EQ(bytesOf(S::makeItemFieldSet(1, 0x05, 4)),
              (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 2, 0, 1, 5, 4, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeGlobalParamSet(8, 60)),
              (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 2, 0, 0x40, 8, 0x3C, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeItemValueSet(5, 9)), (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 2, 0, 0, 5, 9, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeItemConfigRequest(0)), (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 1, 0, 3, 0, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeItemFieldRequest(3)), bytesOf(S::makeItemConfigRequest(0)));
    EXPECT_EQ(bytesOf(S::makeMidiChannelRequest()),
              (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 1, 0, 0x40, 6, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeKnobModeRequest()), (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 1, 0, 0x40, 2, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeOctaveShiftRequest()),
              (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 1, 0, 0x40, 3, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeClosingCommand()), (V{0xF0, 0, 0x6E, 0x31, 0x7F, 0x42, 6, 0, 0xF7}));
    EXPECT_EQ(bytesOf(S::makeIdentityRequest()), (V{0xF0, 0x7E, 0x7F, 6, 1, 0xF7}));
}

TEST(SysExBuilders, WireSafetyFlagsHighBytesInsideTheFrame)
{
    EXPECT_TRUE(OrvSysEx::isWireSafe(OrvSysEx::makeItemFieldSet(1, 5, 127)));
    EXPECT_FALSE(OrvSysEx::isWireSafe(OrvSysEx::makeItemFieldSet(1, 5, 200)));
    EXPECT_FALSE(OrvSysEx::isWireSafe(OrvSysEx::makeItemFieldSet(1, 128, 0)));
    EXPECT_TRUE(OrvSysEx::isWireSafe(OrvSysEx::makeClosingCommand()));
}

TEST(SysExParsing, ItemConfigResponsePairs)
{
    OrvMidiMessage49 m(response({0x03, 0x01, 0x4A, 0x02, 0x47}));
    ASSERT_EQ(m.dataSize(), 12);
    EXPECT_TRUE(m.isKeyboardSysEx());
    EXPECT_TRUE(m.isItemConfigResponse());
    EXPECT_TRUE(isItemFieldResponse(m));
    EXPECT_EQ(m.getItemConfigPairs(), juce::Array<int>({1, 74, 2, 71}));

    OrvMidiMessage49 odd(response({0x03, 0x01, 0x4A, 0x02, 0x47, 0x05}));
    EXPECT_EQ(odd.getItemConfigPairs(), juce::Array<int>({1, 74, 2, 71}));
}

TEST(SysExParsing, KeyboardSysExNeedsHeaderAndDeviceOrModelByte)
{
    auto kbd = [](std::vector<juce::uint8> b)
    {
        return OrvMidiMessage49(fromBytes(b)).isKeyboardSysEx();
    };
    EXPECT_FALSE(kbd({0xF0, 0x00, 0x6E, 0x31, 0x7F, 0x00, 0x02, 0x00, 0x03, 0xF7}));
    EXPECT_TRUE(kbd({0xF0, 0x00, 0x6E, 0x31, 0x02, 0x00, 0x02, 0x00, 0x03, 0xF7}));
    EXPECT_TRUE(kbd({0xF0, 0x00, 0x6E, 0x31, 0x02, 0x00, 0x00, 0xF7}));
    EXPECT_FALSE(kbd({0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0xF7}));
    EXPECT_FALSE(kbd({0xF0, 0x00, 0x6E, 0x32, 0x02, 0x42, 0x02, 0x00, 0x03, 0xF7}));
    EXPECT_TRUE(OrvMidiMessage49(OrvSysEx::makeClosingCommand()).isKeyboardSysEx());
}

TEST(SysExParsing, AddressByteSelectsTheResponseKind)
{
    EXPECT_FALSE(isItemFieldResponse(response({0x06, 0x01, 0x02})));
    EXPECT_TRUE(isItemFieldResponse(response({0x01, 0x01, 0x02})));
    EXPECT_TRUE(isItemFieldResponse(response({0x05, 0x01, 0x02})));

    OrvMidiMessage49 value(response({0x00, 0x05, 0x09}));
    EXPECT_TRUE(value.isItemValueResponse());
    EXPECT_FALSE(isItemFieldResponse(value));
    EXPECT_EQ(value.getItemValueId(), 5);
    EXPECT_EQ(value.getItemValue(), 9);

    OrvMidiMessage49 config(response({0x03, 0x01}));
    EXPECT_TRUE(config.isItemConfigResponse());
    EXPECT_TRUE(isItemFieldResponse(config));

    EXPECT_FALSE(OrvMidiMessage49(response({0x40, 0x02, 0x7E})).isKnobModeRelative());
    OrvMidiMessage49 knob(response({0x40, 0x02, 0x7F}));
    EXPECT_TRUE(knob.isKnobModeResponse());
    EXPECT_TRUE(knob.isKnobModeRelative());
}

TEST(SysExParsing, ShortOrForeignMessagesAnswerNothing)
{
    OrvMidiMessage49 noValue(response({0x00, 0x05}));
    EXPECT_EQ(noValue.getItemValueId(), 5);
    EXPECT_EQ(noValue.getItemValue(), 0);

    OrvMidiMessage49 shortMsg(fromBytes({0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00, 0x03, 0xF7}));
    ASSERT_EQ(shortMsg.dataSize(), 8);
    EXPECT_FALSE(anyProtocolPredicate(shortMsg));
    EXPECT_EQ(shortMsg.getItemValueId(), 0);

    OrvMidiMessage49 noteOn(juce::MidiMessage::noteOn(1, 60, (juce::uint8)100));
    EXPECT_FALSE(anyProtocolPredicate(noteOn));
    EXPECT_FALSE(noteOn.isKeyboardSysEx());
    EXPECT_EQ(noteOn.getItemValueId(), 0);
    EXPECT_EQ(noteOn.getItemValue(), 0);
}

TEST(SysExParsing, IdentityReplyOfTheFamily)
{
    for (juce::uint8 member : {1, 2, 3})
        for (juce::uint8 device : {0x00, 0x7F})
            EXPECT_TRUE(isIdentityReply(identityReply(device, 0x02, member))) << (int)member;
    EXPECT_FALSE(isIdentityReply(identityReply(0x7F, 0x02, 0x04)));
    EXPECT_FALSE(isIdentityReply(identityReply(0x7F, 0x03, 0x01)));
    EXPECT_FALSE(
        isIdentityReply(fromBytes({0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x6E, 0x31, 0x02, 0x00, 0x01, 0xF7})));
}

TEST(SysExText, HexStringListsEveryByte)
{
    EXPECT_EQ(OrvMidiMessage49(OrvSysEx::makeClosingCommand()).toHexString(),
              "F0 00 6E 31 7F 42 06 00 F7 \n");
}

TEST(SysExText, DebugStringDescribesEachKind)
{
    auto text = [](const juce::MidiMessage& m)
    {
        return OrvMidiMessage49(m).toDebugString();
    };
    EXPECT_EQ(text(fromBytes({0xB0, 0x07, 0x64})), "CC 7 value 100 channel 1\n");
    EXPECT_EQ(text(fromBytes({0x90, 0x3C, 0x64})), "Note On  60 velocity 100 channel 1\n");
    EXPECT_EQ(text(fromBytes({0x90, 0x3C, 0x00})), "Note Off 60 velocity 0 channel 1\n");
    EXPECT_EQ(text(fromBytes({0xD2, 0x40})), "Aftertouch 64 channel 3\n");
    EXPECT_EQ(text(fromBytes({0xE0, 0x00, 0x40})), "Pitch Wheel value 8192\n");
    EXPECT_EQ(text(identityReply(0x7F, 0x02, 0x01)), "TDR32 SYSEX : Identification sysex\n");
    EXPECT_EQ(text(fromBytes({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7})), "SYSEX \n");
    EXPECT_EQ(text(response({0x03, 0x01, 0x4A})), "TDR32 SYSEX : Item Config Response\n");
    EXPECT_EQ(text(response({0x00, 0x05, 0x09})), "TDR32 SYSEX : Item value response (5 , 9)\n");
    EXPECT_EQ(text(response({0x40, 0x06, 0x03})), "TDR32 SYSEX : Midi channel response 3\n");
    EXPECT_EQ(text(response({0x40, 0x03, 0x7F})), "TDR32 SYSEX : Octave shift response 127\n");
    EXPECT_EQ(text(OrvSysEx::makeClosingCommand()), "TDR32 SYSEX \n");
    EXPECT_EQ(text(fromBytes({0xF8})), "- \n");
}
