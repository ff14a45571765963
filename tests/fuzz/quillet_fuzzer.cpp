// A libFuzzer target for the two places that take outside input: the device manager's incoming dispatch
// and the settings file reader (with the .syx import). The first byte picks the half (even: dispatch, odd:
// file), unless QUILLET_FUZZ_HALF=dispatch or =file holds every input to one. The test command runs each half
// for a minute over the seeds in tests/fuzz/corpus/ (tests/fuzz/run.sh); for a long run:
//   cmake -S . -B build-asan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
//         -DQUILLET_GUI=OFF -DQUILLET_FUZZER=ON -DQUILLET_BENCHMARKS=OFF
//   cmake --build build-asan --target quillet_fuzzer && tests/fuzz/run.sh build-asan 1800
#include "device/OrvManager49.h"
#include "device/SysExCodec.h"
#include "device/VirtualMidiPorts.h"
#include "files/SafeXmlReader.h"
#include "files/SettingsFile.h"
#include "files/SyxImport.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
struct Rig
{
    Rig()
    {
        ports.addInput("keyboard");
        ports.addOutput("keyboard");
        manager.keyboardFound("keyboard", "keyboard");
    }
    VirtualMidiPorts ports;
    OrvManager49 manager{ports};
};

void checkStore(const OrvManager49& manager)
{
    const auto s = manager.snapshot();
    for (int field = 1; field <= 5; ++field)
        for (const auto& [id, value] : s.fields[(size_t)field])
            if (!ControlCatalogue::isConfigurable(id) || value < 0 || value > 127)
                std::abort(); // the wire wrote something it never may
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static const char* const half = std::getenv("QUILLET_FUZZ_HALF");
    uint8_t target = data[0];
    if (half != nullptr && std::strcmp(half, "dispatch") == 0)
        target &= 0xFE;
    else if (half != nullptr && std::strcmp(half, "file") == 0)
        target |= 1;
    ++data;
    --size;

    if ((target & 1) == 0)
    {
        static Rig rig;
        std::vector<uint8_t> bytes;
        if ((target & 2) == 0)
        {
            // A SysEx frame around whatever came in.
            bytes.push_back(0xF0);
            bytes.insert(bytes.end(), data, data + std::min<size_t>(size, 4096));
            bytes.push_back(0xF7);
        }
        else
        {
            // A channel message: a status byte and up to two data bytes.
            bytes.push_back((uint8_t)(0x80 + data[0] % 0x70));
            for (size_t i = 1; i < std::min<size_t>(size, 3); ++i)
                bytes.push_back(data[i] & 0x7F);
        }
        rig.manager.dispatch("keyboard", juce::MidiMessage(bytes.data(), (int)bytes.size()));
        checkStore(rig.manager);
    }
    else
    {
        auto xml = SafeXmlReader::parseBytes(data, size);
        if (xml.root != nullptr)
        {
            const auto doc = parseSettingsXml(*xml.root);
            for (const auto& item : doc.items)
                for (int v : {item.id, item.config.mode, item.config.channel, item.config.number,
                              item.config.minLsb, item.config.maxMsb})
                    if (!OrvSysEx::isDataByte(v))
                        std::abort();
            if (doc.setup.title.length() > SetupInfo::maxTitleLength ||
                doc.setup.tags.size() > SetupInfo::maxTags || doc.setup.title.containsAnyOf("\n\r\t"))
                std::abort();
        }
        // A .syx is imported only when it is a stream Send transmits, byte for byte.
        const auto imported = SyxImport::fromBytes(data, size);
        if (imported.ok && SyxImport::streamOf(imported.state) != juce::MemoryBlock(data, size))
            std::abort();
    }
    return 0;
}
