// The MIDI monitor taking a burst of 100,000 mixed messages (notes, controllers, NRPN sequences, the
// keyboard's set frames) as the MIDI thread hands them over and the message thread decodes and keeps them,
// beside a floor that only copies the same bytes into the history's buffer.
#include "device/MonitorHistory.h"
#include "device/SysExCodec.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace
{
constexpr int burst = 100000;

/** The burst, made once: a quarter each of notes, controllers, NRPN sequences' controllers and set frames. */
const std::vector<juce::MidiMessage>& mixedBurst()
{
    static const std::vector<juce::MidiMessage> messages = []
    {
        std::vector<juce::MidiMessage> m;
        m.reserve(burst);
        for (int i = 0; (int)m.size() < burst; ++i)
        {
            const int channel = 1 + i % 16;
            m.push_back(juce::MidiMessage::noteOn(channel, i % 128, (juce::uint8)(1 + i % 127)));
            m.push_back(juce::MidiMessage::controllerEvent(channel, 74, i % 128));
            for (const auto& [cc, v] : {std::pair{99, 1}, {98, i % 128}, {38, 7}, {6, 3}})
                m.push_back(juce::MidiMessage::controllerEvent(channel, cc, v));
            m.push_back(juce::MidiMessage::noteOff(channel, i % 128));
            m.push_back(OrvSysEx::makeItemFieldSet(itemFieldChannel, 0x70 + i % 4, i % 16));
        }
        m.resize(burst);
        return m;
    }();
    return messages;
}

SettingsState factoryConfiguration()
{
    SettingsState s;
    s.resetItemsToDefaults();
    s.applyEditorGlobalDefaults();
    return s;
}

void BM_MonitorDecodeAndKeepBurst(benchmark::State& state)
{
    const auto& messages = mixedBurst();
    MonitorDecoder decoder(factoryConfiguration());
    MonitorHistory history;
    for (auto _ : state)
    {
        // The message thread drains what came at each tick of its timer; here every 4,096 messages.
        double t = 0;
        int added = 0;
        for (const auto& m : messages)
        {
            history.add(t += 0.0001, MonitorDirection::fromKeyboard, m);
            if (++added % 4096 == 0)
                history.drain(decoder);
        }
        benchmark::DoNotOptimize(history.drain(decoder));
    }
    state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_MonitorDecodeAndKeepBurst)->Unit(benchmark::kMillisecond);

/** The floor: the same hand-over into the history's buffer, each message's time, direction and bytes copied
    under its lock, and the buffer emptied at the same ticks without decoding. */
void BM_FloorCopyBurstBytes(benchmark::State& state)
{
    const auto& messages = mixedBurst();
    MonitorHistory history;
    for (auto _ : state)
    {
        double t = 0;
        int added = 0;
        for (const auto& m : messages)
        {
            history.add(t += 0.0001, MonitorDirection::fromKeyboard, m);
            if (++added % 4096 == 0)
                history.clear();
        }
        history.clear();
        benchmark::DoNotOptimize(history.received());
    }
    state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_FloorCopyBurstBytes)->Unit(benchmark::kMillisecond);
} // namespace
