// Interface costs, rendered headless: the editor's content from construction to its first paint beside a
// bare component of the same size; a full repaint of the settings panel; a hover repaint, which covers only
// one picker button's bounds.
#include "app/ALookAndFeel.h"
#include "app/MainWindow.h"
#include "device/VirtualMidiPorts.h"
#include "ui/PickerLayout.h"

#include <benchmark/benchmark.h>

namespace
{
/** Ports with one silent output, so the scan waits instead of ending at once. */
struct QuietPorts
{
    QuietPorts() { ports.addOutput("silent"); }
    VirtualMidiPorts ports;
};

void BM_EditorStartupToFirstPaint(benchmark::State& state)
{
    QuietPorts quiet;
    for (auto _ : state)
    {
        MainComponent content(quiet.ports);
        benchmark::DoNotOptimize(content.createComponentSnapshot(content.getLocalBounds()));
    }
}
BENCHMARK(BM_EditorStartupToFirstPaint)->Unit(benchmark::kMillisecond);

struct BareComponent : juce::Component
{
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colours::white); }
};

void BM_FloorBareComponentFirstPaint(benchmark::State& state)
{
    for (auto _ : state)
    {
        BareComponent bare;
        bare.setSize(1063, 460);
        benchmark::DoNotOptimize(bare.createComponentSnapshot(bare.getLocalBounds()));
    }
}
BENCHMARK(BM_FloorBareComponentFirstPaint)->Unit(benchmark::kMillisecond);

void BM_PanelFullRepaint(benchmark::State& state)
{
    QuietPorts quiet;
    MainComponent content(quiet.ports);
    auto& panel = content.getSettingsPanel();
    for (auto _ : state)
        benchmark::DoNotOptimize(panel.createComponentSnapshot(panel.getLocalBounds()));
}
BENCHMARK(BM_PanelFullRepaint)->Unit(benchmark::kMillisecond);

void BM_HoverRepaint(benchmark::State& state)
{
    QuietPorts quiet;
    MainComponent content(quiet.ports);
    auto& panel = content.getSettingsPanel();
    const auto& pad = pickerSpots[33]; // Pad #1
    const juce::Rectangle<int> area(pad.x, pad.y + 149, pad.w, pad.h);
    for (auto _ : state)
        benchmark::DoNotOptimize(panel.createComponentSnapshot(area));
}
BENCHMARK(BM_HoverRepaint)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    ALookAndFeel look;
    juce::LookAndFeel::setDefaultLookAndFeel(&look);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    return 0;
}
