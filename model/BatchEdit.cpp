#include "BatchEdit.h"

#include <algorithm>
#include <array>

namespace
{
/** What a control takes: whether the keyboard keeps settings for it, and its modes. */
struct Taking
{
    bool configurable = false;
    ModeSet modes = ModeSet::none;
};

/** Every control's Taking by id, looked up for each control of every change instead of searched for. Every
    configurable control's id is a data byte, as the store's index of known controls has it too. */
class TakingById
{
public:
    static const TakingById& get()
    {
        static const TakingById table;
        return table;
    }
    const Taking& operator[](int id) const { return t[id >= 0 && id < 128 ? (size_t)id : 128]; }

private:
    TakingById()
    {
        for (const auto& e : ControlCatalogue::entries())
            if (e.id >= 0 && e.id < 128 && ControlCatalogue::isConfigurable(e.id))
                t[(size_t)e.id] = {true, e.modeSet};
    }
    std::array<Taking, 129> t{}; // the last: any other id
};

/** Whether a value is within a field's range; a mode is decided by the control's mode set instead. */
bool fits(int field, int value)
{
    switch (field)
    {
    case itemFieldChannel:
        return ControlCatalogue::channelListIndex(value) >= 0;
    case itemFieldNumber:
    case itemFieldMinLsb:
    case itemFieldMaxMsb:
        return value >= 0 && value <= 127;
    default:
        return false;
    }
}
} // namespace

BatchEdit::BatchEdit(std::vector<int> controls) : ids(std::move(controls)) {}

std::optional<int> BatchEdit::sharedValue(const SettingsState& state, int field) const
{
    std::optional<int> shared;
    for (int id : ids)
    {
        const int v = state.get(field, id);
        if (shared && *shared != v)
            return std::nullopt;
        shared = v;
    }
    return shared;
}

bool BatchEdit::anyAllowsMode(int mode) const
{
    return std::any_of(ids.begin(), ids.end(), [mode](int id) { return takes(id, itemFieldMode, mode); });
}

bool BatchEdit::takes(int id, int field, int value)
{
    const auto& t = TakingById::get()[id];
    return t.configurable &&
           (field == itemFieldMode ? ControlCatalogue::isModeAllowed(t.modes, value) : fits(field, value));
}

BatchEdit::Outcome BatchEdit::set(int field, int value) const
{
    Outcome out;
    out.changed.resize(ids.size());
    out.writes.resize(ids.size());
    // Filled through plain pointers, which stay in registers, and cut to length after.
    auto* changed = out.changed.data();
    auto* writes = out.writes.data();
    // Only a mode depends on the control: any other value's range is asked once.
    const bool fitsField = fits(field, value);
    const auto& taking = TakingById::get();
    for (int id : ids)
    {
        const auto& t = taking[id];
        if (!t.configurable ||
            !(field == itemFieldMode ? ControlCatalogue::isModeAllowed(t.modes, value) : fitsField))
        {
            out.skipped.push_back(id);
            continue;
        }
        *writes++ = {field, id, value};
        *changed++ = id;
    }
    out.writes.resize((size_t)(writes - out.writes.data()));
    out.changed.resize((size_t)(changed - out.changed.data()));
    return out;
}

std::optional<ItemConfig> BatchEdit::copy(const SettingsState& state, int id)
{
    ItemConfig c{state.get(itemFieldMode, id), state.get(itemFieldChannel, id),
                 state.get(itemFieldNumber, id), state.get(itemFieldMinLsb, id),
                 state.get(itemFieldMaxMsb, id)};
    for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
        if (!takes(id, field, c.field(field)))
            return std::nullopt;
    return c;
}

BatchEdit::Outcome BatchEdit::paste(const ItemConfig& settings) const
{
    Outcome out;
    out.changed.reserve(ids.size());
    out.writes.reserve(ids.size() * (size_t)(itemFieldMaxMsb - itemFieldMode + 1));
    for (int id : ids)
    {
        bool fits = true;
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            fits = fits && takes(id, field, settings.field(field));
        if (!fits)
        {
            out.skipped.push_back(id);
            continue;
        }
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
            out.writes.push_back({field, id, settings.field(field)});
        out.changed.push_back(id);
    }
    return out;
}

BatchEdit::Outcome BatchEdit::series(int field, int start, int step) const
{
    Outcome out;
    const bool channels = field == itemFieldChannel;
    if (!channels && field != itemFieldNumber)
    {
        out.skipped = ids;
        return out;
    }
    const long long low = channels ? 1 : 0, high = channels ? 16 : 127;
    long long value = start;
    for (int id : ids)
    {
        const long long kept = std::clamp(value, low, high);
        if (kept != value)
            out.clipped.push_back(id);
        const int stored = (int)(channels ? kept - 1 : kept);
        if (takes(id, field, stored))
        {
            out.writes.push_back({field, id, stored});
            out.changed.push_back(id);
        }
        else
            out.skipped.push_back(id);
        value += step;
    }
    return out;
}
