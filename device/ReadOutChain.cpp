#include "ReadOutChain.h"

namespace
{
/** The answers of the read-out, in the order they are asked for. */
enum Step
{
    numbersStep,
    modesStep,
    channelsStep,
    minimumsStep,
    maximumsStep,
    upperChannelStep,
    knobModeStep,
    lowerChannelStep,
    faderModeStep,
    splitModeStep,
    splitPointStep,
    octaveShiftStep,
    noStep = -1,
    unexpectedField = -2,
    finishedStep = -3
};

/** Which answer an event is, if it is one of the read-out's. */
int stepOf(int event, int p1)
{
    switch (event)
    {
    case NumbersReceived:
        return numbersStep;
    case ItemFieldReceived:
        switch (p1)
        {
        case itemFieldMode:
            return modesStep;
        case itemFieldChannel:
            return channelsStep;
        case itemFieldMinLsb:
            return minimumsStep;
        case itemFieldMaxMsb:
            return maximumsStep;
        default:
            return unexpectedField;
        }
    case UpperChannelReceived:
        return upperChannelStep;
    case KnobModeReceived:
        return knobModeStep;
    case GlobalReceived:
        switch (p1)
        {
        case globalLowerChannel:
            return lowerChannelStep;
        case globalFaderMode:
            return faderModeStep;
        case globalSplitMode:
            return splitModeStep;
        case globalSplitPoint:
            return splitPointStep;
        default:
            return noStep;
        }
    case OctaveShiftReceived:
        return octaveShiftStep;
    default:
        return noStep;
    }
}
} // namespace

ReadOutChain::ReadOutChain(OrvManager49& m, int timeoutMs)
    : manager(m), stallTimeoutMs(timeoutMs), clock([] { return juce::Time::getMillisecondCounter(); })
{
    startTimer(250);
}

ReadOutChain::~ReadOutChain()
{
    stopTimer();
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
    if (readOutActive.exchange(false) && onFinished)
        onFinished(outcome);
}

void ReadOutChain::checkForStall()
{
    if (readOutActive && (int)(clock() - lastActivity.load()) > stallTimeoutMs)
        finish(Outcome::stalled);
}

void ReadOutChain::handleManagerEvent(int event, int p1)
{
    if (event == KeyboardDetected)
    {
        touch();
        nextStep = numbersStep;
        readOutActive = true;
        manager.requestItemField(itemFieldNumber);
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
    switch (step)
    {
    case numbersStep:
        manager.requestItemField(itemFieldMode);
        break;
    case modesStep:
        manager.requestItemField(itemFieldChannel);
        break;
    case channelsStep:
        manager.requestItemField(itemFieldMinLsb);
        break;
    case minimumsStep:
        manager.requestItemField(itemFieldMaxMsb);
        break;
    case maximumsStep:
        manager.requestGlobal(globalUpperChannel);
        break;
    case upperChannelStep:
        manager.requestGlobal(globalKnobMode);
        break;
    case knobModeStep:
        manager.requestGlobal(globalLowerChannel);
        break;
    case lowerChannelStep:
        manager.requestGlobal(globalFaderMode);
        break;
    case faderModeStep:
        manager.requestGlobal(globalSplitMode);
        break;
    case splitModeStep:
        manager.requestGlobal(globalSplitPoint);
        break;
    case splitPointStep:
        if (onGlobalsReceived)
            onGlobalsReceived();
        manager.requestGlobal(globalOctaveShift);
        break;
    case octaveShiftStep:
        for (int i = 0; i < 8; ++i)
            manager.sendItemField(0x63 + i, itemFieldValue, 0);
        finish(Outcome::complete);
        break;
    default:
        break;
    }
}
