#pragma once

#include "AnswerRouter.h"

#include <juce_data_structures/juce_data_structures.h>

#include <functional>
#include <optional>
#include <set>

/** The user's edits as undoable steps, and what they mean against the keyboard and the files: what the
    keyboard last confirmed, what was last saved, and from them the values "not sent" and whether the
    configuration is "not saved". It holds no widget: the editor shows what it reports.

    Message thread only; the keyboard's answers reach the store and the pins on the MIDI thread meanwhile. */
class EditHistory
{
public:
    EditHistory(KbdSettingsStore& store, AnswerRouter& pins);
    ~EditHistory();

    /** The control selected as a step is made; the step brings it back when it is undone or redone. */
    std::function<int()> selection;
    /** Called before a step the user asked for is first applied. */
    std::function<void()> onUserStep;
    /** Called after a step was applied or taken back, with the control it concerned (-1: none). */
    std::function<void(int selectId)> onStepApplied;

    //==============================================================================
    /** Makes a change the user asked for as one undoable step; typing in a name adds to one step per
        control. Values it changes are held against the keyboard's answers until they are sent. */
    void applyUserChange(const std::function<void(SettingsState&)>& change, bool typingName = false);
    /** Makes values the user set one undoable step, as applyUserChange does, in one pass over the store that
        reads, writes and holds only these values: no copy of the whole configuration is made. */
    void applyUserWrites(const std::vector<SettingsWrite>& writes);
    bool undo();
    bool redo();
    /** Ends the step that typing a name adds to. */
    void endTyping() { nameTransactionFor = -1; }
    juce::UndoManager& getUndoManager() { return undoManager; }
    /** Pins a value against the keyboard's answers until it is sent, though it may not change. */
    void pin(int field, int id) { pins.pin(field, id); }

    //==============================================================================
    /** A read-out has ended: a complete one is what the keyboard holds, but for the values the user changed
        meanwhile; what did arrive is the start's configuration unless the user changed or loaded something.
     */
    void readOutEnded(bool complete);
    /** A send of this configuration is starting. */
    void sendStarted(const SettingsState& configuration) { sentConfiguration = configuration; }
    /** A value the keyboard was seen to hold otherwise than it was sent; field is AnswerRouter::globalField
       for a keyboard-wide value. */
    struct Refusal
    {
        int field, id, value;
    };
    /** The keyboard took the configuration last sent, but for the refusals. */
    void sendTaken(const std::vector<Refusal>& refused);
    /** The keyboard was read afresh, completely, into a comparison: it holds this configuration. Values the
        user changed that it confirms are no longer held against its answers. */
    void keyboardRead(const SettingsState& keyboard);
    /** Whether the keyboard has ever confirmed a configuration (by a complete read-out or a send). */
    bool knowsKeyboard() const { return confirmed.has_value(); }

    //==============================================================================
    /** The configuration now in the store is what a file holds. */
    void markSaved();
    /** A file was written with this configuration: marked saved if nothing changed since. */
    void markSaved(const SettingsState& written);
    /** The start's configuration changed without a step (the editor's defaults put in when no keyboard
        answers): when it was unchanged, it stays unchanged. */
    void startChanged(const SettingsState& before);

    /** The values (field, id) that differ from what the keyboard last confirmed, or, before it ever did, that
        the user changed. */
    std::set<std::pair<int, int>> unsentValues() const;
    /** True when the configuration differs from the last file saved or loaded (or from the start). */
    bool hasUnsavedChanges() const;
    /** The configuration last saved or loaded (or the start's). */
    const SettingsState& lastSaved() const { return savedState; }

private:
    class Step;
    /** Applies a step or takes it back. Returns the values the step was the first to hold against the
        keyboard's answers; taking it back, those in `answered` return to the keyboard's answer where one came
        meanwhile. */
    AnswerRouter::ValueKeys applyDelta(const SettingsDelta& delta, bool forward, int selectId,
                                       const AnswerRouter::ValueKeys& answered);
    /** What follows every step applied or taken back, once the store holds it. */
    void stepApplied(const SettingsDelta& delta, int selectId);
    /** Opens the undo step for a change of the user's, about to be performed. */
    int beginUserStep(bool typingName);

    KbdSettingsStore& store;
    AnswerRouter& pins;
    juce::UndoManager undoManager;
    std::optional<SettingsState> confirmed; // what the keyboard last confirmed; -2 marks an unknown value
    SettingsState sentConfiguration, savedState;
    bool userEdited = false, fileTouched = false;
    int nameTransactionFor = -1;

    JUCE_DECLARE_NON_COPYABLE(EditHistory)
};
