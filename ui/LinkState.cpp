#include "LinkState.h"

namespace
{
const char* const keyboardProblemTitle = "Keyboard Problem";
const char* const cannotSetText = "The keyboard has not been detected, so it can't be set.";
} // namespace

LinkState::LinkState(KeyboardLink& l, EditHistory& h, EditorDialogs& d)
    : link(l), manager(l.getManager()), history(h), dialogs(d)
{
    auto& readOut = link.getReadOut();
    heard.push_back(readOut.onGlobalsReceived([this] { setPending(globals); }));
    heard.push_back(readOut.onFinished(
        [this](ReadOutChain::Outcome outcome)
        {
            // A pulled keyboard is told as unplugged, not as one that stopped answering.
            if (outcome == ReadOutChain::Outcome::disconnected)
                setPending(0);
            else
                setPending(outcome == ReadOutChain::Outcome::complete ? readComplete : readIncomplete);
        }));
    auto& sender = link.getSender();
    heard.push_back(sender.onProgress([this] { setPending(0); }));
    heard.push_back(sender.onFinished(
        [this](const VerifiedSend::Result& result)
        {
            {
                std::lock_guard<std::mutex> g(sendResultLock);
                sendResult = result;
            }
            setPending(0);
        }));
}

void LinkState::setPending(unsigned what)
{
    pending |= what;
    if (changed)
        changed();
}

void LinkState::noteEvent(int event, int p1)
{
    switch (event)
    {
    case ScanEndedUnanswered:
        return setPending(scanEnded);
    case KeyboardDetected:
        // Found again after an unplug the screen has not acted on yet: that unplug is over, and acting on it
        // after this would show a connected keyboard as unplugged.
        pending &= ~unplugged;
        return setPending(detected);
    case KeyboardUnplugged:
        return setPending(unplugged);
    case ControlChanged:
    case ModulationWheelMoved:
    case PitchWheelMoved:
    case SustainPedalMoved:
    case ExpressionPedalMoved:
    case AuxPedalMoved:
    case BreathControlMoved:
    case PadStruck:
        touched = p1;
        break;
    default:
        break;
    }
    // Every answer moves the status on (read-out progress) as well.
    setPending(0);
}

void LinkState::searchSoon()
{
    setPending(startSearch);
}

LinkState::Update LinkState::update()
{
    Update shown;
    const unsigned now = pending.exchange(0);
    if ((now & startSearch) != 0)
    {
        manager.startScan();
        // Plugging the keyboard in late, or again, is noticed without a restart.
        manager.watchPorts(1000);
    }
    shown.globalsArrived = (now & globals) != 0;
    if ((now & detected) != 0)
    {
        ++connection;
        startupSearch = isUnplugged = notAllRead = false;
        readAt = {};
        lastSend.reset();
        note = {};
    }
    if ((now & unplugged) != 0)
        isUnplugged = true; // the link has ended the read-out already
    if ((now & scanEnded) != 0 && !manager.isKeyboardFound())
    {
        searchedAt = juce::Time::getCurrentTime();
        serviceProblem = manager.midiServiceProblem();
        if (startupSearch)
        {
            shown.globalsArrived = putInEditorGlobals() || shown.globalsArrived;
            // The box belongs to the search at start-up; later searches answer in the status display. Without
            // the system's MIDI service no keyboard can be found: the box says why, and what to do.
            juce::String text =
                "The keyboard has not been detected. Please correct the problem and try again.";
            if (serviceProblem.isNotEmpty())
                text << "\n\n"
                     << serviceProblem
                     << " Once it is set right, click the status display in the picture to search again.";
            dialogs.showMessage(keyboardProblemTitle, text);
        }
        startupSearch = false;
    }
    if ((now & readComplete) != 0)
        shown.readOutEnded = readOutEnded(true);
    if ((now & readIncomplete) != 0 && manager.isKeyboardFound())
        shown.readOutEnded = readOutEnded(false);

    std::optional<VerifiedSend::Result> result;
    {
        std::lock_guard<std::mutex> g(sendResultLock);
        result.swap(sendResult);
    }
    if (result)
    {
        shown.closeApproved = showSendResult(*result);
        shown.sendVerified = result->outcome == VerifiedSend::Outcome::verified;
    }
    shown.touched = touched.exchange(-1);
    return shown;
}

