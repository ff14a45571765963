#include "model/KbdSettingsStore.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace
{
struct Recorder final : OrvManagerListener
{
    Recorder(std::vector<std::array<int, 5>>& l, int t) : log(l), tag(t) {}
    void handleManagerEvent(int e, int p1, int p2, int p3) override { log.push_back({tag, e, p1, p2, p3}); }
    std::vector<std::array<int, 5>>& log;
    int tag;
};

// Sets all five fields of every configurable control and every global to k.
void fillAll(SettingsState& s, int k)
{
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            s.set(f, id, k);
    s.globals.fill((int16_t)k);
}
} // namespace

TEST(Store, FreshStoreHoldsDefaultsOnlyForKnownControls)
{
    KbdSettingsStore store;
    for (int g = 0; g < numGlobalParams; ++g)
        EXPECT_EQ(store.getGlobal(g), 0) << g;
    for (int id : ControlCatalogue::configurableControls())
    {
        EXPECT_TRUE(store.isKnownItem(id)) << id;
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            EXPECT_EQ(store.getItemField(f, id), ControlCatalogue::defaultConfig(id)->field(f)) << id;
    }
    for (int id : {0x41, 0x42, 100})
        EXPECT_FALSE(store.isKnownItem(id)) << id;
    for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
        EXPECT_EQ(store.getItemField(f, 0x41), -1) << f;
    EXPECT_EQ(store.getItemField(0, 0x01), -1);
    EXPECT_EQ(store.getItemField(6, 0x01), -1);
}

TEST(Store, ResetDropsUncataloguedItemsButKeepsGlobalsAndNumberIndex)
{
    KbdSettingsStore store;
    store.setItemField(itemFieldNumber, 100, 3); // 3 is no control's default number
    store.setItemField(itemFieldMode, 0x01, 4);
    store.setGlobal(globalSplitPoint, 60);
    store.rebuildNumberIndex();
    store.resetItemsToDefaults();
    EXPECT_EQ(store.getItemField(itemFieldNumber, 100), -1);
    EXPECT_EQ(store.getItemField(itemFieldMode, 0x01), 1);
    EXPECT_EQ(store.snapshot().numbers().size(), 65u);
    EXPECT_EQ(store.getGlobal(globalSplitPoint), 60);
    EXPECT_EQ(store.findItemForNumber(3), std::optional<int>(100));
}

TEST(Store, NumberIndexFollowsOnlyRebuildsAndHigherIdWins)
{
    KbdSettingsStore store;
    store.rebuildNumberIndex();
    store.setItemField(itemFieldNumber, 0x01, 3);
    store.setItemField(itemFieldNumber, 0x70, 3);
    EXPECT_FALSE(store.findItemForNumber(3).has_value());
    EXPECT_EQ(store.findItemForNumber(74), std::optional<int>(0x01));
    store.rebuildNumberIndex();
    EXPECT_EQ(store.findItemForNumber(3), std::optional<int>(0x70));
    EXPECT_FALSE(store.findItemForNumber(74).has_value());
}

TEST(Store, GlobalsTruncateToSixteenBitsAndIgnoreUnknownSlots)
{
    KbdSettingsStore store;
    store.setGlobal(0, 70000);
    store.setGlobal(11, -1);
    store.setGlobal(12, 5);
    store.setGlobal(-1, 5);
    EXPECT_EQ(store.getGlobal(0), 4464);
    EXPECT_EQ(store.getGlobal(11), -1);
    EXPECT_EQ(store.getGlobal(12), 0);
    EXPECT_EQ(store.getGlobal(-1), 0);
}

TEST(Store, ListenersHearEveryEventInRegistrationOrder)
{
    KbdSettingsStore store;
    std::vector<std::array<int, 5>> log;
    Recorder a(log, 1), b(log, 2);
    store.addListener(&a);
    store.addListener(&b);
    store.addListener(&a);
    store.notifyListeners(ControlChanged, 7, -3);
    const std::vector<std::array<int, 5>> expected = {{1, 2, 7, -3, 0}, {2, 2, 7, -3, 0}, {1, 2, 7, -3, 0}};
    EXPECT_EQ(log, expected);
}

