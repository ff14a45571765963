#include "device/SysExCodec.h"
#include "support/midi_bytes.h"

#include <gtest/gtest.h>

namespace
{
bool anyProtocolPredicate(const OrvMidiMessage49& m)
{
    return m.isItemConfigRequest() || m.isItemConfigResponse() || m.isItemValueRequest() ||
           m.isItemValueResponse() || m.isMidiChannelRequest() || m.isMidiChannelResponse() ||
           m.isKnobModeRequest() || m.isKnobModeResponse() || m.isKnobModeRelative() ||
           m.isOctaveShiftRequest() || m.isOctaveShiftResponse() || m.isLedStateRequest() ||
           m.isLedStateResponse() || isItemFieldResponse(m) || isIdentityReply(m);
}

const char* const configResponse = "F0 00 6E 31 02 42 02 00 03 01 4A 02 47 F7";
} // namespace

TEST(SysExBuilders, FramesAreByteExact)
{
    using namespace OrvSysEx;
    EXPECT_EQ(hex(makeItemFieldSet(1, 0x05, 4)), "F0 00 6E 31 7F 42 02 00 01 05 04 F7");
    EXPECT_EQ(hex(makeGlobalParamSet(8, 60)), "F0 00 6E 31 7F 42 02 00 40 08 3C F7");
    EXPECT_EQ(hex(makeItemValueSet(5, 9)), "F0 00 6E 31 7F 42 02 00 00 05 09 F7");
    EXPECT_EQ(hex(makeItemConfigRequest(0)), "F0 00 6E 31 7F 42 01 00 03 00 F7");
    EXPECT_EQ(hex(makeItemFieldRequest(3)), "F0 00 6E 31 7F 42 01 00 03 00 F7");
    EXPECT_EQ(hex(makeMidiChannelRequest()), "F0 00 6E 31 7F 42 01 00 40 06 F7");
    EXPECT_EQ(hex(makeKnobModeRequest()), "F0 00 6E 31 7F 42 01 00 40 02 F7");
    EXPECT_EQ(hex(makeOctaveShiftRequest()), "F0 00 6E 31 7F 42 01 00 40 03 F7");
    EXPECT_EQ(hex(makeClosingCommand()), "F0 00 6E 31 7F 42 06 00 F7");
    EXPECT_EQ(hex(makeIdentityRequest()), "F0 7E 7F 06 01 F7");
}

TEST(SysExBuilders, WireSafetyFlagsHighBytesInsideTheFrame)
{
    EXPECT_TRUE(OrvSysEx::isWireSafe(OrvSysEx::makeItemFieldSet(1, 5, 127)));
    EXPECT_FALSE(OrvSysEx::isWireSafe(OrvSysEx::makeItemFieldSet(1, 5, 200)));
    EXPECT_FALSE(OrvSysEx::isWireSafe(OrvSysEx::makeItemFieldSet(1, 128, 0)));
}

TEST(SysExParsing, ItemConfigResponseYieldsWholePairs)
{
    OrvMidiMessage49 m(msg(configResponse));
    ASSERT_EQ(m.dataSize(), 12);
    EXPECT_TRUE(m.isKeyboardSysEx());
    EXPECT_TRUE(m.isItemConfigResponse());
    EXPECT_TRUE(isItemFieldResponse(m));
    EXPECT_EQ(m.getItemConfigPairs(), juce::Array<int>({1, 74, 2, 71}));
    EXPECT_EQ(OrvMidiMessage49(msg("F0 00 6E 31 02 42 02 00 03 01 4A 02 47 05 F7")).getItemConfigPairs(),
              juce::Array<int>({1, 74, 2, 71}));
}

TEST(SysExParsing, KeyboardSysExNeedsHeaderAndDeviceOrModelByte)
{
    auto kbd = [](const char* h)
    {
        return OrvMidiMessage49(msg(h)).isKeyboardSysEx();
    };
    EXPECT_FALSE(kbd("F0 00 6E 31 7F 00 02 00 03 F7"));
    EXPECT_TRUE(kbd("F0 00 6E 31 02 00 02 00 03 F7"));
    EXPECT_TRUE(kbd("F0 00 6E 31 7F 42 02 00 03 F7"));
    EXPECT_TRUE(kbd("F0 00 6E 31 02 00 00 F7"));
    EXPECT_FALSE(kbd("F0 00 6E 31 02 42 F7"));
    EXPECT_FALSE(kbd("F0 00 6E 32 02 42 02 00 03 F7"));
}

