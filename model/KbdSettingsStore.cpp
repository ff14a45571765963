#include "KbdSettingsStore.h"

#include <algorithm>

int SettingsState::get(int field, int id) const
{
    if (field < 1 || field > 5)
        return -1;
    const auto& m = fields[(size_t)field];
    auto it = m.find(id);
    return it != m.end() ? it->second : -1;
}

void SettingsState::set(int field, int id, int value)
{
    if (field >= 1 && field <= 5)
        fields[(size_t)field][id] = value;
}

bool SettingsState::operator==(const SettingsState& o) const
{
    return fields == o.fields && globals == o.globals && names == o.names;
}

void SettingsState::resetItemsToDefaults()
{
    for (auto& m : fields)
        m.clear();
    names.clear();
    for (const auto& row : ControlCatalogue::defaultsTable())
    {
        if (auto d = ControlCatalogue::deriveDefault(row))
            for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
                set(f, row.id, d->field(f));
    }
}

void SettingsState::applyEditorGlobalDefaults()
{
    for (const auto& g : globalParamTable)
        globals[(size_t)g.id] = (int16_t)g.editorDefault;
}

//==============================================================================
KbdSettingsStore::KbdSettingsStore()
{
    for (int id : ControlCatalogue::configurableControls())
        knownItems.set((size_t)id); // throws for an id beyond a data byte, which no control has
    controlForNumber.fill(-1);      // the index starts empty, until it is first built
    state.resetItemsToDefaults();
    state.globals.fill(0);
}

void KbdSettingsStore::resetItemsToDefaults()
{
    std::lock_guard<std::mutex> g(lock);
    state.resetItemsToDefaults();
    changed();
}

int KbdSettingsStore::getItemField(int field, int id) const
{
    std::lock_guard<std::mutex> g(lock);
    return state.get(field, id);
}

void KbdSettingsStore::setItemField(int field, int id, int value)
{
    std::lock_guard<std::mutex> g(lock);
    state.set(field, id, value);
    changed();
}

int KbdSettingsStore::getGlobal(int id) const
{
    if (id < 0 || id >= numGlobalParams)
        return 0;
    std::lock_guard<std::mutex> g(lock);
    return state.globals[(size_t)id];
}

void KbdSettingsStore::setGlobal(int id, int value)
{
    if (id < 0 || id >= numGlobalParams)
        return;
    std::lock_guard<std::mutex> g(lock);
    state.globals[(size_t)id] = (int16_t)value;
    changed();
}

bool KbdSettingsStore::isKnownItem(int id) const
{
    // Fixed at construction: no lock needed.
    return id >= 0 && id < (int)knownItems.size() && knownItems[(size_t)id];
}

//==============================================================================
void KbdSettingsStore::rebuildNumberIndex()
{
    std::lock_guard<std::mutex> g(lock);
    rebuildNumberIndexLocked();
}

void KbdSettingsStore::rebuildNumberIndexLocked()
{
    controlForNumber.fill(-1);
    controlForOtherNumber.clear();
    indexedNumbers = 0;
    for (const auto& [id, number] : state.numbers())
    {
        // In order of id: the higher id wins a shared number.
        if (number >= 0 && number < (int)controlForNumber.size())
        {
            indexedNumbers += controlForNumber[(size_t)number] < 0 ? 1 : 0;
            controlForNumber[(size_t)number] = id;
        }
        else
        {
            indexedNumbers += controlForOtherNumber.count(number) == 0 ? 1 : 0;
            controlForOtherNumber[number] = id;
        }
    }
}

std::optional<int> KbdSettingsStore::findItemForNumber(int number) const
{
    std::lock_guard<std::mutex> g(lock);
    if (number >= 0 && number < (int)controlForNumber.size())
    {
        const int id = controlForNumber[(size_t)number];
        return id >= 0 ? std::optional<int>(id) : std::nullopt;
    }
    auto it = controlForOtherNumber.find(number);
    if (it == controlForOtherNumber.end())
        return std::nullopt;
    return it->second;
}

bool KbdSettingsStore::isNumberIndexEmpty() const
{
    std::lock_guard<std::mutex> g(lock);
    return indexedNumbers == 0;
}

//==============================================================================
SettingsState KbdSettingsStore::snapshot() const
{
    std::lock_guard<std::mutex> g(lock);
    return state;
}

void KbdSettingsStore::read(const std::function<void(const SettingsState&)>& reader) const
{
    std::lock_guard<std::mutex> g(lock);
    reader(state);
}

void KbdSettingsStore::modify(const std::function<void(SettingsState&)>& change)
{
    std::lock_guard<std::mutex> g(lock);
    change(state);
    changed();
}

void KbdSettingsStore::replace(const SettingsState& newState)
{
    std::lock_guard<std::mutex> g(lock);
    state = newState;
    changed();
}

//==============================================================================
void KbdSettingsStore::addListener(OrvManagerListener* listener)
{
    std::lock_guard<std::mutex> g(listenerLock);
    listeners.push_back(listener);
}

void KbdSettingsStore::notifyListeners(int event, int p1, int p2) const
{
    // Called with no lock held, on a copy of the list: on the stack for the usual few listeners, since an
    // event is raised for every answer the keyboard gives.
    std::array<OrvManagerListener*, 8> few{};
    std::vector<OrvManagerListener*> many;
    size_t count = 0;
    {
        std::lock_guard<std::mutex> g(listenerLock);
        count = listeners.size();
        if (count <= few.size())
            std::copy(listeners.begin(), listeners.end(), few.begin());
        else
            many = listeners;
    }
    auto* const* list = count <= few.size() ? few.data() : many.data();
    for (size_t i = 0; i < count; ++i)
        list[i]->handleManagerEvent(event, p1, p2, 0);
}
