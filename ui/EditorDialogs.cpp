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

void NativeEditorDialogs::showMessage(const juce::String& title, const juce::String& text)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, title, text, "ok");
}
