#include "ControlSelection.h"

#include "ControlCatalogue.h"

#include <algorithm>

ControlSelection::ControlSelection(std::vector<int> readingOrder) : order(std::move(readingOrder)) {}

ControlKind ControlSelection::kindOf(int id)
{
    switch (ControlCatalogue::modeSetOf(id))
    {
    case ModeSet::knob:
        return ControlKind::knob;
    case ModeSet::slider:
        return ControlKind::slider;
    case ModeSet::snapshot:
    case ModeSet::panelButton:
    case ModeSet::hostButton:
        return ControlKind::button;
    case ModeSet::pad:
        return ControlKind::pad;
    case ModeSet::wheel:
    case ModeSet::switchPedal:
        return ControlKind::wheelOrPedal;
    case ModeSet::none:
        break;
    }
    return ControlKind::none;
}

int ControlSelection::positionOf(int id) const
{
    const auto at = std::find(order.begin(), order.end(), id);
    return at == order.end() ? -1 : (int)(at - order.begin());
}

void ControlSelection::click(int id)
{
    if (positionOf(id) < 0)
        return;
    chosen = {id};
    lead = anchor = id;
}

void ControlSelection::toggle(int id)
{
    if (positionOf(id) < 0)
        return;
    if (!contains(id))
    {
        chosen.insert(id);
        lead = anchor = id;
        return;
    }
    if (chosen.size() == 1)
        return; // something always stays selected
    chosen.erase(id);
    if (lead == id)
        lead = ids().back();
    if (anchor == id)
        anchor = lead;
}

void ControlSelection::extendTo(int id)
{
    const int to = positionOf(id);
    const int from = positionOf(anchor);
    if (to < 0)
        return;
    if (from < 0)
        return click(id);
    const auto kind = kindOf(id);
    chosen.clear();
    for (int i = std::min(from, to); i <= std::max(from, to); ++i)
        if (kindOf(order[(size_t)i]) == kind)
            chosen.insert(order[(size_t)i]);
    // The anchor stays, so that another Shift+click reaches from the same place; the panel shows this one.
    lead = id;
}

void ControlSelection::selectKind(ControlKind kind)
{
    std::set<int> all;
    for (int id : order)
        if (kindOf(id) == kind)
            all.insert(id);
    if (all.empty())
        return;
    chosen = std::move(all);
    lead = anchor = ids().front();
}

std::vector<int> ControlSelection::ids() const
{
    std::vector<int> r;
    for (int id : order)
        if (contains(id))
            r.push_back(id);
    return r;
}

void ControlSelection::selectBand(const std::vector<int>& ids, int reached, bool adding)
{
    std::set<int> band;
    for (int id : ids)
        if (positionOf(id) >= 0)
            band.insert(id);
    if (band.empty())
        return;
    if (!adding)
        chosen.clear();
    chosen.insert(band.begin(), band.end());
    lead = band.count(reached) != 0 ? reached : ids.front();
    if (positionOf(anchor) < 0 || (!adding && band.count(anchor) == 0))
        anchor = lead;
}
