#include "GlobalFields.h"

#include "device/OrvManager49.h"

namespace
{
bool isTwoChoice(int id)
{
    const auto* g = ControlCatalogue::globalParam(id);
    return g != nullptr && g->kind == GlobalKind::twoChoices;
}

/** The stored value of a two-choice keyboard-wide setting for a list position, and back. */
int twoChoiceValue(int index)
{
    return index == 1 ? 127 : 1;
}
int twoChoiceIndex(int value)
{
    return value == 127 ? 1 : 0;
}
} // namespace

GlobalFields::GlobalFields(PanelWidgets& widgets, KbdSettingsStore& s, EditHistory& h)
    : w(widgets), store(s), history(h)
{
}

void GlobalFields::settleAndShow()
{
    SettingsState s;
    store.modify(
        [&s](SettingsState& state)
        {
            for (const auto& g : globalParamTable)
                if (isTwoChoice(g.id))
                    state.globals[(size_t)g.id] =
                        (int16_t)twoChoiceValue(twoChoiceIndex(state.globals[(size_t)g.id]));
            s = state;
        });
    for (const auto& [box, id] : w.globalBoxes())
    {
        const int value = s.globals[(size_t)id];
        box->setSelectedItemIndex(isTwoChoice(id) ? twoChoiceIndex(value) : value,
                                  juce::dontSendNotification);
    }
}

bool GlobalFields::boxChanged(juce::ComboBox& combo, int index)
{
    for (const auto& [box, id] : w.globalBoxes())
    {
        if (box != &combo)
            continue;
        const int value = isTwoChoice(id) ? twoChoiceValue(index) : index;
        history.applyUserWrites({{OrvManager49::globalField, id, value}});
        return true;
    }
    return false;
}
