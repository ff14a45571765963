#include "SetupLibrary.h"

#include "SafeXmlReader.h"
#include "SyxImport.h"
#include "Trash.h"

#include <algorithm>
#include <numeric>

namespace
{
const char* const setupExtension = ".qmv49";
const char* const indexMagic = "quillet-library-index-1";

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

std::string lowerUtf8(const juce::String& text)
{
    return text.toLowerCase().toStdString();
}

bool isPlainSetupName(const juce::String& name)
{
    return name.isNotEmpty() && !name.startsWithChar('.') && !name.containsAnyOf("/\\") && name != "..";
}
} // namespace

//==============================================================================
juce::String SetupEntry::displayTitle() const
{
    return info.title.isNotEmpty()
               ? info.title
               : juce::File::createFileWithoutCheckingPath(fileName).getFileNameWithoutExtension();
}

void SetupEntry::makeHaystack()
{
    haystack = lowerUtf8(info.title + "\n" + info.tags.joinIntoString("\n") + "\n" + info.description + "\n" +
                         fileName + "\n" + names);
}

SetupEntry SetupLibrary::readEntry(const juce::File& file)
{
    SetupEntry e;
    e.fileName = file.getFileName();
    e.size = file.getSize();
    e.modified = file.getLastModificationTime().toMilliseconds();
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
    : folder(f), libraryMarks(f), current(std::make_shared<std::vector<SetupEntry>>())
{
}

juce::File SetupLibrary::defaultFolder()
{
    const auto chosen = juce::SystemStats::getEnvironmentVariable("QUILLET_LIBRARY", {});
    if (juce::File::isAbsolutePath(chosen))
        return juce::File(chosen);
#if JUCE_LINUX
    const auto dataHome = juce::SystemStats::getEnvironmentVariable("XDG_DATA_HOME", {});
    const auto base =
        juce::File::isAbsolutePath(dataHome) ? juce::File(dataHome) : juce::File("~/.local/share");
    return base.getChildFile("quillet49").getChildFile("setups");
#elif JUCE_MAC
    return juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory)
        .getChildFile("Application Support/Quillet49/setups");
#else
    return juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory)
        .getChildFile("Quillet49")
        .getChildFile("setups");
#endif
}

//==============================================================================
namespace
{
std::map<juce::String, SetupEntry> readIndex(const juce::File& file)
{
    std::map<juce::String, SetupEntry> index;
    juce::MemoryBlock data;
    if (!file.existsAsFile() || file.getSize() > 256 * 1024 * 1024 || !file.loadFileAsData(data))
        return index;
    juce::MemoryInputStream in(data, false);
    if (in.readString() != indexMagic)
        return index;
    const int count = in.readInt();
    for (int i = 0; i < count && !in.isExhausted(); ++i)
    {
        SetupEntry e;
        e.fileName = in.readString();
        e.size = in.readInt64();
        e.modified = in.readInt64();
        e.info.title = in.readString();
        e.info.description = in.readString();
        e.info.tags = juce::StringArray::fromLines(in.readString());
        e.info.tags.removeEmptyStrings();
        e.names = in.readString();
        const auto low = (juce::uint64)in.readInt64(), high = (juce::uint64)in.readInt64();
        for (size_t b = 0; b < 64; ++b)
        {
            e.differing.set(b, ((low >> b) & 1) != 0);
            e.differing.set(b + 64, ((high >> b) & 1) != 0);
        }
        e.problem = in.readString();
        e.makeHaystack();
        index[e.fileName] = std::move(e);
    }
    // A cut-off index is not trusted at all: every file is read again.
    if ((int)index.size() != count || in.getPosition() != in.getTotalLength())
        index.clear();
    return index;
}

void writeIndex(const juce::File& file, const std::vector<SetupEntry>& entries)
{
    juce::MemoryOutputStream out;
    out.writeString(indexMagic);
    out.writeInt((int)entries.size());
    for (const auto& e : entries)
    {
        out.writeString(e.fileName);
        out.writeInt64(e.size);
        out.writeInt64(e.modified);
        out.writeString(e.info.title);
        out.writeString(e.info.description);
        out.writeString(e.info.tags.joinIntoString("\n"));
        out.writeString(e.names);
        juce::uint64 low = 0, high = 0;
        for (size_t b = 0; b < 64; ++b)
        {
            low |= (juce::uint64)e.differing[b] << b;
            high |= (juce::uint64)e.differing[b + 64] << b;
        }
        out.writeInt64((juce::int64)low);
        out.writeInt64((juce::int64)high);
        out.writeString(e.problem);
    }
    // Only a cache: a library in a read-only folder is listed all the same.
    SafeFileWriter::replaceFileContents(file, out.getData(), out.getDataSize());
}
} // namespace

