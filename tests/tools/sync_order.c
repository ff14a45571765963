/* Preloaded into a program under test (LD_PRELOAD), records in the file named by QUILLET_SYNC_LOG every
   fsync (with the path of what was synced) and every rename, in the order they happen, so that a test can
   see that a file reaches the disk before its rename makes it the target, and the folder after. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static void note(const char* what, const char* first, const char* second)
{
    const char* log = getenv("QUILLET_SYNC_LOG");
    if (log == NULL)
        return;
    FILE* f = fopen(log, "a");
    if (f == NULL)
        return;
    fprintf(f, "%s %s%s%s\n", what, first, second != NULL ? " " : "", second != NULL ? second : "");
    fclose(f);
}

int fsync(int fd)
{
    static int (*real)(int) = NULL;
    if (real == NULL)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    path[n > 0 ? n : 0] = 0;
    note("fsync", path, NULL);
    return real(fd);
}

int rename(const char* from, const char* to)
{
    static int (*real)(const char*, const char*) = NULL;
    if (real == NULL)
        real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    const int result = real(from, to);
    if (result == 0)
        note("rename", from, to);
    return result;
}
