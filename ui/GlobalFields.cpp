#include "GlobalFields.h"

#include "device/OrvManager49.h"

namespace
{
bool isTwoWay(int id)
{
    const auto* g = ControlCatalogue::globalParam(id);
    return g != nullptr && g->kind == GlobalKind::twoWay;
}

/** The stored value of a two-choice keyboard-wide setting for a list position, and back. */
int twoWayValue(int index)
{
    return index == 1 ? 127 : 1;
}
int twoWayIndex(int value)
{
    return value == 127 ? 1 : 0;
}
} // namespace

GlobalFields::GlobalFields(PanelWidgets& widgets, KbdSettingsStore& s, EditHistory& h)
    : w(widgets), store(s), history(h)
{
}

void GlobalFields::show()
{
    SettingsState s;
    store.modify(
        [&s](SettingsState& state)
        {
            for (const auto& g : globalParamTable)
                if (isTwoWay(g.id))
                    state.globals[(size_t)g.id] =
                        (int16_t)twoWayValue(twoWayIndex(state.globals[(size_t)g.id]));
            s = state;
        });
    for (const auto& [box, id] : w.globalBoxes())
    {
        const int value = s.globals[(size_t)id];
        box->setSelectedItemIndex(isTwoWay(id) ? twoWayIndex(value) : value, juce::dontSendNotification);
    }
}

bool GlobalFields::boxChanged(juce::ComboBox& combo, int index)
{
    for (const auto& [box, id] : w.globalBoxes())
    {
        if (box != &combo)
            continue;
        const int value = isTwoWay(id) ? twoWayValue(index) : index;
        history.applyUserWrites({{OrvManager49::globalField, id, value}});
        return true;
    }
    return false;
}
