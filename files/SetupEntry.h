#pragma once

#include "SetupInfo.h"

#include <bitset>
#include <string>

/** One setup of the library as listed: what it is called and carries, without its values. */
struct SetupEntry
{
    juce::String fileName;              // inside the library's folder
    juce::int64 size = 0, modified = 0; // modified: nanoseconds, as the file system keeps it
    SetupInfo info;
    juce::String names;         // the user names given to controls, one per line
    std::bitset<128> differing; // the controls whose values differ from the factory configuration
    juce::String problem;       // why the file cannot be used; empty for a setup
    std::string haystack;       // what the search looks in, in lower case
    int order = 0;              // place in the list sorted by title

    bool isUsable() const { return problem.isEmpty(); }
    /** The title, else the file name without its extension. */
    juce::String displayTitle() const;
    /** Builds the search text from the parts above. */
    void makeHaystack();
    /** Text as the search compares it. */
    static std::string searchForm(const juce::String& text);
};

/** What the library's list shows: the words typed (every one must be found, in any order, in a setup's
    title, tags, description, file name or control names), a tag, favourites only. */
struct LibraryQuery
{
    juce::String text, tag;
    bool favouritesOnly = false;
};
