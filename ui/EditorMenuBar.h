#pragma once

#include "EditorCommands.h"

class KbdSettingComponent49;

/** The menu bar over the panel: every command of the table, the comparisons, the chart, the zoom and the
    About box, where a user who never opens a pop-up menu finds them. Each menu is made as it opens, so what
    cannot be done now is greyed. */
class EditorMenuBar : public juce::MenuBarModel
{
public:
    /** What lives above the panel: the zoom's items, the About box and quitting. */
    struct AppParts
    {
        std::function<void(juce::PopupMenu&)> addZoomItems;
        std::function<void()> about;
        std::function<void()> quit;
    };

    explicit EditorMenuBar(KbdSettingComponent49& panel);

    AppParts app;

    //==============================================================================
    // juce::MenuBarModel, on the message thread.
    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex(int topLevelMenuIndex, const juce::String& menuName) override;
    /** Every item carries its own action. */
    void menuItemSelected(int, int) override {}

private:
    juce::PopupMenu fileMenu();
    juce::PopupMenu editMenu();
    juce::PopupMenu keyboardMenu();
    juce::PopupMenu viewMenu();
    juce::PopupMenu helpMenu();
    /** The shortcuts, one a line, for the box the Help menu opens. */
    static juce::String shortcutsText();
    /** A command of the table, done by the panel when chosen, if the panel is still there. */
    juce::PopupMenu::Item command(EditorCommand id, bool enabled = true);
    /** Any other action on the panel, likewise. */
    juce::PopupMenu::Item panelAction(const juce::String& text,
                                      std::function<void(KbdSettingComponent49&)> act, bool enabled = true);

    juce::Component::SafePointer<KbdSettingComponent49> panel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(EditorMenuBar)
};
