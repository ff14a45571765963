#include "support/device_test_support.h"

#include <set>
#include <thread>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
// The allocator's counts mean nothing under a sanitizer's own allocator, which finds leaks by itself.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUILLET_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUILLET_OWN_ALLOCATOR 1
#endif
#endif

namespace
{
juce::String setFrame(int a, int b, int c)
{
    return juce::String::formatted("F0 00 6E 31 7F 42 02 00 %.2X %.2X %.2X F7", a, b, c);
}

const char* const closing = "F0 00 6E 31 7F 42 06 00 F7";
const int sentGlobals[] = {globalLowerChannel, globalUpperChannel, globalKnobMode,
                           globalFaderMode,    globalSplitMode,    globalSplitPoint};

/** What sendAllSettings must send for the factory fields, with every keyboard-wide value 0, leaving out
    the (field, control) pairs in `skipped`. */
std::vector<juce::String> factoryStream(const std::set<std::pair<int, int>>& skipped = {})
{
    std::vector<juce::String> out;
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            if (skipped.count({f, id}) == 0)
                out.push_back(setFrame(f, id, ControlCatalogue::defaultConfig(id)->field(f)));
    for (int g : sentGlobals)
        if (skipped.count({0x40, g}) == 0)
            out.push_back(setFrame(0x40, g, 0));
    out.push_back(closing);
    return out;
}

void expectAllCompleteFrames(const Rig& r)
{
    for (const auto& m : r.kbd.receivedLog())
        ASSERT_TRUE(isCompleteFrame(m)) << hex(m);
}
} // namespace

TEST(Sends, NothingGoesOutBeforeTheKeyboardIsFound)
{
    Rig r;
    EXPECT_FALSE(r.manager.requestItemField(itemFieldMode));
    EXPECT_FALSE(r.manager.sendItemField(0x01, itemFieldMode, 1));
    EXPECT_FALSE(r.manager.requestGlobal(globalSplitPoint));
    EXPECT_FALSE(r.manager.sendGlobal(globalSplitPoint, 60));
    EXPECT_FALSE(r.manager.sendClosingCommand());
    EXPECT_FALSE(r.manager.sendAllSettings());
    EXPECT_EQ(r.kbd.messagesReceived(), 0);
}

TEST(Sends, ValuesOutsideTheDataRangeAreRefused)
{
    Rig r;
    r.detect();
    const int before = r.kbd.messagesReceived();
    EXPECT_FALSE(r.manager.sendItemField(1, 1, 128));
    EXPECT_FALSE(r.manager.sendItemField(-1, 1, 5));
    EXPECT_FALSE(r.manager.sendItemField(1, 0x80, 5));
    EXPECT_FALSE(r.manager.sendGlobal(8, -1));
    EXPECT_FALSE(r.manager.sendGlobal(200, 1));
    EXPECT_FALSE(r.manager.requestItemField(0x80));
    EXPECT_FALSE(r.manager.requestGlobal(-3));
    EXPECT_EQ(r.kbd.messagesReceived(), before);
}

TEST(Sends, EachSendHasItsFrame)
{
    Rig r;
    r.detect();
    const size_t from = r.kbd.receivedLog().size();
    ASSERT_TRUE(r.manager.requestItemField(4));
    ASSERT_TRUE(r.manager.sendItemField(0x13, 5, 0x7F));
    ASSERT_TRUE(r.manager.requestGlobal(8));
    ASSERT_TRUE(r.manager.sendGlobal(7, 0));
    ASSERT_TRUE(r.manager.sendClosingCommand());
    r.ports.waitUntilIdle();
    const std::vector<juce::String> expected = {"F0 00 6E 31 7F 42 01 00 04 00 F7", setFrame(5, 0x13, 0x7F),
                                                "F0 00 6E 31 7F 42 01 00 40 08 F7", setFrame(0x40, 7, 0),
                                                closing};
    EXPECT_EQ(r.sentToKeyboard(from), expected);
    EXPECT_EQ(r.kbd.closingCommandsReceived(), 1);
}

TEST(SendAll, FreshStoreSendsFactoryFieldsThenKeyboardWideValuesThenClosing)
{
    Rig r;
    r.detect();
    const size_t from = r.kbd.receivedLog().size();
    ASSERT_TRUE(r.manager.sendAllSettings());
    const auto sent = r.sentToKeyboard(from);

    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[0], "F0 00 6E 31 7F 42 02 00 01 01 01 F7");
    EXPECT_EQ(sent[1], "F0 00 6E 31 7F 42 02 00 02 01 00 F7");
    EXPECT_EQ(sent[2], "F0 00 6E 31 7F 42 02 00 03 01 4A F7");
    EXPECT_EQ(sent, factoryStream());
    EXPECT_EQ(sent.size(), 325u + 6u + 1u);
    size_t bytes = 0;
    for (const auto& m : r.kbd.receivedLog())
        bytes += (size_t)m.getRawDataSize();
    EXPECT_EQ(bytes, 6u + 3981u); // after the scan's identity request
    expectAllCompleteFrames(r);
}

