#include "EditHistory.h"

#include <algorithm>
#include <functional>
#include <utility>

/** One step of the user's, as the values it changed; undoing it restores only those. */
class EditHistory::Step : public juce::UndoableAction
{
public:
    Step(EditHistory& h, SettingsDelta d, int before, int after, bool typing)
        : history(h), delta(std::move(d)), selectBefore(before), selectAfter(after), typingName(typing)
    {
    }
    /** A step whose change the store already holds, with the values it was the first to pin. */
    Step(EditHistory& h, SettingsDelta d, int select, AnswerRouter::ValueKeys pinned)
        : Step(h, std::move(d), select, select, false)
    {
        newlyPinned = std::move(pinned);
        applied = true;
    }
    bool perform() override
    {
        // Made already, the first time: only what follows a step is left to do.
        if (std::exchange(applied, false))
            history.stepApplied(delta, selectAfter);
        else
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
    AnswerRouter::ValueKeys newlyPinned; // values this step was the first to hold against the keyboard
    bool applied = false;
};

//==============================================================================
EditHistory::EditHistory(KbdSettingsStore& s, AnswerRouter& p) : store(s), pins(p), savedState(s.snapshot())
{
}

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
    const int selected = beginUserStep(typingName);
    undoManager.perform(new Step(*this, std::move(delta), selected, selected, typingName));
}

void EditHistory::applyUserWrites(const std::vector<SettingsWrite>& writes)
{
    // No step can be made while one is being undone or redone: then nothing is written either.
    if (undoManager.isPerformingUndoRedo())
        return;
    // A step only where a value changes; the question stops at the first that does.
    bool changes = false;
    store.read([&](const SettingsState& s) { changes = SettingsDelta::changes(s, writes); });
    if (!changes)
        return;
    const int selected = beginUserStep(false);
    // Written and pinned in one hold of the store's lock: no answer of the keyboard comes in between.
    struct WriteAndPin
    {
        const std::vector<SettingsWrite>& writes;
        AnswerRouter& pins;
        SettingsDelta delta;
        AnswerRouter::ValueKeys newlyPinned;
        void operator()(SettingsState& s)
        {
            delta = SettingsDelta::write(s, writes);
            newlyPinned = pins.pin(delta.values);
        }
    } step{writes, pins, {}, {}};
    // Handed over by reference, the change is held without an allocation of its own at every edit.
    store.modify(std::ref(step));
    if (!step.delta.empty())
        undoManager.perform(new Step(*this, std::move(step.delta), selected, std::move(step.newlyPinned)));
}

int EditHistory::beginUserStep(bool typingName)
{
    const int selected = selection ? selection() : -1;
    if (!typingName || nameTransactionFor != selected)
        undoManager.beginNewTransaction();
    nameTransactionFor = typingName ? selected : -1;
    userEdited = true;
    if (onUserStep)
        onUserStep();
    return selected;
}

AnswerRouter::ValueKeys EditHistory::applyDelta(const SettingsDelta& delta, bool forward, int selectId,
                                                const AnswerRouter::ValueKeys& answered)
{
    // A value the user set, or set back, is theirs until it is sent: the keyboard's answers leave it alone.
    auto newlyPinned = pins.pin(delta.values);
    store.modify([&](SettingsState& state) { delta.apply(state, forward); });
    // Taking back an edit that alone held a value against the keyboard returns to what the keyboard said,
    // where it answered after the edit was made: the value before the edit was only a stand-in.
    for (const auto& [field, id] : answered)
        if (const auto answer = pins.keptAnswer(field, id))
        {
            if (field == AnswerRouter::globalField)
                store.setGlobal(id, *answer);
            else
                store.setItemField(field, id, *answer);
            pins.unpin(field, id);
        }
    stepApplied(delta, selectId);
    return newlyPinned;
}

void EditHistory::stepApplied(const SettingsDelta& delta, int selectId)
{
    if (std::any_of(delta.values.begin(), delta.values.end(),
                    [](const SettingsDelta::Value& v) { return v.field == itemFieldNumber; }))
        store.rebuildNumberIndex();
    if (onStepApplied)
        onStepApplied(selectId);
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
            if (field == AnswerRouter::globalField)
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
        if (r.field == AnswerRouter::globalField)
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
                    unsent.insert({AnswerRouter::globalField, id});
        });
    return unsent;
}

bool EditHistory::hasUnsavedChanges() const
{
    return store.snapshot() != savedState;
}
