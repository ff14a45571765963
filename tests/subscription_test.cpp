#include "device/Subscription.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
bool waitFor(const std::function<bool()>& condition, int ms = 5000)
{
    for (int i = 0; i < ms && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}
} // namespace

// A window closing while the MIDI thread reports to it: its subscription's end must wait for the report
// under way, and nothing may reach it afterwards.
TEST(Subscription, EndingOneWaitsForItsCallUnderWayAndNothingComesAfter)
{
    Signal<int> signal;
    std::atomic<bool> inside{false}, release{false}, ended{false};
    std::atomic<int> calls{0};
    auto subscription = signal.subscribe(
        [&](int)
        {
            inside = true;
            waitFor([&] { return release.load(); });
            ++calls;
        });

    std::thread reporter([&] { signal(1); });
    ASSERT_TRUE(waitFor([&] { return inside.load(); }));
    std::thread closer(
        [&]
        {
            subscription.reset();
            ended = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(ended) << "the subscription ended while its callback was still running";
    release = true;
    reporter.join();
    closer.join();
    EXPECT_TRUE(ended);
    EXPECT_EQ(calls, 1);

    signal(2);
    EXPECT_EQ(calls, 1) << "a callback was called after its subscription ended";
    EXPECT_FALSE(signal.hasSubscribers());
}

// Subscriptions ended from inside a report (its own and another's), one moved, and one that outlives its
// signal.
TEST(Subscription, EndsFromInsideAReportMovesAndOutlivesItsSignal)
{
    Subscription last;
    {
        Signal<> signal;
        int first = 0, second = 0, third = 0;
        Subscription a, b, c;
        a = signal.subscribe(
            [&]
            {
                ++first;
                a.reset(); // its own
                b.reset(); // one later in the list: not called in this report either
            });
        b = signal.subscribe([&] { ++second; });
        c = signal.subscribe([&] { ++third; });
        signal();
        signal();
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 0);
        EXPECT_EQ(third, 2);

        Subscription moved = std::move(c);
        EXPECT_FALSE(c);
        signal();
        EXPECT_EQ(third, 3) << "moving a subscription ended its hold";
        last = std::move(moved);
    }
    EXPECT_TRUE(last);
    last.reset(); // its signal is gone: nothing to end, nothing touched
    EXPECT_FALSE(last);
}
