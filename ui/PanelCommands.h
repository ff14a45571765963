#pragma once

#include "ComparisonCommands.h"
#include "DawMapsCommands.h"
#include "EditorCommands.h"
#include "FileCommands.h"
#include "LibraryCommands.h"
#include "MonitorCommands.h"
#include "PickerFocus.h"
#include "SelectionEditing.h"

/** The panel's commands carried out: each command of the table goes to the part that does it. Their
    shortcuts are heard at the top of the window that holds the panel, wherever the keyboard focus is in it,
    and follow the panel into another window. */
class PanelCommands : public juce::KeyListener, private juce::ComponentListener
{
public:
    /** The parts that do the commands; send is the panel's Send to Keyboard. */
    struct Parts
    {
        EditHistory& history;
        FileCommands& files;
        ComparisonCommands& comparison;
        LibraryCommands& library;
        MonitorCommands& monitor;
        DawMapsCommands& dawMaps;
        SelectionEditing& selection;
        PickerFocus& focus;
        std::function<void()> send;
    };

    PanelCommands(juce::Component& panel, Parts parts);
    ~PanelCommands() override;

    /** Does what a command asks; false for a command that is not the panel's (the zoom hears its own keys in
        every window). */
    bool perform(EditorCommand command);

    //==============================================================================
    // juce::KeyListener and juce::ComponentListener, on the message thread.
    /** A key heard anywhere in the window: its command done, or the keyboard brought to the picture. */
    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;

private:
    void componentParentHierarchyChanged(juce::Component& component) override;

    juce::Component& panel;
    Parts parts;
    juce::Component::SafePointer<juce::Component> keyTarget;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PanelCommands)
};
