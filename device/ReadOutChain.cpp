#include "ReadOutChain.h"

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
    // Only the first ending counts: the stall check and the last answer may race.
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
        readOutActive = true;
        manager.requestItemField(itemFieldNumber);
        return;
    }
    if (!readOutActive)
        return;

    switch (event)
    {
    case NumbersReceived:
        touch();
        manager.requestItemField(itemFieldMode);
        break;
    case ItemFieldReceived:
        touch();
        switch (p1)
        {
        case itemFieldMode:
            manager.requestItemField(itemFieldChannel);
            break;
        case itemFieldChannel:
            manager.requestItemField(itemFieldMinLsb);
            break;
        case itemFieldMinLsb:
            manager.requestItemField(itemFieldMaxMsb);
            break;
        case itemFieldMaxMsb:
            manager.requestGlobal(globalUpperChannel);
            break;
        default:
            finish(Outcome::interrupted);
            break;
        }
        break;
    case UpperChannelReceived:
        touch();
        manager.requestGlobal(globalKnobMode);
        break;
    case KnobModeReceived:
        touch();
        manager.requestGlobal(globalLowerChannel);
        break;
    case GlobalReceived:
        touch();
        switch (p1)
        {
        case globalLowerChannel:
            manager.requestGlobal(globalFaderMode);
            break;
        case globalFaderMode:
            manager.requestGlobal(globalSplitMode);
            break;
        case globalSplitMode:
            manager.requestGlobal(globalSplitPoint);
            break;
        case globalSplitPoint:
            if (onGlobalsReceived)
                onGlobalsReceived();
            manager.requestGlobal(globalOctaveShift);
            break;
        default:
            break;
        }
        break;
    case OctaveShiftReceived:
        for (int i = 0; i < 8; ++i)
            manager.sendItemField(0x63 + i, itemFieldValue, 0);
        finish(Outcome::complete);
        break;
    default:
        break;
    }
}
