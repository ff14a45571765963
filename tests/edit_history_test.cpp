// The edit history without a window: what counts as not sent after a read-out, and what a save marks saved.
#include "model/EditHistory.h"

#include <gtest/gtest.h>

namespace
{
struct History : ::testing::Test
{
    KbdSettingsStore store;
    EditPins pins;
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
