#include "SetupLibrary.h"

#include "LibraryIndex.h"
#include "SetupFileName.h"
#include "StrictUtf8.h"
#include "UserFolders.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace
{

const SettingsState& factory()
{
    static const SettingsState state = []
    {
        SettingsState s;
        s.resetItemsToDefaults();
        return s;
    }();
    return state;
}

std::filesystem::path fsPath(const juce::File& f)
{
    return std::filesystem::u8path(f.getFullPathName().toStdString());
}

juce::int64 nanoseconds(std::filesystem::file_time_type t)
{
    return (juce::int64)std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

} // namespace

//==============================================================================
juce::File SetupLibrary::child(const juce::String& fileName) const
{
    return SetupFileName::inFolder(folder, fileName);
}

juce::int64 SetupLibrary::modificationTime(const juce::File& file)
{
    std::error_code error;
    const auto t = std::filesystem::last_write_time(fsPath(file), error);
    return error ? 0 : nanoseconds(t);
}

SetupEntry SetupLibrary::readEntry(const juce::File& file)
{
    SetupEntry e;
    e.fileName = file.getFileName();
    e.size = file.getSize();
    e.modified = modificationTime(file);
    SettingsDocument doc;
    const auto read = readSettingsDocument(file, doc);
    if (!read.ok)
    {
        e.problem = read.message;
    }
    else
    {
        e.info = doc.setup;
        juce::StringArray names;
        // A control listed twice counts as its last listing says, as loading does.
        for (const auto& item : doc.items)
        {
            if (item.name.isNotEmpty())
                names.add(item.name);
            if (item.id < 0 || item.id >= (int)e.differing.size())
                continue;
            const auto& f = factory();
            const int values[] = {item.config.mode, item.config.channel, item.config.number,
                                  item.config.minLsb, item.config.maxMsb};
            bool differs = false;
            for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
                differs = differs || f.get(field, item.id) != values[field - itemFieldMode];
            e.differing.set((size_t)item.id, differs);
        }
        e.names = names.joinIntoString("\n");
    }
    e.makeHaystack();
    return e;
}

//==============================================================================
SetupLibrary::SetupLibrary(const juce::File& f)
    : folder(f), libraryMarks(f), current(std::make_shared<std::vector<SetupEntry>>()),
      currentTags(std::make_shared<const std::vector<LibraryTags::Use>>())
{
}

juce::File SetupLibrary::defaultFolder()
{
    const auto chosen = juce::SystemStats::getEnvironmentVariable("QUILLET_LIBRARY", {});
    if (juce::File::isAbsolutePath(chosen))
        return juce::File(chosen);
    return UserFolders::programData().getChildFile("setups");
}

int SetupLibrary::refresh()
{
    const auto generation = ++generations;
    // The times are taken before the listing: a change made while it runs is seen by the next look.
    const auto folderTime = modificationTime(folder), marksTime = modificationTime(libraryMarks.getFile());
    const auto indexFile = folder.getChildFile(indexFileName);
    // An entry is taken from the index only when its file had last changed well before the index was
    // written: a change within the file system's resolution of time would otherwise go unseen.
    const auto indexTime = modificationTime(indexFile);
    constexpr juce::int64 margin = 2'000'000'000;
    auto read = LibraryIndex::read(indexFile);
    auto& index = read.entries;
    const size_t indexed = index.size();

    auto list = std::make_shared<std::vector<SetupEntry>>();
    int parsed = 0;
    bool stale = false;
    std::error_code error;
    for (std::filesystem::directory_iterator it(fsPath(folder), error), end; !error && it != end;
         it.increment(error))
    {
        const auto raw = it->path().filename().u8string();
        // No text is made of bytes that are not UTF-8: such a name is shown with a replacement character.
        const bool plainName = isStrictUtf8(raw.data(), raw.size());
        const auto name = plainName ? juce::String::fromUTF8(raw.data(), (int)raw.size())
                                    : SetupFileName::fromBytes(raw.data(), raw.size());
        std::error_code fileError;
        if (name.startsWithChar('.') || !name.endsWithIgnoreCase(SetupFileName::extension) ||
            !it->is_regular_file(fileError))
            continue;
        if (!plainName)
        {
            SetupEntry odd;
            odd.fileName = name;
            odd.problem = "its file name is not valid UTF-8; rename the file to use it";
            odd.makeHaystack();
            list->push_back(std::move(odd));
            continue;
        }
        const auto size = (juce::int64)it->file_size(fileError);
        const auto modified = nanoseconds(it->last_write_time(fileError));
        const auto known = index.find(name);
        const bool sameFile =
            known != index.end() && known->second.size == size && known->second.modified == modified;
        // A file that could not be used is read again: what kept it out (its permissions) may be gone.
        if (sameFile && known->second.isUsable() && modified + margin < indexTime)
        {
            list->push_back(std::move(known->second));
            continue;
        }
        auto entry = readEntry(child(name));
        ++parsed;
        // The index is written only when it says something else now: writing it changes the folder.
        stale = stale || !sameFile || entry.info != known->second.info ||
                entry.names != known->second.names || entry.differing != known->second.differing ||
                entry.problem != known->second.problem;
        list->push_back(std::move(entry));
    }
    std::sort(list->begin(), list->end(),
              [](const SetupEntry& a, const SetupEntry& b) { return a.fileName < b.fileName; });
    if ((stale || list->size() != indexed) && read.writable && folder.isDirectory())
        LibraryIndex::write(indexFile, *list);

    // The place of each by title (then file), once, so that sorting a filtered list compares numbers.
    std::vector<size_t> byTitle(list->size());
    std::iota(byTitle.begin(), byTitle.end(), (size_t)0);
    std::vector<juce::String> titles;
    titles.reserve(list->size());
    for (const auto& e : *list)
        titles.push_back(e.displayTitle());
    std::stable_sort(byTitle.begin(), byTitle.end(),
                     [&titles](size_t a, size_t b) { return titles[a].compareNatural(titles[b]) < 0; });
    for (size_t rank = 0; rank < byTitle.size(); ++rank)
        (*list)[byTitle[rank]].order = (int)rank;

    auto tags = std::make_shared<const std::vector<LibraryTags::Use>>(LibraryTags::collect(*list));
    libraryMarks.reload();
    std::lock_guard<std::mutex> g(lock);
    for (const auto& problem : {read.problem, libraryMarks.problem()})
        if (problem.isNotEmpty())
            pendingNotices.addIfNotAlreadyThere(problem);
    // Of two listings at once, the one started last is kept.
    if (generation > installedGeneration)
    {
        installedGeneration = generation;
        current = std::move(list);
        currentTags = std::move(tags);
        folderTimeSeen = folderTime;
        marksTimeSeen = marksTime;
    }
    return parsed;
}

SetupLibrary::Entries SetupLibrary::entries() const
{
    std::lock_guard<std::mutex> g(lock);
    return current;
}

bool SetupLibrary::changedOnDisk() const
{
    const auto folderTime = modificationTime(folder), marksTime = modificationTime(libraryMarks.getFile());
    std::lock_guard<std::mutex> g(lock);
    return folderTime != folderTimeSeen || marksTime != marksTimeSeen;
}

std::vector<int> SetupLibrary::filter(const std::vector<SetupEntry>& list, const LibraryQuery& query) const
{
    std::vector<std::string> words;
    for (const auto& w : juce::StringArray::fromTokens(query.text, false))
        if (w.isNotEmpty())
            words.push_back(SetupEntry::searchForm(w));
    const auto marks = libraryMarks.all();
    // Walked in title order, so that only the few marked setups need sorting: a search as each character is
    // typed stays one pass over the list.
    std::vector<int> byTitle(list.size(), -1);
    bool ranked = true;
    for (size_t i = 0; i < list.size() && ranked; ++i)
    {
        const int at = list[i].order;
        ranked = at >= 0 && at < (int)list.size() && byTitle[(size_t)at] < 0;
        if (ranked)
            byTitle[(size_t)at] = (int)i;
    }
    if (!ranked)
    {
        std::iota(byTitle.begin(), byTitle.end(), 0);
        std::stable_sort(
            byTitle.begin(), byTitle.end(),
            [&list](int a, int b)
            { return list[(size_t)a].displayTitle().compareNatural(list[(size_t)b].displayTitle()) < 0; });
    }

    struct Marked
    {
        int index;
        bool favourite;
        juce::int64 used;
    };
    std::vector<Marked> marked;
    std::vector<int> rest;
    rest.reserve(list.size());
    for (int i : byTitle)
    {
        const auto& e = list[(size_t)i];
        if (query.tag.isNotEmpty() && !e.info.tags.contains(query.tag, true))
            continue;
        if (!std::all_of(words.begin(), words.end(),
                         [&e](const std::string& w) { return e.haystack.find(w) != std::string::npos; }))
            continue;
        const auto mark = marks.find(e.fileName);
        const bool favourite = mark != marks.end() && mark->second.favourite;
        const juce::int64 used = mark != marks.end() ? mark->second.used : 0;
        if (query.favouritesOnly && !favourite)
            continue;
        if (favourite || used != 0)
            marked.push_back({i, favourite, used});
        else
            rest.push_back(i);
    }
    // Favourites first, then the most recently used; each group keeps the title order.
    std::stable_sort(marked.begin(), marked.end(),
                     [](const Marked& a, const Marked& b)
                     { return a.favourite != b.favourite ? a.favourite : a.used > b.used; });
    std::vector<int> shown;
    shown.reserve(marked.size() + rest.size());
    for (const auto& m : marked)
        shown.push_back(m.index);
    shown.insert(shown.end(), rest.begin(), rest.end());
    return shown;
}

LibraryTags::Uses SetupLibrary::tags() const
{
    std::lock_guard<std::mutex> g(lock);
    return currentTags;
}

juce::StringArray SetupLibrary::takeNotices()
{
    std::lock_guard<std::mutex> g(lock);
    juce::StringArray taken;
    taken.swapWith(pendingNotices);
    return taken;
}

//==============================================================================
SettingsReadResult SetupLibrary::read(const juce::String& fileName, SettingsDocument& document) const
{
    if (!SetupFileName::isPlain(fileName))
    {
        SettingsReadResult r;
        r.message = fileName + " is not in the library";
        return r;
    }
    return readSettingsDocument(child(fileName), document);
}

juce::File SetupLibrary::find(const juce::String& name, juce::String& problem)
{
    if (SetupFileName::isPlain(name))
    {
        for (const auto& candidate : {name, name + SetupFileName::extension})
            if (child(candidate).existsAsFile())
                return child(candidate);
    }
    if (entries()->empty())
        refresh();
    juce::File match;
    int matches = 0;
    for (const auto& e : *entries())
        if (e.info.title.equalsIgnoreCase(name.trim()))
        {
            match = child(e.fileName);
            ++matches;
        }
    if (matches == 1)
        return match;
    problem = matches == 0
                  ? "no setup in " + folder.getFullPathName() + " is called \"" + name + "\""
                  : juce::String(matches) + " setups are titled \"" + name + "\"; name one by its file";
    return {};
}
