#include "FileGate.h"

#if !JUCE_WINDOWS
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileGate
{
namespace
{
Read refuse(Refusal why, const juce::String& reason)
{
    Read r;
    r.refusal = why;
    r.reason = reason;
    return r;
}

Read tooLarge(const Limits& limits, juce::int64 size)
{
    return refuse(Refusal::tooLarge,
                  "the file is far larger than " + juce::String(limits.what) +
                      (size > 0 ? " (" + juce::File::descriptionOfSizeInBytes(size) + ")" : juce::String()));
}
} // namespace

#if !JUCE_WINDOWS
Read readBytes(const juce::File& file, const Limits& limits)
{
    // Opened without blocking and checked before any read: a FIFO without a writer or a device would
    // otherwise hold the caller forever.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (limits.followLinks ? 0 : O_NOFOLLOW);
    const int fd = open(file.getFullPathName().toRawUTF8(), flags);
    if (fd < 0)
    {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return refuse(Refusal::missing, "the file does not exist");
        if (error == ELOOP && !limits.followLinks)
            return refuse(Refusal::notRegular, "it is a link, not a regular file");
        if (error == EACCES)
            return refuse(Refusal::noPermission, "there is no permission to read it");
        return refuse(Refusal::failed, "the file could not be opened: " + juce::String(strerror(error)));
    }
    struct Closer
    {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};

    struct stat st;
    if (fstat(fd, &st) != 0)
        return refuse(Refusal::failed, "the file could not be opened");
    if (S_ISDIR(st.st_mode))
        return refuse(Refusal::folder, "it is a folder, not a file");
    if (!S_ISREG(st.st_mode))
        return refuse(Refusal::notRegular, "it is not a regular file");
    if (st.st_size > limits.maxBytes)
        return tooLarge(limits, st.st_size);

    // Reads at most one byte past the cap, in case the file grew since its size was taken. The buffer starts
    // at the size taken (plus one byte, to see growth) and grows to the cap only for a file that grew.
    const auto cap = (size_t)limits.maxBytes;
    Read r;
    auto& bytes = r.bytes;
    bytes.setSize((size_t)st.st_size + 1);
    size_t got = 0;
    for (;;)
    {
        if (got == bytes.getSize())
        {
            if (bytes.getSize() > cap)
                break;
            bytes.setSize(cap + 1);
        }
        const auto n = read(fd, static_cast<char*>(bytes.getData()) + got, bytes.getSize() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(Refusal::failed, "the file could not be read: " + juce::String(strerror(errno)));
        if (n == 0)
            break;
        got += (size_t)n;
    }
    if (got > cap)
        return tooLarge(limits, 0);
    bytes.setSize(got);
    r.refusal = Refusal::none;
    return r;
}
#else
Read readBytes(const juce::File& file, const Limits& limits)
{
    // Windows has no FIFOs in the file system, and its devices are not files that exist.
    if (!limits.followLinks && file.isSymbolicLink())
        return refuse(Refusal::notRegular, "it is a link, not a regular file");
    if (file.isDirectory())
        return refuse(Refusal::folder, "it is a folder, not a file");
    if (!file.existsAsFile())
        return refuse(Refusal::missing, "the file does not exist");
    if (file.getSize() > limits.maxBytes)
        return tooLarge(limits, file.getSize());
    juce::FileInputStream in(file);
    if (!in.openedOk())
        return refuse(Refusal::failed, "the file could not be opened: " + in.getStatus().getErrorMessage());
    Read r;
    in.readIntoMemoryBlock(r.bytes, (ssize_t)limits.maxBytes + 1);
    if ((juce::int64)r.bytes.getSize() > limits.maxBytes)
        return tooLarge(limits, 0);
    r.refusal = Refusal::none;
    return r;
}
#endif
} // namespace FileGate
