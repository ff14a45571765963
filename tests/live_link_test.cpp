// The link over time: the keyboard unplugged and plugged in again, and Send verified against what the
// keyboard actually took.
#include "support/device_test_support.h"

#include <thread>

namespace
{
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;
    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

/** The maker's set-value messages (command 02) that reached the keyboard from index `from` on. */
std::vector<juce::String> setValuesFrom(const Rig& r, size_t from)
{
    std::vector<juce::String> out;
    for (const auto& m : r.sentToKeyboard(from))
        if (m.startsWith("F0 00 6E 31 7F 42 02") || m.startsWith("F0 00 6E 31 7F 42 06"))
            out.push_back(m);
    return out;
}

/** The keyboard's fields of every control it keeps, and the six keyboard-wide values Send transmits. */
void expectKeyboardHolds(const SettingsState& keyboard, const SettingsState& sent)
{
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            EXPECT_EQ(keyboard.get(f, id), sent.get(f, id)) << "control " << id << " field " << f;
    for (int g : {1, 2, 5, 6, 7, 8})
        EXPECT_EQ(keyboard.globals[(size_t)g], sent.globals[(size_t)g]) << "global " << g;
}
} // namespace

TEST(LiveLink, UnpluggedMidReadOutTheKeyboardIsLostAndWhenPluggedInAgainFoundAndReadAgain)
{
    Rig r;
    auto& chain = r.attachChain();
    juce::Random random(21);
    r.kbd.setConfiguration(randomConfiguration(random));
    r.kbd.stopAnsweringAfter(3); // identity, numbers, modes: the read-out waits for the channels
    r.manager.startScan();
    r.ports.waitUntilIdle();
    r.runScanToEnd();
    ASSERT_TRUE(chain.isActive());

    r.kbd.setPlugged(false);
    EXPECT_TRUE(r.manager.checkPorts());
    EXPECT_EQ(r.events.count(KeyboardUnplugged), 1);
    EXPECT_EQ(r.outcomes.all(), std::vector<ReadOutChain::Outcome>{ReadOutChain::Outcome::disconnected});
    EXPECT_FALSE(r.manager.isKeyboardFound());
    EXPECT_FALSE(r.manager.sendClosingCommand()) << "a send after an unplug must not look successful";
    EXPECT_FALSE(r.manager.checkPorts()) << "nothing changed since the last look";
    EXPECT_EQ(r.events.count(KeyboardUnplugged), 1);

    r.kbd.stopAnsweringAfter(-1);
    r.kbd.setPlugged(true);
    EXPECT_TRUE(r.manager.checkPorts());
    ASSERT_TRUE(waitFor([&] { return r.outcomes.all().size() > 1; }));
    EXPECT_EQ(r.events.count(KeyboardDetected), 2);
    EXPECT_EQ(r.outcomes.all().back(), ReadOutChain::Outcome::complete);
    EXPECT_TRUE(r.manager.snapshot() == r.kbd.getConfiguration());
}

TEST(LiveLink, APullWhileTheScanStillRunsIsSeenEvenWhenTheKeyboardIsBackUnderItsNamesBeforeTheNextLook)
{
    Rig r;
    r.manager.startScan();
    r.ports.waitUntilIdle();
    ASSERT_TRUE(r.manager.isKeyboardFound());
    ASSERT_TRUE(r.manager.isScanning()) << "the scan goes on for a while after the keyboard answered";

    r.kbd.setPlugged(false);
    r.kbd.setPlugged(true);
    EXPECT_TRUE(r.manager.checkPorts());
    EXPECT_EQ(r.events.count(KeyboardUnplugged), 1);
    r.ports.waitUntilIdle();
    r.runScanToEnd();
    EXPECT_EQ(r.events.count(KeyboardDetected), 2) << "searched again and found on its new ports";

    const auto before = r.sentToKeyboard().size();
    EXPECT_TRUE(r.manager.sendClosingCommand());
    EXPECT_EQ(r.sentToKeyboard(before).size(), 1u) << "the keyboard's output is the replugged one";
}

