#include "MonitorView.h"

#include "ColourRoles.h"
#include "files/MonitorExport.h"

MonitorView::MonitorView(MonitorTap& t, const KbdSettingsStore& configuration, SaveFolder& saves)
    : tap(t), store(configuration), saveFolder(saves), decodedChanges(configuration.changeCount())
{
    decoder.setConfiguration(configuration.snapshot());
    for (auto* c : std::initializer_list<juce::Component*>{&list, &pause, &filterBar, &clearButton,
                                                           &copyButton, &saveButton, &status})
        addAndMakeVisible(c);
    for (auto* b : {&clearButton, &copyButton, &saveButton})
        EditorColours::usePanelButtonColours(*b);
    list.setRowHeight(18);
    list.setColour(juce::ListBox::backgroundColourId, juce::Colour(0xff1d2126));
    status.setColour(juce::Label::textColourId, juce::Colours::black);
    pause.onClick = [this]
    {
        setPaused(pause.getToggleState());
    };
    filterBar.onChange = [this]
    {
        filtersChanged();
    };
    clearButton.onClick = [this]
    {
        clear();
    };
    copyButton.onClick = [this]
    {
        juce::SystemClipboard::copyTextToClipboard(copyText());
    };
    saveButton.onClick = [this]
    {
        save();
    };
    setSize(860, 460);
    tap.attach(history);
    startTimerHz(30);
}

MonitorView::~MonitorView()
{
    tap.attach(nullptr);
}

void MonitorView::refresh()
{
    // A configuration changed since (an edit, a load, a read) names the lines that come from now on.
    if (const auto changes = store.changeCount(); changes != decodedChanges)
    {
        decodedChanges = changes;
        decoder.setConfiguration(store.snapshot());
    }
    if (followSelection())
        rebuildShown();
    const int before = history->size();
    const juce::int64 droppedBefore = history->dropped();
    const int added = history->drain(decoder);
    if (added > 0 && !history->isPaused())
    {
        // Followed while the newest line is in view; left alone while the user reads further up.
        const bool following = list.getVerticalScrollBar().getCurrentRangeStart() +
                                       list.getVerticalScrollBar().getCurrentRangeSize() >=
                                   list.getVerticalScrollBar().getMaximumRangeLimit() - 1 ||
                               shown.empty();
        if (history->dropped() > droppedBefore || before + added > history->size())
            rebuildShown();
        else
            for (int i = before; i < history->size(); ++i)
                if (isShown(i))
                    shown.push_back(i);
        list.updateContent();
        if (following)
            list.scrollToEnsureRowIsOnscreen((int)shown.size() - 1);
        repaint();
    }
    status.setText(
        juce::String(history->received()) + " messages" +
            (history->dropped() > 0 ? ", " + juce::String(history->dropped()) + " no longer kept"
                                    : juce::String()) +
            (history->isPaused() ? " (paused)" : "") +
            (saveNote.isNotEmpty() ? juce::String::fromUTF8(" \xc2\xb7 ") + saveNote : juce::String()),
        juce::dontSendNotification);
}

void MonitorView::rebuildShown()
{
    shown.clear();
    for (int i = 0; i < history->size(); ++i)
        if (isShown(i))
            shown.push_back(i);
    list.updateContent();
    repaint();
}

bool MonitorView::isShown(int index) const
{
    return filter.passes(history->line(index));
}

void MonitorView::filtersChanged()
{
    filter = filterBar.filter();
    followedSelection.clear();
    if (filterBar.onlySelected())
    {
        followedSelection = selectedControls ? selectedControls() : std::vector<int>();
        filter.onlyControls(followedSelection);
    }
    rebuildShown();
}

bool MonitorView::followSelection()
{
    // Called on every refresh: the bar says when it changes, so only the selection is looked at here.
    if (!filter.isOnlyControls())
        return false;
    auto ids = selectedControls ? selectedControls() : std::vector<int>();
    if (ids == followedSelection)
        return false;
    followedSelection = ids;
    filter.onlyControls(std::move(ids));
    return true;
}

