#include "SettingsDelta.h"

#include <utility>

SettingsDelta SettingsDelta::between(const SettingsState& before, const SettingsState& after)
{
    SettingsDelta d;
    for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
    {
        std::set<int> ids;
        for (const auto& entry : before.fields[(size_t)field])
            ids.insert(entry.first);
        for (const auto& entry : after.fields[(size_t)field])
            ids.insert(entry.first);
        for (int id : ids)
        {
            const int a = before.get(field, id), b = after.get(field, id);
            if (a != b)
                d.values.push_back({field, id, a, b});
        }
    }
    for (int id = 0; id < numGlobalParams; ++id)
        if (before.globals[(size_t)id] != after.globals[(size_t)id])
            d.values.push_back({globalField, id, before.globals[(size_t)id], after.globals[(size_t)id]});

    std::set<int> named;
    for (const auto& entry : before.names)
        named.insert(entry.first);
    for (const auto& entry : after.names)
        named.insert(entry.first);
    for (int id : named)
    {
        const auto a = before.names.find(id), b = after.names.find(id);
        std::optional<std::string> was, is;
        if (a != before.names.end())
            was = a->second;
        if (b != after.names.end())
            is = b->second;
        if (was != is)
            d.names.push_back({id, was, is});
    }
    return d;
}

SettingsDelta SettingsDelta::write(SettingsState& state, const std::vector<SettingsWrite>& writes)
{
    SettingsDelta d;
    d.values.reserve(writes.size());
    // Controls are mostly written in order: the entry after the last one written is tried before the map
    // is searched.
    const std::map<int, int>* lastMap = nullptr;
    std::map<int, int>::iterator next;
    for (const auto& w : writes)
    {
        int before = -1;
        if (w.field >= itemFieldMode && w.field <= itemFieldMaxMsb)
        {
            auto& m = state.fields[(size_t)w.field];
            if (&m != lastMap || next == m.end() || next->first != w.id)
            {
                // One look-up: the value before is read where the new one goes.
                const auto [at, added] = m.try_emplace(w.id, before);
                next = at;
            }
            before = std::exchange(next->second, w.value);
            lastMap = &m;
            ++next;
        }
        else if (w.field == globalField && w.id >= 0 && w.id < numGlobalParams)
            before = std::exchange(state.globals[(size_t)w.id], (int16_t)w.value);
        else
            continue;
        if (before != w.value)
            d.values.push_back({w.field, w.id, before, w.value});
    }
    return d;
}

bool SettingsDelta::changes(const SettingsState& state, const std::vector<SettingsWrite>& writes)
{
    // Written exactly as write() would: a slot it skips changes nothing.
    return std::any_of(writes.begin(), writes.end(),
                       [&](const SettingsWrite& w)
                       {
                           if (w.field == globalField)
                               return w.id >= 0 && w.id < numGlobalParams &&
                                      state.globals[(size_t)w.id] != w.value;
                           return w.field >= itemFieldMode && w.field <= itemFieldMaxMsb &&
                                  state.get(w.field, w.id) != w.value;
                       });
}

void SettingsDelta::apply(SettingsState& state, bool forward) const
{
    // Taken back last first: a value written twice in one change returns to what it was before both.
    const auto count = values.size();
    for (size_t i = 0; i < count; ++i)
    {
        const auto& v = values[forward ? i : count - 1 - i];
        const int value = forward ? v.after : v.before;
        if (v.field == globalField)
            state.globals[(size_t)v.id] = (int16_t)value;
        else if (value < 0)
            state.fields[(size_t)v.field].erase(v.id);
        else
            state.set(v.field, v.id, value);
    }
    for (const auto& n : names)
    {
        const auto& name = forward ? n.after : n.before;
        if (name)
            state.names[n.id] = *name;
        else
            state.names.erase(n.id);
    }
}

SettingsDelta SettingsDelta::followedBy(const SettingsDelta& next) const
{
    // Both are small: a state holding only the touched entries is enough to combine them.
    SettingsDelta combined = *this;
    for (const auto& v : next.values)
    {
        auto it = std::find_if(combined.values.begin(), combined.values.end(),
                               [&](const Value& c) { return c.field == v.field && c.id == v.id; });
        if (it != combined.values.end())
            it->after = v.after;
        else
            combined.values.push_back(v);
    }
    for (const auto& n : next.names)
    {
        auto it = std::find_if(combined.names.begin(), combined.names.end(),
                               [&](const Name& c) { return c.id == n.id; });
        if (it != combined.names.end())
            it->after = n.after;
        else
            combined.names.push_back(n);
    }
    return combined;
}
