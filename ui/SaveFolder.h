#pragma once

#include "EditorDialogs.h"

#include <memory>
#include <optional>

/** Where one kind of file is saved: the folder last chosen for it in this run, the documents folder at first
    (home when there is none), proposed by its save dialog and remembered from the file picked. */
class SaveFolder
{
public:
    explicit SaveFolder(EditorDialogs& d) : dialogs(d) {}

    /** Asks where to save, proposing the name in the folder, inside a folder of its own when one is given
        (as Live reads a map); picked is told the file, or nothing on cancel. A folder of its own kept as
        proposed is not remembered itself: the next one is proposed beside it, not inside it. */
    void choose(const juce::String& title, const juce::String& ownFolder, const juce::String& proposedName,
                const juce::String& pattern, EditorDialogs::FileAnswer picked);
    juce::File folder() const { return last->value_or(documentsFolder()); }
    void remember(const juce::File& chosen) { *last = chosen; }

private:
    static juce::File documentsFolder();

    EditorDialogs& dialogs;
    // Shared with the dialog's answer, which may come after the folder's owner has gone.
    std::shared_ptr<std::optional<juce::File>> last = std::make_shared<std::optional<juce::File>>();

    JUCE_DECLARE_NON_COPYABLE(SaveFolder)
};
