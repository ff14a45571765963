#include "LibraryMarks.h"

#include "FileGate.h"
#include "SafeXmlReader.h"
#include "SettingsFile.h"

namespace
{
/** The lock file in the library's folder that every program changing the marks takes: made only by
    whoever finds none there. One left by a program that died is taken over after a while. */
class MarksLockFile
{
public:
    explicit MarksLockFile(const juce::File& f) : file(f)
    {
        for (int tries = 0; tries < 200 && !held; ++tries)
        {
            held = SafeFileWriter::createNew(file);
            if (!held && tries % 50 == 49 &&
                file.getLastModificationTime() <
                    juce::Time::getCurrentTime() - juce::RelativeTime::seconds(10))
                file.deleteFile();
            if (!held)
                juce::Thread::sleep(10);
        }
    }
    ~MarksLockFile()
    {
        if (held)
            file.deleteFile();
    }
    bool isHeld() const { return held; }

private:
    const juce::File file;
    bool held = false;
};
} // namespace

LibraryMarks::LibraryMarks(const juce::File& folder) : file(folder.getChildFile(fileName))
{
    marks = readFile().value_or(Marks());
}

std::optional<LibraryMarks::Marks> LibraryMarks::parse(const void* data, size_t size)
{
    const auto xml = SafeXmlReader::parseBytes(data, size);
    if (xml.root == nullptr || !xml.root->hasTagName("LibraryMarks"))
        return std::nullopt;
    Marks read;
    // A time of use from the future would keep its setup first for good.
    const auto latest = juce::Time::currentTimeMillis() + 24 * 3600 * 1000;
    for (auto* e : xml.root->getChildWithTagNameIterator("Setup"))
    {
        const auto name = e->getStringAttribute("File");
        if (name.isEmpty())
            continue;
        Mark m;
        m.favourite = e->getBoolAttribute("Favourite");
        const auto used = e->getStringAttribute("Used").getLargeIntValue();
        m.used = used > 0 && used <= latest ? used : 0;
        read[name] = m;
    }
    return read;
}

std::optional<LibraryMarks::Marks> LibraryMarks::readFile()
{
    // Never followed through a link, nor read from a FIFO or a device: the folder may be shared.
    const auto read = FileGate::readBytes(file, {maxFileSize, "the library's marks", false});
    if (read.refusal == FileGate::Refusal::missing)
    {
        unusable = {};
        return Marks();
    }
    auto parsed = read.ok() ? parse(read.bytes.getData(), read.bytes.getSize()) : std::nullopt;
    unusable = parsed ? juce::String()
                      : "the favourites in " + file.getFileName() + " cannot be used (" +
                            (read.ok() ? juce::String("the file is damaged") : read.reason) +
                            ") and are left as they are";
    return parsed;
}

bool LibraryMarks::writeFile(const Marks& toWrite) const
{
    juce::XmlElement root("LibraryMarks");
    const auto folder = file.getParentDirectory().getFullPathName() + juce::File::getSeparatorString();
    for (const auto& [name, m] : toWrite)
    {
        // The marks of setups that are gone go with them.
        if ((!m.favourite && m.used == 0) ||
            !juce::File::createFileWithoutCheckingPath(folder + name).existsAsFile())
            continue;
        auto* e = root.createNewChildElement("Setup");
        e->setAttribute("File", name);
        if (m.favourite)
            e->setAttribute("Favourite", 1);
        if (m.used != 0)
            e->setAttribute("Used", juce::String(m.used));
    }
    return writeXmlDocument(root, file).ok;
}

bool LibraryMarks::change(const std::function<void(Marks&)>& edit)
{
    const MarksLockFile held(file.getSiblingFile(lockFileName));
    if (!held.isHeld())
        return false;
    std::lock_guard<std::mutex> g(lock);
    auto now = readFile();
    if (!now)
        return false;
    edit(*now);
    if (!writeFile(*now))
        return false;
    marks = std::move(*now);
    return true;
}

LibraryMarks::Move LibraryMarks::movedWith(const juce::String& oldName, const juce::String& newName,
                                           const std::function<bool()>& fileChange)
{
    const MarksLockFile held(file.getSiblingFile(lockFileName));
    if (!held.isHeld())
        return Move::marksRefused;
    std::lock_guard<std::mutex> g(lock);
    auto before = readFile();
    if (!before)
        return fileChange() ? Move::done : Move::fileFailed;
    const auto found = before->find(oldName);
    if (found == before->end())
        return fileChange() ? Move::done : Move::fileFailed;
    // The mark is written under the new name while both files exist, then the old file goes: a reader at
    // any moment finds the mark on a setup that is there.
    auto after = *before;
    after.erase(oldName);
    after[newName] = found->second;
    if (!writeFile(after))
        return Move::marksRefused;
    if (!fileChange())
    {
        writeFile(*before);
        return Move::fileFailed;
    }
    marks = std::move(after);
    return Move::done;
}

juce::String LibraryMarks::problem() const
{
    std::lock_guard<std::mutex> g(lock);
    return unusable;
}

LibraryMarks::Marks LibraryMarks::all() const
{
    std::lock_guard<std::mutex> g(lock);
    return marks;
}

bool LibraryMarks::isFavourite(const juce::String& setupFile) const
{
    std::lock_guard<std::mutex> g(lock);
    const auto m = marks.find(setupFile);
    return m != marks.end() && m->second.favourite;
}

juce::int64 LibraryMarks::lastUsed(const juce::String& setupFile) const
{
    std::lock_guard<std::mutex> g(lock);
    const auto m = marks.find(setupFile);
    return m != marks.end() ? m->second.used : 0;
}

bool LibraryMarks::setFavourite(const juce::String& setupFile, bool favourite)
{
    return change([&](Marks& m) { m[setupFile].favourite = favourite; });
}

bool LibraryMarks::markUsed(const juce::String& setupFile)
{
    // Never earlier than the last use written, whatever the clock did meanwhile: the order is what counts.
    return change(
        [&](Marks& m)
        {
            juce::int64 latest = 0;
            for (const auto& [name, mark] : m)
                latest = juce::jmax(latest, mark.used);
            m[setupFile].used = juce::jmax(juce::Time::currentTimeMillis(), latest + 1);
        });
}

bool LibraryMarks::moved(const juce::String& oldName, const juce::String& newName)
{
    return change(
        [&](Marks& m)
        {
            const auto found = m.find(oldName);
            if (found == m.end())
                return;
            const auto mark = found->second;
            m.erase(found);
            if (newName.isNotEmpty())
                m[newName] = mark;
        });
}

bool LibraryMarks::reload()
{
    // Read under the lock, so that a change made meanwhile is never taken back by an older read.
    std::lock_guard<std::mutex> g(lock);
    auto read = readFile();
    if (!read)
        return false;
    const bool changed = [&]
    {
        if (read->size() != marks.size())
            return true;
        for (auto a = read->begin(), b = marks.begin(); a != read->end(); ++a, ++b)
            if (a->first != b->first || a->second.favourite != b->second.favourite ||
                a->second.used != b->second.used)
                return true;
        return false;
    }();
    marks = std::move(*read);
    return changed;
}