TEST(Store, SnapshotIsACopyAndModifyApplies)
{
    KbdSettingsStore store;
    const auto before = store.snapshot();
    store.modify([](SettingsState& s) { s.set(itemFieldChannel, 0x01, 5); });
    EXPECT_EQ(before.get(itemFieldChannel, 0x01), 0);
    EXPECT_EQ(store.getItemField(itemFieldChannel, 0x01), 5);
}

TEST(StoreThreads, SnapshotNeverSeesAHalfAppliedModify)
{
    KbdSettingsStore store;
    store.modify([](SettingsState& s) { fillAll(s, 0); });

    constexpr int iterations = 20000;
    int torn = 0;
    std::thread writer(
        [&]
        {
            for (int k = 1; k <= iterations; ++k)
                store.modify([k](SettingsState& s) { fillAll(s, k); });
        });
    for (int i = 0; i < iterations; ++i)
    {
        const auto s = store.snapshot();
        std::set<int> values(s.globals.begin(), s.globals.end());
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            for (const auto& [id, v] : s.fields[(size_t)f])
                values.insert(v);
        torn += values.size() != 1 ? 1 : 0;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

TEST(StoreThreads, MixedOperationsFromTwoThreads)
{
    KbdSettingsStore store;
    constexpr int iterations = 20000, every = iterations / 4;
    std::vector<std::array<int, 5>> log; // written only by this thread, which does all the notifying
    Recorder listeners[4] = {{log, 0}, {log, 1}, {log, 2}, {log, 3}};
    std::thread writer(
        [&]
        {
            for (int i = 0; i < iterations; ++i)
            {
                store.setItemField(itemFieldNumber, 0x01, i % 128);
                store.rebuildNumberIndex();
                if (i % every == 0)
                    store.addListener(&listeners[i / every]);
            }
        });
    int badReads = 0;
    for (int i = 0; i < iterations; ++i)
    {
        const int n = store.getItemField(itemFieldNumber, 0x01);
        auto owner = store.findItemForNumber(i % 128);
        badReads += (n < 0 || n > 127 || (owner && !store.isKnownItem(*owner))) ? 1 : 0;
        store.notifyListeners(ItemFieldReceived, i, 0);
    }
    writer.join();
    EXPECT_EQ(badReads, 0);
    log.clear();
    store.notifyListeners(ItemFieldReceived, 0, 0);
    ASSERT_EQ(log.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(log[(size_t)k][0], k);
}

TEST(Store, EveryWayOfWritingCountsAsAChangeAndReadingDoesNot)
{
    // The monitor re-reads the names only when the count moves: a write that is not counted leaves it
    // naming lines after a configuration that is gone.
    KbdSettingsStore store;
    auto seen = store.changeCount();
    const auto changedBy = [&](const char* what, const std::function<void()>& write)
    {
        write();
        EXPECT_NE(store.changeCount(), seen) << what;
        seen = store.changeCount();
    };
    changedBy("a field", [&] { store.setItemField(itemFieldNumber, 0x01, 20); });
    changedBy("a keyboard-wide value", [&] { store.setGlobal(globalUpperChannel, 3); });
    changedBy("a step", [&] { store.modify([](SettingsState& s) { s.names[0x01] = "Cut"; }); });
    changedBy("a whole configuration", [&] { store.replace(SettingsState()); });
    changedBy("the defaults", [&] { store.resetItemsToDefaults(); });
    (void)store.snapshot();
    store.read([](const SettingsState&) {});
    (void)store.getItemField(itemFieldNumber, 0x01);
    EXPECT_EQ(store.changeCount(), seen);
}
