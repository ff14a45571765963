#include "LibraryMarks.h"

#include "SafeXmlReader.h"
#include "SettingsFile.h"

LibraryMarks::LibraryMarks(const juce::File& folder) : file(folder.getChildFile(fileName))
{
    marks = readFile().value_or(Marks());
}

std::optional<LibraryMarks::Marks> LibraryMarks::readFile() const
{
    Marks read;
    if (!file.existsAsFile())
        return read;
    // Far more than the marks of any library: one mark takes about 80 bytes.
    constexpr juce::int64 maxMarksFileSize = 16 * 1024 * 1024;
    juce::FileInputStream in(file);
    juce::MemoryBlock bytes;
    if (!in.openedOk() || in.readIntoMemoryBlock(bytes, maxMarksFileSize + 1) > (size_t)maxMarksFileSize)
        return std::nullopt;
    const auto xml = SafeXmlReader::parseBytes(bytes.getData(), bytes.getSize());
    if (xml.root == nullptr)
        return std::nullopt;
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

bool LibraryMarks::change(const std::function<void(Marks&)>& edit)
{
    // One change at a time across programs and users: the lock file is made only by whoever has none
    // there. One left by a program that died is taken over after a while.
    const auto lockFile = file.getSiblingFile(lockFileName);
    bool held = false;
    for (int tries = 0; tries < 200 && !held; ++tries)
    {
        held = SafeFileWriter::createNew(lockFile);
        if (!held && tries % 50 == 49 &&
            lockFile.getLastModificationTime() <
                juce::Time::getCurrentTime() - juce::RelativeTime::seconds(10))
            lockFile.deleteFile();
        if (!held)
            juce::Thread::sleep(10);
    }
    if (!held)
        return false;

    std::lock_guard<std::mutex> g(lock);
    auto now = readFile();
    bool ok = now.has_value();
    if (ok)
    {
        edit(*now);
        juce::XmlElement root("LibraryMarks");
        for (const auto& [name, m] : *now)
        {
            // The marks of setups that are gone go with them.
            if ((!m.favourite && m.used == 0) ||
                !juce::File::createFileWithoutCheckingPath(file.getParentDirectory().getFullPathName() +
                                                           juce::File::getSeparatorString() + name)
                     .existsAsFile())
                continue;
            auto* e = root.createNewChildElement("Setup");
            e->setAttribute("File", name);
            if (m.favourite)
                e->setAttribute("Favourite", 1);
            if (m.used != 0)
                e->setAttribute("Used", juce::String(m.used));
        }
        ok = writeXmlDocument(root, file).ok;
        if (ok)
            marks = std::move(*now);
    }
    lockFile.deleteFile();
    return ok;
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
