#pragma once

#include "MonitorHistory.h"

#include <atomic>
#include <memory>
#include <mutex>

/** Where the link hands every message to and from the keyboard to a monitor, while one is open. With none
    attached it costs one relaxed atomic load per message; with one, a short lock around the history's
    copy, which the message thread takes only to attach or detach. Times count from the attaching. Each
    message is marked with the port it went through, by a small number whose name portName gives. */
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

    /** The keyboard's ports, named on the messages from now on (a keyboard found again may be on others). */
    void setPorts(const juce::String& input, const juce::String& output)
    {
        std::lock_guard<std::mutex> g(lock);
        inputPort = numberOf(input);
        outputPort = numberOf(output);
    }

    /** The name of a port by the number on a line; empty for one never named. */
    juce::String portName(juce::uint8 port) const
    {
        std::lock_guard<std::mutex> g(lock);
        return port < names.size() ? names[(int)port] : juce::String();
    }

    /** Any thread. */
    void record(MonitorDirection direction, const juce::MidiMessage& message) noexcept
    {
        if (!on.load(std::memory_order_relaxed))
            return;
        std::lock_guard<std::mutex> g(lock);
        if (target != nullptr)
            target->add((juce::Time::getMillisecondCounterHiRes() - start) / 1000.0, direction, message,
                        direction == MonitorDirection::fromKeyboard ? inputPort : outputPort);
    }

private:
    /** Number 0 is no port; the names are few (a keyboard's two, again when it comes back elsewhere), and
        past 255 the last number is reused rather than the table growing without end. */
    juce::uint8 numberOf(const juce::String& name)
    {
        if (names.isEmpty())
            names.add({});
        const int found = names.indexOf(name);
        if (found >= 0)
            return (juce::uint8)found;
        if (names.size() < 256)
            names.add(name);
        else
            names.set(255, name);
        return (juce::uint8)(names.size() - 1);
    }

    std::atomic<bool> on{false};
    mutable std::mutex lock;
    std::shared_ptr<MonitorHistory> target;
    double start = 0.0;
    juce::StringArray names;
    juce::uint8 inputPort = 0, outputPort = 0;
};
