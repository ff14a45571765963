#pragma once

#include <juce_core/juce_core.h>

/** What came of writing a settings file, a chart or a .syx file. */
struct FileWriteResult
{
    bool ok = false;
    juce::String message; // why it failed, empty on success
    /** The target is a read-only file and was left alone; the caller may ask and write again. */
    bool readOnly = false;
};

/** Whether a save may replace a file that is marked read-only. */
enum class ReadOnlyFiles
{
    refuse,
    replace
};

/** Replaces a file's contents so that the old file keeps every byte unless the new one is complete.

    The toolkit's own writers drop the result of a short write, so on a full disk they rename a truncated
    file over a good one; they also replace a folder at the path, a symbolic link and the file's permissions.
    This writer writes a temporary file beside the target, checks every write and the final size, syncs it
    and only then renames it over the target. It refuses folders and special files, writes through a
    symbolic link to its target, keeps the old file's permissions (and owner where it can), and never leaves
    the temporary file behind. */
namespace SafeFileWriter
{
/** Makes an empty file only when no file of that name exists, in one step that two programs cannot both
    win: the way to claim a new name before writing it. */
bool createNew(const juce::File& file);

FileWriteResult replaceFileContents(const juce::File& target, const void* data, size_t size,
                                    ReadOnlyFiles readOnly = ReadOnlyFiles::refuse);
} // namespace SafeFileWriter
