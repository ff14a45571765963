#include "support/device_test_support.h"

namespace
{
using Outcomes = std::vector<ReadOutChain::Outcome>;

juce::String request(int a, int b)
{
    return juce::String::formatted("F0 00 6E 31 7F 42 01 00 %.2X %.2X F7", a, b);
}

/** Everything a read-out sends, in order. */
std::vector<juce::String> readOutRequests()
{
    std::vector<juce::String> out;
    for (int f : {3, 1, 2, 4, 5})
        out.push_back(request(f, 0));
    for (int g : {6, 2, 5, 1, 7, 8, 3})
        out.push_back(request(0x40, g));
    for (int id = 0x63; id <= 0x6A; ++id)
        out.push_back(juce::String::formatted("F0 00 6E 31 7F 42 02 00 00 %.2X 00 F7", id));
    return out;
}

} // namespace

TEST(ReadOut, RequestsEverythingInOrderAndTakesTheKeyboardsConfiguration)
{
    Rig r;
    r.attachChain();
    juce::Random random(7);
    r.kbd.setConfiguration(randomConfiguration(random));
    ASSERT_NE(r.kbd.getConfiguration(), r.manager.snapshot());
    r.manager.startScan();
    r.ports.waitUntilIdle();

    EXPECT_EQ(r.sentToKeyboard(1), readOutRequests());
    EXPECT_EQ(r.outcomes.all(), Outcomes{ReadOutChain::Outcome::complete});
    EXPECT_EQ(r.globalsReceived.load(), 1);
    EXPECT_TRUE(r.manager.snapshot() == r.kbd.getConfiguration()) << "every field and keyboard-wide value";
}

// A keyboard may split a long answer over several messages, each raising its own event: the read-out must
// still ask for each field once (it would otherwise multiply its requests at every step). The keyboard falls
// silent after 100 answers, more than a read-out needs, so a flood ends the test instead of hanging it.
TEST(ReadOut, SplitPairListsAreRequestedOnceAndStillReadWhole)
{
    Rig r;
    r.attachChain();
    juce::Random random(8);
    r.kbd.setConfiguration(randomConfiguration(random));
    r.kbd.setMaxPairsPerMessage(7);
    r.kbd.stopAnsweringAfter(100);
    r.manager.startScan();
    r.ports.waitUntilIdle();

    const auto sent = r.sentToKeyboard(1);
    for (int f : {1, 2, 4, 5})
        EXPECT_EQ(std::count(sent.begin(), sent.end(), request(f, 0)), 1) << "requests for field " << f;
    EXPECT_EQ(sent.size(), readOutRequests().size());
    EXPECT_EQ(r.outcomes.all(), Outcomes{ReadOutChain::Outcome::complete});
    EXPECT_TRUE(r.manager.snapshot() == r.kbd.getConfiguration()) << "every field and keyboard-wide value";
}

TEST(ReadOut, RandomConfigurationsAreReadIntoAnEmptyStore)
{
    Rig r;
    r.detect();
    auto& chain = r.attachChain();
    juce::Random random(1234);
    for (int i = 0; i < 1000; ++i)
    {
        const auto config = randomConfiguration(random);
        r.kbd.setConfiguration(config);
        r.manager.replace(SettingsState{});
        chain.handleManagerEvent(KeyboardDetected, 0);
        r.ports.waitUntilIdle();
        ASSERT_EQ(r.outcomes.all().size(), (size_t)i + 1);
        ASSERT_EQ(r.outcomes.all().back(), ReadOutChain::Outcome::complete) << "configuration " << i;
        ASSERT_TRUE(r.manager.snapshot() == config) << "configuration " << i;
    }
}

