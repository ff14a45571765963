#include "EditorDialogs.h"

void NativeEditorDialogs::choose(std::unique_ptr<juce::FileChooser> dialog, int flags, FileAnswer answer)
{
    chooser = std::move(dialog);
    chooser->launchAsync(flags,
                         [answer = std::move(answer)](const juce::FileChooser& c)
                         {
                             const auto result = c.getResult();
                             answer(result == juce::File() ? std::nullopt
                                                           : std::optional<juce::File>(result));
                         });
}

void NativeEditorDialogs::chooseFileToOpen(const juce::String& title, const juce::File& startFolder,
                                           const juce::String& pattern, FileAnswer answer)
{
    choose(std::make_unique<juce::FileChooser>(title, startFolder, pattern, true),
           juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
           std::move(answer));
}

void NativeEditorDialogs::chooseFileToSave(const juce::String& title, const juce::File& proposedFile,
                                           const juce::String& pattern, FileAnswer answer)
{
    choose(std::make_unique<juce::FileChooser>(title, proposedFile, pattern, true),
           juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles |
               juce::FileBrowserComponent::warnAboutOverwriting,
           std::move(answer));
}

void NativeEditorDialogs::confirmOverwrite(const juce::File& file, YesNoAnswer answer)
{
    juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::QuestionIcon, "File already exists",
        "There's already a file called: " + file.getFullPathName() +
            "\n\nAre you sure you want to overwrite it?",
        "Overwrite", "Cancel", nullptr,
        juce::ModalCallbackFunction::create([answer](int button) { answer(button != 0); }));
}

void NativeEditorDialogs::confirmReplaceReadOnly(const juce::File& file, YesNoAnswer answer)
{
    juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::QuestionIcon, "File is read-only",
        file.getFullPathName() + " is marked read-only.\n\nDo you want to replace it anyway?", "Replace",
        "Cancel", nullptr,
        juce::ModalCallbackFunction::create([answer](int button) { answer(button != 0); }));
}

void NativeEditorDialogs::askYesNo(const juce::String& title, const juce::String& question,
                                   const juce::String& yes, const juce::String& no, YesNoAnswer answer)
{
    auto* box = new juce::AlertWindow(title, question, juce::MessageBoxIconType::QuestionIcon);
    box->addButton(yes, 1, juce::KeyPress(juce::KeyPress::returnKey));
    box->addButton(no, 0, juce::KeyPress(juce::KeyPress::escapeKey));
    box->enterModalState(
        true, juce::ModalCallbackFunction::create([answer](int button) { answer(button != 0); }), true);
}

void NativeEditorDialogs::showMessage(const juce::String& title, const juce::String& text)
{
    // "Keyboard Problem", "File Problem": a problem is shown with the warning sign, anything else as news.
    const auto icon = title.endsWith("Problem") ? juce::MessageBoxIconType::WarningIcon
                                                : juce::MessageBoxIconType::InfoIcon;
    juce::AlertWindow::showMessageBoxAsync(icon, title, text, "ok");
}

void NativeEditorDialogs::askBeforeClosing(const juce::String& title, const juce::String& what,
                                           bool offerSend, std::function<void(CloseChoice)> answer)
{
    auto* box =
        new juce::AlertWindow(title, what + "\n\nWhat should happen to them before the editor closes?",
                              juce::MessageBoxIconType::QuestionIcon);
    if (offerSend)
        box->addButton("Send", 1);
    box->addButton("Save...", 2);
    // Ctrl+D (Cmd+D on a Mac) is the usual key for not keeping changes.
    box->addButton("Discard", 3, juce::KeyPress('d', juce::ModifierKeys::commandModifier, 0));
    box->addButton("Cancel", 0, juce::KeyPress(juce::KeyPress::escapeKey));
    box->enterModalState(true,
                         juce::ModalCallbackFunction::create(
                             [answer](int button)
                             {
                                 switch (button)
                                 {
                                 case 1:
                                     return answer(CloseChoice::send);
                                 case 2:
                                     return answer(CloseChoice::save);
                                 case 3:
                                     return answer(CloseChoice::discard);
                                 default:
                                     return answer(CloseChoice::cancel);
                                 }
                             }),
                         true);
}
