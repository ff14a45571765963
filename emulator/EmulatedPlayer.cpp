#include "EmulatedPlayer.h"

#include "files/FileGate.h"

namespace
{
/** A file far larger than any performance a keyboard sends in an hour. */
constexpr juce::int64 maxMidiFileBytes = 16 * 1024 * 1024;
/** Tempo changes times events: well under a second's work. */
constexpr juce::int64 maxTimingSteps = 100'000'000;
} // namespace

EmulatedPlayer::Loaded EmulatedPlayer::read(const juce::File& file)
{
    const auto read = FileGate::readBytes(file, {maxMidiFileBytes, "a MIDI file"});
    if (!read.ok())
        return {{}, read.reason};
    return parse(read.bytes.getData(), read.bytes.getSize());
}

EmulatedPlayer::Loaded EmulatedPlayer::parse(const void* data, size_t size)
{
    juce::MemoryInputStream in(data, size, false);
    juce::MidiFile file;
    // No note-offs made up for note-ons left sounding: matching them is quadratic, and a note-on is sent
    // as the file has it either way.
    if (!file.readFrom(in, false))
        return {{}, "it is not a Standard MIDI File"};
    // The toolkit times each event by walking the tempo and time signature changes before it: a file of many
    // of both would take hours to time.
    juce::MidiMessageSequence timing;
    file.findAllTempoEvents(timing);
    file.findAllTimeSigEvents(timing);
    juce::int64 events = 0;
    for (int t = 0; t < file.getNumTracks(); ++t)
        events += file.getTrack(t)->getNumEvents();
    if ((juce::int64)timing.getNumEvents() * events > maxTimingSteps)
        return {{}, "it changes tempo too often to be played"};
    file.convertTimestampTicksToSeconds();
    juce::MidiMessageSequence all;
    for (int t = 0; t < file.getNumTracks(); ++t)
        all.addSequence(*file.getTrack(t), 0.0);
    all.sort();
    Loaded loaded;
    // Only what a keyboard's controls send: the file's tempo, names and other meta events stay behind.
    for (const auto* event : all)
    {
        const auto& m = event->message;
        if (m.getChannel() > 0 && m.getRawDataSize() <= 3)
            loaded.messages.push_back(m);
    }
    if (loaded.messages.empty())
        loaded.problem = "it holds no channel messages";
    return loaded;
}

juce::String EmulatedPlayer::load(const juce::File& file)
{
    auto loaded = read(file);
    std::lock_guard<std::mutex> g(lock);
    if (loaded.problem.isEmpty() && !started)
        messages = std::move(loaded.messages);
    return loaded.problem;
}

void EmulatedPlayer::setRate(int messagesPerSecond)
{
    std::lock_guard<std::mutex> g(lock);
    if (!started)
        rate = messagesPerSecond;
}

void EmulatedPlayer::startOnce(Send s)
{
    std::lock_guard<std::mutex> g(lock);
    if (started || stopping || messages.empty())
        return;
    started = true;
    send = std::move(s);
    thread = std::thread([this] { run(); });
}

void EmulatedPlayer::stop()
{
    {
        std::lock_guard<std::mutex> g(lock);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

void EmulatedPlayer::run()
{
    // A second after the keyboard is found, as a musician's hands would come to it: whoever found it has
    // read it out and is listening by then.
    const auto start = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (size_t i = 0; i < messages.size(); ++i)
    {
        const double at = rate > 0 ? (double)i / rate : messages[i].getTimeStamp();
        const auto due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(at));
        {
            std::unique_lock<std::mutex> g(lock);
            if (wake.wait_until(g, due, [this] { return stopping; }))
                return;
        }
        auto message = messages[i];
        message.setTimeStamp(0.0);
        send(message);
        ++count;
    }
    done = true;
}
