// Saving, loading and charting the factory configuration, each beside the bare toolkit work on the same
// tree (an XmlElement write, an XmlDocument parse) as the floor.
#include "files/MidiChart.h"
#include "files/SettingsFile.h"

#include <benchmark/benchmark.h>

namespace
{
juce::File benchFile(const char* name)
{
    return juce::File::getSpecialLocation(juce::File::tempDirectory).getChildFile(name);
}

/** The bare toolkit write of an already built tree, with the same declaration and encoding. */
void writeTreeLoop(benchmark::State& state, const juce::XmlElement& xml, const juce::File& file)
{
    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    for (auto _ : state)
        benchmark::DoNotOptimize(xml.writeTo(file, format));
    file.deleteFile();
}

KbdSettingsStore& defaultStore()
{
    static KbdSettingsStore store;
    return store;
}

void BM_SaveSettings(benchmark::State& state)
{
    const auto file = benchFile("bench-save.qmv49");
    for (auto _ : state)
        benchmark::DoNotOptimize(writeSettingsFile(defaultStore(), file).ok);
    file.deleteFile();
}
BENCHMARK(BM_SaveSettings);

void BM_FloorXmlWrite(benchmark::State& state)
{
    writeTreeLoop(state, *createSettingsXml(defaultStore().snapshot()), benchFile("bench-floor.qmv49"));
}
BENCHMARK(BM_FloorXmlWrite);

void BM_LoadSettings(benchmark::State& state)
{
    const auto file = benchFile("bench-load.qmv49");
    writeSettingsFile(defaultStore(), file);
    KbdSettingsStore store;
    for (auto _ : state)
        benchmark::DoNotOptimize(readSettingsFile(store, file).ok);
    file.deleteFile();
}
BENCHMARK(BM_LoadSettings);

void BM_FloorXmlParse(benchmark::State& state)
{
    const auto file = benchFile("bench-parse.qmv49");
    writeSettingsFile(defaultStore(), file);
    for (auto _ : state)
        benchmark::DoNotOptimize(juce::XmlDocument::parse(file.loadFileAsString()));
    file.deleteFile();
}
BENCHMARK(BM_FloorXmlParse);

void BM_WriteChart(benchmark::State& state)
{
    const auto file = benchFile("bench-chart.html");
    for (auto _ : state)
        benchmark::DoNotOptimize(writeMidiChart(defaultStore(), file).ok);
    file.deleteFile();
}
BENCHMARK(BM_WriteChart);

void BM_FloorChartXmlWrite(benchmark::State& state)
{
    writeTreeLoop(state, *createMidiChartXml(defaultStore().snapshot()), benchFile("bench-chart-floor.html"));
}
BENCHMARK(BM_FloorChartXmlWrite);
} // namespace
