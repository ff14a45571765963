#include "SettingsDelta.h"

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

void SettingsDelta::apply(SettingsState& state, bool forward) const
{
    for (const auto& v : values)
    {
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
