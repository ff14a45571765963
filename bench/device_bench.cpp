// The keyboard read-out against the emulator beside two floors: building and parsing the same messages, and
// the same messages' round trips through the same ports and delivery thread. The send-all stream into a
// virtual output beside a raw loop sending the same bytes, and a verified Send (stream, read-back,
// comparison) beside the bare stream into the same emulator.
#include "device/KeyboardLink.h"
#include "device/MonitorTap.h"
#include "device/SysExCodec.h"
#include "emulator/KeyboardEmulator.h"
#include "model/ConfigComparison.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <thread>

namespace
{
/** Tells when the link's read-out has finished. */
struct ChainDriver
{
    explicit ChainDriver(ReadOutChain& c) : chain(c)
    {
        heard = chain.onFinished(
            [this](ReadOutChain::Outcome)
            {
                std::lock_guard<std::mutex> g(lock);
                done = true;
                finished.notify_all();
            });
    }
    void waitForEnd()
    {
        std::unique_lock<std::mutex> g(lock);
        finished.wait(g, [this] { return done; });
        done = false;
    }

    ReadOutChain& chain;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    Subscription heard;
};

/** The read-out's twelve requests and twelve answers of the same sizes, and its eight closing messages. */
struct ReadOutMessages
{
    explicit ReadOutMessages(const SettingsState& config = KeyboardEmulator::factoryConfiguration())
    {
        for (int field : {3, 1, 2, 4, 5})
        {
            requests.push_back(OrvSysEx::makeItemFieldRequest(field));
            std::vector<juce::uint8> bytes{
                0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00, (juce::uint8)field};
            for (const auto& [id, value] : config.fields[(size_t)field])
            {
                bytes.push_back((juce::uint8)id);
                bytes.push_back((juce::uint8)value);
            }
            bytes.push_back(0xF7);
            answers.emplace_back(bytes.data(), (int)bytes.size());
        }
        for (int g : {6, 2, 5, 1, 7, 8, 3})
        {
            requests.push_back(OrvSysEx::makeGlobalParamRequest(g));
            answers.push_back(OrvSysEx::makeSetFrame(0x40, g, 1));
        }
        for (int i = 0; i < 8; ++i)
            closing.push_back(OrvSysEx::makeItemValueSet(0x63 + i, 0));
    }
    std::vector<juce::MidiMessage> requests, answers, closing;
};

void BM_ReadOutAgainstEmulator(benchmark::State& state)
{
    juce::MessageManager::getInstance(); // the scan and the chain start timers; their ticks are not needed
    VirtualMidiPorts ports;
    KeyboardEmulator keyboard(ports);
    KeyboardLink link(ports, 60000, 60000);
    ChainDriver driver(link.getReadOut());
    auto& manager = link.getManager();
    manager.startScan(); // opens the inputs and asks output 0, which is the emulator
    ports.waitUntilIdle();
    driver.waitForEnd();
    for (auto _ : state)
    {
        manager.notifyListeners(KeyboardDetected, 0, 0);
        driver.waitForEnd();
    }
    link.close();
}
BENCHMARK(BM_ReadOutAgainstEmulator)->Unit(benchmark::kMicrosecond);

void BM_ReadOutUnderAStream(benchmark::State& state)
{
    // The read-out while a knob is turned, a message a millisecond; with the argument 1 the monitor is open
    // too: the link hands it every message, and its window takes them in 30 times a second.
    const bool monitorOpen = state.range(0) != 0;
    juce::MessageManager::getInstance();
    VirtualMidiPorts ports;
    KeyboardEmulator keyboard(ports);
    KeyboardLink link(ports, 60000, 60000);
    ChainDriver driver(link.getReadOut());
    auto& manager = link.getManager();
    manager.startScan();
    ports.waitUntilIdle();
    driver.waitForEnd();
    auto history = std::make_shared<MonitorHistory>();
    MonitorDecoder decoder(manager.snapshot());
    if (monitorOpen)
        manager.monitorTap().attach(history);
    std::atomic<bool> stop{false};
    std::thread knob(
        [&]
        {
            auto next = juce::Time::getMillisecondCounterHiRes();
            for (int value = 0; !stop; ++value)
            {
                keyboard.sendControlChange(74, value & 127);
                next += 1.0;
                while (!stop && juce::Time::getMillisecondCounterHiRes() < next)
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
    std::thread window(
        [&]
        {
            while (!stop)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(33));
                if (monitorOpen)
                    benchmark::DoNotOptimize(history->drain(decoder));
            }
        });
    for (auto _ : state)
    {
        manager.notifyListeners(KeyboardDetected, 0, 0);
        driver.waitForEnd();
    }
    stop = true;
    knob.join();
    window.join();
    manager.monitorTap().attach(nullptr);
    link.close();
}
BENCHMARK(BM_ReadOutUnderAStream)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FloorBuildAndParseReadOutMessages(benchmark::State& state)
{
    // The same requests, and answers of the same sizes, built and taken apart with no ports or threads.
    const auto config = KeyboardEmulator::factoryConfiguration();
    for (auto _ : state)
    {
        const ReadOutMessages messages(config);
        int sum = 0;
        for (const auto& m : messages.requests)
            sum += m.getRawDataSize();
        for (const auto& m : messages.answers)
        {
            OrvMidiMessage49 answer(m);
            sum += answer.isItemConfigResponse() ? answer.getItemConfigPairs().size() : answer.dataByte(9);
        }
        for (const auto& m : messages.closing)
            sum += m.getRawDataSize();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_FloorBuildAndParseReadOutMessages)->Unit(benchmark::kMicrosecond);

/** The floor under the read-out: the same requests and answers through the same virtual ports and delivery
    thread, each answer parsed and the next request sent from the input's callback, as the read-out does;
    with no keyboard, store or read-out logic between them. */
struct RoundTrips : MidiPortListener
{
    RoundTrips()
    {
        ports.addInput("keyboard");
        ports.addOutput("keyboard",
                        [this](const juce::MidiMessage&)
                        {
                            if (asked < (int)messages.answers.size())
                                ports.deliver(0, messages.answers[(size_t)asked++]);
                        });
        input = ports.openInput(0, *this);
        input->start();
        output = ports.openOutput(0);
    }
    void portMessageReceived(const juce::String&, const juce::MidiMessage& message) override
    {
        OrvMidiMessage49 answer(message);
        parsed +=
            answer.isItemConfigResponse() ? (int)answer.getItemConfigPairs().size() : answer.dataByte(9);
        if (++answered < (int)messages.requests.size())
        {
            output->sendMessageNow(messages.requests[(size_t)answered]);
            return;
        }
        for (const auto& m : messages.closing)
            output->sendMessageNow(m);
        std::lock_guard<std::mutex> g(lock);
        done = true;
        finished.notify_all();
    }
    void run()
    {
        asked = answered = 0;
        done = false;
        output->sendMessageNow(messages.requests[0]);
        std::unique_lock<std::mutex> g(lock);
        finished.wait(g, [this] { return done; });
    }

    ReadOutMessages messages;
    VirtualMidiPorts ports;
    std::unique_ptr<MidiInputPort> input;
    std::unique_ptr<MidiOutputPort> output;
    std::atomic<int> asked{0}, answered{0};
    int parsed = 0;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
};

void BM_FloorReadOutRoundTrips(benchmark::State& state)
{
    RoundTrips trips;
    for (auto _ : state)
        trips.run();
    benchmark::DoNotOptimize(trips.parsed);
}
BENCHMARK(BM_FloorReadOutRoundTrips)->Unit(benchmark::kMicrosecond);

void BM_SendAllIntoVirtualOutput(benchmark::State& state)
{
    VirtualMidiPorts ports;
    size_t bytes = 0;
    ports.addInput("sink");
    ports.addOutput("sink", [&](const juce::MidiMessage& m) { bytes += (size_t)m.getRawDataSize(); });
    OrvManager49 manager(ports);
    manager.keyboardFound("sink", "sink");
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.sendAllSettings());
    state.counters["bytes/stream"] = (double)bytes / (double)state.iterations();
}
BENCHMARK(BM_SendAllIntoVirtualOutput)->Unit(benchmark::kMicrosecond);

void BM_FloorRawSendLoop(benchmark::State& state)
{
    // The same 332 messages, prebuilt, sent straight to the same kind of output.
    VirtualMidiPorts ports;
    size_t bytes = 0;
    ports.addOutput("sink", [&](const juce::MidiMessage& m) { bytes += (size_t)m.getRawDataSize(); });
    auto out = ports.openOutput(0);
    std::vector<juce::MidiMessage> stream;
    OrvManager49 recorder(ports);
    ports.setOutputReceiver(0, [&](const juce::MidiMessage& m) { stream.push_back(m); });
    recorder.keyboardFound("", "sink");
    recorder.sendAllSettings();
    ports.setOutputReceiver(0, [&](const juce::MidiMessage& m) { bytes += (size_t)m.getRawDataSize(); });
    for (auto _ : state)
        for (const auto& m : stream)
            out->sendMessageNow(m);
    state.counters["bytes/stream"] = (double)bytes / (double)state.iterations();
}
BENCHMARK(BM_FloorRawSendLoop)->Unit(benchmark::kMicrosecond);
/** The emulator detected on virtual ports through the keyboard link, without the start-up read-out. */
struct EmulatedLink
{
    EmulatedLink()
    {
        juce::MessageManager::getInstance();
        link.setReadOutOnDetection(false);
        manager.startScan(); // asks output 0, which is the emulator
        ports.waitUntilIdle();
    }

    VirtualMidiPorts ports;
    KeyboardEmulator keyboard{ports};
    KeyboardLink link{ports, 60000, 60000};
    OrvManager49& manager = link.getManager();
    VerifiedSend& sender = link.getSender();
};

void BM_FloorSendAllIntoEmulator(benchmark::State& state)
{
    EmulatedLink link;
    for (auto _ : state)
        benchmark::DoNotOptimize(link.manager.sendAllSettings());
}
BENCHMARK(BM_FloorSendAllIntoEmulator)->Unit(benchmark::kMicrosecond);

void BM_VerifiedSendIntoEmulator(benchmark::State& state)
{
    EmulatedLink link;
    const auto configuration = link.manager.snapshot();
    for (auto _ : state)
    {
        link.sender.start(configuration);
        link.sender.waitUntilFinished(60000);
    }
}
BENCHMARK(BM_VerifiedSendIntoEmulator)->Unit(benchmark::kMicrosecond);

void BM_FreshReadAgainstEmulator(benchmark::State& state)
{
    // Read from the Keyboard into a comparison: the read-out's requests into a capture, beside the start-up
    // read-out (BM_ReadOutAgainstEmulator) against the same emulator.
    EmulatedLink link;
    auto& reader = link.link.getFreshRead();
    for (auto _ : state)
    {
        reader.start();
        reader.waitUntilFinished(60000);
    }
}
BENCHMARK(BM_FreshReadAgainstEmulator)->Unit(benchmark::kMicrosecond);

/** Two full configurations that differ in a handful of values, in controls and keyboard-wide values. */
std::pair<SettingsState, SettingsState> twoConfigurations()
{
    auto a = KeyboardEmulator::demoConfiguration(), b = KeyboardEmulator::factoryConfiguration();
    b.set(itemFieldMaxMsb, 0x0B, 99);
    b.set(itemFieldMode, 0x50, modeNoteToggle);
    b.names[0x70] = "Kick";
    return {a, b};
}

void BM_CompareTwoConfigurations(benchmark::State& state)
{
    const auto [a, b] = twoConfigurations();
    for (auto _ : state)
        benchmark::DoNotOptimize(ConfigComparison::between(a, b).rows().size());
}
BENCHMARK(BM_CompareTwoConfigurations)->Unit(benchmark::kMicrosecond);

void BM_FloorCopyConfiguration(benchmark::State& state)
{
    const auto configurations = twoConfigurations();
    for (auto _ : state)
    {
        SettingsState copy = configurations.first;
        benchmark::DoNotOptimize(copy.fields[1].size());
    }
}
BENCHMARK(BM_FloorCopyConfiguration)->Unit(benchmark::kMicrosecond);
} // namespace