TEST(LiveLink, AnswersLeaveEditsThatWereNotSentAlone)
{
    Rig r;
    r.attachChain();
    juce::Random random(22);
    const auto keyboard = randomConfiguration(random);
    r.kbd.setConfiguration(keyboard);

    const int mode = (keyboard.get(itemFieldMode, 0x01) + 1) % 2;
    const int split = (keyboard.globals[globalSplitPoint] + 12) % 128;
    r.manager.getAnswerRouter().pin(itemFieldMode, 0x01);
    r.manager.setItemField(itemFieldMode, 0x01, mode);
    r.manager.getAnswerRouter().pin(OrvManager49::globalField, globalSplitPoint);
    r.manager.setGlobal(globalSplitPoint, split);

    r.manager.startScan();
    r.ports.waitUntilIdle();
    ASSERT_EQ(r.outcomes.all(), std::vector<ReadOutChain::Outcome>{ReadOutChain::Outcome::complete});
    auto expected = keyboard;
    expected.set(itemFieldMode, 0x01, mode);
    expected.globals[globalSplitPoint] = (int16_t)split;
    EXPECT_TRUE(r.manager.snapshot() == expected);
    EXPECT_EQ(r.manager.getAnswerRouter().count(), 2);
}

TEST(LiveLink, SendIsTheSendAllStreamThenAReadBackAndRetriesUntilADroppingKeyboardHoldsEverything)
{
    Rig r;
    r.detect();
    auto& sender = r.attachSender(1000);
    juce::Random random(23);
    const auto config = randomConfiguration(random);
    r.manager.replace(config);
    r.kbd.dropEverySetValue(9);
    const size_t from = r.kbd.receivedLog().size();

    ASSERT_TRUE(sender.start(config));
    ASSERT_TRUE(sender.waitUntilFinished(20000));
    ASSERT_TRUE(waitFor([&] { return !sender.isRunning(); }));

    // The first pass is exactly the send-all stream; what follows is requests and single resends.
    std::vector<juce::String> stream;
    for (const auto& m : OrvSysEx::sendAllMessages(config))
        stream.push_back(hex(m));
    const auto sent = r.sentToKeyboard(from);
    ASSERT_GE(sent.size(), stream.size());
    EXPECT_EQ(std::vector<juce::String>(sent.begin(), sent.begin() + (long)stream.size()), stream);
    EXPECT_GT(setValuesFrom(r, from).size(), stream.size()) << "dropped values were sent again";
    for (const auto& m : sent)
        EXPECT_FALSE(m.startsWith("F0 00 6E 31 7F 42 02 00 00")) << "no closing value messages: " << m;

    expectKeyboardHolds(r.kbd.getConfiguration(), config);
    EXPECT_TRUE(r.manager.snapshot() == config) << "the read-back never touches the editor's copy";
}

TEST(LiveLink, SendReportsAKeyboardThatStopsAnsweringOrIsUnpluggedAndOneThatKeepsDroppingValues)
{
    Rig r;
    r.detect();
    auto& sender = r.attachSender(300);
    std::optional<VerifiedSend::Result> result;
    std::mutex lock;
    const auto heard = sender.onFinished(
        [&](const VerifiedSend::Result& res)
        {
            std::lock_guard<std::mutex> g(lock);
            result = res;
        });
    auto run = [&](const SettingsState& config)
    {
        {
            std::lock_guard<std::mutex> g(lock);
            result.reset();
        }
        EXPECT_TRUE(sender.start(config));
        EXPECT_TRUE(sender.waitUntilFinished(20000));
        std::lock_guard<std::mutex> g(lock);
        return result.value_or(VerifiedSend::Result{});
    };
    auto config = KeyboardEmulator::factoryConfiguration();
    config.set(itemFieldMode, 0x70, modeNoteToggle);
    r.manager.replace(config);

    r.kbd.stopAnsweringAfter(2);
    EXPECT_EQ(run(config).outcome, VerifiedSend::Outcome::silent);
    EXPECT_TRUE(r.manager.snapshot() == config);

    // Every set-value dropped: after three tries the changed value is named.
    r.kbd.stopAnsweringAfter(-1);
    r.kbd.setConfiguration(KeyboardEmulator::factoryConfiguration());
    r.kbd.dropEverySetValue(1);
    const auto stubborn = run(config);
    EXPECT_EQ(stubborn.outcome, VerifiedSend::Outcome::differences);
    EXPECT_EQ(stubborn.retries, 3);
    ASSERT_EQ(stubborn.differences.size(), 1u);
    EXPECT_TRUE(stubborn.describe().contains("Pad #1 (mode)")) << stubborn.describe();

    // Unplugged while the keyboard is being read back.
    r.kbd.dropEverySetValue(0);
    r.kbd.setReplyDelayMs(50);
    {
        std::lock_guard<std::mutex> g(lock);
        result.reset();
    }
    ASSERT_TRUE(sender.start(config));
    ASSERT_TRUE(waitFor([&] { return sender.getProgress().phase == VerifiedSend::Phase::reading; }));
    r.kbd.setPlugged(false);
    r.manager.checkPorts();
    ASSERT_TRUE(sender.waitUntilFinished(20000));
    std::lock_guard<std::mutex> g(lock);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, VerifiedSend::Outcome::lost);
}

