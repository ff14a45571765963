#pragma once

#include "files/SetupInfo.h"
#include "model/KbdSettingsStore.h"

/** A fresh editor's configuration with Pad #1 on another MIDI channel (stored 0..15). */
inline SettingsState withPadChannel(int channel)
{
    auto s = KbdSettingsStore().snapshot();
    s.set(itemFieldChannel, 0x70, channel);
    return s;
}

/** The factory configuration, as 'quillet defaults' writes it: every control's factory setting and the
    keyboard-wide values that Default Values restores. */
inline SettingsState factorySetup()
{
    SettingsState s;
    s.resetItemsToDefaults();
    s.applyEditorGlobalDefaults();
    return s;
}

/** A setup's info with a title and tags typed as a comma-separated list. */
inline SetupInfo titled(const juce::String& title, const juce::String& tags = {})
{
    SetupInfo i;
    i.title = title;
    i.tags = SetupInfo::tagsFromText(tags);
    return i;
}
