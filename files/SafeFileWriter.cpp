#include "SafeFileWriter.h"

#include <algorithm>
#include <string>

#if JUCE_WINDOWS
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#if JUCE_LINUX
#include <sys/vfs.h>
#endif
#endif

namespace SafeFileWriter
{
bool createNew(const juce::File& file)
{
#if JUCE_WINDOWS
    const int fd = _wopen(file.getFullPathName().toWideCharPointer(), _O_WRONLY | _O_CREAT | _O_EXCL,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return false;
    _close(fd);
#else
    const int fd = open(file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    close(fd);
#endif
    return true;
}

namespace
{
FileWriteResult failure(const juce::String& why, bool readOnly = false)
{
    return {false, why, readOnly};
}

/** A hidden name beside the target's, for its temporary file: a new one at each call. One generator per
    thread: the toolkit's shared one is not safe to call from two threads at once. */
std::string temporaryNameFor(const std::string& name)
{
    thread_local juce::Random random;
    return "." + name + "." + juce::String::toHexString(random.nextInt()).toStdString() + ".tmp";
}
} // namespace

#if !JUCE_WINDOWS
namespace
{
juce::String reasonFor(int error)
{
    switch (error)
    {
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case EFBIG:
        return "the file would be larger than the system allows";
    case EROFS:
        return "the disk is read-only";
    case EACCES:
    case EPERM:
        return "there is no permission to write there";
    case ENOENT:
    case ENOTDIR:
        return "the folder does not exist";
    case EIO:
        return "the disk reported an error";
    default:
        return juce::String(strerror(error)).toLowerCase();
    }
}

FileWriteResult errnoFailure(int error)
{
    return failure(reasonFor(error));
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/** True for a folder of one of the kernel's own file systems (/proc, /sys and their kind): it exists, but
    no file can be created in it (proc answers that the file does not exist, sysfs that it may not). */
bool isKernelFileSystem(const std::string& folder)
{
#if JUCE_LINUX
    struct statfs fs;
    if (statfs(folder.c_str(), &fs) != 0)
        return false;
    switch ((unsigned long)fs.f_type)
    {
    case 0x9FA0UL:     // proc
    case 0x62656572UL: // sysfs
    case 0x64626720UL: // debugfs
    case 0x74726163UL: // tracefs
    case 0x27E0EBUL:   // cgroup
    case 0x63677270UL: // cgroup2
    case 0x73636673UL: // securityfs
        return true;
    default:
        return false;
    }
#else
    juce::ignoreUnused(folder);
    return false;
#endif
}

/** Follows symbolic links to the path that is finally written, so that a link stays a link and its target
    gets the new contents. A dangling link resolves to the file it names. */
bool resolveLinks(std::string& path, int& error)
{
    for (int hops = 0; hops < 40; ++hops)
    {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char buffer[PATH_MAX];
        const auto n = readlink(path.c_str(), buffer, sizeof(buffer) - 1);
        if (n < 0)
        {
            error = errno;
            return false;
        }
        const std::string link(buffer, (size_t)n);
        path = link[0] == '/' ? link : folderOf(path) + "/" + link;
    }
    error = ELOOP;
    return false;
}

bool writeAll(int fd, const char* data, size_t size, int& error)
{
    while (size > 0)
    {
        const auto n = ::write(fd, data, size);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0)
        {
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= (size_t)n;
    }
    return true;
}

/** Writes the temporary file completely and durably, with the given permissions; false and errno's reason
    on any failure. */
bool fillTemporary(int fd, const void* data, size_t size, const struct stat* old, int& error)
{
    if (!writeAll(fd, static_cast<const char*>(data), size, error))
        return false;
    if (fsync(fd) != 0)
    {
        error = errno;
        return false;
    }
    struct stat written;
    if (fstat(fd, &written) != 0 || written.st_size != (off_t)size)
    {
        error = EIO;
        return false;
    }
    if (old != nullptr)
    {
        // Another owner can only be kept by a privileged user; the permissions can always be kept.
        [[maybe_unused]] const int ignored = fchown(fd, old->st_uid, old->st_gid);
        if (fchmod(fd, old->st_mode & 07777) != 0)
        {
            error = errno;
            return false;
        }
    }
    return true;
}
} // namespace

FileWriteResult replaceFileContents(const juce::File& target, const void* data, size_t size,
                                    ReadOnlyFiles readOnly)
{
    std::string path = target.getFullPathName().toStdString();
    int error = 0;
    if (!resolveLinks(path, error))
        return errnoFailure(error);

    const auto folder = folderOf(path);
    if (isKernelFileSystem(folder))
        return failure("the folder belongs to the system's own file system (as /proc and /sys do), where no "
                       "file can be saved");

    struct stat old;
    const bool exists = stat(path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return errnoFailure(errno);
    if (exists)
    {
        if (S_ISDIR(old.st_mode))
            return failure("a folder of that name is in the way");
        if (!S_ISREG(old.st_mode))
            return failure("it is not a regular file");
        // Root may write anywhere, so the permission bits tell what the user meant.
        const bool isReadOnly = (old.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
        if (isReadOnly && readOnly == ReadOnlyFiles::refuse)
            return failure("the file is read-only", true);
    }

    struct stat folderStat;
    if (stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode))
        return failure("the folder does not exist");

    // A hidden name beside the target keeps the rename on one file system.
    const auto name = path.substr(path.find_last_of('/') + 1);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt)
    {
        temporary = folder + "/" + temporaryNameFor(name);
        // A new file gets the usual permissions (0666 less the umask); an old file's are restored below.
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return errnoFailure(errno);
    }
    if (fd < 0)
        return errnoFailure(EEXIST);

    bool ok = fillTemporary(fd, data, size, exists ? &old : nullptr, error);
    if (close(fd) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        unlink(temporary.c_str());
        return errnoFailure(error);
    }

    // The rename itself reaches the disk only when the folder is synced.
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0)
    {
        fsync(folderFd);
        close(folderFd);
    }
    return {true, {}};
}

#else

FileWriteResult replaceFileContents(const juce::File& target, const void* data, size_t size,
                                    ReadOnlyFiles readOnly)
{
    const auto file = target.isSymbolicLink() ? target.getLinkedTarget() : target;
    if (file.isDirectory())
        return failure("a folder of that name is in the way");
    if (!file.getParentDirectory().isDirectory())
        return failure("the folder does not exist");
    if (file.existsAsFile() && !file.hasWriteAccess())
    {
        if (readOnly == ReadOnlyFiles::refuse)
            return failure("the file is read-only", true);
        file.setReadOnly(false);
    }

    // The temporary's name is claimed by creating it, beside the target so that the rename stays on one
    // volume: two saves at one moment, in one program or two, never write into one temporary.
    juce::File temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt)
    {
        temporary = file.getSiblingFile(
            juce::String::fromUTF8(temporaryNameFor(file.getFileName().toStdString()).c_str()));
        handle = CreateFileW(temporary.getFullPathName().toWideCharPointer(), GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return failure("there is no permission to write there");
    }
    if (handle == INVALID_HANDLE_VALUE)
        return failure("no temporary file could be made beside it");

    // Written whole and flushed to the disk before it takes the target's place.
    bool written = true;
    for (size_t done = 0; written && done < size;)
    {
        const auto chunk = (DWORD)std::min<size_t>(size - done, 1u << 30);
        DWORD wrote = 0;
        written = WriteFile(handle, static_cast<const char*>(data) + done, chunk, &wrote, nullptr) != 0 &&
                  wrote == chunk;
        done += wrote;
    }
    written = written && FlushFileBuffers(handle) != 0;
    written = CloseHandle(handle) != 0 && written;
    if (!written)
    {
        temporary.deleteFile();
        return failure("the disk is full");
    }
    // Renamed over the target in one step, never deleting it first: the target is there, old or new, at
    // every moment, so a name claimed with createNew stays claimed while it is written. A reader holding
    // the file open (or another save renaming over it) can refuse the rename for a moment: it is tried again,
    // soon at first, for about three seconds in all.
    for (int attempt = 0;; ++attempt)
    {
        if (MoveFileExW(temporary.getFullPathName().toWideCharPointer(),
                        file.getFullPathName().toWideCharPointer(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
            return {true, {}};
        if (attempt == 40)
        {
            temporary.deleteFile();
            return failure("the file could not be replaced");
        }
        juce::Thread::sleep(std::min(10 * (attempt + 1), 100));
    }
}

#endif
} // namespace SafeFileWriter
