#include "device_test_support.h"

namespace
{
// Timers need a message manager. No loop runs, so the scan and the stall check move only when a test
// calls them.
struct MessageManagerEnvironment : ::testing::Environment
{
    void SetUp() override { juce::MessageManager::getInstance(); }
    void TearDown() override
    {
        juce::DeletedAtShutdown::deleteAll();
        juce::MessageManager::deleteInstance();
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new MessageManagerEnvironment);
} // namespace

juce::MidiMessage answer(std::initializer_list<int> body)
{
    std::vector<juce::uint8> bytes{0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00};
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.push_back(0xF7);
    return juce::MidiMessage(bytes.data(), (int)bytes.size());
}

juce::MidiMessage identityReply()
{
    return msg("F0 7E 7F 06 02 00 6E 31 02 00 01 00 01 00 00 00 F7");
}

bool isCompleteFrame(const juce::MidiMessage& m)
{
    const auto* raw = m.getRawData();
    const int size = m.getRawDataSize();
    if (raw[0] != 0xF0)
        return raw[0] >= 0x80 && raw[0] < 0xF0;
    for (int i = 1; i < size - 1; ++i)
        if (raw[i] >= 0x80)
            return false;
    return size >= 2 && raw[size - 1] == 0xF7;
}

SettingsState randomConfiguration(juce::Random& random)
{
    static const int channels[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 64, 65, 126, 127};
    SettingsState s;
    for (int id : ControlCatalogue::configurableControls())
    {
        s.set(itemFieldMode, id, random.nextInt(numItemModes));
        s.set(itemFieldChannel, id, channels[random.nextInt(20)]);
        for (int f : {itemFieldNumber, itemFieldMinLsb, itemFieldMaxMsb})
            s.set(f, id, random.nextInt(128));
    }
    for (int g : {globalLowerChannel, globalUpperChannel, globalFaderMode, globalSplitMode, globalSplitPoint})
        s.globals[(size_t)g] = (int16_t)random.nextInt(128);
    s.globals[globalKnobMode] = random.nextBool() ? 127 : 1;
    return s;
}

std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << "{event " << e.event << ", " << e.p1 << ", " << e.p2 << "}";
}

int EventLog::count(int event) const
{
    const auto events = all();
    return (int)std::count_if(events.begin(), events.end(),
                              [event](const Event& e) { return e.event == event; });
}

//==============================================================================
Rig::Rig(const juce::StringArray& before, const juce::StringArray& after,
         const juce::StringArray& extraInputs)
    : keyboard((addCapturedOutputs(before), std::make_unique<KeyboardEmulator>(ports))), kbd(*keyboard),
      manager(link.getManager())
{
    addCapturedOutputs(after);
    for (const auto& name : extraInputs)
        ports.addInput(name);
    // The read-out starts on detection only in the tests that ask for it.
    link.setReadOutOnDetection(false);
    manager.addListener(&events);
    manager.setClock([this] { return now.load(); });
}

Rig::~Rig()
{
    // Deliveries end before the listeners go.
    link.close();
    ports.waitUntilIdle();
}

void Rig::addCapturedOutputs(const juce::StringArray& names)
{
    for (const auto& name : names)
        ports.addOutput(name, [&c = captured[name]](const juce::MidiMessage& m) { c.add(hex(m)); });
}

void Rig::detect()
{
    manager.startScan();
    ports.waitUntilIdle();
    runScanToEnd();
    ASSERT_TRUE(manager.isKeyboardFound());
    events.clear();
}

std::vector<juce::String> Rig::sentToKeyboard(size_t from) const
{
    std::vector<juce::String> out;
    const auto log = kbd.receivedLog();
    for (size_t i = from; i < log.size(); ++i)
        out.push_back(hex(log[i]));
    return out;
}

ReadOutChain& Rig::attachChain(int stallTimeoutMs)
{
    auto& chain = link.getReadOut();
    chain.setStallTimeout(stallTimeoutMs);
    chain.setClock([this] { return now.load(); });
    heard.push_back(chain.onGlobalsReceived([this] { ++globalsReceived; }));
    heard.push_back(chain.onFinished([this](ReadOutChain::Outcome o) { outcomes.add(o); }));
    link.setReadOutOnDetection(true);
    return chain;
}

VerifiedSend& Rig::attachSender(int answerTimeoutMs)
{
    link.getReadBack().setStallTimeout(answerTimeoutMs);
    auto& sender = link.getSender();
    sender.retryPauseMs = 1;
    return sender;
}
