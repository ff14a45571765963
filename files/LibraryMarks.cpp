#include "LibraryMarks.h"

#include "SafeXmlReader.h"
#include "SettingsFile.h"

LibraryMarks::LibraryMarks(const juce::File& folder) : file(folder.getChildFile(fileName))
{
    marks = readFile();
}

LibraryMarks::Marks LibraryMarks::readFile() const
{
    Marks read;
    if (!file.existsAsFile())
        return read;
    const auto xml = SafeXmlReader::readFile(file);
    if (xml.root == nullptr)
        return read; // a damaged marks file costs the marks, never the setups
    for (auto* e : xml.root->getChildWithTagNameIterator("Setup"))
    {
        const auto name = e->getStringAttribute("File");
        if (name.isEmpty())
            continue;
        Mark m;
        m.favourite = e->getBoolAttribute("Favourite");
        m.used = e->getStringAttribute("Used").getLargeIntValue();
        read[name] = m;
    }
    return read;
}

bool LibraryMarks::change(const std::function<void(Marks&)>& edit)
{
    // One change at a time across programs: each reads what the others wrote, then writes.
    juce::InterProcessLock others("quillet49-library-marks");
    const juce::InterProcessLock::ScopedLockType held(others);
    std::lock_guard<std::mutex> g(lock);
    auto now = readFile();
    edit(now);
    juce::XmlElement root("LibraryMarks");
    for (const auto& [name, m] : now)
    {
        if (!m.favourite && m.used == 0)
            continue;
        auto* e = root.createNewChildElement("Setup");
        e->setAttribute("File", name);
        if (m.favourite)
            e->setAttribute("Favourite", 1);
        if (m.used != 0)
            e->setAttribute("Used", juce::String(m.used));
    }
    const bool ok = writeXmlDocument(root, file).ok;
    marks = std::move(now);
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
    auto read = readFile();
    std::lock_guard<std::mutex> g(lock);
    const bool changed = [&]
    {
        if (read.size() != marks.size())
            return true;
        for (auto a = read.begin(), b = marks.begin(); a != read.end(); ++a, ++b)
            if (a->first != b->first || a->second.favourite != b->second.favourite ||
                a->second.used != b->second.used)
                return true;
        return false;
    }();
    marks = std::move(read);
    return changed;
}
