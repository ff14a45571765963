// Saving, loading and charting the factory configuration, each beside the bare toolkit work on the same
// tree (an XmlElement write, an XmlDocument parse) as the floor; and loading files built to be slow, each
// beside a well-formed settings file of the same size.
#include "files/DawMaps.h"
#include "files/DawNames.h"
#include "files/MidiChart.h"
#include "files/SettingsFile.h"
#include "tests/support/scratch_folder.h"

#include <benchmark/benchmark.h>

#include <functional>

namespace
{
juce::File benchFile(const char* name)
{
    static const ScratchFolder scratch;
    return scratch.file(name);
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

//==============================================================================
// The exports for the DAW, in memory, beside the floor of the settings file's own text made from the same
// configuration: the four name formats, and the three control maps with the default roles.
void BM_ExportNamesAllFormats(benchmark::State& state)
{
    const auto configuration = defaultStore().snapshot();
    for (auto _ : state)
    {
        const DawNames names(configuration, "Quillet 49");
        size_t bytes = 0;
        for (auto format : {DawNames::Format::midnam, DawNames::Format::ins, DawNames::Format::reaper,
                            DawNames::Format::csv})
            bytes += names.text(format).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ExportNamesAllFormats)->Unit(benchmark::kMicrosecond);

void BM_ExportMapsAllDaws(benchmark::State& state)
{
    const auto configuration = defaultStore().snapshot();
    const auto roles = ControlRoles::defaults();
    for (auto _ : state)
    {
        const DawMaps maps(configuration, roles, "Quillet 49");
        size_t bytes = 0;
        for (auto daw : {DawMaps::Daw::ardour, DawMaps::Daw::ableton, DawMaps::Daw::realearn})
            bytes += maps.text(daw).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ExportMapsAllDaws)->Unit(benchmark::kMicrosecond);

void BM_FloorSettingsText(benchmark::State& state)
{
    const auto configuration = defaultStore().snapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(createSettingsXml(configuration)->toString().length());
}
BENCHMARK(BM_FloorSettingsText)->Unit(benchmark::kMicrosecond);

//==============================================================================
// Files of one size (a little under the loader's cap) built to make loading slow, and the floor: a
// well-formed settings file of that size, the factory items over and over.
constexpr int hostileSize = 240 * 1024;

juce::String grownTo(const juce::String& head, const juce::String& unit, const juce::String& tail)
{
    juce::String text = head;
    text.preallocateBytes((size_t)hostileSize + 64);
    while (text.length() + unit.length() + tail.length() <= hostileSize)
        text << unit;
    return text + tail;
}

juce::String wellFormedOfHostileSize()
{
    juce::MemoryOutputStream factory;
    createSettingsXml(defaultStore().snapshot())
        ->getChildByName("Items")
        ->getFirstChildElement()
        ->writeTo(factory, juce::XmlElement::TextFormat().singleLine().withoutHeader());
    return grownTo("<Settings><Items>", factory.toString(), "</Items><Globals/></Settings>");
}

const std::pair<const char*, std::function<juce::String()>> loadCases[] = {
    {"well-formed", wellFormedOfHostileSize},
    {"one-name-attributes",
     []
     {
         return grownTo("<Settings><Items><Item ID='1'", " a='0'", "/></Items></Settings>");
     }},
    {"distinct-attributes",
     []
     {
         juce::String attributes;
         for (int i = 0; i < 250; ++i)
             attributes << " n" << i << "='0'";
         return grownTo("<Settings><Items>", "<Item ID='1'" + attributes + "/>", "</Items></Settings>");
     }},
    {"deep-and-wide",
     []
     {
         const auto open = juce::String::repeatedString("<a>", 31),
                    close = juce::String::repeatedString("</a>", 31);
         return grownTo("<Settings>", open + close, "</Settings>");
     }},
    {"long-name",
     []
     {
         return grownTo("<Settings><Items><Item ID='1' ", "n", "='0'/></Items></Settings>");
     }},
    {"references",
     []
     {
         return grownTo("<Settings><Items><Item ID='1' Name='", "&amp;&#x41;", "'/></Items></Settings>");
     }},
};

void loadCase(benchmark::State& state, const std::function<juce::String()>& make)
{
    const auto file = benchFile("bench-worst.qmv49");
    file.replaceWithText(make());
    KbdSettingsStore store;
    for (auto _ : state)
        benchmark::DoNotOptimize(readSettingsFile(store, file).ok);
    state.counters["bytes"] = (double)file.getSize();
    file.deleteFile();
}

[[maybe_unused]] const bool registered = []
{
    for (const auto& [name, make] : loadCases)
        benchmark::RegisterBenchmark((juce::String("BM_LoadOfHostileSize/") + name).toRawUTF8(), loadCase,
                                     make)
            ->Unit(benchmark::kMillisecond);
    return true;
}();
} // namespace
