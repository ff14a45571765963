#include "SelectedControlFields.h"

#include "ControlDescription.h"
#include "files/SettingsFile.h"

SelectedControlFields::SelectedControlFields(PanelWidgets& widgets, KbdSettingsStore& m, EditHistory& h,
                                             SelectionEditing& e, ValueHints& vh, juce::Component& p)
    : w(widgets), manager(m), history(h), selectionEditing(e), hints(vh), panel(p)
{
    for (int id : ControlCatalogue::namedControls())
        names[(juce::uint16)id] = ControlCatalogue::displayName(id);
    w.nameEditor.addListener(this);
}

SelectedControlFields::~SelectedControlFields()
{
    w.nameEditor.removeListener(this);
}

void SelectedControlFields::select(int id)
{
    selectedId = id;
    show();
}

void SelectedControlFields::show()
{
    if (!isControl(selectedId))
        return;
    // With many controls selected, the fields show what they share: blank where they differ, the count in
    // the Name field, which cannot be typed in then.
    const auto many = selectionEditing.shared();
    w.nameEditor.setReadOnly(many.has_value());
    // While the user types a name, the field is theirs.
    if (!editingName)
        w.nameEditor.setText(many ? many->count : nameShownFor(selectedId), false);

    // The boxes show the store; they do not write it back. A delayed write-back would overwrite an answer
    // that the keyboard delivered in between with the older value shown here. Every value a box can show
    // maps back to itself, so nothing is lost.
    const auto s = manager.snapshot();
    for (const auto& [box, field] : w.fieldBoxes())
    {
        const auto value = many ? many->values.at(field) : std::optional<int>(s.get(field, selectedId));
        // A channel's code that is not in the list shows blank rather than the entry at that position.
        const int index = !value                      ? -1
                          : field == itemFieldChannel ? ControlCatalogue::channelListIndex(*value)
                                                      : *value;
        box->setSelectedItemIndex(index, juce::dontSendNotification);
    }
    if (many)
        for (int id = 1; id <= numItemModes; ++id)
            w.modeCombo.setItemEnabled(id, many->modeTaken[(size_t)id - 1]);
    else
        applyModeSet(selectedId);
    showHints();
}

void SelectedControlFields::showHints()
{
    // Three values, read where the store holds them: no copy of the whole configuration.
    int mode = -1, channel = -1, number = -1;
    if (ControlCatalogue::isConfigurable(selectedId))
        manager.read(
            [&](const SettingsState& s)
            {
                mode = s.get(itemFieldMode, selectedId);
                channel = s.get(itemFieldChannel, selectedId);
                number = s.get(itemFieldNumber, selectedId);
            });
    hints.update(mode, channel, number);
    // The hints are drawn over their boxes, the corners over the control's boxes: only those are repainted,
    // not the picture.
    for (auto* box : {&w.numberCombo, &w.minCombo, &w.maxCombo})
        panel.repaint(box->getBounds());
    if (onShown)
        onShown();
}

void SelectedControlFields::takeTypedValue(juce::ComboBox& box)
{
    const auto typed = box.getText().trim();
    if (typed.isEmpty())
        return;
    const int value = typed.getIntValue();
    if (typed.containsOnly("0123456789") && value <= 127)
        return box.setSelectedItemIndex(value, juce::sendNotificationSync);
    show();
}

void SelectedControlFields::applyModeSet(int itemId)
{
    const auto set = ControlCatalogue::modeSetOf(itemId);
    if (set == ModeSet::none)
        return;
    for (int id = 1; id <= numItemModes; ++id)
        w.modeCombo.setItemEnabled(id, ControlCatalogue::isModeAllowed(set, id - 1));
}

bool SelectedControlFields::boxChanged(juce::ComboBox& combo, int index)
{
    for (const auto& [box, field] : w.fieldBoxes())
    {
        if (box != &combo)
            continue;
        if (!ControlCatalogue::isConfigurable(selectedId))
            return true; // no control selected, or one the keyboard keeps no settings for (the pitch wheel)
        const int value =
            field == itemFieldChannel ? ControlCatalogue::channelList()[(size_t)index].code : index;
        if (selectionEditing.apply(field, value))
            return true;
        history.applyUserWrites({{field, selectedId, value}});
        showHints();
        return true;
    }
    return false;
}

juce::String SelectedControlFields::nameShownFor(int id) const
{
    std::optional<juce::String> named;
    manager.read(
        [&](const SettingsState& s)
        {
            if (s.names.count(id) != 0)
                named = controlLabel(s, id);
        });
    if (named)
        return *named;
    const auto own = names.find((juce::uint16)(id & 0xFFFF));
    return own != names.end() ? own->second : juce::String();
}

void SelectedControlFields::textEditorTextChanged(juce::TextEditor& editor)
{
    if (&editor != &w.nameEditor || !ControlCatalogue::isConfigurable(selectedId))
        return;
    // Emptying the field gives the control its own name back.
    const auto text = editor.getText();
    const int id = selectedId;
    const char* own = ControlCatalogue::displayName(id);
    const bool named = isPlainControlName(text) && !(own != nullptr && text == own);
    const juce::ScopedValueSetter<bool> typing(editingName, true);
    history.applyUserChange(
        [&](SettingsState& state)
        {
            if (named)
                state.names[id] = text.toStdString();
            else
                state.names.erase(id);
        },
        true);
    // The field takes no more: the user is told why a key does nothing.
    if (text.length() >= maxControlNameLength && tell)
        tell("A name holds at most " + juce::String(maxControlNameLength) + " characters");
}

void SelectedControlFields::textEditorFocusLost(juce::TextEditor& editor)
{
    history.endTyping();
    if (&editor == &w.nameEditor && selectedId >= 0)
    {
        const auto many = selectionEditing.shared();
        editor.setText(many ? many->count : nameShownFor(selectedId), false);
    }
}
