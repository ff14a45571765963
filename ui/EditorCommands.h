#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>
#include <vector>

/** Every action the editor offers by a shortcut: one record each, which the key handling, the menus, the
    tooltips and the help read. Adding a shortcut is one edit here. */
enum class EditorCommand
{
    undo,
    redo,
    load,
    save,
    sendToKeyboard,
    readFromKeyboard,
    library,
    monitor,
    dawMaps,
    copySettings,
    pasteSettings,
    selectKnobs,
    selectSliders,
    selectButtons,
    selectPads,
    numberSeries,
    zoomIn,
    zoomOut,
    resetZoom
};

struct EditorCommandRecord
{
    /** Whether Shift must be held, must not be, or may be. */
    enum class Shift
    {
        any,
        held,
        not_held
    };
    /** The keys that trigger the command, all with Ctrl (Cmd on a Mac): letters in lower case, or the
        toolkit's key codes. */
    struct Keys
    {
        std::vector<int> codes;
        Shift shift = Shift::any;
        bool altAllowed = true;
    };

    EditorCommand id;
    const char* label; // as the menus name it
    const char* keys;  // as the menus, the tooltips and the help write them
    Keys match;
    const char* help; // a few words after the label, in the help
    const char* group;
};

/** The table, in the order the help lists it. */
const std::vector<EditorCommandRecord>& editorCommands();
const EditorCommandRecord& commandRecord(EditorCommand command);
/** The command a key press triggers, if any; `group`, when given, limits it to that group's. */
std::optional<EditorCommand> commandForKey(const juce::KeyPress& key, const char* group = nullptr);
/** A menu item with the command's label and keys. */
juce::PopupMenu::Item commandMenuItem(EditorCommand command);
