#include "VerifiedSend.h"

#include "SysExCodec.h"

namespace
{
constexpr const auto& sentGlobals = OrvManager49::sentGlobals;

juce::String plural(int n, const char* one, const char* many)
{
    return juce::String(n) + " " + (n == 1 ? one : many);
}

/** The parts after the heading, joined by "; " into lines of at most about lineWidth characters, and at
    most maxLines of them: hundreds of differences would otherwise be one line thousands of characters long,
    in a terminal and in a message box alike. */
juce::String wrappedList(juce::String text, const juce::StringArray& parts)
{
    constexpr int lineWidth = 100, maxLines = 12;
    int lineStart = 0, lines = 1;
    for (int i = 0; i < parts.size(); ++i)
    {
        const bool first = i == 0;
        if (!first && text.length() - lineStart + 2 + parts[i].length() > lineWidth)
        {
            if (++lines > maxLines)
                return text + ";\nand " + juce::String(parts.size() - i) + " more";
            text << ";\n";
            lineStart = text.length();
        }
        else
            text << (first ? " " : "; ");
        text << parts[i];
    }
    return text;
}
} // namespace

juce::String VerifiedSend::Result::describe() const
{
    switch (outcome)
    {
    case Outcome::verified:
        return "Sent and verified: " + plural(controls, "control", "controls") + " and " +
               plural(globals, "keyboard-wide value", "keyboard-wide values");
    case Outcome::differences:
    {
        // Grouped by control, in the order they were found.
        juce::StringArray parts;
        std::vector<std::pair<int, juce::StringArray>> byControl;
        for (const auto& d : differences)
        {
            if (d.field == OrvManager49::globalField)
            {
                parts.add(ControlCatalogue::globalName(d.id));
                continue;
            }
            auto it =
                std::find_if(byControl.begin(), byControl.end(), [&](auto& e) { return e.first == d.id; });
            if (it == byControl.end())
                it = byControl.insert(byControl.end(), {d.id, {}});
            it->second.add(ControlCatalogue::fieldName(d.field));
        }
        juce::StringArray controlParts;
        for (const auto& [id, fields] : byControl)
            controlParts.add(juce::String(ControlCatalogue::messageName(id)) + " (" +
                             fields.joinIntoString(", ") + ")");
        controlParts.addArray(parts);
        return wrappedList(plural((int)differences.size(), "value differs", "values differ") + " after " +
                               plural(retries + 1, "try", "tries") + ":",
                           controlParts);
    }
    case Outcome::silent:
        return "The keyboard stopped answering, so the send could not be verified";
    case Outcome::lost:
        return "The keyboard was disconnected during the send";
    case Outcome::notConnected:
    default:
        return "The keyboard is not connected";
    }
}

//==============================================================================
VerifiedSend::VerifiedSend(OrvManager49& m, ReadOutChain& readBackChain, int retries)
    : manager(m), maxRetries(retries), chain(readBackChain)
{
    chainEnded = chain.onFinished(
        [this](ReadOutChain::Outcome outcome)
        {
            {
                std::lock_guard<std::mutex> g(lock);
                chainFinished = true;
                chainOutcome = outcome;
            }
            changed.notify_all();
        });
}

VerifiedSend::~VerifiedSend()
{
    stop();
}

void VerifiedSend::stop()
{
    {
        // Under the lock: a read-back that is about to wait must see it.
        std::lock_guard<std::mutex> g(lock);
        quitting = true;
    }
    chain.cancel();
    changed.notify_all();
    if (worker.joinable())
        worker.join();
}

bool VerifiedSend::start(const SettingsState& configuration)
{
    // A fresh read of the keyboard fills the capture that the read-back needs: the two never interleave.
    if (manager.getAnswerRouter().isCapturing())
        return false;
    {
        // Under the lock: an ending connection sees this send either running or not yet begun.
        std::lock_guard<std::mutex> g(lock);
        if (running.exchange(true))
            return false;
        connectionLost = false;
    }
    quitting = false;
    if (worker.joinable())
        worker.join(); // the last send's thread has ended its work already
    worker = std::thread([this, configuration] { run(configuration); });
    return true;
}

void VerifiedSend::handleManagerEvent(int event, int p1)
{
    // Its answers cannot come any more: the send ends now rather than at the read-back's stall check, which
    // would leave the capture open for the next keyboard's read-out.
    if (event == KeyboardUnplugged)
        connectionEnded();
    chain.handleManagerEvent(event, p1);
    if (chain.isActive())
        setProgress(Phase::reading, chain.stepsDone(), ReadOutChain::numSteps(), getProgress().attempt);
}

void VerifiedSend::connectionEnded()
{
    {
        std::lock_guard<std::mutex> g(lock);
        if (!running.load())
            return;
        connectionLost = true;
        if (std::exchange(holdingCapture, false))
            manager.getAnswerRouter().endCapture();
    }
    chain.cancel();
    changed.notify_all();
}

bool VerifiedSend::isConnectionLost() const
{
    std::lock_guard<std::mutex> g(lock);
    return connectionLost;
}

VerifiedSend::Progress VerifiedSend::getProgress() const
{
    std::lock_guard<std::mutex> g(lock);
    return progress;
}

bool VerifiedSend::waitUntilFinished(int timeoutMs)
{
    std::unique_lock<std::mutex> g(lock);
    return changed.wait_for(g, std::chrono::milliseconds(timeoutMs),
                            [this] { return !running.load() && !reporting; });
}

void VerifiedSend::setProgress(Phase phase, int done, int total, int attempt)
{
    {
        std::lock_guard<std::mutex> g(lock);
        progress = {phase, done, total, attempt, maxRetries};
    }
    progressed();
}

