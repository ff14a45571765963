#pragma once

#include "files/DawMaps.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The DAW control maps of the setup: the 53 controls with what each sends and its role in the DAW, roles
    given to several controls at once (numbered in the list's order), the DAW to write for, and Export and
    Install. Says what the chosen DAW's file leaves out. Works on its own copy of the roles and tells each
    change; the commands behind it keep them. */
class DawMapsView : public juce::Component, private juce::TableListBoxModel, private juce::Timer
{
public:
    DawMapsView(const KbdSettingsStore& configuration, ControlRoles roles);

    std::function<void(const ControlRoles&)> onRolesChanged;
    std::function<void(DawMaps::Daw)> onExport, onInstall;
    /** The name the maps carry: the setup's title, else its file's. */
    std::function<juce::String()> setupName;

    /** "Ardour", "Ableton Live", "REAPER (ReaLearn)". */
    static juce::String titleOf(DawMaps::Daw daw);
    DawMaps::Daw daw() const;
    void setDaw(DawMaps::Daw daw);
    const ControlRoles& roles() const { return current; }
    /** Selects the rows of these controls. */
    void select(const std::vector<int>& ids);
    /** Gives the selected controls the action, numbered in the list's order from first. */
    void assignToSelected(ControlRole::Action action, int first);
    void resetToDefaults();
    /** What the controls send anew, from the configuration, and what the DAW's file leaves out. */
    void refresh();
    void setNote(const juce::String& text);
    juce::String noteText() const { return note.getText(); }
    int rows() const { return (int)ids.size(); }
    /** A cell's text: 1 control, 2 what it sends, 3 its role. */
    juce::String cellText(int row, int column) const;

    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    int getNumRows() override { return (int)ids.size(); }
    void paintRowBackground(juce::Graphics& g, int row, int width, int height, bool selected) override;
    void paintCell(juce::Graphics& g, int row, int column, int width, int height, bool selected) override;
    void changed();
    /** An edit in the panel, a load or a read while the window is open shows here too. */
    void timerCallback() override
    {
        if (store.changeCount() != shownChanges)
            refresh();
    }

    const KbdSettingsStore& store;
    ControlRoles current;
    const std::vector<int> ids;
    std::vector<juce::String> sends; // by row
    std::uint64_t shownChanges = 0;  // the store's count when they were made

    juce::Label dawLabel{{}, "DAW:"}, roleLabel{{}, "Role of the selected controls:"},
        fromLabel{{}, "numbered from"};
    juce::ComboBox dawBox, roleBox;
    juce::Slider first{juce::Slider::IncDecButtons, juce::Slider::TextBoxLeft};
    juce::TextButton exportButton{"Export..."}, installButton{"Install"}, defaultsButton{"Default Roles"};
    juce::TableListBox table{"Controls", this};
    juce::Label note;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(DawMapsView)
};

/** The maps' view in a window of its own. */
class DawMapsWindow : public juce::DocumentWindow
{
public:
    DawMapsWindow(const KbdSettingsStore& configuration, ControlRoles roles);
    void closeButtonPressed() override;
    DawMapsView& view() { return *content; }
    std::function<void()> onClose;

private:
    DawMapsView* content;
};