int SetupLibrary::refresh()
{
    folder.createDirectory();
    const auto indexFile = folder.getChildFile(indexFileName);
    auto index = readIndex(indexFile);
    const size_t indexed = index.size();

    auto list = std::make_shared<std::vector<SetupEntry>>();
    int parsed = 0;
    for (const auto& found : juce::RangedDirectoryIterator(folder, false, juce::String("*") + setupExtension,
                                                           juce::File::findFiles))
    {
        const auto file = found.getFile();
        if (file.getFileName().startsWithChar('.'))
            continue;
        const auto known = index.find(file.getFileName());
        if (known != index.end() && known->second.size == found.getFileSize() &&
            known->second.modified == found.getModificationTime().toMilliseconds())
        {
            list->push_back(std::move(known->second));
            continue;
        }
        list->push_back(readEntry(file));
        ++parsed;
    }
    std::sort(list->begin(), list->end(),
              [](const SetupEntry& a, const SetupEntry& b) { return a.fileName < b.fileName; });
    if (parsed > 0 || list->size() != indexed)
        writeIndex(indexFile, *list);

    // The place of each by title, once, so that sorting a filtered list compares numbers.
    std::vector<size_t> byTitle(list->size());
    for (size_t i = 0; i < byTitle.size(); ++i)
        byTitle[i] = i;
    std::vector<juce::String> titles;
    titles.reserve(list->size());
    for (const auto& e : *list)
        titles.push_back(e.displayTitle());
    std::sort(byTitle.begin(), byTitle.end(),
              [&titles](size_t a, size_t b) { return titles[a].compareNatural(titles[b]) < 0; });
    for (size_t rank = 0; rank < byTitle.size(); ++rank)
        (*list)[byTitle[rank]].order = (int)rank;

    libraryMarks.reload();
    std::lock_guard<std::mutex> g(lock);
    current = std::move(list);
    folderTimeSeen = folder.getLastModificationTime();
    marksTimeSeen = libraryMarks.getFile().getLastModificationTime();
    return parsed;
}

SetupLibrary::Entries SetupLibrary::entries() const
{
    std::lock_guard<std::mutex> g(lock);
    return current;
}

bool SetupLibrary::changedOnDisk() const
{
    const auto folderTime = folder.getLastModificationTime();
    const auto marksTime = libraryMarks.getFile().getLastModificationTime();
    std::lock_guard<std::mutex> g(lock);
    return folderTime != folderTimeSeen || marksTime != marksTimeSeen;
}

