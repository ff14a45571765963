#include "SaveFolder.h"

juce::File SaveFolder::documentsFolder()
{
    // A fresh account may have no documents folder yet: the dialogs then start at home.
    const auto documents = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
    return documents.isDirectory() ? documents
                                   : juce::File::getSpecialLocation(juce::File::userHomeDirectory);
}

void SaveFolder::choose(const juce::String& title, const juce::String& ownFolder,
                        const juce::String& proposedName, const juce::String& pattern,
                        EditorDialogs::FileAnswer picked)
{
    const auto in = ownFolder.isEmpty() ? folder() : folder().getChildFile(ownFolder);
    // A file in the folder, not the folder itself: given a folder, the toolkit proposes its name.
    dialogs.chooseFileToSave(
        title, in.getChildFile(proposedName), pattern,
        [remembered = last, ownFolder, picked = std::move(picked)](std::optional<juce::File> file)
        {
            if (file)
            {
                auto where = file->getParentDirectory();
                if (ownFolder.isNotEmpty() && where.getFileName() == ownFolder)
                    where = where.getParentDirectory();
                *remembered = where;
            }
            picked(file);
        });
}
