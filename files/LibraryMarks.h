#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <mutex>
#include <optional>

/** What the library keeps about its setups beyond the files: favourites and when each was last used.
    Kept in a small file in the library's folder, read again before every change and merged, so two
    editors, or an editor and the tool, changing it at once lose nothing. */
class LibraryMarks
{
public:
    explicit LibraryMarks(const juce::File& folder);
    static constexpr const char* fileName = ".quillet-marks.xml";
    static constexpr const char* lockFileName = ".quillet-marks.lock";

    bool isFavourite(const juce::String& setupFile) const;
    /** Milliseconds since 1970 of the last load or send; 0 for never. */
    juce::int64 lastUsed(const juce::String& setupFile) const;

    bool setFavourite(const juce::String& setupFile, bool favourite);
    bool markUsed(const juce::String& setupFile);
    /** Follows a setup to its new file name; forgets a setup that is gone (newName empty). */
    bool moved(const juce::String& oldName, const juce::String& newName);

    /** Reads the file again; false when it is unchanged since the last read. */
    bool reload();
    juce::File getFile() const { return file; }

    struct Mark
    {
        bool favourite = false;
        juce::int64 used = 0;
    };
    using Marks = std::map<juce::String, Mark>;
    /** Every mark at once, for sorting a long list without a lock per setup. */
    Marks all() const;

private:
    /** Nothing when the file is there but cannot be read: then it is never written over. */
    std::optional<Marks> readFile() const;
    /** Re-reads, applies the change and writes, holding the lock file in the library's folder that every
        program changing the marks takes; false when the change could not be made. */
    bool change(const std::function<void(Marks&)>& edit);

    const juce::File file;
    mutable std::mutex lock;
    Marks marks;
};
