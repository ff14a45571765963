#include "EditorCommands.h"

#include <cstring>

namespace
{
using Keys = EditorCommandRecord::Keys;
using Shift = EditorCommandRecord::Shift;

constexpr const char* editing = "Editing";
constexpr const char* keyboard = "Keyboard";
constexpr const char* selection = "Selection";
constexpr const char* zoom = "Zoom";
} // namespace

const std::vector<EditorCommandRecord>& editorCommands()
{
    // Alt is allowed where the panel has always taken the key with it; the selection's keys and the zoom's
    // leave Ctrl+Alt to the desktop.
    static const std::vector<EditorCommandRecord> table = {
        {EditorCommand::undo,
         "Undo",
         "Ctrl+Z",
         {{'z'}, Shift::not_held},
         "takes back the last change",
         editing},
        {EditorCommand::redo, "Redo", "Ctrl+Y", {{'y'}}, "makes the change taken back again", editing},
        {EditorCommand::redo,
         "Redo",
         "Ctrl+Shift+Z",
         {{'z'}, Shift::held},
         "makes the change taken back again",
         editing},
        {EditorCommand::load, "Load...", "Ctrl+O", {{'o'}}, "loads a settings file", editing},
        {EditorCommand::save,
         "Save...",
         "Ctrl+S",
         {{'s'}},
         "saves the configuration to a settings file",
         editing},
        {EditorCommand::sendToKeyboard,
         "Send to Keyboard",
         "Ctrl+Return",
         {{juce::KeyPress::returnKey}},
         "sends the whole configuration and checks it",
         keyboard},
        {EditorCommand::readFromKeyboard,
         "Read from the Keyboard",
         "Ctrl+R",
         {{'r'}},
         "reads the keyboard to compare with it",
         keyboard},
        {EditorCommand::library,
         "Setup Library...",
         "Ctrl+L",
         {{'l'}},
         "opens the library of setups",
         keyboard},
        {EditorCommand::monitor,
         "MIDI Monitor",
         "Ctrl+M",
         {{'m'}, Shift::not_held, false},
         "shows every message to and from the keyboard in its words",
         keyboard},
        {EditorCommand::dawMaps,
         "DAW Control Maps...",
         "Ctrl+D",
         {{'d'}, Shift::not_held, false},
         "gives the controls roles in the DAW and writes its control maps",
         keyboard},
        {EditorCommand::copySettings,
         "Copy Settings",
         "Ctrl+C",
         {{'c'}, Shift::not_held, false},
         "copies the selected control's settings",
         selection},
        {EditorCommand::pasteSettings,
         "Paste Settings",
         "Ctrl+V",
         {{'v'}, Shift::not_held, false},
         "pastes what was copied onto the selection",
         selection},
        {EditorCommand::selectKnobs,
         "Select All Knobs",
         "Ctrl+Shift+K",
         {{'k'}, Shift::held, false},
         "selects every knob",
         selection},
        {EditorCommand::selectSliders,
         "Select All Sliders",
         "Ctrl+Shift+F",
         {{'f'}, Shift::held, false},
         "selects every slider",
         selection},
        {EditorCommand::selectButtons,
         "Select All Buttons",
         "Ctrl+Shift+B",
         {{'b'}, Shift::held, false},
         "selects every button",
         selection},
        {EditorCommand::selectPads,
         "Select All Pads",
         "Ctrl+Shift+P",
         {{'p'}, Shift::held, false},
         "selects every pad",
         selection},
        {EditorCommand::numberSeries,
         "Number Series...",
         "Ctrl+Shift+N",
         {{'n'}, Shift::held, false},
         "fills numbers or channels in reading order",
         selection},
        // Plus sits over the equals sign on most layouts: with or without Shift, it zooms in.
        {EditorCommand::zoomIn,
         "Zoom In",
         "Ctrl+Plus",
         {{'+', '=', juce::KeyPress::numberPadAdd}, Shift::any, false},
         "every window larger, up to 200 percent",
         zoom},
        {EditorCommand::zoomOut,
         "Zoom Out",
         "Ctrl+Minus",
         {{'-', juce::KeyPress::numberPadSubtract}, Shift::not_held, false},
         "every window smaller",
         zoom},
        {EditorCommand::resetZoom,
         "Reset Zoom",
         "Ctrl+0",
         {{'0', juce::KeyPress::numberPad0}, Shift::not_held, false},
         "follows the desktop's scale again",
         zoom},
    };
    return table;
}

const EditorCommandRecord& commandRecord(EditorCommand command)
{
    for (const auto& r : editorCommands())
        if (r.id == command)
            return r;
    jassertfalse; // every command has a record
    return editorCommands().front();
}

std::optional<EditorCommand> commandForKey(const juce::KeyPress& key, const char* group)
{
    const auto mods = key.getModifiers();
    if (!mods.isCommandDown())
        return std::nullopt;
    const int code = key.getKeyCode();
    const int letter = (int)juce::CharacterFunctions::toLowerCase((juce::juce_wchar)code);
    for (const auto& r : editorCommands())
    {
        if (group != nullptr && std::strcmp(r.group, group) != 0)
            continue;
        const auto& m = r.match;
        if ((m.shift == Shift::held && !mods.isShiftDown()) ||
            (m.shift == Shift::not_held && mods.isShiftDown()) || (!m.altAllowed && mods.isAltDown()))
            continue;
        for (int c : m.codes)
            if (c == code || c == letter)
                return r.id;
    }
    return std::nullopt;
}

juce::PopupMenu::Item commandMenuItem(EditorCommand command)
{
    const auto& r = commandRecord(command);
    juce::PopupMenu::Item item(r.label);
    item.shortcutKeyDescription = r.keys;
    return item;
}
