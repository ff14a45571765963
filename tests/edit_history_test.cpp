// The edit history without a window: what counts as not sent after a read-out, what a save marks saved, and a
// change to many values written as one step.
#include "model/EditHistory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
struct History : ::testing::Test
{
    KbdSettingsStore store;
    AnswerRouter pins;
    EditHistory history{store, pins};

    void edit(int field, int id, int value)
    {
        history.applyUserChange([=](SettingsState& s) { s.set(field, id, value); });
    }
};
} // namespace

TEST_F(History, AfterAReadOutAnEditIsNotSentUnlessTheKeyboardWasHeardToHoldTheSameValue)
{
    edit(itemFieldMode, 0x01, modeNrpn);     // the keyboard will answer otherwise
    edit(itemFieldMode, 0x02, modeMidiNote); // the keyboard will answer the same
    edit(itemFieldMode, 0x03, modeMmc);      // no answer comes for it
    ASSERT_EQ(history.unsentValues().size(), 3u) << "before any read-out, every edit is not sent";

    // The read-out's answers for pinned values are kept aside, not stored.
    pins.storeAnswers(store, itemFieldMode, {0x01, modeControl, 0x02, modeMidiNote});
    ASSERT_EQ(store.getItemField(itemFieldMode, 0x01), modeNrpn);
    history.readOutEnded(true);

    EXPECT_EQ(history.unsentValues(),
              (std::set<std::pair<int, int>>{{itemFieldMode, 0x01}, {itemFieldMode, 0x03}}));
}

TEST_F(History, ASaveMarksSavedOnlyTheConfigurationItWrote)
{
    edit(itemFieldMaxMsb, 0x05, 99);
    const auto written = store.snapshot();
    edit(itemFieldMaxMsb, 0x05, 98); // while the save was under way
    history.markSaved(written);
    EXPECT_TRUE(history.hasUnsavedChanges());

    history.undo();
    history.undo();
    EXPECT_FALSE(history.hasUnsavedChanges()) << "still measured against the start";
}

TEST_F(History, AWrittenBatchIsOneStepThatUndoesToTheKeyboardsLaterAnswerAndRedoesExactly)
{
    const auto start = store.snapshot();
    ASSERT_NE(start.get(itemFieldNumber, 0x70), 60);
    ASSERT_NE(start.get(itemFieldNumber, 0x71), 61);
    int userSteps = 0;
    bool storeUntouchedAtUserStep = false;
    std::vector<int> shown;
    history.selection = []
    {
        return 0x71;
    };
    history.onUserStep = [&]
    {
        ++userSteps;
        storeUntouchedAtUserStep = store.snapshot() == start;
    };
    history.onStepApplied = [&](int id)
    {
        shown.push_back(id);
    };

    // Two pads get new numbers, a third is written the number it has, and the split point moves.
    const int pad3 = start.get(itemFieldNumber, 0x72);
    history.applyUserWrites({{itemFieldNumber, 0x70, 60},
                             {itemFieldNumber, 0x71, 61},
                             {itemFieldNumber, 0x72, pad3},
                             {AnswerRouter::globalField, globalSplitPoint, 70}});
    const auto after = store.snapshot();
    auto expected = start;
    expected.set(itemFieldNumber, 0x70, 60);
    expected.set(itemFieldNumber, 0x71, 61);
    expected.globals[globalSplitPoint] = 70;
    EXPECT_TRUE(after == expected);
    EXPECT_EQ(store.findItemForNumber(61), 0x71) << "the number index follows at once";
    EXPECT_EQ(pins.values(), (std::set<std::pair<int, int>>{{itemFieldNumber, 0x70},
                                                            {itemFieldNumber, 0x71},
                                                            {AnswerRouter::globalField, globalSplitPoint}}))
        << "a value written as it was is not held";
    EXPECT_EQ(userSteps, 1);
    EXPECT_TRUE(storeUntouchedAtUserStep) << "the editor hears of the step before it is made";
    EXPECT_EQ(shown, std::vector<int>{0x71});

    // The keyboard answers for the second pad meanwhile: kept aside, the value is the user's.
    pins.storeAnswers(store, itemFieldNumber, {0x71, 45});
    EXPECT_EQ(store.getItemField(itemFieldNumber, 0x71), 61);

    // Taken back, the second pad holds what the keyboard said, not the editor's start, and is the
    // keyboard's again; the first, set back by the user, is still theirs.
    ASSERT_TRUE(history.undo());
    auto undone = start;
    undone.set(itemFieldNumber, 0x71, 45);
    EXPECT_TRUE(store.snapshot() == undone);
    EXPECT_FALSE(pins.isPinned(itemFieldNumber, 0x71));
    EXPECT_TRUE(pins.isPinned(itemFieldNumber, 0x70));
    EXPECT_EQ(store.findItemForNumber(45), 0x71);
    EXPECT_FALSE(history.undo()) << "one step";

    ASSERT_TRUE(history.redo());
    EXPECT_TRUE(store.snapshot() == after);
    EXPECT_TRUE(pins.isPinned(itemFieldNumber, 0x71));

    // Writing what the store holds makes no step.
    history.applyUserWrites({{itemFieldNumber, 0x70, 60}});
    EXPECT_EQ(userSteps, 1);
    EXPECT_EQ(shown, (std::vector<int>{0x71, 0x71, 0x71}));
}

TEST_F(History, AnswersOnTheKeyboardsThreadNeverOverwriteAWrittenBatch)
{
    // The keyboard keeps telling the pads' channel, as a read-out does, while the user sets them again and
    // again, each time after a send that left nothing held.
    const std::vector<int> pads{0x70, 0x71, 0x72, 0x73};
    juce::Array<int> answer;
    for (int pad : pads)
        answer.addArray({pad, 9});
    std::atomic<bool> done{false};
    std::thread keyboard(
        [&]
        {
            while (!done)
                pins.storeAnswers(store, itemFieldChannel, answer);
        });
    int overwritten = 0;
    for (int i = 0; i < 30000; ++i)
    {
        pins.clear();
        const int channel = i % 2;
        std::vector<SettingsWrite> writes;
        for (int pad : pads)
            writes.push_back({itemFieldChannel, pad, channel});
        history.applyUserWrites(writes);
        for (int pad : pads)
            overwritten += store.getItemField(itemFieldChannel, pad) != channel ? 1 : 0;
    }
    done = true;
    keyboard.join();
    EXPECT_EQ(overwritten, 0);
}
