#pragma once

#include "FreshRead.h"
#include "VerifiedSend.h"

#include <condition_variable>
#include <mutex>
#include <thread>

/** The one link to the keyboard: the device manager, the start-up read-out and the verified send, wired
    together once for the editor, the tool, the tests and the benchmarks.

    The link is the manager's first listener: each event reaches the read-out and the send before anyone
    else hears it. A running read-out (the start-up one or a send's read-back) is checked for a stall on a
    thread of the link's own, which sleeps while nothing is read: the read-out starts on the MIDI thread, and
    not every platform's message loop serves a timer started there. close() takes everything down in the
    one safe order. */
class KeyboardLink : private OrvManagerListener
{
public:
    /** With the system's MIDI ports. */
    KeyboardLink();
    /** With given ports, which must outlive the link, and how long the start-up read-out and a send's
        read-back wait for an answer. */
    explicit KeyboardLink(MidiPortSystem& ports, int readOutStallMs = 2000, int readBackAnswerMs = 2000);
    ~KeyboardLink() override;

    /** Stops the scan and closes every port (waiting for a delivery in progress), stops a send, ends the
        read-outs and the stall watch. Call it before tearing down anything the callbacks use; calling it
        again does nothing more. */
    void close();

    /** Whether the read-out begins by itself when the keyboard is detected (the editor's start-up read-out;
        on by default). */
    void setReadOutOnDetection(bool startsByItself) { readOutOnDetection = startsByItself; }

    OrvManager49& getManager() { return manager; }
    const OrvManager49& getManager() const { return manager; }
    ReadOutChain& getReadOut() { return readOut; }
    const ReadOutChain& getReadOut() const { return readOut; }
    VerifiedSend& getSender() { return sender; }
    const VerifiedSend& getSender() const { return sender; }
    /** The chain a send reads back through; its answer timeout can be changed. */
    ReadOutChain& getReadBack() { return readBack; }
    /** Reads what the keyboard holds now, for a comparison, without touching the editor's configuration. */
    FreshRead& getFreshRead() { return freshRead; }

private:
    void handleManagerEvent(int event, int p1, int p2, int p3) override;
    void wakeWatch();
    void watchForStalls();

    OrvManager49 manager;
    ReadOutChain readOut, readBack, freshChain;
    VerifiedSend sender;
    FreshRead freshRead;
    std::atomic<bool> readOutOnDetection{true};

    std::mutex watchLock;
    std::condition_variable watchWake;
    bool watchWoken = false, watchQuit = false;
    std::thread watch;
    std::vector<Subscription> chainsStarted;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KeyboardLink)
};
