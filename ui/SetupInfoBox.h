#pragma once

#include "files/SetupInfo.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The small boxes the library asks with: a setup's title, and its title, tags and description at once.
    Each returns at once; the answer comes once given, never after the owner is gone or on Cancel. */
namespace SetupInfoBox
{
void askTitle(juce::Component& owner, const juce::String& heading, const juce::String& text,
              const juce::String& initial, const juce::String& okText,
              std::function<void(juce::String)> answer);
/** The tags are typed as one comma-separated line. */
void editInfo(juce::Component& owner, const juce::String& fileName, const SetupInfo& info,
              std::function<void(const SetupInfo&)> answer);
} // namespace SetupInfoBox