std::vector<VerifiedSend::Difference> VerifiedSend::compare(const SettingsState& sent,
                                                            const SettingsState& readBack)
{
    std::vector<Difference> differences;
    for (const auto& entry : sent.numbers())
    {
        const int id = entry.first;
        if (!ControlCatalogue::isConfigurable(id))
            continue; // the keyboard keeps no place for it
        for (int field = itemFieldMode; field <= itemFieldMaxMsb; ++field)
        {
            const int value = sent.get(field, id);
            if (!OrvSysEx::isDataByte(value))
                continue; // never sent
            if (readBack.get(field, id) != value)
                differences.push_back({field, id, value, readBack.get(field, id)});
        }
    }
    for (int id : sentGlobals)
    {
        const int value = sent.globals[(size_t)id];
        const int back = readBack.globals[(size_t)id];
        if (!OrvSysEx::isDataByte(value))
            continue;
        // The keyboard reports its knob mode only as relative or not.
        const bool same = id == globalKnobMode ? (value == 127) == (back == 127) : value == back;
        if (!same)
            differences.push_back({OrvManager49::globalField, id, value, back});
    }
    return differences;
}

//==============================================================================
void VerifiedSend::run(SettingsState configuration)
{
    const auto result = runPasses(configuration);
    {
        // Not running any more by the time anyone hears of the result, so that the report is not taken
        // for a send still in progress; waitUntilFinished waits for the report too.
        std::lock_guard<std::mutex> g(lock);
        progress = {};
        running = false;
        reporting = true;
    }
    if (!quitting)
        finished(result);
    {
        std::lock_guard<std::mutex> g(lock);
        reporting = false;
    }
    changed.notify_all();
}

VerifiedSend::Result VerifiedSend::runPasses(const SettingsState& configuration)
{
    Result result;
    // Counted as the user counts them, the controls of the picture; the hidden ones go too, and are named
    // where they differ.
    for (const auto& entry : configuration.numbers())
        result.controls += ControlCatalogue::isPictureControl(entry.first) ? 1 : 0;
    for (int id : sentGlobals)
        result.globals += OrvSysEx::isDataByte(configuration.globals[(size_t)id]) ? 1 : 0;

    if (!manager.hasKeyboardOutput())
        return result; // not connected
    if (isConnectionLost())
    {
        // The keyboard went before the stream began: a keyboard found since must not be sent to.
        result.outcome = Outcome::lost;
        return result;
    }
    const bool sent = manager.sendAllSettings(configuration,
                                              [this](int done, int total)
                                              {
                                                  // Often enough for a smooth bar, rarely enough to stay
                                                  // cheap.
                                                  if (done % 16 == 0 || done == total)
                                                      setProgress(Phase::sending, done, total, 0);
                                              });
    if (!sent)
    {
        result.outcome = Outcome::lost;
        return result;
    }

    for (int attempt = 0;; ++attempt)
    {
        const auto back = readBack(attempt);
        if (!back)
        {
            result.outcome =
                manager.isKeyboardFound() && !isConnectionLost() ? Outcome::silent : Outcome::lost;
            return result;
        }
        result.differences = compare(configuration, *back);
        manager.getAnswerRouter().unpinConfirmed(*back, manager.snapshot());
        if (result.differences.empty())
        {
            result.outcome = Outcome::verified;
            return result;
        }
        if (attempt == maxRetries || quitting)
        {
            result.outcome = Outcome::differences;
            return result;
        }
        result.retries = attempt + 1;
        if (!resend(result.differences, attempt + 1))
        {
            result.outcome = Outcome::lost;
            return result;
        }
    }
}

std::optional<SettingsState> VerifiedSend::readBack(int attempt)
{
    setProgress(Phase::reading, 0, ReadOutChain::numSteps(), attempt);
    {
        std::lock_guard<std::mutex> g(lock);
        if (connectionLost)
            return std::nullopt;
        chainFinished = false;
        holdingCapture = manager.getAnswerRouter().beginCapture();
        if (!holdingCapture)
            return std::nullopt; // another reader fills the capture
    }
    chain.start(false);
    // The chain ends by an answer, by its stall check, by stop() or with the connection.
    std::unique_lock<std::mutex> g(lock);
    changed.wait(g, [this] { return chainFinished || quitting.load() || connectionLost; });
    const bool complete = chainFinished && chainOutcome == ReadOutChain::Outcome::complete && !connectionLost;
    g.unlock();
    chain.cancel();
    g.lock();
    // Closed here unless the connection's end closed it already.
    auto captured =
        std::exchange(holdingCapture, false) ? manager.getAnswerRouter().endCapture() : SettingsState();
    g.unlock();
    if (!complete)
        return std::nullopt;
    return captured;
}

bool VerifiedSend::resend(const std::vector<Difference>& differences, int attempt)
{
    const int total = (int)differences.size();
    for (int i = 0; i < total && !quitting; ++i)
    {
        if (isConnectionLost())
            return false; // the keyboard now connected is not the one that was read back
        const auto& d = differences[(size_t)i];
        const bool sent = d.field == OrvManager49::globalField ? manager.sendGlobal(d.id, d.sent)
                                                               : manager.sendItemField(d.id, d.field, d.sent);
        if (!sent)
            return false;
        setProgress(Phase::retrying, i + 1, total, attempt);
        std::this_thread::sleep_for(std::chrono::milliseconds(retryPauseMs * attempt));
    }
    return !isConnectionLost() && manager.sendClosingCommand();
}
