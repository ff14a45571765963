#pragma once

#include "SettingsDelta.h"

#include <juce_core/juce_core.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

/** The values the user changed and has not sent yet, and where the keyboard's answers go.

    A pinned value is the user's: an answer of the keyboard for it is kept aside instead of stored, so that an
    older answer never overwrites a newer edit, and the editor can come back to it. While capturing, answers
    fill a separate copy (starting empty) instead of the store: a read-back after Send then compares without
    touching the editor's configuration. Keyboard-wide values use the field globalField.

    Safe to call from the MIDI input thread and the message thread at once; its lock is never held while the
    store is called. */
class EditPins
{
public:
    static constexpr int globalField = SettingsDelta::globalField;

    /** Pins a value; true when it was not pinned before. */
    bool pin(int field, int id);
    void unpin(int field, int id);
    void clear();
    /** Unpins the values that a configuration read back from the keyboard confirms against the current
        one; returns how many stay pinned. */
    int unpinConfirmed(const SettingsState& keyboard, const SettingsState& current);
    /** The keyboard's answer for a pinned value, kept aside, if one came. */
    std::optional<int> keptAnswer(int field, int id) const;
    int count() const;
    std::set<std::pair<int, int>> values() const;
    bool isPinned(int field, int id) const;

    //==============================================================================
    /** Starts a capture holding start; false, changing nothing, while another capture runs: the keyboard's
        answers can fill only one. */
    bool beginCapture(const SettingsState& start);
    /** Starts an empty capture. */
    bool beginCapture();
    bool isCapturing() const;
    SettingsState endCapture();

    //==============================================================================
    /** Takes the keyboard's answers for one field, as pairs (control, value): captured, kept aside where
        pinned, stored elsewhere (known controls and data bytes only). */
    void storeAnswers(KbdSettingsStore& store, int field, const juce::Array<int>& pairs);
    /** Takes the keyboard's answer for one keyboard-wide value, as storeAnswers does. */
    void storeGlobalAnswer(KbdSettingsStore& store, int id, int value);

private:
    mutable std::mutex lock;
    std::set<std::pair<int, int>> pins; // (field, id)
    std::map<std::pair<int, int>, int> kept;
    std::unique_ptr<SettingsState> capture;
};
