#include "PanelWidgets.h"

#include "ColourRoles.h"
#include "EditorCommands.h"
#include "device/OrvManager49.h"
#include "files/SettingsFile.h"

#include <QuilletBinaryData.h>

namespace
{
juce::StringArray numbersText(int count)
{
    juce::StringArray s;
    for (int i = 0; i < count; ++i)
        s.add(juce::String(i));
    return s;
}

juce::Image picture(const void* data, int size)
{
    return juce::ImageCache::getFromMemory(data, size);
}
} // namespace

void PanelWidgets::setUpLabel(juce::Label& l, const juce::String& text, int focus)
{
    panel.addAndMakeVisible(l);
    l.setText(text, juce::dontSendNotification);
    l.setFont(juce::Font(15.0f, juce::Font::plain));
    l.setJustificationType(juce::Justification::centredLeft);
    l.setEditable(false, false, false);
    l.setColour(juce::TextEditor::textColourId, juce::Colours::black);
    l.setColour(juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
    if (focus > 0)
        l.setExplicitFocusOrder(focus);
}

void PanelWidgets::setUpCombo(juce::ComboBox& c, const juce::StringArray& items, int focus,
                              bool rightJustified)
{
    panel.addAndMakeVisible(c);
    c.setEditableText(false);
    c.setJustificationType(rightJustified ? juce::Justification::centredRight
                                          : juce::Justification::centredLeft);
    c.setTextWhenNothingSelected({});
    c.setTextWhenNoChoicesAvailable("(no choices)");
    c.addItemList(items, 1);
    c.addListener(&boxListener);
    if (focus > 0)
        c.setExplicitFocusOrder(focus);
}

void PanelWidgets::setUpGlobal(juce::Label& label, juce::ComboBox& combo, int id)
{
    const auto* g = ControlCatalogue::globalParam(id);
    juce::StringArray items;
    for (const auto& choice : ControlCatalogue::globalChoices(id))
        items.add(choice);
    // The channels stand first in each column's row and read from the right.
    const bool channel = g->kind == GlobalKind::channel;
    setUpLabel(label, juce::String(g->label) + ":", channel ? 1 : 3);
    setUpCombo(combo, items, channel ? 2 : 4, channel);
    combo.setTitle(g->label);
}

void PanelWidgets::setUpField(juce::Label& label, juce::ComboBox& combo, int field,
                              const juce::StringArray& items, const char* tooltip)
{
    setUpLabel(label, juce::String(fieldTable[field - itemFieldMode].panelLabel) + ":", 0);
    setUpCombo(combo, items, 2);
    combo.setTitle(fieldTable[field - itemFieldMode].panelLabel);
    combo.setTooltip(tooltip);
    if (field == itemFieldNumber || field == itemFieldMinLsb || field == itemFieldMaxMsb)
    {
        // A value can be typed, or stepped with the mouse wheel, instead of picked from 128 entries.
        combo.setEditableText(true);
        combo.setScrollWheelEnabled(true);
    }
}

PanelWidgets::PanelWidgets(juce::Component& p, juce::ComboBox::Listener& boxes,
                           juce::Button::Listener& buttons)
    : panel(p), boxListener(boxes), buttonListener(buttons)
{
    build();
}

void PanelWidgets::build()
{
    juce::StringArray modes, controllers, channelList;
    for (auto* m : ControlCatalogue::modePanelTexts())
        modes.add(m);
    for (const auto& n : ControlCatalogue::controllerNames())
        controllers.add(n);
    for (const auto& c : ControlCatalogue::channelList())
        channelList.add(c.text);

    panel.addAndMakeVisible(globalGroup);
    globalGroup.setTextLabelPosition(juce::Justification::centredLeft);

    setUpGlobal(lowerChannelLabel, lowerChannelCombo, globalLowerChannel);
    setUpGlobal(knobModeLabel, knobModeCombo, globalKnobMode);

    panel.addAndMakeVisible(controlGroup);

    setUpLabel(nameLabel, "Name:", 0);
    panel.addAndMakeVisible(nameEditor);
    nameEditor.setMultiLine(false, false);
    nameEditor.setReturnKeyStartsNewLine(false);
    nameEditor.setReadOnly(false);
    nameEditor.setScrollbarsShown(false);
    // The field names the selected control, so typing in it shows a caret.
    nameEditor.setCaretVisible(true);
    nameEditor.setInputRestrictions(maxControlNameLength);
    nameEditor.setPopupMenuEnabled(false);
    nameEditor.setTitle("Name");
    // Escape goes on to the panel, which takes the keyboard back to the picture.
    nameEditor.setEscapeAndReturnKeysConsumed(false);
    nameEditor.setColour(juce::TextEditor::textColourId, juce::Colours::black);
    nameEditor.setColour(juce::TextEditor::backgroundColourId,
                         nameEditor.findColour(EditorColours::selectedControlColourId));
    nameEditor.setText("<Click a Control>");

    setUpField(numberLabel, numberCombo, itemFieldNumber, controllers,
               "Midi control number assigned to the selected control");

    auto imageButton = [this](SharpImageButton& b, juce::Image normal, juce::Image over, juce::Image down)
    {
        panel.addAndMakeVisible(b);
        b.setImages(false, true, true, normal, 1.0f, juce::Colours::transparentBlack, over, 1.0f,
                    juce::Colours::transparentBlack, down, 1.0f, juce::Colours::transparentBlack, 0.0f);
        b.addListener(&buttonListener);
    };
    using namespace QuilletBinaryData;
    imageButton(defaultButton, picture(default_values_normal_png, default_values_normal_pngSize),
                picture(default_values_over_png, default_values_over_pngSize),
                picture(default_values_pressed_png, default_values_pressed_pngSize));
    imageButton(sendKeyboardButton, picture(send_to_keyboard_normal_png, send_to_keyboard_normal_pngSize),
                picture(send_to_keyboard_over_png, send_to_keyboard_over_pngSize),
                picture(send_to_keyboard_pressed_png, send_to_keyboard_pressed_pngSize));
    defaultButton.setLargerImages({default_values_normal_2x_png, default_values_normal_2x_pngSize},
                                  {default_values_over_2x_png, default_values_over_2x_pngSize},
                                  {default_values_pressed_2x_png, default_values_pressed_2x_pngSize});
    sendKeyboardButton.setLargerImages(
        {send_to_keyboard_normal_2x_png, send_to_keyboard_normal_2x_pngSize},
        {send_to_keyboard_over_2x_png, send_to_keyboard_over_2x_pngSize},
        {send_to_keyboard_pressed_2x_png, send_to_keyboard_pressed_2x_pngSize});
    const auto keys = [](EditorCommand c)
    {
        return juce::String(commandRecord(c).keys);
    };
    sendKeyboardButton.setTooltip("Send the whole configuration to the keyboard and check it (" +
                                  keys(EditorCommand::sendToKeyboard) + ")");
    defaultButton.setTooltip("Restore the factory values in the editor (" + keys(EditorCommand::undo) +
                             " takes it back)");

    panel.addAndMakeVisible(picker);

    setUpField(modeLabel, modeCombo, itemFieldMode, modes, "Mode assigned to the selected control");
    setUpField(channelLabel, channelCombo, itemFieldChannel, channelList,
               "Midi channel assigned to the selected control");
    setUpField(maxLabel, maxCombo, itemFieldMaxMsb, numbersText(128),
               "Max value (or MSB) set for the selected control");
    setUpField(minLabel, minCombo, itemFieldMinLsb, numbersText(128),
               "Min value (or LSB) set for the selected control");
    setUpGlobal(splitModeLabel, splitModeCombo, globalSplitMode);
    setUpGlobal(upperChannelLabel, upperChannelCombo, globalUpperChannel);
    setUpGlobal(faderModeLabel, faderModeCombo, globalFaderMode);
    setUpGlobal(splitPointLabel, splitPointCombo, globalSplitPoint);

    auto textButton = [this](juce::TextButton& b, const char* text)
    {
        panel.addAndMakeVisible(b);
        b.setButtonText(text);
        b.setTooltip({});
        EditorColours::usePanelButtonColours(b);
        b.addListener(&buttonListener);
    };
    textButton(loadButton, "Load...");
    textButton(saveButton, "Save...");
    loadButton.setTooltip("Load a settings file (" + keys(EditorCommand::load) + ")");
    saveButton.setTooltip("Save the configuration to a settings file (" + keys(EditorCommand::save) + ")");
    textButton(chartButton, "Chart...");
}

std::array<std::pair<juce::ComboBox*, int>, 6> PanelWidgets::globalBoxes()
{
    return {{{&lowerChannelCombo, globalLowerChannel},
             {&knobModeCombo, globalKnobMode},
             {&splitModeCombo, globalSplitMode},
             {&upperChannelCombo, globalUpperChannel},
             {&faderModeCombo, globalFaderMode},
             {&splitPointCombo, globalSplitPoint}}};
}

std::array<std::pair<juce::ComboBox*, int>, 5> PanelWidgets::fieldBoxes()
{
    return {{{&numberCombo, itemFieldNumber},
             {&modeCombo, itemFieldMode},
             {&channelCombo, itemFieldChannel},
             {&maxCombo, itemFieldMaxMsb},
             {&minCombo, itemFieldMinLsb}}};
}

std::set<juce::Component*> PanelWidgets::boxesWithCorners(const std::set<std::pair<int, int>>& unsent,
                                                          int selected)
{
    std::set<juce::Component*> marked;
    for (const auto& [box, id] : globalBoxes())
        if (unsent.count({OrvManager49::globalField, id}) != 0)
            marked.insert(box);
    for (const auto& [box, field] : fieldBoxes())
        if (unsent.count({field, selected}) != 0)
            marked.insert(box);
    return marked;
}

void PanelWidgets::paintCorners(juce::Graphics& g, const std::set<juce::Component*>& boxes)
{
    // A small amber corner on each box whose value the keyboard does not have yet.
    for (auto* box : boxes)
    {
        const auto r = box->getBounds().toFloat();
        juce::Path corner;
        corner.addTriangle(r.getX(), r.getY(), r.getX() + 11.0f, r.getY(), r.getX(), r.getY() + 11.0f);
        g.setColour(box->findColour(EditorColours::notSentColourId));
        g.fillPath(corner);
        g.setColour(box->findColour(cornerOutlineColourId));
        g.strokePath(corner, juce::PathStrokeType(1.0f));
    }
}

void PanelWidgets::layOut()
{
    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        {&globalGroup, {13, 8, 419, 128}},       {&lowerChannelLabel, {27, 32, 93, 24}},
        {&lowerChannelCombo, {122, 32, 88, 24}}, {&knobModeLabel, {27, 64, 88, 24}},
        {&knobModeCombo, {122, 64, 88, 24}},     {&controlGroup, {443, 8, 480, 128}},
        {&nameLabel, {459, 32, 80, 24}},         {&nameEditor, {555, 32, 120, 24}},
        {&numberLabel, {687, 64, 80, 24}},       {&numberCombo, {783, 64, 120, 24}},
        {&defaultButton, {944, 38, 88, 24}},     {&sendKeyboardButton, {936, 14, 102, 24}},
        {&picker, {0, 149, 1063, 317}},          {&modeLabel, {687, 32, 80, 24}},
        {&modeCombo, {783, 32, 120, 24}},        {&channelLabel, {459, 64, 80, 24}},
        {&channelCombo, {555, 64, 120, 24}},     {&maxLabel, {687, 96, 80, 24}},
        {&maxCombo, {783, 96, 120, 24}},         {&minLabel, {459, 96, 80, 24}},
        {&minCombo, {555, 96, 120, 24}},         {&splitModeLabel, {27, 96, 88, 24}},
        {&splitModeCombo, {122, 96, 88, 24}},    {&upperChannelLabel, {227, 32, 93, 24}},
        {&upperChannelCombo, {322, 32, 88, 24}}, {&faderModeLabel, {227, 64, 88, 24}},
        {&faderModeCombo, {322, 64, 88, 24}},    {&splitPointLabel, {227, 96, 88, 24}},
        {&splitPointCombo, {322, 96, 88, 24}},   {&loadButton, {948, 67, 78, 20}},
        {&saveButton, {948, 91, 78, 20}},        {&chartButton, {948, 115, 78, 20}},
    };
    for (const auto& [component, bounds] : layout)
        component->setBounds(bounds);
}
