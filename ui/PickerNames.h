#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <string>

/** The words of the picture's controls: each button's title for screen readers and its tooltip, from the
    catalogue with the name the user gave the control; and the picture's own help, its keys and clicks. */
class PickerNames
{
public:
    /** The picture's keys and clicks: its tooltip, and every control's help text. */
    static juce::String keysHelp();

    /** Takes the names the user gave controls; false when they are the ones taken already. */
    bool take(const std::map<int, std::string>& names);
    /** Titles the button of a control, with the name the user gave it. */
    void title(juce::Button& button, int itemId) const;
    /** Titles the button of a control and gives it its tooltip, both with the name the user gave it. */
    void name(juce::Button& button, int itemId) const;

private:
    std::map<int, std::string> userNames;
};