std::vector<int> SetupLibrary::filter(const std::vector<SetupEntry>& list, const LibraryQuery& query) const
{
    std::vector<std::string> words;
    for (const auto& w : juce::StringArray::fromTokens(query.text, false))
        if (w.isNotEmpty())
            words.push_back(lowerUtf8(w));
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

juce::StringArray SetupLibrary::allTags(const std::vector<SetupEntry>& list)
{
    juce::StringArray tags;
    for (const auto& e : list)
        for (const auto& t : e.info.tags)
            if (!tags.contains(t, true))
                tags.add(t);
    tags.sortNatural();
    return tags;
}

//==============================================================================
juce::File SetupLibrary::uniqueFile(const juce::String& title) const
{
    auto base = juce::File::createLegalFileName(title.trim()).trim();
    while (base.startsWithChar('.'))
        base = base.substring(1);
    if (base.isEmpty())
        base = "Setup";
    base = base.substring(0, 100);
    for (int n = 1;; ++n)
    {
        const auto file =
            folder.getChildFile(base + (n > 1 ? " " + juce::String(n) : juce::String()) + setupExtension);
        if (!file.exists())
            return file;
    }
}

SetupLibrary::Outcome SetupLibrary::write(const juce::File& target, const juce::XmlElement& document,
                                          bool mustBeNew)
{
    Outcome o;
    o.fileName = target.getFileName();
    if (!folder.createDirectory())
    {
        o.message = "the library's folder " + folder.getFullPathName() + " cannot be made";
        return o;
    }
    if (mustBeNew && target.exists())
    {
        o.message = target.getFileName() + " is already in the library";
        return o;
    }
    const auto written = writeXmlDocument(document, target);
    o.ok = written.ok;
    o.message = written.message;
    return o;
}

SetupLibrary::Outcome SetupLibrary::add(const juce::File& source)
{
    Outcome o;
    if (source.hasFileExtension("syx"))
    {
        const auto imported = SyxImport::fromFile(source);
        if (!imported.ok)
        {
            o.message = source.getFileName() + ": " + imported.message;
            return o;
        }
        SetupInfo info;
        info.title = source.getFileNameWithoutExtension();
        return write(uniqueFile(info.title), *createSettingsXml(imported.state, info), true);
    }
    SettingsDocument doc;
    const auto read = readSettingsDocument(source, doc);
    if (!read.ok)
    {
        o.message = source.getFileName() + ": " + read.message;
        return o;
    }
    // Copied as it is, byte for byte: the library holds the user's own file.
    juce::MemoryBlock bytes;
    if (!source.loadFileAsData(bytes))
    {
        o.message = source.getFileName() + ": the file cannot be read";
        return o;
    }
    if (!folder.createDirectory())
    {
        o.message = "the library's folder " + folder.getFullPathName() + " cannot be made";
        return o;
    }
    const auto target =
        uniqueFile(doc.setup.title.isNotEmpty() ? doc.setup.title : source.getFileNameWithoutExtension());
    o.fileName = target.getFileName();
    const auto written = SafeFileWriter::replaceFileContents(target, bytes.getData(), bytes.getSize());
    o.ok = written.ok;
    o.message = written.message;
    return o;
}

SetupLibrary::Outcome SetupLibrary::saveNew(const SettingsState& state, const SetupInfo& info)
{
    return write(uniqueFile(info.title), *createSettingsXml(state, info), true);
}

SetupLibrary::Outcome SetupLibrary::replace(const juce::String& fileName, const SettingsState& state,
                                            const SetupInfo& info)
{
    if (!isPlainSetupName(fileName) || !folder.getChildFile(fileName).existsAsFile())
        return {false, fileName, fileName + " is not in the library"};
    return write(folder.getChildFile(fileName), *createSettingsXml(state, info), false);
}

namespace
{
/** The setup's document, for a change that keeps its values as they are. */
std::unique_ptr<juce::XmlElement> readForChange(const juce::File& file, juce::String& problem)
{
    auto xml = SafeXmlReader::readFile(file);
    if (xml.root == nullptr)
    {
        problem = file.getFileName() + ": " + xml.message;
        return nullptr;
    }
    const auto doc = parseSettingsXml(*xml.root);
    if (!doc.hasItems && !doc.hasGlobals)
    {
        problem = file.getFileName() + ": this is not a Quillet 49 settings file";
        return nullptr;
    }
    return std::move(xml.root);
}
} // namespace

SetupLibrary::Outcome SetupLibrary::setInfo(const juce::String& fileName, const SetupInfo& info)
{
    Outcome o;
    if (!isPlainSetupName(fileName))
        return {false, fileName, fileName + " is not in the library"};
    const auto file = folder.getChildFile(fileName);
    auto root = readForChange(file, o.message);
    if (root == nullptr)
        return o;
    info.writeInto(*root);
    return write(file, *root, false);
}

SetupLibrary::Outcome SetupLibrary::rename(const juce::String& fileName, const juce::String& newTitle)
{
    Outcome o;
    if (!isPlainSetupName(fileName))
        return {false, fileName, fileName + " is not in the library"};
    const auto file = folder.getChildFile(fileName);
    auto root = readForChange(file, o.message);
    if (root == nullptr)
        return o;
    auto info = SetupInfo::fromXml(*root);
    info.title = newTitle;
    info = info.cleaned();
    if (info.title.isEmpty())
        return {false, fileName, "a setup's title cannot be empty"};
    info.writeInto(*root);
    // The file keeps its name when the title gives the same one.
    const auto wanted = juce::File::createLegalFileName(info.title).trim() + setupExtension;
    const auto target = wanted == fileName ? file : uniqueFile(info.title);
    // The new file is whole before the old one goes: a failure leaves the setup where it was.
    o = write(target, *root, target != file);
    if (o.ok && target != file)
    {
        file.deleteFile();
        libraryMarks.moved(fileName, target.getFileName());
    }
    return o;
}

SetupLibrary::Outcome SetupLibrary::duplicate(const juce::String& fileName)
{
    Outcome o;
    if (!isPlainSetupName(fileName))
        return {false, fileName, fileName + " is not in the library"};
    const auto file = folder.getChildFile(fileName);
    auto root = readForChange(file, o.message);
    if (root == nullptr)
        return o;
    auto info = SetupInfo::fromXml(*root);
    info.title = (info.title.isNotEmpty() ? info.title : file.getFileNameWithoutExtension()) + " (copy)";
    info = info.cleaned();
    info.writeInto(*root);
    return write(uniqueFile(info.title), *root, true);
}

SetupLibrary::Outcome SetupLibrary::remove(const juce::String& fileName)
{
    Outcome o;
    o.fileName = fileName;
    const auto file = folder.getChildFile(fileName);
    if (!isPlainSetupName(fileName) || !file.existsAsFile())
    {
        o.message = fileName + " is not in the library";
        return o;
    }
    if (!Trash::moveToTrash(file, o.message))
    {
        o.message = fileName + " was kept: " + o.message;
        return o;
    }
    libraryMarks.moved(fileName, {});
    o.ok = true;
    return o;
}

SettingsReadResult SetupLibrary::read(const juce::String& fileName, SettingsDocument& document) const
{
    if (!isPlainSetupName(fileName))
    {
        SettingsReadResult r;
        r.message = fileName + " is not in the library";
        return r;
    }
    return readSettingsDocument(folder.getChildFile(fileName), document);
}

juce::File SetupLibrary::find(const juce::String& name, juce::String& problem)
{
    if (isPlainSetupName(name))
    {
        for (const auto& candidate : {name, name + setupExtension})
            if (folder.getChildFile(candidate).existsAsFile() && !candidate.startsWithChar('.'))
                return folder.getChildFile(candidate);
    }
    if (entries()->empty())
        refresh();
    juce::File match;
    int matches = 0;
    for (const auto& e : *entries())
        if (e.info.title.equalsIgnoreCase(name.trim()))
        {
            match = folder.getChildFile(e.fileName);
            ++matches;
        }
    if (matches == 1)
        return match;
    problem = matches == 0
                  ? "no setup in " + folder.getFullPathName() + " is called \"" + name + "\""
                  : juce::String(matches) + " setups are titled \"" + name + "\"; name one by its file";
    return {};
}
