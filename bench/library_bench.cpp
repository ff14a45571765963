// The library of setups over a generated library of 10,000 setups with random titles, tags and control
// names: the first listing beside loading the same files with the editor's loader, a one-character search
// beside one pass over the same text, and the memory the listed entries take.
#include "files/LibraryTags.h"
#include "files/SetupLibrary.h"
#include "tests/support/scratch_folder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
constexpr int librarySize = 10000;

juce::String randomWord(juce::Random& r)
{
    static const char* const syllables[] = {"ka",  "lo",  "mi",  "ne", "ru",  "sta", "ver", "qua",
                                            "dro", "pel", "zin", "bo", "tre", "gu",  "fa",  "sho"};
    juce::String w;
    for (int i = 0, n = 2 + r.nextInt(3); i < n; ++i)
        w << syllables[r.nextInt(16)];
    return w;
}

/** The generated library, made once per run. */
const ScratchFolder& library()
{
    static const ScratchFolder scratch;
    static const bool made = []
    {
        juce::Random r(49);
        const auto factory = KbdSettingsStore().snapshot();
        for (int i = 0; i < librarySize; ++i)
        {
            auto s = factory;
            for (const auto& [id, number] : factory.numbers())
                if (r.nextInt(8) == 0)
                    s.set(itemFieldChannel, id, r.nextInt(16));
            for (int k = 0, n = r.nextInt(4); k < n; ++k)
                s.names[0x70 + k] = randomWord(r).toStdString();
            SetupInfo info;
            info.title = randomWord(r) + " " + randomWord(r);
            for (int k = 0, n = r.nextInt(4); k < n; ++k)
                info.tags.add(randomWord(r).substring(0, 6));
            if (r.nextBool())
                info.description = randomWord(r) + " " + randomWord(r) + " " + randomWord(r);
            // Written plainly: a safe save per file would make the setting up take minutes.
            juce::MemoryOutputStream text;
            juce::XmlElement::TextFormat format;
            format.customEncoding = "UTF-8";
            createSettingsXml(s, info)->writeTo(text, format);
            scratch.file(juce::String(i) + " " + info.title + ".qmv49")
                .replaceWithData(text.getData(), text.getDataSize());
        }
        return true;
    }();
    juce::ignoreUnused(made);
    return scratch;
}

void BM_LibraryFirstListing(benchmark::State& state)
{
    const auto& folder = library().folder;
    for (auto _ : state)
    {
        folder.getChildFile(SetupLibrary::indexFileName).deleteFile();
        SetupLibrary lib(folder);
        benchmark::DoNotOptimize(lib.refresh());
    }
}
BENCHMARK(BM_LibraryFirstListing)->Unit(benchmark::kMillisecond)->Iterations(1);

/** The floor: every file of the library loaded with the editor's own loader, one after the other. */
void BM_FloorLoaderLoop(benchmark::State& state)
{
    const auto files = library().folder.findChildFiles(juce::File::findFiles, false, "*.qmv49");
    KbdSettingsStore store;
    for (auto _ : state)
        for (const auto& f : files)
            benchmark::DoNotOptimize(readSettingsFile(store, f).ok);
}
BENCHMARK(BM_FloorLoaderLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LibraryListingFromIndex(benchmark::State& state)
{
    const auto& folder = library().folder;
    SetupLibrary(folder).refresh();
    for (auto _ : state)
    {
        SetupLibrary lib(folder);
        benchmark::DoNotOptimize(lib.refresh());
    }
}
BENCHMARK(BM_LibraryListingFromIndex)->Unit(benchmark::kMillisecond)->Iterations(3);

/** Each query is one more character typed into the search box; p95_ms is over all of them. */
void BM_SearchAsTyped(benchmark::State& state)
{
    SetupLibrary lib(library().folder);
    lib.refresh();
    const auto entries = lib.entries();
    juce::Random r(7);
    std::vector<double> ms;
    for (auto _ : state)
    {
        const auto word = randomWord(r) + " " + randomWord(r).substring(0, 2);
        for (int n = 1; n <= word.length(); ++n)
        {
            LibraryQuery q;
            q.text = word.substring(0, n);
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(lib.filter(*entries, q));
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::sort(ms.begin(), ms.end());
    state.counters["p95_ms"] = ms[(size_t)((double)(ms.size() - 1) * 0.95)];
    state.counters["queries"] = (double)ms.size();
}
BENCHMARK(BM_SearchAsTyped)->Unit(benchmark::kMillisecond);

/** The floor: one pass over the same text looking for one character. */
void BM_FloorOnePassOverTheText(benchmark::State& state)
{
    SetupLibrary lib(library().folder);
    lib.refresh();
    const auto entries = lib.entries();
    for (auto _ : state)
    {
        int found = 0;
        for (const auto& e : *entries)
            found += e.haystack.find('q') != std::string::npos ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FloorOnePassOverTheText)->Unit(benchmark::kMillisecond);

/** 10,000 listed setups with a title and five tags each, as a listing leaves them. */
const std::vector<SetupEntry>& taggedEntries()
{
    static const std::vector<SetupEntry> list = []
    {
        juce::Random r(5);
        std::vector<SetupEntry> l((size_t)librarySize);
        for (auto& e : l)
        {
            e.info.title = randomWord(r) + " " + randomWord(r);
            juce::StringArray tags;
            while (tags.size() < 5)
                tags.addIfNotAlreadyThere(randomWord(r).substring(0, 6), true);
            e.info.tags = tags;
        }
        return l;
    }();
    return list;
}

/** Every tag collected and the chips chosen, as each listing does. */
void BM_TagsAndChips(benchmark::State& state)
{
    const auto& list = taggedEntries();
    for (auto _ : state)
    {
        const auto uses = LibraryTags::collect(list);
        benchmark::DoNotOptimize(LibraryTags::forChips(uses, LibraryTags::maxChips));
    }
    state.counters["tags"] = (double)LibraryTags::collect(list).size();
}
BENCHMARK(BM_TagsAndChips)->Unit(benchmark::kMillisecond);

/** The floor: one pass over the same setups' titles, each made lower case as a search does. */
void BM_FloorOnePassOverTheTitles(benchmark::State& state)
{
    const auto& list = taggedEntries();
    for (auto _ : state)
    {
        size_t length = 0;
        for (const auto& e : list)
            length += (size_t)e.info.title.toLowerCase().length();
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_FloorOnePassOverTheTitles)->Unit(benchmark::kMillisecond);

#if defined(__GLIBC__)
/** The heap the listed entries hold, per setup. */
void BM_MemoryPerListedSetup(benchmark::State& state)
{
    const auto& folder = library().folder;
    SetupLibrary(folder).refresh();
    for (auto _ : state)
    {
        const auto before = mallinfo2().uordblks;
        SetupLibrary lib(folder);
        lib.refresh();
        const auto held = lib.entries();
        const auto after = mallinfo2().uordblks;
        state.counters["bytes_per_setup"] = (double)(after - before) / (double)held->size();
    }
}
BENCHMARK(BM_MemoryPerListedSetup)->Unit(benchmark::kMillisecond)->Iterations(1);
#endif
} // namespace
