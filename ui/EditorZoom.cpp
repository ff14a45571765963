#include "EditorZoom.h"

#include "EditorCommands.h"

#include "model/WholeNumber.h"

#include <algorithm>
#include <cmath>
#include <vector>

EditorZoom::EditorZoom(EditorPreferences& p, double desktopScale)
    : preferences(p), desktopStep(stepFor(desktopScale)), current(p.zoomPercent().value_or(desktopStep))
{
}

EditorZoom::~EditorZoom()
{
    if (!listening)
        return;
    auto& desktop = juce::Desktop::getInstance();
    desktop.removeFocusChangeListener(this);
    for (int i = desktop.getNumComponents(); --i >= 0;)
        desktop.getComponent(i)->removeKeyListener(this);
}

void EditorZoom::listenInEveryWindow()
{
    auto& desktop = juce::Desktop::getInstance();
    if (!listening)
        desktop.addFocusChangeListener(this);
    listening = true;
    // A window's own listeners hear every key its components leave, and the keys pressed while nothing in
    // it has the keyboard. A window that opens later is joined when it first takes the keyboard.
    for (int i = desktop.getNumComponents(); --i >= 0;)
        desktop.getComponent(i)->addKeyListener(this);
}

void EditorZoom::globalFocusChanged(juce::Component* focused)
{
    if (focused != nullptr)
        focused->getTopLevelComponent()->addKeyListener(this);
}

int EditorZoom::stepFor(double desktopScale)
{
    if (!std::isfinite(desktopScale))
        return 100;
    const double percent = std::clamp(desktopScale * 100.0, 100.0, 200.0);
    return (int)std::lround(percent / 25.0) * 25;
}

double EditorZoom::desktopScaleFrom(const juce::String& xResources, const juce::String& gdkScale)
{
    // GDK_SCALE is a whole factor; Xft.dpi carries the fractional scales (120 = 125 percent).
    double scale = wholeNumber(gdkScale, 1, 99).value_or(1);
    for (const auto& line : juce::StringArray::fromLines(xResources))
        if (line.trimStart().startsWith("Xft.dpi:"))
        {
            const double dpi = line.fromFirstOccurrenceOf(":", false, false).trim().getDoubleValue();
            if (dpi >= 48.0 && dpi <= 960.0)
                scale = std::max(scale, dpi / 96.0);
        }
    return scale;
}

namespace
{
/** How many of the zoom's units (a screen's pixels; a Mac's points) the toolkit gives a pixel of the layout
    by itself, at no zoom. */
double nativeScale()
{
#if JUCE_MAC
    return 1.0;
#else
    auto& desktop = juce::Desktop::getInstance();
    const auto* display = desktop.getDisplays().getPrimaryDisplay();
    const double global = desktop.getGlobalScaleFactor();
    const double native = display != nullptr && global > 0.0 ? display->scale / global : 1.0;
    return native > 0.0 ? native : 1.0;
#endif
}
} // namespace

double EditorZoom::desktopScale(const juce::String& xResources, const juce::String& gdkScale)
{
    return std::max(nativeScale(), desktopScaleFrom(xResources, gdkScale));
}

int EditorZoom::largestStep() const
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    if (display == nullptr || windowSize.x <= 0 || windowSize.y <= 0)
        return 200;
    // The screen in the zoom's units, whatever the zoom now in force.
    const auto screen =
        display->userArea.toDouble() * juce::Desktop::getInstance().getGlobalScaleFactor() * nativeScale();
    for (int step = 200; step > 100; step -= 25)
        if (windowSize.x * step / 100.0 + windowFrame.x <= screen.getWidth() &&
            windowSize.y * step / 100.0 + windowFrame.y <= screen.getHeight())
            return step;
    return 100;
}

void EditorZoom::apply()
{
    auto& desktop = juce::Desktop::getInstance();
    // A step chosen on a larger screen shrinks to this one's; the choice itself is kept.
    current = std::min(current, largestStep());
    const double global = desktop.getGlobalScaleFactor();
    // The toolkit already draws at the display's own scale: the zoom makes up the rest.
    const double wanted = current / 100.0 / nativeScale();
    if (std::abs(wanted - global) < 1.0e-6)
        return;
    if (beforeChange)
        beforeChange();
    // Each window keeps its size in the layout's units, so it grows or shrinks with the zoom, its proportions
    // kept; its corner stays where it was on the screen, unless that would take it off the screen. The
    // toolkit fits the windows to their old size on the screen as the scale changes: the sizes are taken
    // first.
    struct Window
    {
        juce::Component::SafePointer<juce::Component> window;
        juce::Rectangle<int> layout;
        juce::Point<int> corner;
    };
    std::vector<Window> windows;
    for (int i = desktop.getNumComponents(); --i >= 0;)
        if (auto* window = desktop.getComponent(i); window != nullptr && window->getPeer() != nullptr)
        {
            auto layout = window->getBounds();
            if (window == fixedWindow.getComponent())
                layout.setSize(fixedSize.x, fixedSize.y);
            windows.push_back({window, layout, window->getPeer()->getBounds().getPosition()});
        }
    desktop.setGlobalScaleFactor((float)wanted);
    for (const auto& w : windows)
    {
        if (w.window == nullptr)
            continue;
        auto placed = w.layout.withPosition((w.corner.toDouble() / wanted).roundToInt());
        if (const auto* shownOn = desktop.getDisplays().getDisplayForRect(placed))
            placed = placed.constrainedWithin(shownOn->userArea);
        w.window->setBounds(placed);
    }
    if (onChanged)
        onChanged();
}

void EditorZoom::change(int newPercent, bool remember)
{
    newPercent = std::clamp(newPercent, 100, 200);
    juce::String problem;
    if (remember)
        preferences.setZoomPercent(newPercent, problem);
    else
        preferences.setZoomPercent(std::nullopt, problem);
    if (problem.isNotEmpty())
        juce::Logger::writeToLog("The zoom is not remembered: " + problem);
    if (newPercent == current)
        return;
    current = newPercent;
    apply();
}

void EditorZoom::zoomIn()
{
    if (current + 25 <= largestStep())
        change(current + 25, true);
}

void EditorZoom::zoomOut()
{
    change(current - 25, true);
}

void EditorZoom::followDesktop()
{
    change(std::min(desktopStep, largestStep()), false);
}

void EditorZoom::addMenuItems(juce::PopupMenu& menu)
{
    auto item = [&](EditorCommand command, bool enabled, std::function<void()> action)
    {
        menu.addItem(commandMenuItem(command).setEnabled(enabled).setAction(std::move(action)));
    };
    item(EditorCommand::zoomIn, current + 25 <= largestStep(), [this] { zoomIn(); });
    item(EditorCommand::zoomOut, current > 100, [this] { zoomOut(); });
    item(EditorCommand::resetZoom, true, [this] { followDesktop(); });
}

bool EditorZoom::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    const auto command = commandForKey(key, "Zoom");
    if (command == EditorCommand::zoomIn)
        zoomIn();
    else if (command == EditorCommand::zoomOut)
        zoomOut();
    else if (command == EditorCommand::resetZoom)
        followDesktop();
    else
        return false;
    return true;
}
