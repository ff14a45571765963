#include "support/device_test_support.h"

namespace
{
using Events = std::vector<Event>;

/** A detected keyboard whose scan has ended, with an empty event log. */
class Dispatch : public ::testing::Test
{
protected:
    void SetUp() override { r.detect(); }

    /** The events one message from the keyboard raises. */
    Events eventsOf(const juce::MidiMessage& m)
    {
        r.events.clear();
        r.fromKeyboard(m);
        return r.events.all();
    }

    Rig r;
};
} // namespace

TEST_F(Dispatch, FieldAnswersStoreKnownControlsAndReportTheField)
{
    for (int field : {itemFieldMode, itemFieldChannel, itemFieldMinLsb, itemFieldMaxMsb})
    {
        // 0x41, the pitch wheel, is not configurable: skipped, yet the answer is still reported.
        EXPECT_EQ(eventsOf(answer({field, 0x01, 0x05, 0x41, 0x06, 0x02, 0x07})),
                  (Events{{ItemFieldReceived, field, 0}}));
        EXPECT_EQ(r.manager.getItemField(field, 0x01), 5) << field;
        EXPECT_EQ(r.manager.getItemField(field, 0x02), 7) << field;
        EXPECT_EQ(r.manager.getItemField(field, 0x41), -1) << field;
    }
}

TEST_F(Dispatch, SingleNumberIsReportedAndRemapsControllers)
{
    // The controller index is built by the first controller message, before the number changes.
    ASSERT_EQ(eventsOf(msg("B0 4A 33")), (Events{{ControlChanged, 0x01, 0x33}}));
    EXPECT_EQ(eventsOf(answer({0x03, 0x01, 10})), (Events{{NumbersReceived, 0x01, 10}}));
    EXPECT_EQ(r.manager.getItemField(itemFieldNumber, 0x01), 10);
    EXPECT_EQ(eventsOf(msg("B0 0A 33")), (Events{{ControlChanged, 0x01, 0x33}}));
    EXPECT_TRUE(eventsOf(msg("B0 4A 33")).empty()) << "74 no longer belongs to the cutoff knob";
}

TEST_F(Dispatch, NumberListsReportZeroesAndEmptyListsNothing)
{
    EXPECT_EQ(eventsOf(answer({0x03, 0x01, 20, 0x02, 21})), (Events{{NumbersReceived, 0, 0}}));
    EXPECT_EQ(r.manager.getItemField(itemFieldNumber, 0x02), 21);
    EXPECT_TRUE(eventsOf(answer({0x03, 0x01})).empty()); // nine data bytes, no pair
    EXPECT_EQ(r.manager.getItemField(itemFieldNumber, 0x01), 20);
}

TEST_F(Dispatch, ValueAnswersAreReportedButNotStored)
{
    const auto before = r.manager.snapshot();
    EXPECT_EQ(eventsOf(answer({0x00, 0x63, 0x05})), (Events{{ItemValueReceived, 0x63, 5}}));
    EXPECT_EQ(eventsOf(answer({0x00, 0x64})), (Events{{ItemValueReceived, 0x64, 0}}));
    EXPECT_EQ(r.manager.snapshot(), before);
}

TEST_F(Dispatch, KeyboardWideAnswersStoreAndReportTheirValues)
{
    EXPECT_EQ(eventsOf(answer({0x40, 0x06, 0x41})), (Events{{UpperChannelReceived, 0x41, 0}}));
    EXPECT_EQ(r.manager.getGlobal(globalUpperChannel), 0x41);

    EXPECT_EQ(eventsOf(answer({0x40, 0x02, 0x7F})), (Events{{KnobModeReceived, 127, 0}}));
    EXPECT_EQ(r.manager.getGlobal(globalKnobMode), 127);
    EXPECT_EQ(eventsOf(answer({0x40, 0x02, 0x40})), (Events{{KnobModeReceived, 1, 0}}));
    EXPECT_EQ(r.manager.getGlobal(globalKnobMode), 1);

    EXPECT_EQ(eventsOf(answer({0x40, 0x08, 0x3C})), (Events{{GlobalReceived, 8, 0x3C}}));
    EXPECT_EQ(r.manager.getGlobal(globalSplitPoint), 0x3C);
    EXPECT_EQ(eventsOf(answer({0x40, 0x0B, 0x09})), (Events{{GlobalReceived, 11, 9}}));
    EXPECT_EQ(r.manager.getGlobal(11), 9);
}

