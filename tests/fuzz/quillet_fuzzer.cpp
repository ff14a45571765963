// A libFuzzer target for the places that take outside input: the device manager's incoming dispatch, the
// settings file reader (with the .syx import and the emulated keyboard's MIDI files), the library's own files
// (its index and its marks) and the MIDI monitor's decoder. The first byte picks the part (its value modulo
// 4: dispatch, file, library, monitor), unless QUILLET_FUZZ_HALF=dispatch, =file, =library or =monitor holds
// every input to one. The test command runs each part for a minute over the seeds in tests/fuzz/corpus/
// (tests/fuzz/run.sh); for a long run:
//   cmake -S . -B build-asan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
//         -DQUILLET_GUI=OFF -DQUILLET_FUZZER=ON -DQUILLET_BENCHMARKS=OFF
//   cmake --build build-asan --target quillet_fuzzer && tests/fuzz/run.sh build-asan 1800
#include "device/MonitorDecoder.h"
#include "device/OrvManager49.h"
#include "device/SysExCodec.h"
#include "device/VirtualMidiPorts.h"
#include "emulator/EmulatedPlayer.h"
#include "files/DawMaps.h"
#include "files/LibraryIndex.h"
#include "files/LibraryMarks.h"
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

/** A monitor line keeps the message's bytes exactly and reads as words whatever they are. */
void checkLine(const MonitorLine& line, const uint8_t* bytes, size_t size)
{
    if ((size_t)line.size() != size || (size > 0 && std::memcmp(line.bytes(), bytes, size) != 0))
        std::abort();
    if (line.channel < 0 || line.channel > 16 || line.words().isEmpty() ||
        line.hex().length() != (int)size * 3 - 1)
        std::abort();
    (void)line.controlNames();
}

SettingsState factoryConfiguration()
{
    SettingsState s;
    s.resetItemsToDefaults();
    s.applyEditorGlobalDefaults();
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static const char* const half = std::getenv("QUILLET_FUZZ_HALF");
    const uint8_t target = data[0];
    enum class Part
    {
        dispatch,
        file,
        library,
        monitor
    };
    auto part = (Part)(target % 4);
    if (half != nullptr)
        part = std::strcmp(half, "dispatch") == 0  ? Part::dispatch
               : std::strcmp(half, "file") == 0    ? Part::file
               : std::strcmp(half, "monitor") == 0 ? Part::monitor
                                                   : Part::library;
    ++data;
    --size;

    if (part == Part::monitor)
    {
        // The input as one message, then cut as a port's byte stream would be; the decoder keeps its pending
        // parameter sequences from one input to the next, as it does between messages.
        static MonitorDecoder decoder(factoryConfiguration());
        const auto direction =
            (target & 4) == 0 ? MonitorDirection::fromKeyboard : MonitorDirection::toKeyboard;
        const int n = (int)std::min<size_t>(size, 8192);
        checkLine(decoder.decode(0.0, direction, data, n), data, (size_t)n);
        for (const auto& piece : MonitorDecoder::splitStream(data, n))
            checkLine(decoder.decode(0.0, direction, piece.data(), (int)piece.size()), piece.data(),
                      piece.size());
        return 0;
    }
    if (part == Part::library)
    {
        if ((target & 4) == 0)
        {
            // An index is trusted whole or not at all, and what it gives is what a file could hold.
            std::map<juce::String, SetupEntry> entries;
            const auto parsed = LibraryIndex::parse(data, size, entries);
            if (parsed != LibraryIndex::Parsed::ok && !entries.empty())
                std::abort();
            for (const auto& [name, e] : entries)
                if (name.isEmpty() || e.info.title.length() > SetupInfo::maxTitleLength ||
                    e.info.tags.size() > SetupInfo::maxTags || e.info.title.containsAnyOf("\n\r\t"))
                    std::abort();
        }
        else
        {
            const auto marks = LibraryMarks::parse(data, size);
            if (marks)
                for (const auto& [name, m] : *marks)
                    if (name.isEmpty() || m.used < 0)
                        std::abort();
        }
        return 0;
    }
    if (part == Part::dispatch)
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
            // Roles kept are roles the maps take, and the maps of the file stay files their DAWs can parse.
            if (doc.setup.roles)
            {
                for (const auto& [id, role] : doc.setup.roles->assigned())
                    if (!ControlCatalogue::isPictureControl(id) || ControlRole::fromKey(role.key()) != role)
                        std::abort();
                SettingsState state;
                state.resetItemsToDefaults();
                doc.applyTo(state);
                const DawMaps maps(state, *doc.setup.roles, doc.setup.title);
                if (juce::XmlDocument::parse(
                        juce::String::fromUTF8(maps.text(DawMaps::Daw::ardour).c_str())) == nullptr ||
                    juce::JSON::parse(juce::String::fromUTF8(maps.text(DawMaps::Daw::realearn).c_str()))
                        .isVoid() ||
                    maps.folderName().containsAnyOf("/\\"))
                    std::abort();
            }
        }
        // A .syx is imported only when it is a stream Send transmits, byte for byte.
        const auto imported = SyxImport::fromBytes(data, size);
        if (imported.ok && SyxImport::streamOf(imported.state) != juce::MemoryBlock(data, size))
            std::abort();
        // A MIDI file the emulated keyboard is asked to play: only channel messages come out of it.
        for (const auto& m : EmulatedPlayer::parse(data, size).messages)
            if (m.getChannel() < 1 || m.getRawDataSize() > 3)
                std::abort();
    }
    return 0;
}
