// Many controls at once: which are selected, and what a change to all of them does.
#include "model/BatchEdit.h"
#include "model/ControlSelection.h"

#include <gtest/gtest.h>

namespace
{
// A stretch of the picture's reading order: the top row from the Level knob over the snapshot, transport
// and Upper buttons to the first knobs, then the pads at the bottom right.
const std::vector<int> someOfTheOrder{0x30, 0x12, 0x13, 0x14, 0x15, 0x16, 0x58, 0x59,
                                      0x5A, 0x1D, 0x01, 0x02, 0x70, 0x71, 0x72, 0x73};

/** Makes a change's writes on a configuration, as the editor's history does. */
BatchEdit::Outcome made(SettingsState& s, BatchEdit::Outcome out)
{
    SettingsDelta::write(s, out.writes);
    return out;
}

SettingsState factory()
{
    SettingsState s;
    s.resetItemsToDefaults();
    return s;
}
} // namespace

TEST(ControlSelection, ShiftClickTakesOnlyTheClickedKindAndReachesFromTheLastPlainClick)
{
    ControlSelection sel(someOfTheOrder);
    sel.click(0x30);
    sel.extendTo(0x01); // nine buttons lie between the two knobs
    EXPECT_EQ(sel.ids(), (std::vector<int>{0x30, 0x01}));
    EXPECT_EQ(sel.primary(), 0x01);

    sel.extendTo(0x71); // from the Level knob still, now pads
    EXPECT_EQ(sel.ids(), (std::vector<int>{0x70, 0x71}));
    sel.extendTo(0x73);
    EXPECT_EQ(sel.ids(), (std::vector<int>{0x70, 0x71, 0x72, 0x73}));

    // Ctrl+click takes the control shown out: another selected one is shown; the last one stays.
    sel.toggle(0x73);
    EXPECT_FALSE(sel.contains(0x73));
    EXPECT_TRUE(sel.contains(sel.primary()));
    sel.click(0x12);
    sel.toggle(0x12);
    EXPECT_EQ(sel.ids(), std::vector<int>{0x12});
}

TEST(BatchEdit, AModeIsSetOnlyWhereTheControlsModeSetHasIt)
{
    // A knob, a slider, a snapshot button and a pad: four mode sets.
    const BatchEdit batch({0x01, 0x0B, 0x12, 0x70});
    auto s = factory();
    const auto before = s;

    const auto relative = made(s, batch.set(itemFieldMode, modeRelativeControl));
    EXPECT_EQ(relative.changed, std::vector<int>{0x01}) << "only knobs turn relatively";
    EXPECT_EQ(relative.skipped, (std::vector<int>{0x0B, 0x12, 0x70}));
    EXPECT_EQ(s.get(itemFieldMode, 0x0B), before.get(itemFieldMode, 0x0B));

    const auto toggle = made(s, batch.set(itemFieldMode, modeNoteToggle));
    EXPECT_EQ(toggle.changed, (std::vector<int>{0x12, 0x70}));
    EXPECT_EQ(s.get(itemFieldMode, 0x01), modeRelativeControl);
    EXPECT_FALSE(batch.sharedValue(s, itemFieldMode).has_value());
    EXPECT_TRUE(batch.anyAllowsMode(modeDurationControl)) << "the snapshot button has it";
    EXPECT_FALSE(batch.anyAllowsMode(modeMmc)) << "only host buttons have MMC";
}

TEST(BatchEdit, ValuesOutsideTheKeyboardsRangesNeverReachTheStore)
{
    const BatchEdit batch({0x01, 0x70});
    auto s = factory();
    const auto before = s;
    for (const auto& [field, value] : {std::pair{itemFieldNumber, 128},
                                       {itemFieldMinLsb, -1},
                                       {itemFieldChannel, 16},
                                       {itemFieldChannel, 200},
                                       {itemFieldMode, 12}})
        EXPECT_EQ(made(s, batch.set(field, value)).skipped.size(), 2u) << field << " " << value;
    EXPECT_EQ(s, before);

    ItemConfig wild{modeControl, 3, 300, 0, 127};
    EXPECT_TRUE(made(s, batch.paste(wild)).changed.empty());
    EXPECT_EQ(s, before);
}

TEST(BatchEdit, ASeriesPastTheEndIsKeptAtTheLimitAndSaysWhere)
{
    const BatchEdit batch({0x12, 0x13, 0x14, 0x15});
    auto s = factory();
    const auto up = made(s, batch.series(itemFieldNumber, 120, 3));
    EXPECT_EQ(up.clipped, std::vector<int>{0x15});
    EXPECT_EQ(s.get(itemFieldNumber, 0x12), 120);
    EXPECT_EQ(s.get(itemFieldNumber, 0x14), 126);
    EXPECT_EQ(s.get(itemFieldNumber, 0x15), 127);

    const auto down = made(s, batch.series(itemFieldNumber, 2, -1));
    EXPECT_EQ(down.clipped, std::vector<int>{0x15});
    EXPECT_EQ(s.get(itemFieldNumber, 0x15), 0);

    // Channels count from 1 to 16 and are stored from 0.
    const auto channels = made(s, batch.series(itemFieldChannel, 15, 1));
    EXPECT_EQ(channels.clipped, (std::vector<int>{0x14, 0x15}));
    EXPECT_EQ(s.get(itemFieldChannel, 0x12), 14);
    EXPECT_EQ(s.get(itemFieldChannel, 0x15), 15);
    EXPECT_EQ(batch.sharedValue(s, itemFieldMinLsb), std::nullopt) << "the snapshots' own minimums stay";
}

TEST(BatchEdit, PastingOntoTheControlCopiedFromChangesNothingThereAndSkipsWhatCannotTakeIt)
{
    auto s = factory();
    s.set(itemFieldNumber, 0x70, 36);
    const auto copied = BatchEdit::copy(s, 0x70);
    ASSERT_TRUE(copied.has_value());
    s.set(itemFieldNumber, 0x70, 50); // changed after the copy: the copy keeps what it took

    const auto out = made(s, BatchEdit({0x01, 0x70, 0x71}).paste(*copied));
    EXPECT_EQ(out.skipped, std::vector<int>{0x01}) << "a knob plays no notes";
    EXPECT_EQ(s.get(itemFieldNumber, 0x70), 36);
    EXPECT_EQ(s.get(itemFieldNumber, 0x71), 36);
    EXPECT_EQ(s.get(itemFieldChannel, 0x71), 9);
    EXPECT_EQ(s.get(itemFieldMode, 0x01), modeControl);
}

TEST(BatchEdit, WritesInReadingOrderLandOnTheirOwnControlsWhateverTheIdsOrder)
{
    // The picture's reading order is not the ids' order: the Level knob (0x30) comes before Filter Cutoff
    // (0x01), a snapshot button (0x12) before the pads (0x70). Each value goes to its own control only.
    for (const auto& [ids, field, value] :
         {std::tuple{std::vector<int>{0x70, 0x12}, itemFieldMode, (int)modeNoteToggle},
          std::tuple{std::vector<int>{0x30, 0x01}, itemFieldChannel, 9},
          std::tuple{std::vector<int>{0x73, 0x30, 0x12, 0x01}, itemFieldChannel, 4}})
    {
        auto s = factory();
        auto expected = s;
        for (int id : ids)
            expected.set(field, id, value);
        made(s, BatchEdit(ids).set(field, value));
        EXPECT_EQ(s, expected) << "field " << field << " on " << ids.size() << " controls";
    }
}
