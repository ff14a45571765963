// The comparison of two configurations, value by value, in the panel's words.
#include "emulator/KeyboardEmulator.h"
#include "model/ConfigComparison.h"

#include <gtest/gtest.h>

namespace
{
juce::StringArray lines(const ConfigComparison& c)
{
    juce::StringArray out;
    for (const auto& r : c.rows())
        out.add(r.describe());
    return out;
}

juce::String dotted(const char* a, const char* b, const char* c, const char* d)
{
    return juce::String(a) + juce::String(juce::CharPointer_UTF8(" \xc2\xb7 ")) + b +
           juce::String(juce::CharPointer_UTF8(" \xc2\xb7 ")) + c +
           juce::String(juce::CharPointer_UTF8(" \xc2\xb7 ")) + d;
}
} // namespace

TEST(Comparison, ListsEveryDifferingValueOncePerRowInThePanelsWordsGroupedByControl)
{
    const auto mine = KeyboardEmulator::factoryConfiguration();
    auto theirs = mine;
    theirs.set(itemFieldChannel, 0x72, 0);        // Pad #3: channel 10 -> 1
    theirs.set(itemFieldMode, 0x72, modeControl); // and its mode
    theirs.set(itemFieldNumber, 0x01, 20);        // Filter Cutoff: CC 74 -> 20
    theirs.globals[globalSplitPoint] = 48;        // C3 -> C2
    theirs.globals[globalKnobMode] = 0;           // both "not relative": the keyboard tells no more
    theirs.names[0x05] = "Drive";                 // names are the editor's alone
    auto named = mine;
    named.names[0x72] = "Kick";

    const auto c = ConfigComparison::between(named, theirs);
    const juce::StringArray expected{dotted("Filter Cutoff", "CC number", "74", "20"),
                                     dotted("Pad #3 \"Kick\"", "Mode", "Midi Note", "Control"),
                                     dotted("Pad #3 \"Kick\"", "Channel", "10", "1"),
                                     dotted("Global Parameters", "Split point", "C3", "C2")};
    EXPECT_EQ(lines(c), expected);
    EXPECT_EQ(c.differing(), 4);
    EXPECT_EQ(c.unknown(), 0);
    EXPECT_EQ(c.differingControls(), (std::vector<int>{0x01, 0x72}));
    EXPECT_EQ(c.summary(), "4 values differ");

    // The same configuration, names aside, is identical both ways round.
    EXPECT_TRUE(ConfigComparison::between(named, mine).identical());
    EXPECT_EQ(ConfigComparison::between(mine, mine).summary(), "Identical");
}

TEST(Comparison, AValueOneSideDoesNotHoldIsNeverTakenAsEqualNorInventedWhenTaken)
{
    const auto mine = KeyboardEmulator::factoryConfiguration();
    // A read-out that stopped after the numbers and modes of all controls, and a keyboard-wide value.
    auto partial = ConfigComparison::unknownState();
    for (int id : ControlCatalogue::configurableControls())
    {
        partial.set(itemFieldNumber, id, mine.get(itemFieldNumber, id));
        partial.set(itemFieldMode, id, mine.get(itemFieldMode, id));
    }
    partial.set(itemFieldMode, 0x50, modeNoteToggle);
    partial.globals[globalUpperChannel] = mine.globals[globalUpperChannel];

    const auto c = ConfigComparison::between(mine, partial, "unknown", "not read");
    EXPECT_EQ(c.differing(), 1);
    // Three fields of each of the 65 controls, and five of the six keyboard-wide values.
    EXPECT_EQ(c.unknown(), 65 * 3 + 5);
    EXPECT_EQ(c.unknownControls(), ControlCatalogue::configurableControls());
    EXPECT_TRUE(lines(c).contains(dotted("Sustain Pedal", "Channel", "1", "not read")));
    EXPECT_TRUE(lines(c).contains(dotted("Global Parameters", "Split point", "C3", "not read")));

    // Taking everything takes what is known and leaves the rest as the editor has it.
    std::vector<size_t> all(c.rows().size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    auto taken = mine;
    c.takeTheirs(taken, all);
    auto expected = mine;
    expected.set(itemFieldMode, 0x50, modeNoteToggle);
    EXPECT_EQ(taken, expected);
}

TEST(Comparison, TakingChosenRowsChangesThoseValuesAndNoOther)
{
    const auto mine = KeyboardEmulator::factoryConfiguration();
    auto theirs = mine;
    theirs.set(itemFieldMaxMsb, 0x0B, 99);
    theirs.set(itemFieldMinLsb, 0x12, 10);
    theirs.globals[globalLowerChannel] = 3;
    const auto c = ConfigComparison::between(mine, theirs);
    ASSERT_EQ(c.rows().size(), 3u);

    auto state = mine;
    c.takeTheirs(state, {2, 0});
    EXPECT_EQ(state.get(itemFieldMaxMsb, 0x0B), 99);
    EXPECT_EQ(state.get(itemFieldMinLsb, 0x12), mine.get(itemFieldMinLsb, 0x12));
    EXPECT_EQ(state.globals[globalLowerChannel], 3);
    EXPECT_EQ(ConfigComparison::between(state, theirs).rows().size(), 1u);
}
