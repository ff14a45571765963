#pragma once

#include <csignal>
#include <sys/resource.h>

/** Lets this process's files grow to at most the given size while it lives, as a nearly full disk would.
    SIGXFSZ is ignored meanwhile, so a write past the limit fails (EFBIG) instead of ending the process. */
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        auto limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
    }

private:
    rlimit saved{};
    void (*savedHandler)(int) = SIG_DFL;
};
