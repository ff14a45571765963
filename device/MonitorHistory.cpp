#include "MonitorHistory.h"

#include <algorithm>

MonitorHistory::MonitorHistory(int lineCapacity, int pendingMessages, int pendingByteCount)
    : capacity((size_t)std::max(1, lineCapacity)), maxPending((size_t)std::max(1, pendingMessages)),
      maxPendingBytes((size_t)std::max(16, pendingByteCount))
{
    // Both pairs are reserved whole now and swapped later, so adding never allocates.
    for (auto* v : {&pending, &draining})
        v->reserve(maxPending);
    for (auto* v : {&pendingBytes, &drainingBytes})
        v->reserve(maxPendingBytes);
}

bool MonitorHistory::add(double time, MonitorDirection direction, const juce::uint8* data, int size,
                         juce::uint8 port) noexcept
{
    const Lock::ScopedLockType g(pendingLock);
    ++receivedCount;
    if (data == nullptr || size <= 0)
        return true;
    if (pending.size() < maxPending && pendingBytes.size() + (size_t)size <= maxPendingBytes)
    {
        pending.push_back({time, direction, port, (int)pendingBytes.size(), size});
        pendingBytes.insert(pendingBytes.end(), data, data + size);
        return true;
    }
    ++droppedPending;
    return false;
}

juce::int64 MonitorHistory::dropped() const
{
    const Lock::ScopedLockType g(pendingLock);
    return droppedLines + droppedPending;
}

juce::int64 MonitorHistory::droppedWaiting() const
{
    const Lock::ScopedLockType g(pendingLock);
    return droppedPending;
}

juce::int64 MonitorHistory::received() const
{
    const Lock::ScopedLockType g(pendingLock);
    return receivedCount;
}

int MonitorHistory::drain(MonitorDecoder& decoder)
{
    {
        const Lock::ScopedLockType g(pendingLock);
        pending.swap(draining);
        pendingBytes.swap(drainingBytes);
    }
    for (const auto& p : draining)
    {
        const auto* bytes = drainingBytes.data() + p.offset;
        if (kept.size() < capacity)
        {
            kept.push_back(decoder.decode(p.time, p.direction, bytes, p.size));
            kept.back().port = p.port;
            continue;
        }
        decoder.decodeInto(kept[oldest], p.time, p.direction, bytes, p.size);
        kept[oldest].port = p.port;
        oldest = (oldest + 1) % capacity;
        ++droppedLines;
    }
    const int added = (int)draining.size();
    draining.clear();
    drainingBytes.clear();
    return added;
}

std::vector<MonitorLine> MonitorHistory::copyLines() const
{
    std::vector<MonitorLine> lines;
    lines.reserve(kept.size());
    for (int i = 0; i < size(); ++i)
        lines.push_back(line(i));
    return lines;
}

void MonitorHistory::clear()
{
    kept.clear();
    oldest = 0;
    droppedLines = 0;
    const Lock::ScopedLockType g(pendingLock);
    pending.clear(); // what came before the clear is not shown after it
    pendingBytes.clear();
    droppedPending = 0;
    receivedCount = 0;
}