TEST(SysExParsing, AddressByteSelectsTheResponseKind)
{
    EXPECT_FALSE(isItemFieldResponse(msg("F0 00 6E 31 02 42 02 00 06 01 02 F7")));
    EXPECT_TRUE(isItemFieldResponse(msg("F0 00 6E 31 02 42 02 00 01 01 02 F7")));
    EXPECT_TRUE(isItemFieldResponse(msg("F0 00 6E 31 02 42 02 00 05 01 02 F7")));
    OrvMidiMessage49 value(msg("F0 00 6E 31 02 42 02 00 00 05 09 F7"));
    EXPECT_TRUE(value.isItemValueResponse());
    EXPECT_FALSE(isItemFieldResponse(value));
    EXPECT_EQ(value.getItemValueId(), 5);
    EXPECT_EQ(value.getItemValue(), 9);
    EXPECT_FALSE(OrvMidiMessage49(msg("F0 00 6E 31 02 42 02 00 40 02 7E F7")).isKnobModeRelative());
    EXPECT_TRUE(OrvMidiMessage49(msg("F0 00 6E 31 02 42 02 00 40 02 7F F7")).isKnobModeRelative());
}

TEST(SysExParsing, ShortOrForeignMessagesAnswerNothing)
{
    OrvMidiMessage49 noValue(msg("F0 00 6E 31 02 42 02 00 00 05 F7"));
    EXPECT_EQ(noValue.getItemValueId(), 5);
    EXPECT_EQ(noValue.getItemValue(), 0);
    OrvMidiMessage49 shortMsg(msg("F0 00 6E 31 02 42 02 00 03 F7"));
    EXPECT_FALSE(anyProtocolPredicate(shortMsg));
    EXPECT_EQ(shortMsg.getItemValueId(), 0);
    OrvMidiMessage49 noteOn(msg("90 3C 64"));
    EXPECT_FALSE(anyProtocolPredicate(noteOn) || noteOn.isKeyboardSysEx());
    EXPECT_EQ(noteOn.getItemValueId() + noteOn.getItemValue() + noteOn.getItemConfigId(), 0);
}

TEST(SysExParsing, IdentityReplyOfTheFamily)
{
    for (auto h :
         {"F0 7E 00 06 02 00 6E 31 02 00 01 00 05 11 F7", "F0 7E 7F 06 02 00 6E 31 02 00 02 00 00 00 F7",
          "F0 7E 10 06 02 00 6E 31 02 00 03 00 7F 7F F7"})
        EXPECT_TRUE(isIdentityReply(msg(h))) << h;
    EXPECT_FALSE(isIdentityReply(msg("F0 7E 7F 06 02 00 6E 31 02 00 04 00 05 11 F7")));
    EXPECT_FALSE(isIdentityReply(msg("F0 7E 7F 06 02 00 6E 31 03 00 01 00 05 11 F7")));
    EXPECT_FALSE(isIdentityReply(msg("F0 7E 7F 06 02 00 6E 31 02 00 01 F7")));
}

TEST(SysExText, HexAndDebugStrings)
{
    EXPECT_EQ(OrvMidiMessage49(OrvSysEx::makeClosingCommand()).toHexString(),
              "F0 00 6E 31 7F 42 06 00 F7 \n");
    const std::pair<const char*, const char*> cases[] = {
        {"B0 07 64", "CC 7 value 100 channel 1\n"},
        {"90 3C 64", "Note On  60 velocity 100 channel 1\n"},
        {"90 3C 00", "Note Off 60 velocity 0 channel 1\n"},
        {"D2 40", "Aftertouch 64 channel 3\n"},
        {"E0 00 40", "Pitch Wheel value 8192\n"},
        {"F0 7E 7F 06 02 00 6E 31 02 00 01 00 05 11 F7", "TDR32 SYSEX : Identification sysex\n"},
        {"F0 43 10 4C 00 00 7E 00 F7", "SYSEX \n"},
        {configResponse, "TDR32 SYSEX : Item Config Response\n"},
        {"F0 00 6E 31 02 42 02 00 00 05 09 F7", "TDR32 SYSEX : Item value response (5 , 9)\n"},
        {"F0 00 6E 31 02 42 02 00 40 06 03 F7", "TDR32 SYSEX : Midi channel response 3\n"},
        {"F0 00 6E 31 02 42 02 00 40 03 7F F7", "TDR32 SYSEX : Octave shift response 127\n"},
        {"F0 00 6E 31 7F 42 06 00 F7", "TDR32 SYSEX \n"},
        {"F8", "- \n"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(OrvMidiMessage49(msg(bytes)).toDebugString(), text) << bytes;
}
