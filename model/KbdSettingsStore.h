#pragma once

#include "ControlCatalogue.h"
#include "ManagerEvents.h"

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

/** The whole configuration at one moment: five field maps (ItemId -> value, ordered by id) and the twelve
    keyboard-wide slots. */
struct SettingsState
{
    std::array<std::map<int, int>, 6> fields; // index 1..5; index 0 stays empty
    std::array<int16_t, numGlobalParams> globals{};
    /** Names the user gave controls, in UTF-8; a control without one goes by its own name. */
    std::map<int, std::string> names;

    /** Value of a field, -1 when absent. */
    int get(int field, int id) const;
    void set(int field, int id, int value);
    bool operator==(const SettingsState& other) const;
    bool operator!=(const SettingsState& other) const { return !(*this == other); }

    /** The field-3 map, which decides which controls every enumeration lists. */
    const std::map<int, int>& numbers() const { return fields[itemFieldNumber]; }

    /** Fills the field maps from the factory defaults, emptying them first, and forgets the names the user
        gave; leaves the globals alone. */
    void resetItemsToDefaults();

    /** The keyboard-wide values that the editor's Default Values command sets. */
    void applyEditorGlobalDefaults();
};

/** The in-memory copy of the keyboard's configuration, with the number index and the listener list.
    Every operation is safe to call from the MIDI input thread and the message thread at once; listeners
    are always called with no lock held, since they may send to the keyboard. */
class KbdSettingsStore
{
public:
    KbdSettingsStore();
    virtual ~KbdSettingsStore() = default;

    //==============================================================================
    void resetItemsToDefaults();
    int getItemField(int field, int id) const;
    void setItemField(int field, int id, int value);
    int getGlobal(int id) const;
    void setGlobal(int id, int value);
    bool isKnownItem(int id) const;

    //==============================================================================
    void rebuildNumberIndex();
    /** The control that owns a number in the index, or nothing. */
    std::optional<int> findItemForNumber(int number) const;
    bool isNumberIndexEmpty() const;

    //==============================================================================
    /** A consistent copy of the whole configuration. */
    SettingsState snapshot() const;
    /** Lets a reader see the whole configuration at one moment without copying it; the reader must not
        call back into the store. */
    void read(const std::function<void(const SettingsState&)>& reader) const;
    /** Runs a change on the configuration as one step: no reader sees it half done. */
    void modify(const std::function<void(SettingsState&)>& change);
    /** Replaces the whole configuration at once. */
    void replace(const SettingsState& state);
    /** Counts the writes: a reader that sees the count unchanged has seen the configuration unchanged,
       without copying it. */
    std::uint64_t changeCount() const noexcept { return changes.load(std::memory_order_acquire); }

    //==============================================================================
    void addListener(OrvManagerListener* listener);
    void notifyListeners(int event, int p1, int p2) const;

private:
    void rebuildNumberIndexLocked();

    /** Called with the lock held, after each write. */
    void changed() noexcept { changes.fetch_add(1, std::memory_order_release); }

    mutable std::mutex lock;
    SettingsState state;
    std::atomic<std::uint64_t> changes{0};
    // Number -> control: data-byte numbers (all the keyboard sends) in a table rebuilt without allocating
    // after every numbers answer, any others in a map that stays empty in practice.
    std::array<int, 128> controlForNumber{};
    std::map<int, int> controlForOtherNumber;
    int indexedNumbers = 0;
    // Indexed by id: every control's id is a data byte (0..127), checked for every answered value.
    std::bitset<128> knownItems;

    mutable std::mutex listenerLock;
    std::vector<OrvManagerListener*> listeners;
};
