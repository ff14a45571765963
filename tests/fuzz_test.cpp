#include "support/device_test_support.h"

#include <set>

namespace
{
#if defined(__SANITIZE_THREAD__)
constexpr int messageCount = 20000; // the sanitizer makes every message many times slower
#else
constexpr int messageCount = 100000;
#endif

/** Mostly data bytes, now and then a status byte that a faulty driver let through. */
juce::uint8 randomByte(juce::Random& random)
{
    return (juce::uint8)(random.nextInt(20) == 0 ? random.nextInt(256) : random.nextInt(128));
}

/** Random bytes in a SysEx frame, half of them behind the keyboard's answer header. */
std::vector<juce::uint8> randomSysEx(juce::Random& random)
{
    std::vector<juce::uint8> b{0xF0};
    if (random.nextBool())
        b.insert(b.end(), {0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00});
    for (int n = random.nextInt(40); n > 0; --n)
        b.push_back(randomByte(random));
    return b;
}

/** A well-formed answer (pair list, keyboard-wide value, control value or identity reply) with one to three
    bytes overwritten, inserted or cut off. */
std::vector<juce::uint8> mutatedAnswer(juce::Random& random)
{
    const int kind = random.nextInt(4);
    std::vector<juce::uint8> b{0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00};
    if (kind == 0)
    {
        b.push_back((juce::uint8)random.nextInt(6)); // the field, then the pairs
        for (int n = 2 * random.nextInt(70); n > 0; --n)
            b.push_back((juce::uint8)random.nextInt(128));
    }
    else if (kind == 1)
        b.insert(b.end(), {0x40, (juce::uint8)random.nextInt(20), (juce::uint8)random.nextInt(128)});
    else if (kind == 2)
        b.insert(b.end(), {0x00, (juce::uint8)random.nextInt(128), (juce::uint8)random.nextInt(128)});
    else
        b = {0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x6E, 0x31, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00};

    for (int n = 1 + random.nextInt(3); n > 0; --n)
    {
        const auto at = (size_t)(1 + random.nextInt((int)b.size() - 1));
        const int how = random.nextInt(3);
        if (how == 0)
            b[at] = randomByte(random);
        else if (how == 1)
            b.insert(b.begin() + (long)at, randomByte(random));
        else
            b.resize(at);
    }
    return b;
}

juce::MidiMessage randomMessage(juce::Random& random)
{
    const int kind = random.nextInt(3);
    if (kind == 2)
    {
        const int status = 0x80 + random.nextInt(0x70);
        if ((status & 0xE0) == 0xC0) // program change and channel pressure carry one data byte
            return juce::MidiMessage(status, random.nextInt(128));
        return juce::MidiMessage(status, random.nextInt(128), random.nextInt(128));
    }
    auto b = kind == 0 ? randomSysEx(random) : mutatedAnswer(random);
    b.push_back(0xF7);
    return juce::MidiMessage(b.data(), (int)b.size());
}

void expectStoreWithinBounds(const SettingsState& s, const std::set<int>& known, int after)
{
    ASSERT_TRUE(s.fields[0].empty()) << after;
    for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
        for (const auto& [id, value] : s.fields[(size_t)f])
        {
            ASSERT_TRUE(known.count(id) != 0) << "control " << id << " after message " << after;
            ASSERT_TRUE(OrvSysEx::isDataByte(value)) << "field " << f << " after message " << after;
        }
    for (size_t g = 0; g < s.globals.size(); ++g)
        ASSERT_TRUE(OrvSysEx::isDataByte(s.globals[g])) << "global " << g << " after message " << after;
}
} // namespace

TEST(Fuzz, RandomAndMutatedMessagesKeepTheStoreWithinBounds)
{
    Rig r;
    r.detect();
    const auto controls = ControlCatalogue::configurableControls();
    const std::set<int> known(controls.begin(), controls.end());
    juce::Random random(20240611);

    for (int i = 0; i < messageCount; ++i)
    {
        const auto m = randomMessage(random);
        const OrvMidiMessage49 parsed(m);
        const bool highGlobal =
            parsed.isKeyboardSysEx() && parsed.dataByte(7) == 0x40 && parsed.dataByte(8) > 11;
        const auto globalsBefore = highGlobal ? r.manager.snapshot().globals : SettingsState().globals;

        r.manager.dispatch(Rig::keyboardName, m);

        if (highGlobal)
        {
            ASSERT_EQ(r.manager.snapshot().globals, globalsBefore) << hex(m);
        }
        if (i % 16 == 0)
        {
            ASSERT_NO_FATAL_FAILURE(expectStoreWithinBounds(r.manager.snapshot(), known, i));
        }
    }
    expectStoreWithinBounds(r.manager.snapshot(), known, messageCount);
    EXPECT_GT(r.events.count(ItemFieldReceived), 0);
    EXPECT_GT(r.events.count(GlobalReceived), 0);

    // Still listening after all that.
    r.manager.dispatch(Rig::keyboardName, answer({0x40, 0x08, 0x3C}));
    EXPECT_EQ(r.manager.getGlobal(globalSplitPoint), 0x3C);
}
