#include "SelectionEditing.h"

#include "model/ConfigComparison.h"
#include "model/WholeNumber.h"

namespace
{
juce::String fieldLabel(int field)
{
    return fieldTable[field - itemFieldMode].panelLabel;
}

juce::String controls(size_t n)
{
    return juce::String((int)n) + (n == 1 ? " control" : " controls");
}

const std::pair<EditorCommand, ControlKind> kindCommands[] = {
    {EditorCommand::selectKnobs, ControlKind::knob},
    {EditorCommand::selectSliders, ControlKind::slider},
    {EditorCommand::selectButtons, ControlKind::button},
    {EditorCommand::selectPads, ControlKind::pad}};
} // namespace

SelectionEditing::SelectionEditing(QMV49CtrlPickerComponent& p, KbdSettingsStore& s, EditHistory& h,
                                   juce::Component& pa)
    : picker(p), store(s), history(h), panel(pa)
{
    // The picture's own area, not its controls: a right-click there opens the menu.
    picker.addMouseListener(this, false);
}

SelectionEditing::~SelectionEditing()
{
    picker.removeMouseListener(this);
}

//==============================================================================
std::optional<SelectionEditing::Shared> SelectionEditing::shared() const
{
    const auto& selection = picker.getSelection();
    if (!selection.isMany())
        return std::nullopt;
    const BatchEdit batch(selection.ids());
    Shared shared;
    shared.count = "<" + controls((size_t)selection.size()) + ">";
    // Read under the store's lock, shown after it: the boxes never hold up the keyboard's answers.
    store.read(
        [&](const SettingsState& state)
        {
            for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
                shared.values[field] = batch.sharedValue(state, field);
        });
    for (int mode = 0; mode < numItemModes; ++mode)
        shared.modeTaken[(size_t)mode] = batch.anyAllowsMode(mode);
    return shared;
}

BatchEdit SelectionEditing::batch() const
{
    return BatchEdit(picker.getSelection().ids());
}

BatchEdit::Outcome SelectionEditing::write(BatchEdit::Outcome outcome)
{
    history.applyUserWrites(outcome.writes);
    return outcome;
}

bool SelectionEditing::apply(int field, int value)
{
    if (!picker.getSelection().isMany())
        return false;
    const auto out = write(batch().set(field, value));
    // Short: the status display has room for one line.
    tellSkipped(fieldLabel(field) + " " + ConfigComparison::valueText(field, -1, value) + " set on " +
                    controls(out.changed.size()),
                out.skipped);
    return true;
}

void SelectionEditing::tellSkipped(juce::String note, const std::vector<int>& skipped)
{
    if (!skipped.empty())
        note << ", " << (int)skipped.size() << " skipped: " << names(skipped);
    if (tell)
        tell(note);
}

//==============================================================================
void SelectionEditing::copy()
{
    const int id = picker.getSelection().primary();
    const auto settings = BatchEdit::copy(store.snapshot(), id);
    if (!settings)
        return;
    copied = Copied{id, *settings};
    if (tell)
        tell("Copied " + names({id}) + ": " + commandRecord(EditorCommand::pasteSettings).keys +
             " pastes it");
}

void SelectionEditing::paste()
{
    if (!copied)
    {
        if (tell)
            tell(juce::String("Nothing copied: ") + commandRecord(EditorCommand::copySettings).keys +
                 " copies a control");
        return;
    }
    const auto out = write(batch().paste(copied->settings));
    tellSkipped(names({copied->from}) + "'s settings pasted on " + controls(out.changed.size()), out.skipped);
}

void SelectionEditing::fillSeries(int field, int start, int step)
{
    const auto out = write(batch().series(field, start, step));
    const bool channels = field == itemFieldChannel;
    const int end = step > 0 ? (channels ? 16 : 127) : (channels ? 1 : 0);
    // A series of numbers may be notes or controllers, whichever the controls play.
    juce::String note =
        juce::String(channels ? "Channel" : "Number") + " series on " + controls(out.changed.size());
    if (!out.clipped.empty())
        note << ", " << (int)out.clipped.size() << " kept at " << end << ": " << names(out.clipped);
    if (tell)
        tell(note);
}

