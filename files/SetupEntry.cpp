#include "SetupEntry.h"

juce::String SetupEntry::displayTitle() const
{
    return info.title.isNotEmpty()
               ? info.title
               : juce::File::createFileWithoutCheckingPath(fileName).getFileNameWithoutExtension();
}

void SetupEntry::makeHaystack()
{
    haystack = searchForm(info.title + "\n" + info.tags.joinIntoString("\n") + "\n" + info.description +
                          "\n" + fileName.upToLastOccurrenceOf(".", false, false) + "\n" + names);
}

std::string SetupEntry::searchForm(const juce::String& text)
{
    return text.toLowerCase().toStdString();
}
