#pragma once

#include <juce_events/juce_events.h>

#include <functional>

/** Runs this thread's message loop (the scan's timers, queued updates) until the condition holds; false when
    the time ran out first. For a thread that owns the message loop and waits: the command-line tool and the
    tests. */
inline bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    auto* mm = juce::MessageManager::getInstance();
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;
    while (!condition())
    {
        if ((int)(deadline - juce::Time::getMillisecondCounter()) <= 0)
            return condition();
        mm->runDispatchLoopUntil(5);
    }
    return true;
}
