#include "EditorDialogs.h"

std::optional<juce::File> NativeEditorDialogs::chooseFileToOpen(const juce::String& title,
                                                                const juce::File& startFolder,
                                                                const juce::String& pattern)
{
    juce::FileChooser chooser(title, startFolder, pattern, true);
    if (chooser.browseForFileToOpen())
        return chooser.getResult();
    return std::nullopt;
}

std::optional<juce::File> NativeEditorDialogs::chooseFileToSave(const juce::String& title,
                                                                const juce::File& proposedFile,
                                                                const juce::String& pattern)
{
    juce::FileChooser chooser(title, proposedFile, pattern, true);
    if (chooser.browseForFileToSave(true))
        return chooser.getResult();
    return std::nullopt;
}

bool NativeEditorDialogs::confirmOverwrite(const juce::File& file)
{
    return juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::QuestionIcon, "File already exists",
                                              "There's already a file called: " + file.getFullPathName() +
                                                  "\n\nAre you sure you want to overwrite it?",
                                              "Overwrite", "Cancel");
}

bool NativeEditorDialogs::confirmReplaceReadOnly(const juce::File& file)
{
    return juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::QuestionIcon, "File is read-only",
        file.getFullPathName() + " is marked read-only.\n\nDo you want to replace it anyway?", "Replace",
        "Cancel");
}

void NativeEditorDialogs::showMessage(const juce::String& title, const juce::String& text)
{
    juce::AlertWindow::showMessageBoxAsync(juce::MessageBoxIconType::InfoIcon, title, text, "ok");
}

EditorDialogs::CloseChoice NativeEditorDialogs::askBeforeClosing(const juce::String& what)
{
    juce::AlertWindow box("Unsaved changes",
                          what + "\n\nWhat should happen to them before the editor closes?",
                          juce::MessageBoxIconType::QuestionIcon);
    box.addButton("Send", 1);
    box.addButton("Save...", 2);
    box.addButton("Discard", 3);
    box.addButton("Cancel", 0, juce::KeyPress(juce::KeyPress::escapeKey));
    switch (box.runModalLoop())
    {
    case 1:
        return CloseChoice::send;
    case 2:
        return CloseChoice::save;
    case 3:
        return CloseChoice::discard;
    default:
        return CloseChoice::cancel;
    }
}
