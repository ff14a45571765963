#include "KeyboardLink.h"

namespace
{
// How often a running read-out is checked for a stall.
constexpr int stallCheckMs = 250;
} // namespace

KeyboardLink::KeyboardLink() : KeyboardLink(systemMidiPorts()) {}

KeyboardLink::KeyboardLink(MidiPortSystem& ports, int readOutStallMs, int readBackAnswerMs)
    : manager(ports), readOut(manager, readOutStallMs, ReadOutChain::Start::onDetection),
      readBack(manager, readBackAnswerMs, ReadOutChain::Start::onRequest),
      freshChain(manager, readBackAnswerMs, ReadOutChain::Start::onRequest), sender(manager, readBack),
      freshRead(manager, freshChain, sender, readOut)
{
    for (auto* chain : {&readOut, &readBack, &freshChain})
        chainsStarted.push_back(chain->onStarted([this] { wakeWatch(); }));
    watch = std::thread([this] { watchForStalls(); });
    manager.addListener(this);
}

KeyboardLink::~KeyboardLink()
{
    close();
}

void KeyboardLink::close()
{
    // Deliveries end first, so that no answer moves a read-out on while it is taken down; then the send's
    // thread, which waits for the read-back; then the read-outs and their watch.
    manager.closeAllPorts();
    sender.stop();
    freshRead.cancel();
    readOut.cancel();
    readBack.cancel();
    {
        std::lock_guard<std::mutex> g(watchLock);
        watchQuit = true;
    }
    watchWake.notify_all();
    if (watch.joinable())
        watch.join();
}

void KeyboardLink::handleManagerEvent(int event, int p1, int, int)
{
    const bool readOutStarts = event == KeyboardDetected && readOutOnDetection;
    if (readOutStarts)
    {
        // A keyboard found anew while a send's read-back or a fresh read still fills the pins' capture: the
        // read-out would count its answers there and leave the store as it was. They end first.
        sender.connectionEnded();
        freshRead.connectionEnded();
    }
    if (event == KeyboardUnplugged)
        // Ended here, on the thread that saw the cable pulled and before any new search can find the
        // keyboard again: ended later, by whoever hears of the pull, it could end the next connection's
        // read-out instead.
        readOut.connectionEnded();
    if (event != KeyboardDetected || readOutStarts)
        readOut.handleManagerEvent(event, p1);
    sender.handleManagerEvent(event, p1);
    freshRead.handleManagerEvent(event, p1);
}

void KeyboardLink::wakeWatch()
{
    {
        std::lock_guard<std::mutex> g(watchLock);
        watchWoken = true;
    }
    watchWake.notify_all();
}

void KeyboardLink::watchForStalls()
{
    std::unique_lock<std::mutex> g(watchLock);
    while (!watchQuit)
    {
        if (!readOut.isActive() && !readBack.isActive() && !freshChain.isActive())
        {
            // Nothing is being read: sleep until a read-out starts.
            watchWake.wait(g, [this] { return watchQuit || watchWoken; });
            watchWoken = false;
            continue;
        }
        watchWake.wait_for(g, std::chrono::milliseconds(stallCheckMs), [this] { return watchQuit; });
        // Checked with the lock released: a read-out that ends tells its listener from here.
        g.unlock();
        readOut.checkForStall();
        readBack.checkForStall();
        freshChain.checkForStall();
        g.lock();
    }
}