TEST(SendAll, ValuesThatCannotTravelAreSkippedAndTheRestStillGoes)
{
    Rig r;
    r.detect();
    r.manager.setItemField(itemFieldMode, 0x01, 200);
    r.manager.setItemField(itemFieldMaxMsb, 0x70, -5);
    r.manager.setItemField(itemFieldNumber, 0x90, 5); // an id no frame can carry
    r.manager.setGlobal(globalSplitMode, 300);
    const size_t from = r.kbd.receivedLog().size();
    ASSERT_TRUE(r.manager.sendAllSettings());
    EXPECT_EQ(r.sentToKeyboard(from),
              factoryStream({{itemFieldMode, 0x01}, {itemFieldMaxMsb, 0x70}, {0x40, globalSplitMode}}));
    EXPECT_EQ(r.kbd.getConfiguration().get(itemFieldMode, 0x01), 1) << "the keyboard keeps its own value";
    expectAllCompleteFrames(r);
}

TEST(SendAll, RandomConfigurationsArriveWhole)
{
    Rig r;
    r.detect();
    juce::Random random(4711);
    for (int i = 0; i < 1000; ++i)
    {
        const auto config = randomConfiguration(random);
        r.manager.replace(config);
        ASSERT_TRUE(r.manager.sendAllSettings());
        ASSERT_TRUE(r.kbd.getConfiguration() == config) << "configuration " << i;
    }
    expectAllCompleteFrames(r);
}

// Edits and whole-configuration sends on the message thread while read-outs are answered and dispatched on
// the input thread.
TEST(SendAll, ConcurrentReadOutsNeverBreakIntoAStream)
{
    Rig r;
    r.detect();
    auto& chain = r.attachChain();
    const int streams = 25, readOuts = 25;

    std::thread messageThread(
        [&]
        {
            juce::Random random(99);
            const auto controls = ControlCatalogue::configurableControls();
            for (int i = 0; i < streams; ++i)
            {
                for (int e = 0; e < 20; ++e)
                    r.manager.setItemField(1 + random.nextInt(5), controls[(size_t)random.nextInt(65)],
                                           random.nextInt(128));
                r.manager.sendAllSettings();
            }
        });
    for (int i = 0; i < readOuts; ++i)
    {
        chain.handleManagerEvent(KeyboardDetected, 0); // the rest of the read-out runs on the input thread
        ASSERT_TRUE(r.ports.waitUntilIdle());
    }
    messageThread.join();

    EXPECT_EQ(r.outcomes.all(),
              std::vector<ReadOutChain::Outcome>(readOuts, ReadOutChain::Outcome::complete));
    expectAllCompleteFrames(r);

    // Each closing command ends a whole stream: the 331 sets of every field and keyboard-wide value in order.
    const auto sent = r.sentToKeyboard();
    const auto order = factoryStream();
    int closings = 0;
    for (size_t k = 0; k < sent.size(); ++k)
    {
        if (sent[k] != closing)
            continue;
        ++closings;
        ASSERT_GE(k + 1, order.size());
        for (size_t j = 0; j < order.size(); ++j)
            ASSERT_EQ(sent[k + 1 - order.size() + j].substring(0, 29), order[j].substring(0, 29))
                << "stream ending at " << k;
    }
    EXPECT_EQ(closings, streams);
}

TEST(SendAll, MemoryStaysFlatOverTenThousandSendsOfTwoAlternatingConfigurations)
{
#if !defined(__GLIBC__) || defined(QUILLET_OWN_ALLOCATOR)
    GTEST_SKIP() << "reads glibc's allocator counts";
#else
    VirtualMidiPorts ports;
    ports.addInput("keyboard");
    ports.addOutput("keyboard");
    OrvManager49 manager(ports);
    manager.keyboardFound("keyboard", "keyboard");
    juce::Random random(5);
    const auto first = randomConfiguration(random), second = randomConfiguration(random);
    const auto sendBoth = [&](int times)
    {
        for (int i = 0; i < times; ++i)
            for (const auto* config : {&first, &second})
            {
                manager.replace(*config);
                ASSERT_TRUE(manager.sendAllSettings());
            }
    };
    sendBoth(20);
    const auto before = mallinfo2().uordblks;
    sendBoth(5000);
    const auto grown = (long long)mallinfo2().uordblks - (long long)before;
    EXPECT_LT(grown, 64 * 1024) << "bytes still allocated after the sends";
#endif
}

TEST(VerifiedSendReport, NamesHiddenControlsAsSuchAndKeepsAFullListOfDifferencesToShortLines)
{
    VerifiedSend::Result result;
    result.outcome = VerifiedSend::Outcome::differences;
    result.retries = 3;
    result.differences.push_back({itemFieldChannel, 0x20, 1, 2});
    EXPECT_TRUE(result.describe().contains("hidden control 32 (channel)")) << result.describe();

    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            result.differences.push_back({f, id, 1, 2});
    const auto lines = juce::StringArray::fromLines(result.describe());
    EXPECT_GT(lines.size(), 1);
    EXPECT_LE(lines.size(), 20);
    for (const auto& line : lines)
        EXPECT_LE(line.length(), 120) << line;
    EXPECT_TRUE(lines[0].startsWith("326 values differ after 4 tries: ")) << lines[0];
}
