// A change to every control of the picture at once, as the editor makes it (one undoable step, its values
// held against the keyboard's answers), beside the floor: one store update writing the same values; and, for
// scale, one control's value edited as one step.
#include "model/BatchEdit.h"
#include "model/EditHistory.h"

#include <benchmark/benchmark.h>

namespace
{
/** The channel each iteration sets: it alternates, so that every iteration changes all 53 controls. */
int channelFor(std::int64_t iteration)
{
    return iteration % 2 == 0 ? 3 : 4;
}

void BM_BatchEditOfAllPictureControls(benchmark::State& state)
{
    KbdSettingsStore store;
    AnswerRouter pins;
    EditHistory history(store, pins);
    const BatchEdit batch(ControlCatalogue::pictureControls());
    std::int64_t i = 0;
    for (auto _ : state)
    {
        const int channel = channelFor(i++);
        const auto out = batch.set(itemFieldChannel, channel);
        history.applyUserWrites(out.writes);
        benchmark::DoNotOptimize(out);
    }
    if (store.getItemField(itemFieldChannel, 0x70) != channelFor(i - 1))
        state.SkipWithError("the batch did not reach the store");
}
BENCHMARK(BM_BatchEditOfAllPictureControls)->Unit(benchmark::kMicrosecond);

/** For scale: one control's channel edited as one step, as a pick in the panel makes it. */
void BM_OneControlEditedAsOneStep(benchmark::State& state)
{
    KbdSettingsStore store;
    AnswerRouter pins;
    EditHistory history(store, pins);
    std::int64_t i = 0;
    for (auto _ : state)
    {
        const int channel = channelFor(i++);
        history.applyUserWrites({{itemFieldChannel, 0x70, channel}});
    }
    benchmark::DoNotOptimize(store.getItemField(itemFieldChannel, 0x70));
}
BENCHMARK(BM_OneControlEditedAsOneStep)->Unit(benchmark::kMicrosecond);

void BM_FloorOneStoreUpdateOfTheSameValues(benchmark::State& state)
{
    KbdSettingsStore store;
    const auto ids = ControlCatalogue::pictureControls();
    std::int64_t i = 0;
    for (auto _ : state)
    {
        const int channel = channelFor(i++);
        store.modify(
            [&](SettingsState& s)
            {
                for (int id : ids)
                    s.set(itemFieldChannel, id, channel);
            });
    }
    benchmark::DoNotOptimize(store.getItemField(itemFieldChannel, 0x70));
}
BENCHMARK(BM_FloorOneStoreUpdateOfTheSameValues)->Unit(benchmark::kMicrosecond);
} // namespace
