// The keyboard read-out against the emulator beside the bare cost of building and parsing the same
// messages, the send-all stream into a virtual output beside a raw loop sending the same bytes, and a
// verified Send (stream, read-back, comparison) beside the bare stream into the same emulator.
#include "device/OrvManager49.h"
#include "device/ReadOutChain.h"
#include "device/SysExCodec.h"
#include "device/VerifiedSend.h"
#include "emulator/KeyboardEmulator.h"

#include <benchmark/benchmark.h>

#include <condition_variable>

namespace
{
/** Forwards the manager's events to a read-out chain and tells when it has finished. */
struct ChainDriver : OrvManagerListener
{
    explicit ChainDriver(ReadOutChain& c) : chain(c)
    {
        chain.onFinished = [this](ReadOutChain::Outcome)
        {
            std::lock_guard<std::mutex> g(lock);
            done = true;
            finished.notify_all();
        };
    }
    void handleManagerEvent(int event, int p1, int, int) override { chain.handleManagerEvent(event, p1); }
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
};

void BM_ReadOutAgainstEmulator(benchmark::State& state)
{
    juce::MessageManager::getInstance(); // the scan and the chain start timers; their ticks are not needed
    VirtualMidiPorts ports;
    KeyboardEmulator keyboard(ports);
    OrvManager49 manager(ports);
    ReadOutChain chain(manager, 60000);
    ChainDriver driver(chain);
    manager.addListener(&driver);
    manager.startScan(); // opens the inputs and asks output 0, which is the emulator
    ports.waitUntilIdle();
    driver.waitForEnd();
    for (auto _ : state)
    {
        manager.notifyListeners(KeyboardDetected, 0, 0);
        driver.waitForEnd();
    }
}
BENCHMARK(BM_ReadOutAgainstEmulator)->Unit(benchmark::kMicrosecond);

void BM_FloorBuildAndParseReadOutMessages(benchmark::State& state)
{
    // The same requests, and answers of the same sizes, built and taken apart with no ports or threads.
    const auto config = KeyboardEmulator::factoryConfiguration();
    for (auto _ : state)
    {
        int sum = 0;
        for (int field : {3, 1, 2, 4, 5})
        {
            sum += OrvSysEx::makeItemFieldRequest(field).getRawDataSize();
            std::vector<juce::uint8> bytes{
                0xF0, 0x00, 0x6E, 0x31, 0x02, 0x42, 0x02, 0x00, (juce::uint8)field};
            for (const auto& [id, value] : config.fields[(size_t)field])
            {
                bytes.push_back((juce::uint8)id);
                bytes.push_back((juce::uint8)value);
            }
            bytes.push_back(0xF7);
            OrvMidiMessage49 answer(juce::MidiMessage(bytes.data(), (int)bytes.size()));
            sum += answer.getItemConfigPairs().size();
        }
        for (int g : {6, 2, 5, 1, 7, 8, 3})
        {
            sum += OrvSysEx::makeGlobalParamRequest(g).getRawDataSize();
            OrvMidiMessage49 answer(OrvSysEx::makeSetFrame(0x40, g, 1));
            sum += answer.dataByte(9);
        }
        for (int i = 0; i < 8; ++i)
            sum += OrvSysEx::makeItemValueSet(0x63 + i, 0).getRawDataSize();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_FloorBuildAndParseReadOutMessages)->Unit(benchmark::kMicrosecond);

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
/** The emulator detected on virtual ports, with a manager whose events reach a verified send. */
struct EmulatedLink : OrvManagerListener
{
    EmulatedLink()
    {
        juce::MessageManager::getInstance();
        manager.addListener(this);
        manager.startScan(); // asks output 0, which is the emulator
        ports.waitUntilIdle();
    }
    ~EmulatedLink() override
    {
        sender.stop();
        manager.closeAllPorts();
    }
    void handleManagerEvent(int event, int p1, int, int) override { sender.handleManagerEvent(event, p1); }

    VirtualMidiPorts ports;
    KeyboardEmulator keyboard{ports};
    OrvManager49 manager{ports};
    VerifiedSend sender{manager, 60000};
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
} // namespace
