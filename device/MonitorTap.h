#pragma once

#include "MonitorHistory.h"

#include <atomic>
#include <memory>
#include <mutex>

/** Where the link hands every message to and from the keyboard to a monitor, while one is open. With none
    attached it costs one relaxed atomic load per message; with one, a short lock around the history's
    copy, which the message thread takes only to attach or detach. Times count from the attaching. */
class MonitorTap
{
public:
    /** From now on every message goes to the history too; nullptr stops that. */
    void attach(std::shared_ptr<MonitorHistory> history)
    {
        std::lock_guard<std::mutex> g(lock);
        target = std::move(history);
        start = juce::Time::getMillisecondCounterHiRes();
        on.store(target != nullptr, std::memory_order_relaxed);
    }

    bool isOn() const noexcept { return on.load(std::memory_order_relaxed); }

    /** Any thread. */
    void record(MonitorDirection direction, const juce::MidiMessage& message) noexcept
    {
        if (!on.load(std::memory_order_relaxed))
            return;
        std::lock_guard<std::mutex> g(lock);
        if (target != nullptr)
            target->add((juce::Time::getMillisecondCounterHiRes() - start) / 1000.0, direction, message);
    }

private:
    std::atomic<bool> on{false};
    std::mutex lock;
    std::shared_ptr<MonitorHistory> target;
    double start = 0.0;
};
