#include "PickerMarks.h"

#include "ColourRoles.h"

#include <algorithm>
#include <iterator>

namespace
{
constexpr int touchRingMs = 700;
/** How far the marks beside a control (the unsent dot, the compared ring) reach outside it, with their
    antialiased edges. */
constexpr int markReach = 6;
} // namespace

PickerMarks::PickerMarks(juce::Component& p, std::function<juce::Component*(int)> find)
    : picture(p), controlFor(std::move(find))
{
}

void PickerMarks::setMarked(const std::set<int>& ids)
{
    repaintChanged(marked, ids);
    marked = ids;
}

void PickerMarks::setCompared(const std::set<int>& ids)
{
    repaintChanged(compared, ids);
    compared = ids;
}

void PickerMarks::repaintChanged(const std::set<int>& before, const std::set<int>& after)
{
    // Only the controls whose mark came or went, as a hover repaints one control: a change to many
    // controls at once leaves the rest of the picture alone.
    std::vector<int> changed;
    std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                  std::back_inserter(changed));
    for (int id : changed)
        if (auto* control = controlFor(id))
            picture.repaint(control->getBounds().expanded(markReach));
}

void PickerMarks::touch(int itemId)
{
    auto* control = controlFor(itemId);
    if (control == nullptr)
        return;
    const bool lit = touchedId == itemId;
    touchedId = itemId;
    touchedAt = juce::Time::getMillisecondCounter();
    picture.repaint(control->getBounds().expanded(4));
    if (!lit)
        fadeTouchedLater(itemId, touchRingMs);
}

void PickerMarks::fadeTouchedLater(int itemId, int delayMs)
{
    juce::WeakReference<PickerMarks> safe(this);
    juce::Timer::callAfterDelay(delayMs,
                                [safe, itemId]
                                {
                                    if (safe == nullptr || safe->touchedId != itemId)
                                        return;
                                    const int age =
                                        (int)(juce::Time::getMillisecondCounter() - safe->touchedAt);
                                    if (age < touchRingMs)
                                    {
                                        safe->fadeTouchedLater(itemId, touchRingMs - age);
                                        return;
                                    }
                                    safe->touchedId = -1;
                                    safe->picture.repaint();
                                });
}

void PickerMarks::paint(juce::Graphics& g, const juce::Component* focused) const
{
    // The keyboard's place: a square black and white frame, seen on the light keys and the dark panel
    // alike; under the other marks, which stay whole.
    if (focused != nullptr)
    {
        const auto r = focused->getBounds().toFloat();
        g.setColour(juce::Colours::black);
        g.drawRect(r.expanded(4.0f), 2.0f);
        g.setColour(juce::Colours::white);
        g.drawRect(r.expanded(2.0f), 1.5f);
    }

    g.setColour(picture.findColour(comparedColourId));
    for (int id : compared)
        if (auto* control = controlFor(id))
        {
            const auto r = control->getBounds().toFloat();
            g.drawEllipse(r.getX() - 3.5f, r.getBottom() - 3.5f, 7.0f, 7.0f, 1.6f);
        }

    g.setColour(picture.findColour(EditorColours::notSentColourId));
    for (int id : marked)
        if (auto* control = controlFor(id))
        {
            const auto r = control->getBounds().toFloat();
            g.fillEllipse(r.getRight() - 3.0f, r.getY() - 3.0f, 6.0f, 6.0f);
        }

    if (auto* control = touchedId >= 0 ? controlFor(touchedId) : nullptr)
    {
        g.setColour(picture.findColour(touchedColourId));
        g.drawRoundedRectangle(control->getBounds().toFloat().expanded(2.5f), 3.0f, 2.0f);
    }
}
