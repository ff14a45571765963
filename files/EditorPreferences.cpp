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
    if (!file.getParentDirectory().createDirectory())
    {
        problem = "the folder " + file.getParentDirectory().getFullPathName() + " cannot be made";
        return false;
    }
    const auto text = root->toString().toStdString();
    const auto written = SafeFileWriter::replaceFileContents(file, text.data(), text.size());
    problem = written.message;
    return written.ok;
}
