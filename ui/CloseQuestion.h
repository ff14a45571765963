#pragma once

#include "FileCommands.h"
#include "LinkState.h"

/** The question before the window closes with changes not sent or not saved, and its answers: send (the
    window closes once the keyboard is seen to hold everything), save, discard or cancel. */
class CloseQuestion
{
public:
    CloseQuestion(const OrvManager49& manager, EditHistory& history, EditorDialogs& dialogs,
                  FileCommands& files, std::function<void()> sendThenClose);

    /** Asks, when something would be lost; calls approved when the window may close now (at once when
        nothing would be lost). Cancelled, or closing after a send that is under way, it is not called. */
    void ask(std::function<void()> approved);
    /** The send asked for here has been verified: the window may close, with no further question. */
    void sendVerified();

private:
    const OrvManager49& manager;
    EditHistory& history;
    EditorDialogs& dialogs;
    FileCommands& files;
    std::function<void()> sendThenClose;
    bool open = false;
    std::function<void()> approvedAfterSend;

    using WeakThis = juce::WeakReference<CloseQuestion>;
    JUCE_DECLARE_WEAK_REFERENCEABLE(CloseQuestion)
    JUCE_DECLARE_NON_COPYABLE(CloseQuestion)
};
