// Measures one run of a program from the outside, for bench/compare.sh:
//   process_probe window SETTLE_S IDLE_S -- PROGRAM ARGS...
//     exec to the first window mapped on the X display, then the context switches of all the program's
//     threads and its CPU time over IDLE_S seconds, starting SETTLE_S seconds after the window appeared;
//     then SIGINT (SIGKILL if it lingers) and its peak resident memory.
//   process_probe process -- PROGRAM ARGS...
//     the whole process: wall time, CPU time and peak resident memory.
// Prints one line of name=value pairs.
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

pid_t launch(char** argv)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        // The program's own output would disturb the measurement's: it goes nowhere.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[0], argv);
        _exit(127);
    }
    return pid;
}

/** Voluntary plus involuntary context switches of every thread of the process. */
long contextSwitches(pid_t pid)
{
    long total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str()))
    {
        while (const dirent* entry = readdir(dir))
        {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream status(tasks + "/" + entry->d_name + "/status");
            std::string line;
            while (std::getline(status, line))
                if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                    line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                    total += std::atol(line.c_str() + line.find(':') + 1);
        }
        closedir(dir);
    }
    return total;
}

/** User plus system CPU time of the process so far, in milliseconds. */
double cpuMs(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    // Fields after the name: state is field 3; utime and stime are fields 14 and 15.
    const char* p = text.c_str() + close + 2;
    unsigned long utime = 0, stime = 0;
    for (int field = 3; field < 14; ++field)
        p = std::strchr(p, ' ') + 1;
    std::sscanf(p, "%lu %lu", &utime, &stime);
    return 1000.0 * double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

struct rusage stopAndReap(pid_t pid, bool politely)
{
    struct rusage usage
    {
    };
    int status = 0;
    if (politely)
    {
        kill(pid, SIGINT);
        for (int i = 0; i < 300; ++i)
        {
            if (wait4(pid, &status, WNOHANG, &usage) == pid)
                return usage;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    kill(pid, SIGKILL);
    wait4(pid, &status, 0, &usage);
    return usage;
}

int measureWindow(double settleS, double idleS, char** argv)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        std::fprintf(stderr, "process_probe: no X display\n");
        return 2;
    }
    // Without a window manager a new top-level window's MapNotify reaches the root's substructure listeners.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t pid = launch(argv);
    double startupMs = -1;
    while (startupMs < 0)
    {
        if (XPending(display) == 0)
        {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
            {
                std::fprintf(stderr, "process_probe: %s ended before showing a window\n", argv[0]);
                return 1;
            }
            if (msSince(start) > 30000)
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            startupMs = msSince(start);
    }
    XCloseDisplay(display);

    std::this_thread::sleep_for(std::chrono::duration<double>(settleS));
    const long switchesBefore = contextSwitches(pid);
    const double cpuBefore = cpuMs(pid);
    std::this_thread::sleep_for(std::chrono::duration<double>(idleS));
    const long switches = contextSwitches(pid) - switchesBefore;
    const double idleCpu = cpuMs(pid) - cpuBefore;

    const auto usage = stopAndReap(pid, true);
    std::printf("startup_ms=%.1f idle_switches_per_s=%.1f idle_cpu_ms_per_s=%.2f peak_rss_kb=%ld\n",
                startupMs, double(switches) / idleS, idleCpu / idleS, usage.ru_maxrss);
    return startupMs < 0 ? 1 : 0;
}

int measureProcess(char** argv)
{
    const auto start = Clock::now();
    const pid_t pid = launch(argv);
    struct rusage usage
    {
    };
    int status = 0;
    wait4(pid, &status, 0, &usage);
    const double wallMs = msSince(start);
    const double cpu = 1000.0 * double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    std::printf("wall_ms=%.2f cpu_ms=%.2f peak_rss_kb=%ld exit=%d\n", wallMs, cpu, usage.ru_maxrss,
                WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 6 && std::strcmp(argv[1], "window") == 0 && std::strcmp(argv[4], "--") == 0)
        return measureWindow(std::atof(argv[2]), std::atof(argv[3]), argv + 5);
    if (argc >= 4 && std::strcmp(argv[1], "process") == 0 && std::strcmp(argv[2], "--") == 0)
        return measureProcess(argv + 3);
    std::fprintf(stderr, "usage: process_probe window SETTLE_S IDLE_S -- PROGRAM ARGS...\n"
                         "       process_probe process -- PROGRAM ARGS...\n");
    return 64;
}
