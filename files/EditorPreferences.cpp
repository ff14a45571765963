#include "EditorPreferences.h"

#include "../model/WholeNumber.h"
#include "SafeFileWriter.h"
#include "SafeXmlReader.h"
#include "UserFolders.h"

#include <algorithm>

namespace
{
const char* const rootTag = "QuilletPreferences";
const char* const zoomAttribute = "Zoom";
const char* const installedMapTag = "InstalledMap";
} // namespace

EditorPreferences::EditorPreferences(juce::File f) : file(std::move(f)) {}

juce::File EditorPreferences::defaultFile()
{
    return UserFolders::programSettings().getChildFile("preferences.xml");
}

bool EditorPreferences::isZoomStep(int percent)
{
    return std::find(std::begin(zoomSteps), std::end(zoomSteps), percent) != std::end(zoomSteps);
}

std::unique_ptr<juce::XmlElement> EditorPreferences::read() const
{
    auto result = SafeXmlReader::readFile(file);
    if (result.root == nullptr || !result.root->hasTagName(rootTag))
        return std::make_unique<juce::XmlElement>(rootTag);
    return std::move(result.root);
}

std::optional<int> EditorPreferences::zoomPercent() const
{
    const auto root = read();
    // Exactly a step: "150%" or "1e2" is a damaged value, not a zoom.
    const auto percent = wholeNumber(root->getStringAttribute(zoomAttribute), 100, 200);
    return percent && isZoomStep(*percent) ? percent : std::nullopt;
}

bool EditorPreferences::setZoomPercent(std::optional<int> percent, juce::String& problem)
{
    if (percent && !isZoomStep(*percent))
    {
        problem = "a zoom of " + juce::String(*percent) + " percent is not offered";
        return false;
    }
    // Whatever else a newer editor keeps in the file stays.
    auto root = read();
    if (percent)
        root->setAttribute(zoomAttribute, *percent);
    else
        root->removeAttribute(zoomAttribute);
    return write(*root, problem);
}

bool EditorPreferences::write(const juce::XmlElement& root, juce::String& problem) const
{
    if (!file.getParentDirectory().createDirectory())
    {
        problem = "the folder " + file.getParentDirectory().getFullPathName() + " cannot be made";
        return false;
    }
    const auto text = root.toString().toStdString();
    const auto written = SafeFileWriter::replaceFileContents(file, text.data(), text.size());
    problem = written.message;
    return written.ok;
}

std::vector<std::pair<juce::String, juce::File>> EditorPreferences::installedMaps() const
{
    std::vector<std::pair<juce::String, juce::File>> maps;
    const auto root = read();
    for (const auto* e : root->getChildWithTagNameIterator(installedMapTag))
    {
        const auto path = e->getStringAttribute("File");
        // Only a whole path: a damaged entry must not point the editor at a file relative to anywhere.
        if (juce::File::isAbsolutePath(path) && e->getStringAttribute("Daw").isNotEmpty())
            maps.emplace_back(e->getStringAttribute("Daw"), juce::File(path));
    }
    return maps;
}

bool EditorPreferences::rememberInstalledMap(const juce::String& daw, const juce::File& map,
                                             juce::String& problem)
{
    auto root = read();
    for (auto* e = root->getChildByName(installedMapTag); e != nullptr;)
    {
        auto* next = e->getNextElementWithTagName(installedMapTag);
        if (e->getStringAttribute("File") == map.getFullPathName())
            root->removeChildElement(e, true);
        e = next;
    }
    auto* entry = root->createNewChildElement(installedMapTag);
    entry->setAttribute("Daw", daw);
    entry->setAttribute("File", map.getFullPathName());
    return write(*root, problem);
}
