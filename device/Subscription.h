#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

/** A hold on a callback given to a Signal: the callback is heard until the subscription is destroyed or
    reset, and never after. Moving it moves the hold; an empty one holds nothing. */
class Subscription
{
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> end) : ender(std::move(end)) {}
    Subscription(Subscription&& other) noexcept : ender(std::exchange(other.ender, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            ender = std::exchange(other.ender, nullptr);
        }
        return *this;
    }
    ~Subscription() { reset(); }

    /** Ends the hold: once this returns, the callback is not running and will not be called again (unless
        this is called from inside the callback, which then finishes). */
    void reset()
    {
        if (auto end = std::exchange(ender, nullptr))
            end();
    }
    explicit operator bool() const { return ender != nullptr; }

private:
    std::function<void()> ender;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
};

/** Callbacks told of one kind of event, on the thread that raises it. Each subscriber holds a Subscription
    that ends its callback with it, so no one clears a callback by hand, and a subscriber gone never hears an
    event. The list's lock is held while the callbacks run, so that ending a subscription waits for a call
    in progress; a callback may end subscriptions itself, but must not wait for another thread that is
    subscribing. A subscription may outlive its signal. */
template <typename... Args> class Signal
{
public:
    Signal() = default;

    /** Hears every event from now on, for as long as the returned subscription is held. */
    [[nodiscard]] Subscription subscribe(std::function<void(Args...)> callback)
    {
        auto entry = std::make_shared<Entry>(Entry{std::move(callback), true});
        {
            std::lock_guard<std::recursive_mutex> g(state->lock);
            state->entries.push_back(entry);
        }
        return Subscription(
            [weak = std::weak_ptr<State>(state), entry]
            {
                if (auto s = weak.lock())
                {
                    std::lock_guard<std::recursive_mutex> g(s->lock);
                    entry->live = false;
                    if (s->calling == 0)
                        s->sweep();
                }
            });
    }

    /** Tells every subscriber, in the order they subscribed. */
    void operator()(Args... args) const
    {
        std::lock_guard<std::recursive_mutex> g(state->lock);
        // By index, and swept after: a callback may subscribe or end a subscription. Nothing is allocated
        // here, so that the MIDI thread can raise events freely.
        ++state->calling;
        for (size_t i = 0; i < state->entries.size(); ++i)
            if (auto* entry = state->entries[i].get(); entry->live)
                entry->callback(args...);
        if (--state->calling == 0)
            state->sweep();
    }

    bool hasSubscribers() const
    {
        std::lock_guard<std::recursive_mutex> g(state->lock);
        return std::any_of(state->entries.begin(), state->entries.end(),
                           [](const auto& e) { return e->live; });
    }

private:
    struct Entry
    {
        std::function<void(Args...)> callback;
        bool live;
    };
    struct State
    {
        std::recursive_mutex lock;
        std::vector<std::shared_ptr<Entry>> entries;
        int calling = 0;

        void sweep()
        {
            entries.erase(
                std::remove_if(entries.begin(), entries.end(), [](const auto& e) { return !e->live; }),
                entries.end());
        }
    };
    std::shared_ptr<State> state = std::make_shared<State>();

    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
};
