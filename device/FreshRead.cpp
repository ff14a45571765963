#include "FreshRead.h"

#include "../model/ConfigComparison.h"
#include "VerifiedSend.h"

FreshRead::FreshRead(OrvManager49& m, ReadOutChain& c, const VerifiedSend& s, const ReadOutChain& st)
    : manager(m), chain(c), sender(s), startup(st)
{
    chainEnded = chain.onFinished([this](ReadOutChain::Outcome outcome)
                                  { finish(outcome == ReadOutChain::Outcome::complete, false); });
}

FreshRead::~FreshRead()
{
    cancel();
}

bool FreshRead::start()
{
    if (!manager.hasKeyboardOutput() || sender.isRunning() || startup.isActive())
        return false;
    if (running.exchange(true))
        return false;
    // Nothing is known until it is answered: a keyboard-wide value that never came stays unknown.
    if (!manager.getAnswerRouter().beginCapture(ConfigComparison::unknownState()))
    {
        running = false;
        return false;
    }
    chain.start(false);
    return true;
}

void FreshRead::cancel()
{
    if (!running.exchange(false))
        return;
    chain.cancel();
    manager.getAnswerRouter().endCapture();
    std::lock_guard<std::mutex> g(lock);
    ended.notify_all();
}

void FreshRead::handleManagerEvent(int event, int p1)
{
    // Its answers cannot come any more: the read ends now rather than at the stall check.
    if (event == KeyboardUnplugged)
        connectionEnded();
    chain.handleManagerEvent(event, p1);
}

void FreshRead::connectionEnded()
{
    if (!running.load())
        return;
    chain.cancel();
    finish(false, true);
}

void FreshRead::finish(bool complete, bool lost)
{
    {
        std::lock_guard<std::mutex> g(lock);
        // Only one ending reports: the chain's, a cancel or the unplug, whichever comes first.
        if (!running.exchange(false))
            return;
        reporting = true;
    }
    Result result;
    result.complete = complete;
    result.lost = lost || !manager.isKeyboardFound();
    result.answers = chain.stepsDone();
    result.keyboard = manager.getAnswerRouter().endCapture();
    finished(result);
    {
        std::lock_guard<std::mutex> g(lock);
        reporting = false;
    }
    ended.notify_all();
}

bool FreshRead::waitUntilFinished(int timeoutMs)
{
    std::unique_lock<std::mutex> g(lock);
    return ended.wait_for(g, std::chrono::milliseconds(timeoutMs),
                          [this] { return !running.load() && !reporting; });
}
