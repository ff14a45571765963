#include "AnswerRouter.h"

namespace
{
bool isDataByte(int value)
{
    return value >= 0 && value <= 127;
}
} // namespace

//==============================================================================
void AnswerRouter::Pairs::erase(int field, int id)
{
    const int b = bit(field, id);
    if (b < 0)
        others.erase({field, id});
    else
        bits.reset((size_t)b);
}

bool AnswerRouter::Pairs::contains(int field, int id) const
{
    const int b = bit(field, id);
    return b < 0 ? others.count({field, id}) != 0 : bits[(size_t)b];
}

void AnswerRouter::Pairs::clear()
{
    bits.reset();
    others.clear();
}

std::set<std::pair<int, int>> AnswerRouter::Pairs::list() const
{
    auto all = others;
    for (size_t b = 0; b < bits.size(); ++b)
        if (bits[b])
        {
            const int row = (int)b / rowLength;
            all.insert({row == 0 ? globalField : row, (int)b % rowLength});
        }
    return all;
}

//==============================================================================
bool AnswerRouter::pin(int field, int id)
{
    std::lock_guard<std::mutex> g(lock);
    return pins.insert(field, id);
}

AnswerRouter::ValueKeys AnswerRouter::pin(const std::vector<SettingsDelta::Value>& changed)
{
    // A pair is pinned once: the list holds no repeats without being a set, whose every entry a batch of
    // many values would allocate.
    ValueKeys added;
    std::lock_guard<std::mutex> g(lock);
    for (const auto& v : changed)
        if (pins.insert(v.field, v.id))
            added.emplace_back(v.field, v.id);
    return added;
}

void AnswerRouter::unpin(int field, int id)
{
    std::lock_guard<std::mutex> g(lock);
    pins.erase(field, id);
    kept.erase({field, id});
}

void AnswerRouter::clear()
{
    std::lock_guard<std::mutex> g(lock);
    pins.clear();
    kept.clear();
}

int AnswerRouter::unpinConfirmed(const SettingsState& keyboard, const SettingsState& current)
{
    std::lock_guard<std::mutex> g(lock);
    for (const auto& [field, id] : pins.list())
    {
        const bool confirmed = field == globalField
                                   ? keyboard.globals[(size_t)id] == current.globals[(size_t)id]
                                   : keyboard.get(field, id) == current.get(field, id);
        if (confirmed)
        {
            kept.erase({field, id});
            pins.erase(field, id);
        }
    }
    return pins.size();
}

std::optional<int> AnswerRouter::keptAnswer(int field, int id) const
{
    std::lock_guard<std::mutex> g(lock);
    const auto it = kept.find({field, id});
    if (it == kept.end())
        return std::nullopt;
    return it->second;
}

int AnswerRouter::count() const
{
    std::lock_guard<std::mutex> g(lock);
    return pins.size();
}

std::set<std::pair<int, int>> AnswerRouter::values() const
{
    std::lock_guard<std::mutex> g(lock);
    return pins.list();
}

bool AnswerRouter::isPinned(int field, int id) const
{
    std::lock_guard<std::mutex> g(lock);
    return pins.contains(field, id);
}

bool AnswerRouter::beginCapture(const SettingsState& start)
{
    std::lock_guard<std::mutex> g(lock);
    if (capture != nullptr)
        return false;
    capture = std::make_unique<SettingsState>(start);
    return true;
}

bool AnswerRouter::beginCapture()
{
    // Not a default argument: clang then leaves the maps' constructors to the caller's object, unemitted.
    return beginCapture(SettingsState());
}

bool AnswerRouter::isCapturing() const
{
    std::lock_guard<std::mutex> g(lock);
    return capture != nullptr;
}

SettingsState AnswerRouter::endCapture()
{
    std::lock_guard<std::mutex> g(lock);
    // Moved out, not copied: a whole configuration is read into it.
    auto captured = capture != nullptr ? std::move(*capture) : SettingsState();
    capture.reset();
    return captured;
}

//==============================================================================
void AnswerRouter::storeAnswers(KbdSettingsStore& store, int field, const juce::Array<int>& pairs)
{
    {
        std::lock_guard<std::mutex> g(lock);
        if (capture != nullptr)
        {
            for (int i = 0; i + 1 < pairs.size(); i += 2)
                if (isDataByte(pairs[i + 1]))
                    capture->set(field, pairs[i], pairs[i + 1]);
            return;
        }
    }
    // The pins are looked at under the store's lock: a value the user pins as it writes it cannot be
    // overwritten by an answer checked before that.
    store.modify(
        [&](SettingsState& s)
        {
            std::lock_guard<std::mutex> g(lock);
            for (int i = 0; i + 1 < pairs.size(); i += 2)
            {
                if (!isDataByte(pairs[i + 1]))
                    continue;
                // What the keyboard said of a pinned value is kept aside: the editor may come back to it.
                if (pins.contains(field, pairs[i]))
                    kept[{field, pairs[i]}] = pairs[i + 1];
                else if (store.isKnownItem(pairs[i]))
                    s.set(field, pairs[i], pairs[i + 1]);
            }
        });
    if (field == itemFieldNumber)
        store.rebuildNumberIndex();
}

void AnswerRouter::storeGlobalAnswer(KbdSettingsStore& store, int id, int value)
{
    {
        std::lock_guard<std::mutex> g(lock);
        if (capture != nullptr)
        {
            capture->globals[(size_t)id] = (int16_t)value;
            return;
        }
    }
    store.modify(
        [&](SettingsState& s)
        {
            std::lock_guard<std::mutex> g(lock);
            if (pins.contains(globalField, id))
                kept[{globalField, id}] = value;
            else if (id >= 0 && id < numGlobalParams)
                s.globals[(size_t)id] = (int16_t)value;
        });
}
