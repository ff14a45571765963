#include "SyxImport.h"

#include "../device/SysExCodec.h"
#include "FileGate.h"

namespace SyxImport
{
namespace
{
Result refuse(const juce::String& why)
{
    Result r;
    r.message = why;
    return r;
}

/** A stream of a whole configuration is a few kilobytes; anything far larger is something else. */
constexpr size_t maxStreamSize = 64 * 1024;
} // namespace

juce::MemoryBlock streamOf(const SettingsState& state)
{
    juce::MemoryBlock bytes;
    for (const auto& m : OrvSysEx::sendAllMessages(state))
        bytes.append(m.getRawData(), (size_t)m.getRawDataSize());
    return bytes;
}

Result fromBytes(const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*>(data);
    if (size == 0)
        return refuse("the file is empty");
    if (size > maxStreamSize)
        return refuse("the file is far larger than a setup's stream (" + juce::String((juce::int64)size) +
                      " bytes)");
    if (bytes[0] != OrvSysEx::sysExStart)
        return refuse("the file does not start with a SysEx message (F0)");

    // What a fresh editor holds, then every value the stream sets, message by message.
    KbdSettingsStore fresh;
    auto state = fresh.snapshot();
    int message = 0;
    for (size_t at = 0; at < size;)
    {
        ++message;
        const auto where = "message " + juce::String(message);
        if (bytes[at] != OrvSysEx::sysExStart)
            return refuse(where + " does not start with F0");
        size_t end = at + 1;
        while (end < size && bytes[end] < 0x80)
            ++end;
        if (end == size || bytes[end] != OrvSysEx::sysExEnd)
            return refuse(where + " is not closed by F7");
        const auto* frame = bytes + at;
        const int frameSize = (int)(end - at + 1);
        at = end + 1;
        if (frameSize != OrvSysEx::setFrameSize ||
            !std::equal(OrvSysEx::setFrameStart, OrvSysEx::setFrameStart + 8, frame))
        {
            const auto closing = OrvSysEx::makeClosingCommand();
            if (at == size && frameSize == closing.getRawDataSize() &&
                std::memcmp(frame, closing.getRawData(), (size_t)frameSize) == 0)
                break;
            return refuse(where + " is not a value for the Quillet 49 as the editor sends it");
        }
        const int address = frame[8], id = frame[9], value = frame[10];
        if (address >= itemFieldMode && address <= itemFieldMaxMsb)
        {
            if (!fresh.isKnownItem(id))
                return refuse(where + " sets control " + juce::String(id) +
                              ", which the keyboard does not have");
            state.set(address, id, value);
        }
        else if (address == OrvSysEx::globalAddress && id < numGlobalParams)
        {
            state.globals[(size_t)id] = (int16_t)value;
        }
        else
        {
            return refuse(where + " sets nothing the editor keeps (address " + juce::String(address) + ")");
        }
    }

    // Only the whole stream, in Send's order, is a setup: the stream rebuilt must be the file exactly.
    const auto rebuilt = streamOf(state);
    if (rebuilt.getSize() != size || std::memcmp(rebuilt.getData(), data, size) != 0)
    {
        size_t same = 0;
        const auto* r = static_cast<const juce::uint8*>(rebuilt.getData());
        while (same < size && same < rebuilt.getSize() && r[same] == bytes[same])
            ++same;
        return refuse("it is not a whole setup as Send transmits it: the values are not all there, or "
                      "not in Send's order (from byte " +
                      juce::String((juce::int64)same) + " on)");
    }
    // A stream may carry values that mean nothing to the editor: a mode it does not know, a channel code
    // that is no channel. Such a stream is not a setup.
    for (const auto& [id, number] : state.numbers())
    {
        const int mode = state.get(itemFieldMode, id), channel = state.get(itemFieldChannel, id);
        if (mode >= numItemModes)
            return refuse("control " + juce::String(id) + " has mode " + juce::String(mode) +
                          ", which the editor does not know");
        if (!ControlCatalogue::isKnownChannelCode(channel))
            return refuse("control " + juce::String(id) + " has channel code " + juce::String(channel) +
                          ", which is no channel");
    }
    Result ok;
    ok.ok = true;
    ok.state = std::move(state);
    return ok;
}

Result fromFile(const juce::File& file)
{
    const auto read = FileGate::readBytes(file, {(juce::int64)maxStreamSize, "a setup's stream"});
    if (!read.ok())
        return refuse(read.reason);
    return fromBytes(read.bytes.getData(), read.bytes.getSize());
}
} // namespace SyxImport
