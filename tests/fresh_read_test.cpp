// Reading the keyboard afresh into a capture, for a comparison: never into the editor's configuration,
// never at the same time as a send.
#include "model/ConfigComparison.h"
#include "support/device_test_support.h"

#include <optional>
#include <thread>

namespace
{
/** A fresh read's reports, from whichever thread ended it. */
struct Reports
{
    explicit Reports(FreshRead& r)
        : reader(r),
          heard(reader.onFinished([this](const FreshRead::Result& result) { results.add(result); }))
    {
    }

    /** Starts a read and waits for its one report. */
    std::optional<FreshRead::Result> readNow()
    {
        const auto before = results.all().size();
        if (!reader.start())
            return std::nullopt;
        EXPECT_TRUE(reader.waitUntilFinished(10000));
        const auto all = results.all();
        EXPECT_EQ(all.size(), before + 1);
        return all.size() > before ? std::optional<FreshRead::Result>(all.back()) : std::nullopt;
    }

    FreshRead& reader;
    Recorder<FreshRead::Result> results;
    Subscription heard;
};

SettingsState keyboardsOwn()
{
    auto s = KeyboardEmulator::factoryConfiguration();
    s.set(itemFieldChannel, 0x72, channelUpper);
    s.set(itemFieldMaxMsb, 0x0B, 99);
    s.globals[globalSplitPoint] = 41;
    s.globals[globalLowerChannel] = 6;
    return s;
}
} // namespace

TEST(FreshRead, ASecondReadSeesWhatChangedOnTheKeyboardAndTheStoreNeverDoes)
{
    Rig rig;
    rig.detect();
    const auto storeBefore = rig.manager.snapshot();
    Reports reports(rig.link.getFreshRead());

    rig.kbd.setConfiguration(keyboardsOwn());
    const auto first = reports.readNow();
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->complete);
    EXPECT_TRUE(ConfigComparison::between(keyboardsOwn(), first->keyboard).identical());

    // The keyboard changes behind the editor's back; the next read says so, nothing stale is kept.
    auto changed = keyboardsOwn();
    changed.set(itemFieldNumber, 0x01, 33);
    changed.globals[globalSplitPoint] = 60;
    rig.kbd.setConfiguration(changed);
    const auto second = reports.readNow();
    ASSERT_TRUE(second.has_value());
    const auto c = ConfigComparison::between(first->keyboard, second->keyboard);
    EXPECT_EQ(c.differing(), 2);
    EXPECT_EQ(c.unknown(), 0);

    EXPECT_EQ(rig.manager.snapshot(), storeBefore) << "a fresh read wrote the editor's configuration";
    EXPECT_FALSE(rig.manager.getAnswerRouter().isCapturing());
}

TEST(FreshRead, NeverRunsBesideASendAndAStalledReadLeavesTheRestUnknown)
{
    Rig rig;
    rig.detect();
    auto& sender = rig.attachSender(2000);
    auto& reader = rig.link.getFreshRead();
    Reports reports(reader);

    // A slow keyboard keeps each running long enough to try the other.
    rig.kbd.setReplyDelayMs(30);
    ASSERT_TRUE(reader.start());
    EXPECT_FALSE(sender.start(rig.manager.snapshot())) << "a send started in the middle of a fresh read";
    ASSERT_TRUE(reader.waitUntilFinished(10000));
    ASSERT_TRUE(sender.start(rig.manager.snapshot()));
    EXPECT_FALSE(reader.start()) << "a fresh read started in the middle of a send";
    ASSERT_TRUE(sender.waitUntilFinished(20000));
    rig.kbd.setReplyDelayMs(0);

    // Silent after three answers: numbers, modes and channels came, nothing after.
    rig.kbd.stopAnsweringAfter(3);
    const auto stalled = reports.readNow();
    ASSERT_TRUE(stalled.has_value());
    EXPECT_FALSE(stalled->complete);
    EXPECT_FALSE(stalled->lost);
    EXPECT_EQ(stalled->answers, 3);
    const auto c = ConfigComparison::between(rig.kbd.getConfiguration(), stalled->keyboard);
    EXPECT_EQ(c.differing(), 0);
    EXPECT_EQ(c.unknown(), 65 * 2 + 6) << "values never answered were taken as known";
    EXPECT_FALSE(rig.manager.getAnswerRouter().isCapturing());
}

TEST(FreshRead, AKeyboardUnpluggedPartWayEndsTheReadAsLost)
{
    Rig rig;
    rig.detect();
    Reports reports(rig.link.getFreshRead());
    rig.kbd.unplugAfter(2);
    ASSERT_TRUE(rig.link.getFreshRead().start());
    // The port watch's look, as its timer would take it once the cable is out.
    for (int i = 0; i < 500 && rig.link.getFreshRead().isRunning(); ++i)
    {
        rig.manager.checkPorts();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(rig.link.getFreshRead().waitUntilFinished(5000));
    const auto all = reports.results.all();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].lost);
    EXPECT_FALSE(all[0].complete);
}

TEST(FreshRead, TheIdentityRepliesVersionBytesAreTheFirmwareVersion)
{
    Rig rig;
    KeyboardEmulator::Identity identity;
    identity.version[0] = 2;
    identity.version[1] = 13;
    identity.version[2] = 0;
    identity.version[3] = 7;
    rig.kbd.setIdentity(identity);
    EXPECT_EQ(rig.manager.getFirmwareVersion(), "");
    rig.detect();
    EXPECT_EQ(rig.manager.getFirmwareVersion(), "2.13.0.7");
}
