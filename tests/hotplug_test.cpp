// The keyboard plugged in and pulled out again in quick succession, while it is read, sent to or read afresh:
// a read-out reported complete holds what the keyboard holds, whatever the connection before left behind.
// QUILLET_HOTPLUG_CYCLES=1000 runs the long version of the cycles.
#include "support/device_test_support.h"

#include <cstdlib>
#include <iostream>
#include <thread>

namespace
{
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;
    while (!condition())
    {
        if ((int)(deadline - juce::Time::getMillisecondCounter()) <= 0)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

int cyclesToRun(int normally)
{
    const char* text = std::getenv("QUILLET_HOTPLUG_CYCLES");
    const int asked = text != nullptr ? std::atoi(text) : 0;
    return asked > 0 ? asked : normally;
}

/** How many values a read-out brings in (every field of the keyboard's controls, the six keyboard-wide values
    the editor sends) differ between the two. */
int differingValues(const SettingsState& store, const SettingsState& keyboard)
{
    int n = 0;
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            n += store.get(f, id) != keyboard.get(f, id) ? 1 : 0;
    for (int g : {globalLowerChannel, globalUpperChannel, globalKnobMode, globalFaderMode, globalSplitMode,
                  globalSplitPoint})
        n += store.globals[(size_t)g] != keyboard.globals[(size_t)g] ? 1 : 0;
    return n;
}

/** Every ending of the start-up read-out, with how far the store stood from the keyboard at that moment. */
struct ReadOutReports
{
    struct Report
    {
        ReadOutChain::Outcome outcome;
        int differing;
    };

    explicit ReadOutReports(Rig& rig) : r(rig)
    {
        heard = r.link.getReadOut().onFinished(
            [this](ReadOutChain::Outcome outcome) {
                reports.add({outcome, differingValues(r.manager.snapshot(), r.kbd.getConfiguration())});
            });
    }
    ~ReadOutReports() { r.link.close(); }

    size_t count() const { return reports.all().size(); }
    /** The reports since index `from` that say complete while the store differs from the keyboard. */
    std::vector<int> completeButDiffering(size_t from) const
    {
        std::vector<int> bad;
        const auto all = reports.all();
        for (size_t i = from; i < all.size(); ++i)
            if (all[i].outcome == ReadOutChain::Outcome::complete && all[i].differing != 0)
                bad.push_back(all[i].differing);
        return bad;
    }
    int complete() const
    {
        const auto all = reports.all();
        return (int)std::count_if(all.begin(), all.end(),
                                  [](const Report& rep)
                                  { return rep.outcome == ReadOutChain::Outcome::complete; });
    }

    Rig& r;
    Recorder<Report> reports;
    Subscription heard;
};

/** Plugs the keyboard in (as the port watch sees it) and waits until it has been detected. */
::testing::AssertionResult plugAndDetect(Rig& r)
{
    const int before = r.events.count(KeyboardDetected);
    r.kbd.setPlugged(true);
    r.manager.checkPorts();
    if (!waitFor([&] { return r.events.count(KeyboardDetected) > before; }))
        return ::testing::AssertionFailure() << "the keyboard was not detected";
    return ::testing::AssertionSuccess();
}

void pull(Rig& r)
{
    r.kbd.setPlugged(false);
    r.manager.checkPorts();
}

/** A configuration other than the one the keyboard holds now. */
SettingsState anotherConfiguration(juce::Random& random, const SettingsState& current)
{
    auto next = randomConfiguration(random);
    while (differingValues(next, current) == 0)
        next = randomConfiguration(random);
    return next;
}
} // namespace

TEST(HotPlug, ReadOutsReportedCompleteAfterQuickPullsHoldWhatTheKeyboardHolds)
{
    Rig r;
    auto& readOut = r.attachChain();
    auto& sender = r.attachSender(5000);
    auto& freshRead = r.link.getFreshRead();
    ReadOutReports reports(r);

    juce::Random random(4711);
    const int cycles = cyclesToRun(40);
    int pulledDuringSend = 0, pulledDuringFreshRead = 0, seenLate = 0;
    pull(r);
    for (int cycle = 0; cycle < cycles; ++cycle)
    {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        const int kind = random.nextInt(3); // 0: the read-out only, 1: a send, 2: a fresh read
        const int pullAfterMs = random.nextInt(31);
        const bool lateLook = random.nextInt(4) == 0; // plugged in again before the watch looks
        r.kbd.setReplyDelayMs(random.nextInt(3) == 0 ? 1 + random.nextInt(10) : 0);
        r.kbd.setMaxPairsPerMessage(random.nextInt(3) == 0 ? 1 + random.nextInt(20) : 0);
        r.kbd.setConfiguration(anotherConfiguration(random, r.kbd.getConfiguration()));

        // Plugged in and found; something is read from it or sent to it; then the cable is pulled.
        ASSERT_TRUE(plugAndDetect(r));
        if (kind == 1)
        {
            // As the editor's Send does: the read-out gives way to the send.
            readOut.cancel();
            ASSERT_TRUE(sender.start(randomConfiguration(random)));
            ASSERT_TRUE(waitFor(
                [&]
                { return sender.getProgress().phase != VerifiedSend::Phase::idle || !sender.isRunning(); }));
            ++pulledDuringSend;
        }
        else if (kind == 2 && waitFor([&] { return !readOut.isActive(); }, 2000) && freshRead.start())
        {
            ++pulledDuringFreshRead;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pullAfterMs));
        r.kbd.setPlugged(false);
        if (!lateLook)
            r.manager.checkPorts();
        else
            ++seenLate;

        // Plugged in again holding another configuration, and read to the end.
        r.kbd.setReplyDelayMs(random.nextInt(3) == 0 ? 1 + random.nextInt(10) : 0);
        r.kbd.setConfiguration(anotherConfiguration(random, r.kbd.getConfiguration()));
        const auto from = reports.count();
        ASSERT_TRUE(plugAndDetect(r));
        if (!waitFor([&] { return reports.count() > from && !readOut.isActive(); }, 3000))
        {
            // A read-out that never ended by itself ends at the stall check, which reads the rig's clock.
            r.now += 60000;
            EXPECT_TRUE(waitFor([&] { return !readOut.isActive(); }));
        }
        EXPECT_TRUE(reports.completeButDiffering(from).empty())
            << "read-outs reported complete while the store differed from the keyboard in "
            << ::testing::PrintToString(reports.completeButDiffering(from)) << " values";

        ASSERT_TRUE(sender.waitUntilFinished(20000));
        ASSERT_TRUE(freshRead.waitUntilFinished(20000));
        pull(r);
        r.ports.waitUntilIdle();
    }
    EXPECT_GT(reports.complete(), cycles / 2) << "most read-outs after a plug run to their end";
    EXPECT_GT(pulledDuringSend, 0);
    EXPECT_GT(pulledDuringFreshRead, 0);
    EXPECT_GT(seenLate, 0);
    if (std::getenv("QUILLET_HOTPLUG_CYCLES") != nullptr)
        std::cout << cycles << " cycles: " << reports.complete() << " read-outs complete, "
                  << pulledDuringSend << " pulls during a send, " << pulledDuringFreshRead
                  << " during a fresh read, " << seenLate << " seen only after the keyboard was back\n";
}

