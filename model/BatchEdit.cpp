#include "BatchEdit.h"

#include <algorithm>

namespace
{
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

BatchEdit::BatchEdit(std::vector<int> controls) : ids(std::move(controls))
{
    configurable.reserve(ids.size());
    for (int id : ids)
        configurable.push_back(ControlCatalogue::isConfigurable(id));
}

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
    if (!ControlCatalogue::isConfigurable(id))
        return false;
    return field == itemFieldMode ? ControlCatalogue::isModeAllowed(ControlCatalogue::modeSetOf(id), value)
                                  : fits(field, value);
}

BatchEdit::Outcome BatchEdit::set(int field, int value) const
{
    Outcome out;
    // Only a mode depends on the control: any other value's range is asked once.
    if (field != itemFieldMode && !fits(field, value))
    {
        out.skipped = ids;
        return out;
    }
    out.changed.reserve(ids.size());
    out.writes.reserve(ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
    {
        const int id = ids[i];
        if (field == itemFieldMode ? !takes(id, field, value) : !configurable[i])
        {
            out.skipped.push_back(id);
            continue;
        }
        out.writes.push_back({field, id, value});
        out.changed.push_back(id);
    }
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