TEST(ReadOut, SilentKeyboardEndsTheReadOutOnceAfterTheTimeout)
{
    Rig r;
    r.detect();
    auto& chain = r.attachChain(1000);
    r.kbd.stopAnsweringAfter(3); // numbers, modes and channels
    const size_t from = r.kbd.receivedLog().size();
    chain.handleManagerEvent(KeyboardDetected, 0);
    r.ports.waitUntilIdle();
    const auto all = readOutRequests();
    const std::vector<juce::String> expected(all.begin(), all.begin() + 4);
    EXPECT_EQ(r.sentToKeyboard(from), expected);

    r.now += 1000;
    chain.checkForStall();
    EXPECT_TRUE(chain.isActive());
    EXPECT_TRUE(r.outcomes.all().empty());
    r.now += 1;
    chain.checkForStall();
    r.now += 5000;
    chain.checkForStall();
    EXPECT_FALSE(chain.isActive());
    EXPECT_EQ(r.outcomes.all(), Outcomes{ReadOutChain::Outcome::stalled});
    EXPECT_EQ(r.sentToKeyboard(from), expected);
}

TEST(ReadOut, KeyboardWideValuesAreAnnouncedOnceWhenTheSplitPointHasArrived)
{
    Rig r;
    r.detect();
    auto& chain = r.attachChain();
    r.kbd.stopAnsweringAfter(10); // the five fields and five keyboard-wide values, not the split point
    chain.handleManagerEvent(KeyboardDetected, 0);
    r.ports.waitUntilIdle();
    EXPECT_EQ(r.globalsReceived.load(), 0);

    r.fromKeyboard(answer({0x40, 0x08, 0x3C}));
    EXPECT_EQ(r.globalsReceived.load(), 1);
    r.fromKeyboard(answer({0x40, 0x03, 0x00})); // the octave shift, which ends the read-out
    EXPECT_EQ(r.globalsReceived.load(), 1);
    EXPECT_EQ(r.outcomes.all(), Outcomes{ReadOutChain::Outcome::complete});
}

TEST(ReadOut, EveryAnswerRestartsTheStallWait)
{
    Rig r;
    r.detect();
    auto& chain = r.attachChain(1000);
    r.kbd.stopAnsweringAfter(0);
    chain.handleManagerEvent(KeyboardDetected, 0);
    r.now += 900;
    r.fromKeyboard(answer({0x03, 0x01, 0x4A}));
    r.now += 900;
    chain.checkForStall();
    EXPECT_TRUE(chain.isActive()) << "1800 ms after the start, but 900 ms after the last answer";
    r.now += 101;
    chain.checkForStall();
    EXPECT_EQ(r.outcomes.all(), Outcomes{ReadOutChain::Outcome::stalled});
}

TEST(ReadOut, UnexpectedFieldAnswerInterruptsWithoutFurtherRequests)
{
    Rig r;
    r.detect();
    auto& chain = r.attachChain();
    r.kbd.stopAnsweringAfter(0);
    chain.handleManagerEvent(KeyboardDetected, 0);
    chain.handleManagerEvent(ItemFieldReceived, itemFieldNumber);
    EXPECT_FALSE(chain.isActive());
    EXPECT_EQ(r.outcomes.all(), Outcomes{ReadOutChain::Outcome::interrupted});

    const int sent = r.kbd.messagesReceived();
    r.fromKeyboard(answer({0x03, 0x01, 0x4A}));
    r.fromKeyboard(answer({0x01, 0x01, 0x01}));
    r.fromKeyboard(answer({0x40, 0x03, 0x00}));
    EXPECT_EQ(r.kbd.messagesReceived(), sent);
    EXPECT_EQ(r.outcomes.all().size(), 1u);
}

TEST(ReadOut, AnswersOutsideAReadOutSendNothing)
{
    Rig r;
    r.detect();
    r.attachChain();
    const int sent = r.kbd.messagesReceived();
    r.fromKeyboard(answer({0x40, 0x02, 0x7F}));
    r.fromKeyboard(answer({0x40, 0x08, 0x3C}));
    EXPECT_EQ(r.manager.getGlobal(globalKnobMode), 127);
    EXPECT_EQ(r.kbd.messagesReceived(), sent);
    EXPECT_TRUE(r.outcomes.all().empty());
}
