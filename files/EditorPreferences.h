#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

/** What the editor remembers between runs, kept in a small XML file in the user's configuration folder
    ($XDG_CONFIG_HOME/quillet49 or ~/.config/quillet49 on Linux, the application data folder elsewhere).
    The file is a convenience: a missing, unreadable or damaged one, or a value out of range, is ignored and
    the editor starts with its defaults; a value is written only when the user changes it. */
class EditorPreferences
{
public:
    /** The preferences in the file given. */
    explicit EditorPreferences(juce::File file);
    /** The user's own preference file. */
    static juce::File defaultFile();

    /** The zoom the user chose, in percent (one of zoomSteps), or nothing when none was chosen. */
    std::optional<int> zoomPercent() const;
    /** Remembers a zoom, or with nothing that the zoom follows the desktop again; false (and the reason in
        problem) when the file could not be written. */
    bool setZoomPercent(std::optional<int> percent, juce::String& problem);

    /** The DAW control maps installed from the editor, by the DAW's name ("ardour"...), newest last: those
        to offer to install again when what their controls send changes. */
    std::vector<std::pair<juce::String, juce::File>> installedMaps() const;
    /** Remembers an installed map (once per file); false with the reason when the file could not be
        written. */
    bool rememberInstalledMap(const juce::String& daw, const juce::File& map, juce::String& problem);

    static constexpr int zoomSteps[] = {100, 125, 150, 175, 200};
    static bool isZoomStep(int percent);

private:
    /** The file's root element, or a fresh one when it cannot be used. */
    std::unique_ptr<juce::XmlElement> read() const;
    /** Writes the root element back; false with the reason when it could not be. */
    bool write(const juce::XmlElement& root, juce::String& problem) const;

    juce::File file;
};
