#include "ReadOutChain.h"

namespace
{
constexpr int anyP1 = -1;
constexpr int noStep = -1, unexpectedField = -2, finishedStep = -3;

/** One step of the read-out: the answer it waits for, and what it asks for next. */
struct Step
{
    int event, p1;
    bool nextIsGlobal;
    int next;
};

// The read-out in order. The answer to the last request (the octave shift) ends it.
constexpr Step steps[] = {
    {NumbersReceived, anyP1, false, itemFieldMode},
    {ItemFieldReceived, itemFieldMode, false, itemFieldChannel},
    {ItemFieldReceived, itemFieldChannel, false, itemFieldMinLsb},
    {ItemFieldReceived, itemFieldMinLsb, false, itemFieldMaxMsb},
    {ItemFieldReceived, itemFieldMaxMsb, true, globalUpperChannel},
    {UpperChannelReceived, anyP1, true, globalKnobMode},
    {KnobModeReceived, anyP1, true, globalLowerChannel},
    {GlobalReceived, globalLowerChannel, true, globalFaderMode},
    {GlobalReceived, globalFaderMode, true, globalSplitMode},
    {GlobalReceived, globalSplitMode, true, globalSplitPoint},
    {GlobalReceived, globalSplitPoint, true, globalOctaveShift},
    {OctaveShiftReceived, anyP1, false, -1},
};
constexpr int stepCount = (int)std::size(steps);

/** Which step an event answers; noStep for events the read-out does not wait for. */
int stepOf(int event, int p1)
{
    for (int i = 0; i < stepCount; ++i)
        if (steps[i].event == event && (steps[i].p1 == anyP1 || steps[i].p1 == p1))
            return i;
    // A field answer the read-out never asks for means it is talking past the keyboard.
    return event == ItemFieldReceived ? unexpectedField : noStep;
}
} // namespace

ReadOutChain::ReadOutChain(OrvManager49& m, int timeoutMs, Start starts)
    : manager(m), stallTimeoutMs(timeoutMs), startsOnDetection(starts == Start::onDetection),
      clock([] { return juce::Time::getMillisecondCounter(); })
{
}

int ReadOutChain::numSteps()
{
    return stepCount;
}

int ReadOutChain::stepsDone() const
{
    return answered.load();
}

void ReadOutChain::start(bool withClosingValues)
{
    touch();
    closingValues = withClosingValues;
    answered = 0;
    nextStep = 0;
    readOutActive = true;
    started();
    manager.requestItemField(itemFieldNumber);
}

void ReadOutChain::cancel()
{
    nextStep = finishedStep;
    readOutActive = false;
}

void ReadOutChain::setClock(std::function<juce::uint32()> c)
{
    clock = std::move(c);
}

void ReadOutChain::touch()
{
    lastActivity = clock();
}

void ReadOutChain::finish(Outcome outcome)
{
    // Only the first ending counts: the stall check and the last answer may race. An answer being handled
    // meanwhile finds no step left to take.
    nextStep = finishedStep;
    if (readOutActive.exchange(false))
        finished(outcome);
}

void ReadOutChain::checkForStall()
{
    if (readOutActive && (int)(clock() - lastActivity.load()) > stallTimeoutMs.load())
        finish(Outcome::stalled);
}

void ReadOutChain::handleManagerEvent(int event, int p1)
{
    if (event == KeyboardDetected)
    {
        if (startsOnDetection)
            start(true);
        return;
    }
    if (!readOutActive)
        return;

    const int step = stepOf(event, p1);
    if (step == unexpectedField)
    {
        finish(Outcome::interrupted);
        return;
    }
    // Each answer moves the read-out on once: a keyboard that splits an answer over several messages
    // raises the same event again, and those later parts are stored but ask for nothing more.
    int expected = step;
    if (step == noStep || !nextStep.compare_exchange_strong(expected, step + 1))
        return;

    touch();
    answered = step + 1;
    const auto& s = steps[step];
    if (step == stepCount - 1)
    {
        if (closingValues)
            for (int i = 0; i < 8; ++i)
                manager.sendItemField(0x63 + i, itemFieldValue, 0);
        finish(Outcome::complete);
        return;
    }
    if (s.event == GlobalReceived && s.p1 == globalSplitPoint)
        globalsReceived(); // the last keyboard-wide value the editor shows has arrived
    if (s.nextIsGlobal)
        manager.requestGlobal(s.next);
    else
        manager.requestItemField(s.next);
}
