#include "model/KbdSettingsStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
struct Recorder final : OrvManagerListener
{
    explicit Recorder(std::vector<std::array<int, 5>>& l, int t) : log(l), tag(t) {}
    void handleManagerEvent(int event, int p1, int p2, int p3) override
    {
        log.push_back({tag, event, p1, p2, p3});
    }
    std::vector<std::array<int, 5>>& log;
    int tag;
};

struct Counter final : OrvManagerListener
{
    void handleManagerEvent(int, int, int, int) override { ++calls; }
    std::atomic<int> calls{0};
};
} // namespace

TEST(Store, FreshStoreHoldsFactoryDefaultsAndZeroGlobals)
{
    KbdSettingsStore store;
    for (int g = 0; g < numGlobalParams; ++g)
        EXPECT_EQ(store.getGlobal(g), 0) << g;
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            EXPECT_EQ(store.getItemField(f, id), ControlCatalogue::defaultConfig(id)->field(f)) << id;
}

TEST(Store, AbsentValuesReadMinusOne)
{
    KbdSettingsStore store;
    for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
        EXPECT_EQ(store.getItemField(f, 0x41), -1) << f;
    EXPECT_EQ(store.getItemField(0, 0x01), -1);
    EXPECT_EQ(store.getItemField(6, 0x01), -1);
}

TEST(Store, ResetDropsUncataloguedItemsKeepsGlobalsAndNumberIndex)
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

TEST(Store, NumberIndexChangesOnlyOnRebuildAndHigherIdWins)
{
    KbdSettingsStore store;
    store.rebuildNumberIndex();
    EXPECT_EQ(store.findItemForNumber(74), std::optional<int>(0x01));

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
    for (int g = 1; g < 11; ++g)
        EXPECT_EQ(store.getGlobal(g), 0) << g;
}

TEST(Store, KnownItemsAreTheConfigurableControls)
{
    KbdSettingsStore store;
    for (int id : ControlCatalogue::configurableControls())
        EXPECT_TRUE(store.isKnownItem(id)) << id;
    EXPECT_FALSE(store.isKnownItem(0x41));
    EXPECT_FALSE(store.isKnownItem(0x42));
    EXPECT_FALSE(store.isKnownItem(100));
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
    auto before = store.snapshot();
    store.modify(
        [](SettingsState& s)
        {
            s.set(itemFieldChannel, 0x01, 5);
            s.globals[3] = -2;
        });
    EXPECT_EQ(before.get(itemFieldChannel, 0x01), 0);
    EXPECT_EQ(before.globals[3], 0);
    EXPECT_EQ(store.getItemField(itemFieldChannel, 0x01), 5);
    EXPECT_EQ(store.getGlobal(3), -2);
}

TEST(StoreThreads, SnapshotNeverSeesAHalfAppliedModify)
{
    KbdSettingsStore store;
    const auto ids = ControlCatalogue::configurableControls();
    auto fillWith = [&ids](int k)
    {
        return [&ids, k](SettingsState& s)
        {
            for (int id : ids)
                for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
                    s.set(f, id, k);
            s.globals.fill((int16_t)k);
        };
    };
    store.modify(fillWith(0));

    constexpr int iterations = 20000;
    std::atomic<int> torn{0};
    std::thread writer(
        [&]
        {
            for (int k = 1; k <= iterations; ++k)
                store.modify(fillWith(k));
        });
    std::thread reader(
        [&]
        {
            for (int i = 0; i < iterations; ++i)
            {
                const auto s = store.snapshot();
                const int first = s.globals[0];
                bool uniform = true;
                for (int g : s.globals)
                    uniform = uniform && g == first;
                for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
                    for (const auto& [id, v] : s.fields[(size_t)f])
                        uniform = uniform && v == first;
                if (!uniform)
                    ++torn;
            }
        });
    writer.join();
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(store.getGlobal(0), iterations);
}

TEST(StoreThreads, MixedOperationsFromTwoThreads)
{
    KbdSettingsStore store;
    constexpr int iterations = 20000;
    Counter listeners[8];
    std::atomic<int> badReads{0};
    std::thread writer(
        [&]
        {
            for (int i = 0; i < iterations; ++i)
            {
                store.setItemField(itemFieldNumber, 0x01, i % 128);
                store.rebuildNumberIndex();
                if (i % (iterations / 8) == 0)
                    store.addListener(&listeners[i / (iterations / 8)]);
            }
        });
    std::thread reader(
        [&]
        {
            for (int i = 0; i < iterations; ++i)
            {
                const int n = store.getItemField(itemFieldNumber, 0x01);
                if (n < 0 || n > 127)
                    ++badReads;
                auto owner = store.findItemForNumber(i % 128);
                if (owner && !store.isKnownItem(*owner))
                    ++badReads;
                store.notifyListeners(ItemFieldReceived, i, 0);
            }
        });
    writer.join();
    reader.join();
    EXPECT_EQ(badReads.load(), 0);
    store.notifyListeners(ItemFieldReceived, 0, 0);
    for (auto& l : listeners)
        EXPECT_GE(l.calls.load(), 1); // every listener was registered by the time of the last call
}
