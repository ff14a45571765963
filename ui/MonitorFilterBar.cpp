#include "MonitorFilterBar.h"

#include "ColourRoles.h"

MonitorFilterBar::MonitorFilterBar()
{
    for (int g = 0; g < MonitorFilter::groupCount; ++g)
    {
        auto* toggle = kinds.add(new juce::ToggleButton(MonitorFilter::groupLabel((MonitorFilter::Group)g)));
        toggle->onClick = [this, g, toggle]
        {
            current.show((MonitorFilter::Group)g, toggle->getToggleState());
            changed();
        };
        addAndMakeVisible(toggle);
    }
    for (auto* direction : {&from, &to})
    {
        direction->onClick = [this, direction]
        {
            current.show(direction == &from ? MonitorDirection::fromKeyboard : MonitorDirection::toKeyboard,
                         direction->getToggleState());
            changed();
        };
        addAndMakeVisible(direction);
    }
    only.onClick = [this]
    {
        changed();
    };
    channels.onClick = [this]
    {
        showChannelMenu();
    };
    EditorColours::usePanelButtonColours(channels);
    for (auto* c : std::initializer_list<juce::Component*>{&channels, &only})
        addAndMakeVisible(c);
    showState();
}

void MonitorFilterBar::setFilter(const MonitorFilter& filter)
{
    current = filter;
    showState();
}

void MonitorFilterBar::setOnlySelected(bool onlySelectedControls)
{
    only.setToggleState(onlySelectedControls, juce::dontSendNotification);
}

void MonitorFilterBar::showChannelMenu()
{
    juce::PopupMenu menu;
    // Chosen after the menu has closed: by then the monitor may be gone.
    const auto act = [safe = juce::Component::SafePointer<MonitorFilterBar>(this)](
                         std::function<void(MonitorFilterBar&)> change)
    {
        return [safe, change]
        {
            if (safe != nullptr)
            {
                change(*safe);
                safe->changed();
            }
        };
    };
    menu.addItem(juce::PopupMenu::Item("Every channel")
                     .setTicked(current.showsEveryChannel())
                     .setAction(act(
                         [](MonitorFilterBar& bar)
                         {
                             for (int c = 1; c <= 16; ++c)
                                 bar.current.showChannel(c, true);
                         })));
    juce::PopupMenu alone;
    for (int c = 1; c <= 16; ++c)
        alone.addItem(juce::PopupMenu::Item("Channel " + juce::String(c))
                          .setAction(act(
                              [c](MonitorFilterBar& bar)
                              {
                                  for (int other = 1; other <= 16; ++other)
                                      bar.current.showChannel(other, other == c);
                              })));
    menu.addSubMenu("Only One Channel", alone);
    menu.addSeparator();
    for (int c = 1; c <= 16; ++c)
        menu.addItem(juce::PopupMenu::Item("Channel " + juce::String(c))
                         .setTicked(current.showsChannel(c))
                         .setAction(act([c](MonitorFilterBar& bar)
                                        { bar.current.showChannel(c, !bar.current.showsChannel(c)); })));
    menu.showMenuAsync(juce::PopupMenu::Options().withTargetComponent(&channels));
}

void MonitorFilterBar::changed()
{
    showState();
    if (onChange)
        onChange();
}

void MonitorFilterBar::showState()
{
    for (int g = 0; g < MonitorFilter::groupCount; ++g)
        kinds[g]->setToggleState(current.shows((MonitorFilter::Group)g), juce::dontSendNotification);
    from.setToggleState(current.shows(MonitorDirection::fromKeyboard), juce::dontSendNotification);
    to.setToggleState(current.shows(MonitorDirection::toKeyboard), juce::dontSendNotification);
    juce::StringArray shown;
    for (int c = 1; c <= 16; ++c)
        if (current.showsChannel(c))
            shown.add(juce::String(c));
    channels.setButtonText(current.showsEveryChannel() ? juce::String("Channels: all")
                           : shown.isEmpty()           ? juce::String("Channels: none")
                           : shown.size() <= 3         ? "Channels: " + shown.joinIntoString(", ")
                                                       : "Channels: " + juce::String(shown.size()));
}

void MonitorFilterBar::resized()
{
    auto area = getLocalBounds();
    auto kindRow = area.removeFromTop(rowHeight);
    for (auto* toggle : kinds)
        toggle->setBounds(kindRow.removeFromLeft(
            juce::jmax(64, juce::Font(14.0f).getStringWidth(toggle->getButtonText()) + 36)));
    auto row = area.removeFromTop(rowHeight);
    channels.setBounds(row.removeFromLeft(130).reduced(2));
    row.removeFromLeft(8);
    from.setBounds(row.removeFromLeft(130));
    to.setBounds(row.removeFromLeft(120));
    only.setBounds(row.removeFromLeft(220));
}
