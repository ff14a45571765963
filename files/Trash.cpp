#include "Trash.h"

#include "SafeFileWriter.h"
#include "UserFolders.h"

namespace Trash
{
#if JUCE_LINUX
bool moveToTrash(const juce::File& file, juce::String& problem)
{
    if (!file.exists())
        return true;
    const auto trash = UserFolders::dataHome().getChildFile("Trash");
    const auto files = trash.getChildFile("files"), info = trash.getChildFile("info");
    if (!files.createDirectory() || !info.createDirectory())
    {
        problem = "the trash folder " + trash.getFullPathName() + " cannot be made";
        return false;
    }
    // The restore information is made first, under a name no other trashed file has: it claims the name.
    juce::File infoFile, trashed;
    for (int n = 1;; ++n)
    {
        const auto name = file.getFileNameWithoutExtension() +
                          (n > 1 ? " " + juce::String(n) : juce::String()) + file.getFileExtension();
        infoFile = info.getChildFile(name + ".trashinfo");
        trashed = files.getChildFile(name);
        // Made only when no other program has made it: the name is this file's from now on.
        if (!trashed.exists() && SafeFileWriter::createNew(infoFile))
        {
            if (!trashed.exists())
                break;
            infoFile.deleteFile();
        }
        if (n > 10000)
        {
            problem = "the trash holds too many files of this name";
            return false;
        }
    }
    const auto path = juce::URL::addEscapeChars(file.getFullPathName(), false).replace("%2F", "/");
    const auto text = "[Trash Info]\nPath=" + path +
                      "\nDeletionDate=" + juce::Time::getCurrentTime().formatted("%Y-%m-%dT%H:%M:%S") + "\n";
    if (!infoFile.replaceWithText(text, false, false, "\n"))
    {
        problem = "the trash's restore information cannot be written";
        return false;
    }
    if (!file.moveFileTo(trashed))
    {
        infoFile.deleteFile();
        problem = "the file cannot be moved to " + files.getFullPathName();
        return false;
    }
    return true;
}
#else
bool moveToTrash(const juce::File& file, juce::String& problem)
{
    if (file.moveToTrash())
        return true;
    problem = "the file cannot be moved to the trash";
    return false;
}
#endif
} // namespace Trash