TEST(LiveLink, WhenOnlyTheKeyboardsOutputGoesTheKeyboardCountsAsUnpluggedAndSendsFail)
{
    Rig r;
    r.detect();
    const int heard = r.kbd.messagesReceived();
    r.ports.setPlugged(Rig::keyboardName, false, VirtualMidiPorts::Ports::outputs);
    EXPECT_TRUE(r.manager.checkPorts());
    EXPECT_EQ(r.events.count(KeyboardUnplugged), 1);
    EXPECT_FALSE(r.manager.isKeyboardFound());
    EXPECT_FALSE(r.manager.sendGlobal(globalSplitPoint, 50));
    EXPECT_FALSE(r.manager.sendAllSettings());
    EXPECT_EQ(r.kbd.messagesReceived(), heard);
}

TEST(LiveLink, AKnobModeOfZeroIsVerifiedAtOnceAndEachRetryPausesLongerAndEndsWithTheClosingCommand)
{
    Rig r;
    r.detect();
    auto& sender = r.attachSender(1000);
    std::atomic<int> retries{-1};
    const auto heard = sender.onFinished([&](const VerifiedSend::Result& res) { retries = res.retries; });

    // The keyboard reports any knob mode but relative as absolute: a file's 0 is what it holds.
    auto config = KeyboardEmulator::factoryConfiguration();
    config.globals[globalKnobMode] = 0;
    ASSERT_TRUE(sender.start(config));
    ASSERT_TRUE(sender.waitUntilFinished(20000));
    EXPECT_EQ(retries.load(), 0);

    // Every value dropped: the two changed values are sent again three times.
    config.set(itemFieldMode, 0x70, modeNoteToggle);
    config.set(itemFieldChannel, 0x70, 5);
    r.kbd.dropEverySetValue(1);
    sender.retryPauseMs = 30;
    const size_t from = r.kbd.receivedLog().size();
    ASSERT_TRUE(sender.start(config));
    ASSERT_TRUE(sender.waitUntilFinished(20000));
    EXPECT_EQ(retries.load(), 3);

    const auto log = r.kbd.receivedLog();
    const auto kind = [&](size_t i)
    {
        return hex(log[i]).substring(0, 20);
    };
    const juce::String setValue = "F0 00 6E 31 7F 42 02", closing = "F0 00 6E 31 7F 42 06",
                       request = "F0 00 6E 31 7F 42 01";
    // Past the first pass (the send-all stream up to its closing command), each batch of resent values.
    size_t i = from;
    while (i < log.size() && kind(i) != closing)
        ++i;
    int batch = 0;
    for (++i; i < log.size(); ++i)
    {
        if (kind(i) != setValue)
            continue;
        ++batch;
        const double minimumPause = 30.0 * batch - 1.0;
        size_t sets = 0;
        for (; i < log.size() && kind(i) == setValue; ++i, ++sets)
            ASSERT_LT(i + 1, log.size());
        for (size_t k = i - sets; k < i; ++k)
            EXPECT_GE(log[k + 1].getTimeStamp() - log[k].getTimeStamp(), minimumPause)
                << "try " << batch << ", after message " << k - (i - sets) + 1;
        EXPECT_EQ(sets, 2u) << "try " << batch;
        ASSERT_EQ(kind(i), closing) << "try " << batch;
        ASSERT_LT(i + 1, log.size());
        EXPECT_EQ(kind(i + 1), request) << "the read-back follows the closing command";
    }
    EXPECT_EQ(batch, 3);
}
