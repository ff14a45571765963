#pragma once

#include "model/ControlRoles.h"

#include <juce_core/juce_core.h>

#include <optional>

/** What a setup carries beyond the keyboard's values: a title, a free description, tags and the controls'
    roles in a DAW. Kept in the settings file as optional elements after everything else, so a file without
    them is as it always was, and an editor that does not know them loads the file all the same. */
struct SetupInfo
{
    juce::String title, description;
    juce::StringArray tags;            // each plain text, no commas, no repeats (compared without case)
    std::optional<ControlRoles> roles; // nothing: never set, the maps take the defaults

    /** What the setup is called where a DAW shows it: its title, else the name of the file it is in, else
        the keyboard's. */
    juce::String nameIn(const std::optional<juce::File>& file) const
    {
        return title.isNotEmpty() ? title
               : file             ? file->getFileNameWithoutExtension()
                                  : juce::String("Quillet 49");
    }

    bool isEmpty() const { return title.isEmpty() && description.isEmpty() && tags.isEmpty() && !roles; }
    bool operator==(const SetupInfo& o) const
    {
        return title == o.title && description == o.description && tags == o.tags && roles == o.roles;
    }
    bool operator!=(const SetupInfo& o) const { return !(*this == o); }

    static constexpr int maxTitleLength = 80, maxTagLength = 32, maxTags = 24, maxDescriptionLength = 4000;

    /** The tags typed as a comma-separated list, trimmed, without empties or repeats, each cut to its
        longest; at most maxTags. */
    static juce::StringArray tagsFromText(const juce::String& text);
    /** The same info made safe to keep: control characters gone (line breaks kept in the description),
        each part cut to its longest; the roles as they are. */
    SetupInfo cleaned() const;

    /** Reads the info of a settings document; what is out of bounds is cleaned, never refused. */
    static SetupInfo fromXml(const juce::XmlElement& settingsRoot);
    /** Puts the info into a settings document as its last elements (the title, description and tags, then
        the roles), replacing any there; what the info does not hold is removed. */
    void writeInto(juce::XmlElement& settingsRoot) const;
};
