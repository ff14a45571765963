#pragma once

#include "files/SetupLibrary.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

/** Reads the library's folder again on a thread of its own: the first reading of a large library parses
    every file and takes seconds, which the message thread must never wait for. While watching, it also
    looks every two seconds whether the folder or its marks changed on disk, and reads them again when so.
    What it finishes is told on the message thread. */
class LibraryRefresh : private juce::Thread, private juce::AsyncUpdater
{
public:
    explicit LibraryRefresh(SetupLibrary& library);
    /** Waits for a refresh under way to end. */
    ~LibraryRefresh() override;

    /** Reads the folder again soon; requests made while a refresh runs make one more after it. */
    void request();
    /** Looks for changes on disk every two seconds while on (the library's window is open). */
    void watch(bool on);

    /** True from a request until its refresh has ended and been told (message thread). */
    bool isPending() const { return told < asked; }

    /** Called on the message thread after each refresh has ended. */
    std::function<void()> onRefreshed;

    static constexpr int watchIntervalMs = 2000;

private:
    void run() override;
    void handleAsyncUpdate() override;
    void startIfNeeded();

    SetupLibrary& library;
    std::atomic<bool> requested{false}, watching{false};
    // Requests counted, the last one a finished refresh covered, the last one told.
    std::atomic<int> asked{0}, covered{0};
    int told = 0;

    JUCE_DECLARE_NON_COPYABLE(LibraryRefresh)
};
