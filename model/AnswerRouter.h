#pragma once

#include "SettingsDelta.h"

#include <juce_core/juce_core.h>

#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

/** Where each of the keyboard's answers goes: into the store, kept aside for a value the user holds (pinned:
    changed and not sent yet), or into a capture.

    A pinned value is the user's: an answer of the keyboard for it is kept aside instead of stored, so that an
    older answer never overwrites a newer edit, and the editor can come back to it. While capturing, answers
    fill a separate copy (starting empty) instead of the store: a read-back after Send then compares without
    touching the editor's configuration. Keyboard-wide values use the field globalField.

    Safe to call from the MIDI input thread and the message thread at once. Its lock is never held while the
    store's is taken, but may be taken inside the store's: an answer is checked against the pins and stored
    in one hold of the store's lock, so a value pinned as it is written is never overwritten by an answer. */
class AnswerRouter
{
public:
    static constexpr int globalField = SettingsDelta::globalField;
    /** (field, id) pairs, each once. */
    using ValueKeys = std::vector<std::pair<int, int>>;

    /** Pins a value; true when it was not pinned before. */
    bool pin(int field, int id);
    /** Pins the values a change made, under one lock; returns those that were not pinned before. */
    ValueKeys pin(const std::vector<SettingsDelta::Value>& changed);
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
    /** Pairs (field, id). A control's field or a keyboard-wide slot of a data-byte id, all the editor pins
        in practice, is a bit: pinning a whole selection again searches nothing. Any other is in a set. */
    class Pairs
    {
    public:
        bool insert(int field, int id)
        {
            const int b = bit(field, id);
            if (b < 0)
                return others.insert({field, id}).second;
            if (bits[(size_t)b])
                return false;
            bits.set((size_t)b);
            return true;
        }
        void erase(int field, int id);
        bool contains(int field, int id) const;
        void clear();
        int size() const { return (int)(bits.count() + others.size()); }
        std::set<std::pair<int, int>> list() const;

    private:
        static constexpr int rowLength = 128;
        /** The bit of a pair, -1 for a pair kept in the set. */
        static int bit(int field, int id)
        {
            const int row = field == globalField                                 ? 0
                            : field >= itemFieldMode && field <= itemFieldMaxMsb ? field
                                                                                 : -1;
            return row >= 0 && id >= 0 && id < rowLength ? row * rowLength + id : -1;
        }
        std::bitset<(itemFieldMaxMsb + 1) * rowLength> bits; // row 0: keyboard-wide slots
        std::set<std::pair<int, int>> others;
    };

    mutable std::mutex lock;
    Pairs pins;
    std::map<std::pair<int, int>, int> kept;
    std::unique_ptr<SettingsState> capture;
};
