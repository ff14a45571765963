#include "MonitorExport.h"

#include <algorithm>

namespace MonitorExport
{
namespace
{
bool isWholeSysEx(const MonitorLine& line)
{
    const auto* d = line.bytes();
    const int n = line.size();
    return n >= 2 && d[0] == 0xF0 && d[n - 1] == 0xF7 &&
           std::all_of(d + 1, d + n - 1, [](juce::uint8 b) { return b < 0x80; });
}

juce::String csvField(const juce::String& field)
{
    if (!field.containsAnyOf(",\"\r\n"))
        return field;
    return "\"" + field.replace("\"", "\"\"") + "\"";
}

FileWriteResult writeString(const juce::String& text, const juce::File& file)
{
    const auto utf8 = text.toUTF8();
    return SafeFileWriter::replaceFileContents(file, utf8.getAddress(), utf8.sizeInBytes() - 1);
}
} // namespace

juce::String asText(const Lines& lines)
{
    juce::String text;
    for (const auto& line : lines)
    {
        text << line.timeText() << '\t' << MonitorLine::directionName(line.direction) << '\t'
             << line.controlNames() << '\t' << line.words() << '\t' << line.hex() << '\n';
    }
    return text;
}

juce::String asCsv(const Lines& lines)
{
    juce::String csv = "time,direction,control,kind,channel,number,value,bytes\r\n";
    for (const auto& line : lines)
    {
        const juce::String fields[] = {line.timeText(),
                                       MonitorLine::directionName(line.direction),
                                       line.controlNames(),
                                       MonitorLine::kindName(line.kind),
                                       line.channel > 0 ? juce::String(line.channel) : juce::String(),
                                       juce::String(line.number),
                                       juce::String(line.value),
                                       line.hex()};
        juce::StringArray row;
        for (const auto& f : fields)
            row.add(csvField(f));
        csv << row.joinIntoString(",") << "\r\n";
    }
    return csv;
}

juce::MemoryBlock asSyx(const Lines& lines)
{
    juce::MemoryBlock bytes;
    for (const auto& line : lines)
        if (isWholeSysEx(line))
            bytes.append(line.bytes(), (size_t)line.size());
    return bytes;
}

juce::MidiFile asMidiFile(const Lines& lines)
{
    juce::MidiMessageSequence track;
    // A thousand ticks a second: 500 to the quarter note at 120 beats a minute, said by a tempo event. Not
    // the SMPTE form: the toolkit's setSmpteTimeFormat shifts a negative number (undefined behaviour).
    track.addEvent(juce::MidiMessage::tempoMetaEvent(500000));
    for (const auto& line : lines)
    {
        const auto* d = line.bytes();
        const int n = line.size();
        const bool channelMessage = n > 0 && d[0] >= 0x80 && d[0] < 0xF0 &&
                                    n == juce::MidiMessage::getMessageLengthFromFirstByte(d[0]) &&
                                    std::all_of(d + 1, d + n, [](juce::uint8 b) { return b < 0x80; });
        if (channelMessage || isWholeSysEx(line))
            track.addEvent(juce::MidiMessage(d, n, line.time * 1000.0));
    }
    track.updateMatchedPairs();
    juce::MidiFile file;
    file.setTicksPerQuarterNote(500);
    file.addTrack(track);
    return file;
}

FileWriteResult writeText(const Lines& lines, const juce::File& file)
{
    return writeString(asText(lines), file);
}

FileWriteResult writeCsv(const Lines& lines, const juce::File& file)
{
    return writeString(asCsv(lines), file);
}

FileWriteResult writeSyx(const Lines& lines, const juce::File& file)
{
    const auto bytes = asSyx(lines);
    return SafeFileWriter::replaceFileContents(file, bytes.getData(), bytes.getSize());
}

FileWriteResult writeMidiFile(const Lines& lines, const juce::File& file)
{
    juce::MemoryOutputStream out;
    if (!asMidiFile(lines).writeTo(out))
        return {false, "The MIDI file could not be made", false};
    return SafeFileWriter::replaceFileContents(file, out.getData(), out.getDataSize());
}
} // namespace MonitorExport