bool LinkState::putInEditorGlobals()
{
    // Without a keyboard the keyboard-wide values would stay unset and blank, yet Save would write them: the
    // editor's defaults are put in and shown, so what is saved is what is seen.
    const auto before = manager.snapshot();
    bool blank = true;
    for (int id : {globalKnobMode, globalFaderMode, globalSplitMode, globalSplitPoint})
        blank = blank && before.globals[(size_t)id] == 0;
    if (!blank || manager.getAnswerRouter().isPinned(OrvManager49::globalField, globalSplitPoint))
        return false;
    manager.modify([](SettingsState& state) { state.applyEditorGlobalDefaults(); });
    history.startChanged(before);
    return true;
}

bool LinkState::readOutEnded(bool complete)
{
    if (complete)
        readAt = juce::Time::getCurrentTime();
    else
        notAllRead = true;
    history.readOutEnded(complete);
    if (!complete)
        dialogs.showMessage(
            keyboardProblemTitle,
            "The keyboard stopped answering while its settings were being read, so the settings "
            "shown may not be the keyboard's. Please check the connection and try again.");
    return true;
}

//==============================================================================
void LinkState::send()
{
    auto& sender = link.getSender();
    if (sender.isRunning())
        return; // the status display shows the send in progress
    if (!manager.isKeyboardFound())
    {
        dialogs.showMessage(keyboardProblemTitle, isUnplugged ? keyboardUnpluggedText : cannotSetText);
        return;
    }
    // What is sent is the editor's configuration; a read-out still running would only overwrite the
    // read-back of it.
    link.getReadOut().cancel();
    lastSend.reset();
    note = {};
    // The send and its verification run on their own thread: the window stays responsive, and the status
    // display shows the progress.
    const auto configuration = manager.snapshot();
    history.sendStarted(configuration);
    sender.start(configuration);
}

void LinkState::sendThenClose()
{
    if (!manager.isKeyboardFound())
    {
        dialogs.showMessage(keyboardProblemTitle, cannotSetText);
        return;
    }
    // The window closes once the keyboard is seen to hold everything.
    closeAfterSend = true;
    send();
}

bool LinkState::showSendResult(const VerifiedSend::Result& result)
{
    sentAt = juce::Time::getCurrentTime();
    lastSend = result;
    using Outcome = VerifiedSend::Outcome;
    if (result.outcome == Outcome::verified || result.outcome == Outcome::differences)
    {
        std::vector<EditHistory::Refusal> refused;
        for (const auto& d : result.differences)
            refused.push_back({d.field, d.id, d.readBack});
        history.sendTaken(refused);
    }
    const bool closing = std::exchange(closeAfterSend, false);
    if (closing && result.outcome == Outcome::verified)
    {
        // Changes made while that send ran go too before the window closes.
        if (history.unsentValues().empty())
            return true;
        closeAfterSend = true;
        send();
        return false;
    }
    if (result.outcome == Outcome::notConnected)
    {
        lastSend.reset();
        dialogs.showMessage(keyboardProblemTitle,
                            "The keyboard's MIDI output could not be opened, so it can't be set.");
    }
    else if (result.outcome == Outcome::lost)
        dialogs.showMessage(keyboardProblemTitle, result.describe() + ". " + keyboardUnpluggedText);
    else if (result.outcome != Outcome::verified)
        dialogs.showMessage(keyboardProblemTitle, result.describe() + ".");
    return false;
}

//==============================================================================
LinkFacts LinkState::facts(int unsent) const
{
    const auto& readOut = link.getReadOut();
    const auto& sender = link.getSender();
    LinkFacts f;
    f.sending = sender.isRunning();
    f.sendProgress = sender.getProgress();
    f.reading = readOut.isActive();
    f.readSteps = readOut.stepsDone();
    f.readStepsInAll = ReadOutChain::numSteps();
    f.found = manager.isKeyboardFound();
    // A search about to start counts as one under way: the window's first picture says so.
    f.searching = manager.isScanning() || (pending.load() & startSearch) != 0 ||
                  (int)(searchShownUntil - juce::Time::getMillisecondCounter()) > 0;
    f.unplugged = isUnplugged;
    f.readIncomplete = notAllRead;
    f.port = manager.getKeyboardOutputName();
    f.lastSend = lastSend;
    f.sentAt = sentAt;
    f.readAt = readAt;
    f.connection = connection;
    f.unsent = unsent;
    f.note = note;
    f.noteClickable = noteAction != nullptr;
    f.searchedAt = searchedAt;
    f.serviceProblem = serviceProblem;
    f.fileName = fileName;
    return f;
}

bool LinkState::clickNote()
{
    auto action = std::exchange(noteAction, nullptr);
    if (action == nullptr)
        return false;
    note = {};
    action();
    return true;
}
