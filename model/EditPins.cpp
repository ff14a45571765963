#include "EditPins.h"

namespace
{
bool isDataByte(int value)
{
    return value >= 0 && value <= 127;
}
} // namespace

bool EditPins::pin(int field, int id)
{
    std::lock_guard<std::mutex> g(lock);
    return pins.insert({field, id}).second;
}

void EditPins::unpin(int field, int id)
{
    std::lock_guard<std::mutex> g(lock);
    pins.erase({field, id});
    kept.erase({field, id});
}

void EditPins::clear()
{
    std::lock_guard<std::mutex> g(lock);
    pins.clear();
    kept.clear();
}

int EditPins::unpinConfirmed(const SettingsState& keyboard, const SettingsState& current)
{
    std::lock_guard<std::mutex> g(lock);
    for (auto it = pins.begin(); it != pins.end();)
    {
        const auto [field, id] = *it;
        const bool confirmed = field == globalField
                                   ? keyboard.globals[(size_t)id] == current.globals[(size_t)id]
                                   : keyboard.get(field, id) == current.get(field, id);
        if (confirmed)
            kept.erase(*it);
        it = confirmed ? pins.erase(it) : std::next(it);
    }
    return (int)pins.size();
}

std::optional<int> EditPins::keptAnswer(int field, int id) const
{
    std::lock_guard<std::mutex> g(lock);
    const auto it = kept.find({field, id});
    if (it == kept.end())
        return std::nullopt;
    return it->second;
}

int EditPins::count() const
{
    std::lock_guard<std::mutex> g(lock);
    return (int)pins.size();
}

std::set<std::pair<int, int>> EditPins::values() const
{
    std::lock_guard<std::mutex> g(lock);
    return pins;
}

bool EditPins::isPinned(int field, int id) const
{
    std::lock_guard<std::mutex> g(lock);
    return pins.count({field, id}) != 0;
}

bool EditPins::beginCapture(const SettingsState& start)
{
    std::lock_guard<std::mutex> g(lock);
    if (capture != nullptr)
        return false;
    capture = std::make_unique<SettingsState>(start);
    return true;
}

bool EditPins::beginCapture()
{
    // Not a default argument: clang then leaves the maps' constructors to the caller's object, unemitted.
    return beginCapture(SettingsState());
}

bool EditPins::isCapturing() const
{
    std::lock_guard<std::mutex> g(lock);
    return capture != nullptr;
}

SettingsState EditPins::endCapture()
{
    std::lock_guard<std::mutex> g(lock);
    // Moved out, not copied: a whole configuration is read into it.
    auto captured = capture != nullptr ? std::move(*capture) : SettingsState();
    capture.reset();
    return captured;
}

//==============================================================================
void EditPins::storeAnswers(KbdSettingsStore& store, int field, const juce::Array<int>& pairs)
{
    std::set<std::pair<int, int>> pinned;
    {
        std::lock_guard<std::mutex> g(lock);
        if (capture != nullptr)
        {
            for (int i = 0; i + 1 < pairs.size(); i += 2)
                if (isDataByte(pairs[i + 1]))
                    capture->set(field, pairs[i], pairs[i + 1]);
            return;
        }
        pinned = pins;
    }
    store.modify(
        [&](SettingsState& s)
        {
            for (int i = 0; i + 1 < pairs.size(); i += 2)
                if (store.isKnownItem(pairs[i]) && isDataByte(pairs[i + 1]) &&
                    pinned.count({field, pairs[i]}) == 0)
                    s.set(field, pairs[i], pairs[i + 1]);
        });
    // What the keyboard said of a pinned value is kept aside: the editor may come back to it.
    {
        std::lock_guard<std::mutex> g(lock);
        for (int i = 0; i + 1 < pairs.size(); i += 2)
            if (pins.count({field, pairs[i]}) != 0 && isDataByte(pairs[i + 1]))
                kept[{field, pairs[i]}] = pairs[i + 1];
    }
    if (field == itemFieldNumber)
        store.rebuildNumberIndex();
}

void EditPins::storeGlobalAnswer(KbdSettingsStore& store, int id, int value)
{
    {
        std::lock_guard<std::mutex> g(lock);
        if (capture != nullptr)
        {
            capture->globals[(size_t)id] = (int16_t)value;
            return;
        }
        if (pins.count({globalField, id}) != 0)
        {
            kept[{globalField, id}] = value;
            return;
        }
    }
    store.setGlobal(id, value);
}
