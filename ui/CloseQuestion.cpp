#include "CloseQuestion.h"

CloseQuestion::CloseQuestion(const OrvManager49& m, EditHistory& h, EditorDialogs& d, FileCommands& f,
                             std::function<void()> send)
    : manager(m), history(h), dialogs(d), files(f), sendThenClose(std::move(send))
{
}

void CloseQuestion::ask(std::function<void()> approved)
{
    const int unsent = manager.isKeyboardFound() ? (int)history.unsentValues().size() : 0;
    const bool unsaved = history.hasUnsavedChanges() || files.hasUnsavedRoles();
    if (unsent == 0 && !unsaved)
        return approved();
    // A second request to close while the question is up changes nothing.
    if (open)
        return;

    approvedAfterSend = nullptr;
    juce::String what;
    if (unsent > 0)
        what << changesText(unsent) << (unsent == 1 ? " has" : " have") << " not been sent to the keyboard";
    if (unsaved)
        what << (what.isEmpty() ? "The configuration has" : ", and the configuration has")
             << " changes that are not saved in a file";
    what << ".";

    const char* title =
        unsent > 0 ? (unsaved ? "Changes not sent or saved" : "Changes not sent") : "Unsaved changes";
    open = true;
    // With nothing to send (no keyboard, or only the file at stake), Send would answer nothing.
    dialogs.askBeforeClosing(
        title, what, unsent > 0,
        [self = WeakThis(this), approved = std::move(approved)](EditorDialogs::CloseChoice choice)
        {
            if (self == nullptr)
                return;
            // Until a save asked for here has ended, the question counts as open.
            self->open = choice == EditorDialogs::CloseChoice::save;
            switch (choice)
            {
            case EditorDialogs::CloseChoice::send:
                // Send was the answer for everything at stake: once verified, the window closes without
                // asking about the file again.
                self->approvedAfterSend = approved;
                return self->sendThenClose();
            case EditorDialogs::CloseChoice::save:
                return self->files.save(
                    [self, approved](bool saved)
                    {
                        if (self != nullptr)
                            self->open = false;
                        if (saved)
                            approved();
                    });
            case EditorDialogs::CloseChoice::discard:
                return approved();
            case EditorDialogs::CloseChoice::cancel:
            default:
                return;
            }
        });
}

void CloseQuestion::sendVerified()
{
    if (auto approved = std::exchange(approvedAfterSend, nullptr))
        approved();
}
