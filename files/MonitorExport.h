#pragma once

#include "../device/MonitorDecoder.h"
#include "SafeFileWriter.h"

#include <vector>

/** The monitor's lines saved: as text, as CSV, their SysEx as a .syx file and all of them as a Standard MIDI
    File. The makers are pure; the writers write through SafeFileWriter, so a failed save keeps the old file.
 */
namespace MonitorExport
{
/** Lines oldest first, as MonitorHistory::copyLines gives them. */
using Lines = std::vector<MonitorLine>;

/** One line per message: time, direction, controls, words, bytes; tab-separated, LF-ended, UTF-8. */
juce::String asText(const Lines& lines);
/** A heading row, then time, direction, control, kind, channel, number, value, bytes; quoted as RFC 4180 asks
    (a field with a comma, a quote or a line break in quotes, its quotes doubled), CRLF-ended, UTF-8. */
juce::String asCsv(const Lines& lines);
/** Every whole SysEx message (F0 to F7, nothing above 7F inside), one after another, byte for byte. */
juce::MemoryBlock asSyx(const Lines& lines);
/** The channel messages and whole SysEx messages in one track, a tick a millisecond (500 ticks to the quarter
    note at 120 beats a minute); system and broken messages, which a MIDI file cannot hold, are left out. */
juce::MidiFile asMidiFile(const Lines& lines);

FileWriteResult writeText(const Lines& lines, const juce::File& file);
FileWriteResult writeCsv(const Lines& lines, const juce::File& file);
FileWriteResult writeSyx(const Lines& lines, const juce::File& file);
FileWriteResult writeMidiFile(const Lines& lines, const juce::File& file);
} // namespace MonitorExport
