#pragma once

#include "NumberBox.h"
#include "QMV49CtrlPickerComponent.h"
#include "SharpImageButton.h"

#include <array>
#include <set>

/** The settings panel's 32 widgets: each made as its row in the catalogue's tables says, placed where the
    panel's fixed layout puts it, and the amber corner drawn on a box whose value is not sent. Not a
    component of its own: the widgets are the panel's children, added in the order below, which is also
    their z-order. */
class PanelWidgets
{
public:
    /** The outline of the amber corner; its fill is EditorColours::notSentColourId. */
    enum ColourIds
    {
        cornerOutlineColourId = 0x7e00201
    };

    /** Makes the widgets the children of `panel`, their changes and clicks heard by the listeners. */
    PanelWidgets(juce::Component& panel, juce::ComboBox::Listener& boxes, juce::Button::Listener& buttons);

    /** Places every widget; the panel calls it from resized(). */
    void layOut();

    /** The keyboard-wide boxes with their slots, and the selected control's boxes with their fields. */
    std::array<std::pair<juce::ComboBox*, int>, 6> globalBoxes();
    std::array<std::pair<juce::ComboBox*, int>, 5> fieldBoxes();
    /** The boxes showing a value in `unsent` (field and control pairs), the control's own for `selected`. */
    std::set<juce::Component*> boxesWithCorners(const std::set<std::pair<int, int>>& unsent, int selected);
    /** Draws the amber corner on each of the boxes. */
    static void paintCorners(juce::Graphics& g, const std::set<juce::Component*>& boxes);

    // In creation (and z-) order.
    juce::GroupComponent globalGroup{"global group", "Global Parameters"};
    juce::Label lowerChannelLabel{"channel label"};
    juce::ComboBox lowerChannelCombo{"lower channel combo"};
    juce::Label knobModeLabel{"knob mode label"};
    juce::ComboBox knobModeCombo{"knob mode combo"};
    juce::GroupComponent controlGroup{"new group", "Selected Control Parameters"};
    juce::Label nameLabel{"new label", "Name:"};
    juce::TextEditor nameEditor{"new text editor"};
    juce::Label numberLabel{"new label"};
    NumberBox numberCombo{"CC number combo"};
    SharpImageButton defaultButton{"new button"};
    SharpImageButton sendKeyboardButton{"new button"};
    QMV49CtrlPickerComponent picker;
    juce::Label modeLabel{"new label"};
    juce::ComboBox modeCombo{"Mode combo"};
    juce::Label channelLabel{"new label"};
    juce::ComboBox channelCombo{"Channel combo"};
    juce::Label maxLabel{"new label"};
    NumberBox maxCombo{"Max MSB combo"};
    juce::Label minLabel{"new label"};
    NumberBox minCombo{"Min LSB combo"};
    juce::Label splitModeLabel{"knob mode label"};
    juce::ComboBox splitModeCombo{"split mode combo"};
    juce::Label upperChannelLabel{"channel label"};
    juce::ComboBox upperChannelCombo{"upper channel combo"};
    juce::Label faderModeLabel{"knob mode label"};
    juce::ComboBox faderModeCombo{"fader mode combo"};
    juce::Label splitPointLabel{"knob mode label"};
    juce::ComboBox splitPointCombo{"split point combo"};
    juce::TextButton loadButton{"load button"};
    juce::TextButton saveButton{"save button"};
    juce::TextButton chartButton{"chart button"};

private:
    void build();
    void setUpLabel(juce::Label& label, const juce::String& text, int focus);
    void setUpCombo(juce::ComboBox& combo, const juce::StringArray& items, int focus,
                    bool rightJustified = false);
    /** A keyboard-wide value's label and box, as its row in the catalogue's table says. */
    void setUpGlobal(juce::Label& label, juce::ComboBox& combo, int id);
    /** A field's label and box, as its row in the catalogue's table says. */
    void setUpField(juce::Label& label, juce::ComboBox& combo, int field, const juce::StringArray& items,
                    const char* tooltip);

    juce::Component& panel;
    juce::ComboBox::Listener& boxListener;
    juce::Button::Listener& buttonListener;

    JUCE_DECLARE_NON_COPYABLE(PanelWidgets)
};
