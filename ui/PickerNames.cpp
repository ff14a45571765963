#include "PickerNames.h"

#include "EditorCommands.h"

#include "model/ControlCatalogue.h"

juce::String PickerNames::keysHelp()
{
    const auto keys = [](EditorCommand c)
    {
        return juce::String(commandRecord(c).keys);
    };
    const auto letter = [&](EditorCommand c)
    {
        return keys(c).getLastCharacters(1);
    };
    return "Arrow keys: the next control that way; Tab: the next in order; Enter: its "
           "settings; Escape: back to the picture. Ctrl+click: add or take out a control; "
           "Shift+click: the same kind up to here; a drag over the background or Shift+arrow keys: the "
           "controls in the band; " +
           keys(EditorCommand::selectKnobs) + ", " + letter(EditorCommand::selectSliders) + ", " +
           letter(EditorCommand::selectButtons) + ", " + letter(EditorCommand::selectPads) +
           ": every knob, slider, button, pad; " + keys(EditorCommand::copySettings) + ", " +
           keys(EditorCommand::pasteSettings) + ": copy and paste settings; " +
           keys(EditorCommand::numberSeries) + ": a number series; right-click here: all of these";
}

bool PickerNames::take(const std::map<int, std::string>& names)
{
    if (names == userNames)
        return false;
    userNames = names;
    return true;
}

void PickerNames::title(juce::Button& button, int itemId) const
{
    const auto named = userNames.find(itemId);
    juce::String text(ControlCatalogue::displayName(itemId));
    if (named != userNames.end())
        text << " (" << juce::String::fromUTF8(named->second.c_str()) << ")";
    button.setTitle(text);
}

void PickerNames::name(juce::Button& button, int itemId) const
{
    title(button, itemId);
    const auto named = userNames.find(itemId);
    button.setTooltip(named == userNames.end() ? juce::String(ControlCatalogue::tooltip(itemId))
                                               : juce::String(ControlCatalogue::tooltip(itemId)) + " - \"" +
                                                     juce::String::fromUTF8(named->second.c_str()) + "\"");
}