void SelectionEditing::askSeries()
{
    const int n = picker.getSelection().size();
    auto* box = new juce::AlertWindow("Number Series",
                                      "Fill the " + controls((size_t)n) +
                                          " selected, in the picture's order (rows from the top, each from "
                                          "the left). Numbers stay within 0 to 127, channels within 1 to 16.",
                                      juce::MessageBoxIconType::NoIcon, &panel);
    box->addComboBox("field", {"CC numbers", "Channels"}, "Fill");
    box->addTextEditor("start", "0", "Start:");
    box->addTextEditor("step", "1", "Step:");
    box->addButton("Fill", 1, juce::KeyPress(juce::KeyPress::returnKey));
    box->addButton("Cancel", 0, juce::KeyPress(juce::KeyPress::escapeKey));
    // The keys start in Start, its value selected: typing a number replaces it, Return fills.
    auto* startField = box->getTextEditor("start");
    startField->setSelectAllWhenFocused(true);
    juce::Component::SafePointer<juce::Component> safePanel(&panel);
    box->enterModalState(true,
                         juce::ModalCallbackFunction::create(
                             [this, box, safePanel](int result)
                             {
                                 if (result != 1 || safePanel == nullptr)
                                     return;
                                 const bool channels =
                                     box->getComboBoxComponent("field")->getSelectedItemIndex() == 1;
                                 const auto start = wholeNumber(box->getTextEditorContents("start"),
                                                                channels ? 1 : 0, channels ? 16 : 127);
                                 const auto step = wholeNumber(box->getTextEditorContents("step"), -127, 127);
                                 if (!start || !step)
                                 {
                                     if (tell)
                                         tell(channels ? "Nothing filled: start 1 to 16, step -127 to 127"
                                                       : "Nothing filled: start 0 to 127, step -127 to 127");
                                     return;
                                 }
                                 fillSeries(channels ? itemFieldChannel : itemFieldNumber, *start, *step);
                             }),
                         true);
    startField->grabKeyboardFocus();
}

//==============================================================================
bool SelectionEditing::perform(EditorCommand command)
{
    // In the Name field or a box being typed in, Ctrl+C and Ctrl+V are about text (a read-only field passes
    // Ctrl+V on).
    const bool typing =
        dynamic_cast<juce::TextEditor*>(juce::Component::getCurrentlyFocusedComponent()) != nullptr;
    switch (command)
    {
    case EditorCommand::copySettings:
        if (typing)
            return false;
        copy();
        return true;
    case EditorCommand::pasteSettings:
        if (typing)
            return false;
        paste();
        return true;
    case EditorCommand::numberSeries:
        askSeries();
        return true;
    default:
        break;
    }
    for (const auto& [c, kind] : kindCommands)
        if (c == command)
        {
            picker.selectKind(kind);
            return true;
        }
    return false;
}

void SelectionEditing::mouseDown(const juce::MouseEvent& e)
{
    if (e.eventComponent == &picker && e.mods.isPopupMenu())
        showMenu();
}

void SelectionEditing::addMenuItems(juce::PopupMenu& menu)
{
    // Chosen after the menu has closed: by then the panel may be gone. A menu's Copy is the settings' even
    // while the Name field has the keyboard.
    const auto item = [&](EditorCommand command, bool enabled, void (SelectionEditing::*action)())
    {
        menu.addItem(commandMenuItem(command).setEnabled(enabled).setAction(
            [self = juce::WeakReference<SelectionEditing>(this), action]
            {
                if (self != nullptr)
                    (self.get()->*action)();
            }));
    };
    for (const auto& [command, kind] : kindCommands)
        menu.addItem(commandMenuItem(command).setAction(
            [self = juce::WeakReference<SelectionEditing>(this), kind = kind]
            {
                if (self != nullptr)
                    self->picker.selectKind(kind);
            }));
    menu.addSeparator();
    const bool any = picker.getSelection().primary() >= 0;
    item(EditorCommand::copySettings, any, &SelectionEditing::copy);
    item(EditorCommand::pasteSettings, any && hasCopy(), &SelectionEditing::paste);
    item(EditorCommand::numberSeries, any, &SelectionEditing::askSeries);
}

void SelectionEditing::showMenu()
{
    juce::PopupMenu menu;
    addMenuItems(menu);
    menu.showMenuAsync(juce::PopupMenu::Options().withTargetComponent(&picker).withMousePosition());
}

juce::String SelectionEditing::names(const std::vector<int>& ids)
{
    juce::StringArray list;
    for (size_t i = 0; i < ids.size() && i < 4; ++i)
        list.add(ControlCatalogue::messageName(ids[i]));
    auto text = list.joinIntoString(", ");
    if (ids.size() > 4)
        text << " and " << (int)(ids.size() - 4) << " more";
    return text;
}