// The read-out ends when the pull is seen, not when the window hears of it: the window may hear of the pull
// only after the keyboard was found again, and would then end the new connection's read-out.
TEST(HotPlug, APullEndsTheReadOutAtOnceReportedAsDisconnected)
{
    Rig r;
    auto& readOut = r.attachChain();
    ReadOutReports reports(r);
    r.kbd.setReplyDelayMs(20);
    ASSERT_TRUE(plugAndDetect(r));
    ASSERT_TRUE(readOut.isActive());
    pull(r);
    EXPECT_FALSE(readOut.isActive());
    r.now += 60000; // long past any stall
    r.ports.waitUntilIdle();
    readOut.checkForStall();
    ASSERT_EQ(reports.count(), 1u);
    EXPECT_EQ(reports.reports.all()[0].outcome, ReadOutChain::Outcome::disconnected)
        << "a pulled keyboard is not reported as one that stopped answering";
}

// The cable pulled while a send reads the keyboard back, which would otherwise wait for its stall timeout:
// the keyboard plugged in before then is read into the store, and the send is reported lost.
TEST(HotPlug, ASendPulledDuringItsReadBackLeavesTheNextReadOutToTheStore)
{
    Rig r;
    auto& readOut = r.attachChain();
    auto& sender = r.attachSender(10000);
    std::atomic<int> outcome{-1};
    ReadOutReports reports(r);
    const auto heard =
        sender.onFinished([&](const VerifiedSend::Result& result) { outcome = (int)result.outcome; });
    ASSERT_TRUE(plugAndDetect(r));
    ASSERT_TRUE(waitFor([&] { return !readOut.isActive(); }));

    juce::Random random(5);
    r.kbd.setReplyDelayMs(20);
    ASSERT_TRUE(sender.start(randomConfiguration(random)));
    ASSERT_TRUE(waitFor([&] { return sender.getProgress().phase == VerifiedSend::Phase::reading; }));
    pull(r);
    ASSERT_FALSE(r.manager.isKeyboardFound());

    const auto pluggedIn = randomConfiguration(random);
    r.kbd.setConfiguration(pluggedIn);
    r.kbd.setReplyDelayMs(0);
    const auto from = reports.count();
    ASSERT_TRUE(plugAndDetect(r));
    ASSERT_TRUE(waitFor([&] { return reports.count() > from; }));
    EXPECT_EQ(reports.reports.all().back().outcome, ReadOutChain::Outcome::complete);
    EXPECT_EQ(differingValues(r.manager.snapshot(), pluggedIn), 0);
    EXPECT_FALSE(r.manager.getAnswerRouter().isCapturing());

    ASSERT_TRUE(sender.waitUntilFinished(20000));
    EXPECT_EQ(outcome.load(), (int)VerifiedSend::Outcome::lost);
    EXPECT_EQ(differingValues(r.kbd.getConfiguration(), pluggedIn), 0)
        << "nothing of the earlier send reaches the keyboard plugged in since";
}

