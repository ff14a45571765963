#pragma once

#include "EditorDialogs.h"
#include "MonitorFilterBar.h"
#include "SaveFolder.h"
#include "device/MonitorTap.h"
#include "model/KbdSettingsStore.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The MIDI monitor: every message to and from the keyboard, a line each, newest at the bottom, in the
    keyboard's words with the controls that send it. Follows the newest line unless scrolled up; filtered by
    kind (clock and active sensing hidden unless asked for), channel, direction and the picture's selection;
    Pause holds the view while the messages are still counted and kept; Clear, Copy, Save. Hears the link only
    while it is shown: it attaches to the link's tap when made and detaches when destroyed, and takes what
    came at most 30 times a second. */
class MonitorView : public juce::Component, private juce::ListBoxModel, private juce::Timer
{
public:
    /** saves: where Save... proposes the file and remembers the folder picked. */
    MonitorView(MonitorTap& tap, const KbdSettingsStore& configuration, SaveFolder& saves);
    ~MonitorView() override;

    /** Called with a control's id when a line naming it is clicked. */
    std::function<void(int)> onSelectControl;
    /** The controls selected in the picture, for "only the selected controls". */
    std::function<std::vector<int>()> selectedControls;

    /** Takes the messages that came, and shows them; the timer calls it. */
    void refresh();
    /** The lines shown, after the filter, oldest first. */
    int shownLines() const { return (int)shown.size(); }
    juce::String lineText(int row) const;
    /** Hides or shows clock and active sensing. */
    void showTiming(bool show);
    /** The filters as the bar above the lines sets them. */
    MonitorFilterBar& filters() { return filterBar; }
    void setPaused(bool paused);
    void clear();
    /** The lines shown, as text, one a line. */
    juce::String copyText() const;
    void clickLine(int row);
    juce::String statusText() const { return status.getText(); }
    /** Asks where to save the kept lines: as text, or by the name's extension as CSV, SysEx (.syx) or a
        Standard MIDI File (.mid). */
    void save();

    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    int getNumRows() override { return (int)shown.size(); }
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    void listBoxItemClicked(int row, const juce::MouseEvent&) override { clickLine(row); }
    void timerCallback() override { refresh(); }
    void rebuildShown();
    bool isShown(int index) const;
    /** The filter made anew from the bar, with the picture's selection when only that is shown. */
    void filtersChanged();
    /** While only the selected controls are shown, the filter's controls follow the picture's selection;
        true when they changed. */
    bool followSelection();

    MonitorTap& tap;
    const KbdSettingsStore& store;
    SaveFolder& saveFolder;
    std::shared_ptr<MonitorHistory> history = std::make_shared<MonitorHistory>();
    MonitorDecoder decoder;
    std::uint64_t decodedChanges;
    std::vector<int> shown; // indices into the history
    MonitorFilter filter;   // the bar's, with the selected controls when only those are shown
    std::vector<int> followedSelection;

    juce::ListBox list{"Messages", this};
    MonitorFilterBar filterBar;
    juce::ToggleButton pause{"Pause"};
    juce::TextButton clearButton{"Clear"}, copyButton{"Copy"}, saveButton{"Save..."};
    juce::Label status;
    juce::String saveNote; // what the last Save came to, said after the counts

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MonitorView)
};

/** The monitor in a window of its own, beside the editor's; closing it ends the monitoring. */
class MonitorWindow : public juce::DocumentWindow
{
public:
    MonitorWindow(MonitorTap& tap, const KbdSettingsStore& configuration, SaveFolder& saves);
    void closeButtonPressed() override;
    MonitorView& view() { return *content; }
    std::function<void()> onClose;

private:
    MonitorView* content;
};
