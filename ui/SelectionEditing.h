#pragma once

#include "EditorCommands.h"
#include "QMV49CtrlPickerComponent.h"
#include "model/BatchEdit.h"
#include "model/EditHistory.h"

#include <array>
#include <functional>
#include <map>
#include <optional>

/** Changes to the controls selected in the picture, many at once: the panel's boxes show the values they
    share (blank where they differ) and a value picked sets it on every control that takes it; a control's
    settings copied (Ctrl+C) and pasted (Ctrl+V) onto the selection; numbers or channels filled in as a
    series. Each is one undoable step, and the status display says what was skipped or clipped. The kinds
    of control are selected by Ctrl+Shift+K, F, B and P or from the picture's menu (right-click its empty
    area). */
class SelectionEditing : private juce::MouseListener
{
public:
    /** The panel holds the picture; the number series box is shown over it. */
    SelectionEditing(QMV49CtrlPickerComponent& picker, KbdSettingsStore& store, EditHistory& history,
                     juce::Component& panel);
    ~SelectionEditing() override;

    /** Tells the user what a change did, in the status display. */
    std::function<void(const juce::String&)> tell;

    /** What many selected controls share, for the panel's fields to show. */
    struct Shared
    {
        /** What the Name field shows: a name is each control's own, so the count stands in its place. */
        juce::String count;
        /** Per field (itemFieldMode to itemFieldMaxMsb): the value all of them hold, none where they differ.
         */
        std::map<int, std::optional<int>> values;
        /** Per mode: whether any of them takes it (the others skip it). */
        std::array<bool, numItemModes> modeTaken{};
    };
    /** With many controls selected, what they share; nothing with one or none. */
    std::optional<Shared> shared() const;
    /** A value picked in a box: with many controls selected, set on those that take it; false with one. */
    bool apply(int field, int value);

    /** Copies the settings of the control the panel shows. */
    void copy();
    /** Pastes the copied settings onto the selected controls. */
    void paste();
    bool hasCopy() const { return copied.has_value(); }
    /** Fills the number (or channel) field of the selected controls in reading order. */
    void fillSeries(int field, int start, int step);
    /** Asks for the start and step of a series, then fills it. */
    void askSeries();

    /** Its commands, passed on by the panel's shortcuts: copy, paste, a kind selected, a number series;
        false for any other. */
    bool perform(EditorCommand command);
    /** Adds the kinds' selections, copy, paste and the series to a menu, enabled as they can be done now. */
    void addMenuItems(juce::PopupMenu& menu);

private:
    void mouseDown(const juce::MouseEvent& e) override;
    void showMenu();
    /** The controls' names, for a message; a long list is cut short. */
    static juce::String names(const std::vector<int>& ids);
    /** Tells what a change did, and the controls it skipped. */
    void tellSkipped(juce::String note, const std::vector<int>& skipped);
    /** The selected controls, in the picture's order, as a batch. */
    BatchEdit batch() const;
    /** Makes a batch's change one step; what it did comes back. */
    BatchEdit::Outcome write(BatchEdit::Outcome outcome);

    QMV49CtrlPickerComponent& picker;
    KbdSettingsStore& store;
    EditHistory& history;
    juce::Component& panel;
    struct Copied
    {
        int from;
        ItemConfig settings;
    };
    std::optional<Copied> copied;

    JUCE_DECLARE_WEAK_REFERENCEABLE(SelectionEditing)
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SelectionEditing)
};