juce::String MonitorView::lineText(int row) const
{
    if (row < 0 || row >= (int)shown.size())
        return {};
    const auto& line = history->line(shown[(size_t)row]);
    const auto port = tap.portName(line.port);
    return line.timeText() + "  " + MonitorLine::directionName(line.direction) + "  " +
           (port.isNotEmpty() ? port + "  " : juce::String()) +
           (line.controls != nullptr ? line.controlNames() + juce::String::fromUTF8(" \xc2\xb7 ")
                                     : juce::String()) +
           line.words() + "   " + line.hex();
}

void MonitorView::showTiming(bool show)
{
    auto shownFilter = filterBar.filter();
    shownFilter.show(MonitorFilter::Group::timing, show);
    filterBar.setFilter(shownFilter);
    filtersChanged();
}

void MonitorView::setPaused(bool paused)
{
    history->setPaused(paused);
    pause.setToggleState(paused, juce::dontSendNotification);
    if (!paused)
        rebuildShown(); // what came meanwhile
}

void MonitorView::clear()
{
    history->clear();
    decoder.reset();
    rebuildShown();
    refresh();
}

juce::String MonitorView::copyText() const
{
    juce::StringArray lines;
    for (int row = 0; row < (int)shown.size(); ++row)
        lines.add(lineText(row));
    return lines.joinIntoString("\n");
}

void MonitorView::clickLine(int row)
{
    if (row < 0 || row >= (int)shown.size())
        return;
    const auto& line = history->line(shown[(size_t)row]);
    if (line.controls != nullptr && !line.controls->ids.empty() && onSelectControl)
        onSelectControl(line.controls->ids.front());
}

void MonitorView::save()
{
    const auto lines = std::make_shared<const std::vector<MonitorLine>>(history->copyLines());
    saveFolder.choose(
        "Save the monitor's messages", {}, "MIDI monitor.txt", "*.txt;*.csv;*.syx;*.mid",
        [safe = juce::Component::SafePointer<MonitorView>(this), lines](std::optional<juce::File> file)
        {
            if (safe == nullptr || !file)
                return;
            // The lines kept when Save was chosen: what came while the box was open is not half in the file.
            const auto ext = file->getFileExtension().toLowerCase();
            const auto result = ext == ".csv"   ? MonitorExport::writeCsv(*lines, *file)
                                : ext == ".syx" ? MonitorExport::writeSyx(*lines, *file)
                                : ext == ".mid" ? MonitorExport::writeMidiFile(*lines, *file)
                                                : MonitorExport::writeText(*lines, *file);
            safe->saveNote = result.ok ? "Saved to " + file->getFileName() : "Not saved: " + result.message;
            safe->refresh();
        });
}

void MonitorView::resized()
{
    auto area = getLocalBounds().reduced(8);
    auto bar = area.removeFromTop(26);
    for (auto* b : std::initializer_list<juce::Component*>{&pause, &clearButton, &copyButton, &saveButton})
        b->setBounds(bar.removeFromLeft(b == &pause ? 80 : 72).reduced(2));
    bar.removeFromLeft(8);
    status.setBounds(bar);
    filterBar.setBounds(area.removeFromTop(MonitorFilterBar::height));
    area.removeFromTop(4);
    list.setBounds(area);
}

void MonitorView::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xffe8e8e8));
}

void MonitorView::paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected)
{
    if (selected)
        g.fillAll(juce::Colour(0xff3a4a5a));
    if (row < 0 || row >= (int)shown.size())
        return;
    const auto& line = history->line(shown[(size_t)row]);
    g.setColour(line.direction == MonitorDirection::fromKeyboard ? juce::Colour(0xffd8f0e8)
                                                                 : juce::Colour(0xfff0d8b0));
    g.setFont(juce::Font(juce::Font::getDefaultMonospacedFontName(), 13.0f, juce::Font::plain));
    g.drawText(lineText(row), 6, 0, width - 12, height, juce::Justification::centredLeft, true);
}

//==============================================================================
MonitorWindow::MonitorWindow(MonitorTap& tap, const KbdSettingsStore& configuration, SaveFolder& saves)
    : juce::DocumentWindow("MIDI Monitor", juce::Colour(0xffe8e8e8), juce::DocumentWindow::closeButton)
{
    content = new MonitorView(tap, configuration, saves);
    setUsingNativeTitleBar(true);
    setContentOwned(content, true);
    setResizable(true, false);
    centreWithSize(getWidth(), getHeight());
}

void MonitorWindow::closeButtonPressed()
{
    if (onClose)
        onClose();
}
