#include "PickerGeometry.h"

#include <algorithm>
#include <limits>

PickerGeometry::PickerGeometry(std::vector<juce::Rectangle<int>> s) : spots(std::move(s))
{
    // Centres in doubled pixels keep the halves of odd sizes exact.
    const auto centreY2 = [this](int i)
    {
        return spots[(size_t)i].getY() * 2 + spots[(size_t)i].getHeight();
    };
    std::vector<int> left((size_t)spots.size());
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = (int)i;
    std::stable_sort(left.begin(), left.end(), [&](int a, int b) { return centreY2(a) < centreY2(b); });

    while (!left.empty())
    {
        const auto& leader = spots[(size_t)left.front()];
        std::vector<int> row, rest;
        for (int i : left)
            (centreY2(i) <= leader.getBottom() * 2 ? row : rest).push_back(i);
        std::stable_sort(row.begin(), row.end(),
                         [this](int a, int b) { return spots[(size_t)a].getX() < spots[(size_t)b].getX(); });
        order.insert(order.end(), row.begin(), row.end());
        left = std::move(rest);
    }
}

int PickerGeometry::step(int index, bool forward) const
{
    const auto at = std::find(order.begin(), order.end(), index);
    if (at == order.end())
        return order.empty() ? -1 : (forward ? order.front() : order.back());
    if (forward)
        return at + 1 == order.end() ? -1 : *(at + 1);
    return at == order.begin() ? -1 : *(at - 1);
}

int PickerGeometry::neighbour(int index, Direction direction) const
{
    if (index < 0 || index >= (int)spots.size())
        return -1;
    const bool horizontal = direction == Direction::left || direction == Direction::right;
    const int sign = (direction == Direction::right || direction == Direction::down) ? 1 : -1;
    const auto& from = spots[(size_t)index];

    // Distances in doubled pixels, as centres are.
    const auto along = [&](const juce::Rectangle<int>& r)
    {
        return horizontal ? sign * ((r.getX() * 2 + r.getWidth()) - (from.getX() * 2 + from.getWidth()))
                          : sign * ((r.getY() * 2 + r.getHeight()) - (from.getY() * 2 + from.getHeight()));
    };
    const auto across = [&](const juce::Rectangle<int>& r)
    {
        return horizontal ? std::abs((r.getY() * 2 + r.getHeight()) - (from.getY() * 2 + from.getHeight()))
                          : std::abs((r.getX() * 2 + r.getWidth()) - (from.getX() * 2 + from.getWidth()));
    };
    const auto inLane = [&](const juce::Rectangle<int>& r)
    {
        return horizontal ? r.getY() < from.getBottom() && from.getY() < r.getBottom()
                          : r.getX() < from.getRight() && from.getX() < r.getRight();
    };

    int best = -1, bestLane = -1;
    long bestScore = std::numeric_limits<long>::max(), bestLaneScore = bestScore;
    for (int i = 0; i < (int)spots.size(); ++i)
    {
        const auto& r = spots[(size_t)i];
        const long a = along(r);
        if (i == index || a <= 0)
            continue;
        if (inLane(r))
        {
            const long laneScore = a * 4096 + across(r);
            if (laneScore < bestLaneScore)
                bestLane = i, bestLaneScore = laneScore;
        }
        // Off the lane, only what lies more that way than aside counts as being in that direction.
        const long score = a + 2L * across(r);
        if (across(r) <= a && score < bestScore)
            best = i, bestScore = score;
    }
    return bestLane >= 0 ? bestLane : best;
}

std::vector<int> PickerGeometry::within(juce::Rectangle<int> area) const
{
    std::vector<int> inside;
    for (int index : order)
        if (area.contains(spots[(size_t)index].getCentre()))
            inside.push_back(index);
    return inside;
}

juce::Rectangle<int> PickerGeometry::span(int from, int to) const
{
    return spots[(size_t)from].getUnion(spots[(size_t)to]);
}
