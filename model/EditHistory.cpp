#include "EditHistory.h"

/** One step of the user's, as the values it changed; undoing it restores only those. */
class EditHistory::Step : public juce::UndoableAction
{
public:
    Step(EditHistory& h, SettingsDelta d, int before, int after, bool typing)
        : history(h), delta(std::move(d)), selectBefore(before), selectAfter(after), typingName(typing)
    {
    }
    bool perform() override
    {
        newlyPinned = history.applyDelta(delta, true, selectAfter, {});
        return true;
    }
    bool undo() override
    {
        history.applyDelta(delta, false, selectBefore, newlyPinned);
        return true;
    }
    int getSizeInUnits() override { return 1 + (int)(delta.values.size() + delta.names.size()); }
    juce::UndoableAction* createCoalescedAction(juce::UndoableAction* next) override
    {
        // The letters typed into the Name field in one go are one step.
        auto* n = dynamic_cast<Step*>(next);
        if (n == nullptr || !typingName || !n->typingName || n->selectAfter != selectAfter)
            return nullptr;
        return new Step(history, delta.followedBy(n->delta), selectBefore, n->selectAfter, true);
    }

private:
    EditHistory& history;
    const SettingsDelta delta;
    const int selectBefore, selectAfter;
    const bool typingName;
    std::set<std::pair<int, int>> newlyPinned; // values this step was the first to hold against the keyboard
};

//==============================================================================
EditHistory::EditHistory(KbdSettingsStore& s, EditPins& p) : store(s), pins(p), savedState(s.snapshot()) {}

EditHistory::~EditHistory()
{
    // The steps hold this history: they go first.
    undoManager.clearUndoHistory();
}

void EditHistory::applyUserChange(const std::function<void(SettingsState&)>& change, bool typingName)
{
    const auto before = store.snapshot();
    auto after = before;
    change(after);
    auto delta = SettingsDelta::between(before, after);
    if (delta.empty())
        return;
    const int selected = selection ? selection() : -1;
    if (!typingName || nameTransactionFor != selected)
        undoManager.beginNewTransaction();
    nameTransactionFor = typingName ? selected : -1;
    userEdited = true;
    if (onUserStep)
        onUserStep();
    undoManager.perform(new Step(*this, std::move(delta), selected, selected, typingName));
}

std::set<std::pair<int, int>> EditHistory::applyDelta(const SettingsDelta& delta, bool forward, int selectId,
                                                      const std::set<std::pair<int, int>>& answered)
{
    // A value the user set, or set back, is theirs until it is sent: the keyboard's answers leave it alone.
    std::set<std::pair<int, int>> newlyPinned;
    bool numbers = false;
    for (const auto& v : delta.values)
    {
        if (pins.pin(v.field, v.id))
            newlyPinned.insert({v.field, v.id});
        numbers = numbers || v.field == itemFieldNumber;
    }
    store.modify([&](SettingsState& state) { delta.apply(state, forward); });
    // Taking back an edit that alone held a value against the keyboard returns to what the keyboard said,
    // where it answered after the edit was made: the value before the edit was only a stand-in.
    for (const auto& [field, id] : answered)
        if (const auto answer = pins.keptAnswer(field, id))
        {
            if (field == EditPins::globalField)
                store.setGlobal(id, *answer);
            else
                store.setItemField(field, id, *answer);
            pins.unpin(field, id);
        }
    if (numbers)
        store.rebuildNumberIndex();
    if (onStepApplied)
        onStepApplied(selectId);
    return newlyPinned;
}

bool EditHistory::undo()
{
    nameTransactionFor = -1;
    return undoManager.undo();
}

bool EditHistory::redo()
{
    nameTransactionFor = -1;
    return undoManager.redo();
}

//==============================================================================
void EditHistory::readOutEnded(bool complete)
{
    if (complete)
    {
        // What the keyboard said, but for the values the user changed meanwhile: what it holds there is
        // unknown.
        confirmed = store.snapshot();
        for (const auto& [field, id] : pins.values())
        {
            const int answer = pins.keptAnswer(field, id).value_or(-2);
            if (field == EditPins::globalField)
                confirmed->globals[(size_t)id] = (int16_t)answer;
            else
                confirmed->set(field, id, answer);
        }
    }
    // What did arrive is the keyboard's, not a change of the user's.
    if (!userEdited && !fileTouched)
        savedState = store.snapshot();
}

void EditHistory::sendTaken(const std::vector<Refusal>& refused)
{
    // The keyboard now holds what was sent, but for the values it was seen to refuse.
    confirmed = sentConfiguration;
    for (const auto& r : refused)
    {
        if (r.field == EditPins::globalField)
            confirmed->globals[(size_t)r.id] = (int16_t)r.value;
        else
            confirmed->set(r.field, r.id, r.value);
    }
}

void EditHistory::keyboardRead(const SettingsState& keyboard)
{
    confirmed = keyboard;
    pins.unpinConfirmed(keyboard, store.snapshot());
}

void EditHistory::markSaved()
{
    savedState = store.snapshot();
    fileTouched = true;
    userEdited = false;
}

void EditHistory::markSaved(const SettingsState& written)
{
    if (store.snapshot() == written)
        markSaved();
}

void EditHistory::startChanged(const SettingsState& before)
{
    if (savedState == before)
        savedState = store.snapshot();
}

std::set<std::pair<int, int>> EditHistory::unsentValues() const
{
    if (!confirmed)
        return pins.values();
    // Compared where the store holds them: this runs on every status update.
    std::set<std::pair<int, int>> unsent;
    store.read(
        [&](const SettingsState& s)
        {
            for (int id : ControlCatalogue::configurableControls())
                for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
                    if (s.get(field, id) != confirmed->get(field, id))
                        unsent.insert({field, id});
            for (int id : sentGlobalParams)
                if (s.globals[(size_t)id] != confirmed->globals[(size_t)id])
                    unsent.insert({EditPins::globalField, id});
        });
    return unsent;
}

bool EditHistory::hasUnsavedChanges() const
{
    return store.snapshot() != savedState;
}