TEST_F(Dispatch, OctaveShiftIsSignedAndNotStored)
{
    for (auto [raw, shift] : {std::pair{0x7F, -1}, {0x40, -64}, {0x3F, 63}, {0x00, 0}})
        EXPECT_EQ(eventsOf(answer({0x40, 0x03, raw})), (Events{{OctaveShiftReceived, shift, 0}})) << raw;
    EXPECT_EQ(r.manager.getGlobal(globalOctaveShift), 0);
}

TEST_F(Dispatch, KeyboardWideIdsAboveElevenAreReportedButWriteNothing)
{
    const auto before = r.manager.snapshot();
    EXPECT_EQ(eventsOf(answer({0x40, 0x0C, 0x05})), (Events{{GlobalReceived, 12, 5}}));
    EXPECT_EQ(eventsOf(answer({0x40, 0x7F, 0x05})), (Events{{GlobalReceived, 127, 5}}));
    EXPECT_EQ(r.manager.snapshot(), before);
}

TEST_F(Dispatch, ShortForeignOrNonAnswerSysExIsIgnored)
{
    const auto before = r.manager.snapshot();
    for (const auto* text : {"F0 00 6E 31 02 42 02 00 F7",          // eight data bytes
                             "F0 00 6E 31 02 42 01 00 40 06 05 F7", // a request, not an answer
                             "F0 00 6E 31 7F 00 02 00 40 06 05 F7", // neither device 02 nor model 42
                             "F0 00 6E 32 02 42 02 00 40 06 05 F7", // another maker
                             "F0 00 6E 31 02 42 02 00 10 01 05 F7"})
        EXPECT_TRUE(eventsOf(msg(text)).empty()) << text;
    r.kbd.sendForeignSysEx();
    r.kbd.sendMalformedSysEx();
    r.ports.waitUntilIdle();
    EXPECT_TRUE(r.events.all().empty());
    EXPECT_EQ(r.manager.snapshot(), before);
}

TEST_F(Dispatch, EitherDeviceOrModelByteMarksTheKeyboard)
{
    EXPECT_EQ(eventsOf(msg("F0 00 6E 31 7F 42 02 00 40 06 05 F7")), (Events{{UpperChannelReceived, 5, 0}}));
    EXPECT_EQ(eventsOf(msg("F0 00 6E 31 02 00 02 00 40 06 07 F7")), (Events{{UpperChannelReceived, 7, 0}}));
}

TEST_F(Dispatch, ControllersAndPitchWheelMapToTheirControlsOnAnyChannel)
{
    const std::pair<const char*, Event> cases[] = {
        {"B0 01 11", {ModulationWheelMoved, 0x40, 0x11}}, {"B5 40 7F", {SustainPedalMoved, 0x50, 0x7F}},
        {"BF 0B 22", {ExpressionPedalMoved, 0x51, 0x22}}, {"B0 0C 33", {AuxPedalMoved, 0x53, 0x33}},
        {"B9 02 44", {BreathControlMoved, 0x52, 0x44}},   {"B3 4A 55", {ControlChanged, 0x01, 0x55}},
        {"B0 7C 01", {ControlChanged, 0x70, 0x01}},       {"B0 70 41", {ControlChanged, 0x31, -1}},
        {"B0 70 01", {ControlChanged, 0x31, 1}},          {"B0 70 40", {ControlChanged, 0x31, 0}},
        {"B0 72 45", {ControlChanged, 0x33, -5}},         {"B0 72 3F", {ControlChanged, 0x33, 63}},
        {"E3 39 60", {PitchWheelMoved, 0x41, 12345}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(eventsOf(msg(text)), (Events{expected})) << text;
    EXPECT_TRUE(eventsOf(msg("B0 03 10")).empty()) << "no control owns number 3";
}

TEST_F(Dispatch, PadPressureFollowsTheLastBankNote)
{
    EXPECT_TRUE(eventsOf(msg("D0 40")).empty()) << "no bank chosen yet";
    EXPECT_TRUE(eventsOf(msg("90 24 00")).empty());
    EXPECT_TRUE(eventsOf(msg("D0 40")).empty()) << "velocity 0 chooses no bank";
    for (auto [note, bank] : {std::pair{36, 128}, {68, 129}, {84, 130}})
    {
        r.fromKeyboard(juce::MidiMessage::noteOn(10, note, (juce::uint8)100));
        EXPECT_EQ(r.manager.getPadBankCode(), bank);
        EXPECT_EQ(eventsOf(msg("D9 21")), (Events{{PadPressure, bank, 0x21}})) << note;
    }
    r.fromKeyboard(msg("90 28 64"));
    EXPECT_EQ(r.manager.getPadBankCode(), 130) << "other notes keep the bank";
}
