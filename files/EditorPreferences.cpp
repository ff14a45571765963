#include "EditorPreferences.h"

#include "SafeFileWriter.h"
#include "SafeXmlReader.h"

#include <algorithm>

namespace
{
const char* const rootTag = "QuilletPreferences";
const char* const zoomAttribute = "Zoom";
} // namespace

EditorPreferences::EditorPreferences(juce::File f) : file(std::move(f)) {}

juce::File EditorPreferences::defaultFile()
{
#if JUCE_LINUX || JUCE_BSD
    const auto chosen = juce::SystemStats::getEnvironmentVariable("XDG_CONFIG_HOME", {});
    const auto home = juce::File::isAbsolutePath(chosen) ? juce::File(chosen) : juce::File("~/.config");
    return home.getChildFile("quillet49").getChildFile("preferences.xml");
#elif JUCE_MAC
    return juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory)
        .getChildFile("Application Support/Quillet49/preferences.xml");
#else
    return juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory)
        .getChildFile("Quillet49")
        .getChildFile("preferences.xml");
#endif
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
    const auto text = root->getStringAttribute(zoomAttribute).trim();
    // Digits only: "150abc" or "1e2" is a damaged value, not a zoom.
    if (text.isEmpty() || text.length() > 3 || !text.containsOnly("0123456789"))
        return std::nullopt;
    const int percent = text.getIntValue();
    return isZoomStep(percent) ? std::optional<int>(percent) : std::nullopt;
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
