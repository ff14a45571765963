#include "LibraryRefresh.h"

LibraryRefresh::LibraryRefresh(SetupLibrary& l) : juce::Thread("Library refresh"), library(l) {}

LibraryRefresh::~LibraryRefresh()
{
    // A refresh cannot be cut short; waiting for it beats killing a thread that holds the library's lock.
    stopThread(-1);
    cancelPendingUpdate();
}

void LibraryRefresh::startIfNeeded()
{
    if (!isThreadRunning())
        startThread(juce::Thread::Priority::low);
}

void LibraryRefresh::request()
{
    ++asked;
    requested = true;
    startIfNeeded();
    notify();
}

void LibraryRefresh::watch(bool on)
{
    watching = on;
    if (on)
        startIfNeeded();
    notify();
}

void LibraryRefresh::run()
{
    while (!threadShouldExit())
    {
        // The look at the disk is made here too: a folder on a slow drive must not stall the window.
        // Read after the flag is taken: the refresh that follows starts after every request counted.
        const bool wanted = requested.exchange(false);
        const int covering = asked;
        if (wanted || (watching && library.changedOnDisk()))
        {
            library.refresh();
            covered = covering;
            triggerAsyncUpdate();
        }
        if (!requested)
            wait(watching ? watchIntervalMs : -1);
    }
}

void LibraryRefresh::handleAsyncUpdate()
{
    told = covered;
    if (onRefreshed)
        onRefreshed();
}