// A keyboard that introduces itself again (its identity reply to a scan's late request) restarts the start-up
// read-out: a send's read-back running then ends, and the read-out's answers reach the store.
TEST(HotPlug, AKeyboardFoundAnewDuringASendsReadBackIsReadIntoTheStore)
{
    Rig r;
    auto& readOut = r.attachChain();
    auto& sender = r.attachSender(10000);
    ReadOutReports reports(r);
    ASSERT_TRUE(plugAndDetect(r));
    ASSERT_TRUE(waitFor([&] { return !readOut.isActive(); }));

    // The keyboard takes nothing of what is sent: it keeps its own configuration throughout.
    juce::Random random(6);
    const auto keyboards = randomConfiguration(random);
    r.kbd.setConfiguration(keyboards);
    r.kbd.dropEverySetValue(1);
    r.kbd.setReplyDelayMs(20);
    const auto editors = anotherConfiguration(random, keyboards);
    r.manager.replace(editors);
    ASSERT_TRUE(sender.start(editors));
    ASSERT_TRUE(waitFor([&] { return sender.getProgress().phase == VerifiedSend::Phase::reading; }));

    const auto from = reports.count();
    r.kbd.sendRaw(identityReply());
    ASSERT_TRUE(waitFor([&] { return reports.count() > from; }));
    EXPECT_EQ(reports.reports.all().back().outcome, ReadOutChain::Outcome::complete);
    EXPECT_EQ(differingValues(r.manager.snapshot(), keyboards), 0);
    ASSERT_TRUE(sender.waitUntilFinished(20000));
    EXPECT_FALSE(r.manager.getAnswerRouter().isCapturing());
}
