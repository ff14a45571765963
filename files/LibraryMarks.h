#pragma once

#include <juce_core/juce_core.h>

#include <functional>
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

    /** What came of moving marks together with a file. */
    enum class Move
    {
        done,
        fileFailed,  // the file's part failed: the marks are as they were
        marksRefused // the marks could not be changed (busy, or their file cannot be written): nothing was
                     // done
    };
    /** Moves a setup's marks to its new file name as one change with the file's own part (removing the old
        file), which runs while every program's changes to the marks wait: none can come between, see the
        old file gone and drop its marks. When the marks file cannot be read there is nothing to carry and
        only the file's part runs. */
    Move movedWith(const juce::String& oldName, const juce::String& newName,
                   const std::function<bool()>& fileChange);

    /** Reads the file again; false when it is unchanged since the last read. */
    bool reload();
    juce::File getFile() const { return file; }
    /** Why the marks file cannot be used, as of its last reading; empty while it can (or is not there).
        Such a file is never written over: the favourites in it may still be saved by hand. */
    juce::String problem() const;

    /** One mark takes about 80 bytes: 2 MB keeps the marks of 25,000 setups. */
    static constexpr juce::int64 maxFileSize = 2 * 1024 * 1024;

    struct Mark
    {
        bool favourite = false;
        juce::int64 used = 0;
    };
    using Marks = std::map<juce::String, Mark>;
    /** Every mark at once, for sorting a long list without a lock per setup. */
    Marks all() const;
    /** The marks a file's bytes hold; nothing when they are not a marks document. */
    static std::optional<Marks> parse(const void* data, size_t size);

private:
    /** Nothing when the file is there but cannot be read: then it is never written over. Sets the problem
        (call with the lock held). */
    std::optional<Marks> readFile();
    bool writeFile(const Marks& toWrite) const;
    /** Re-reads, applies the change and writes, holding the lock file in the library's folder that every
        program changing the marks takes; false when the change could not be made. */
    bool change(const std::function<void(Marks&)>& edit);

    const juce::File file;
    mutable std::mutex lock;
    Marks marks;
    juce::String unusable;
};
