#include "MidiPorts.h"

#include "MidiClientName.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <cerrno>
#include <cstring>

#if JUCE_LINUX
#include <alsa/asoundlib.h>

#include <map>
#include <mutex>
#include <string>
#endif

namespace
{
#if JUCE_LINUX
// ALSA prints "cannot open /dev/snd/seq" on every device query of a machine without MIDI.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}
#endif

#if JUCE_LINUX
/** Counts, per ALSA client, the ports and clients that went away, from the sequencer's announcements. A USB
    device plugged in again usually gets its old client number back (it follows the card's index), and so
    the toolkit's identifier ("client-port") too; with the count of its exits beside it, a device that
    went and came back between two looks is another identity. Where the sequencer cannot be opened, the
    counts stay at nothing and the toolkit's identifiers are used as they are. */
class AlsaExitCounter
{
public:
    ~AlsaExitCounter()
    {
        if (seq != nullptr)
            snd_seq_close(seq);
    }

    /** The toolkit's identifier with the exits of its client counted so far. */
    juce::String identity(const juce::String& identifier)
    {
        std::lock_guard<std::mutex> g(lock);
        open();
        drain();
        const int client = identifier.upToFirstOccurrenceOf("-", false, false).getIntValue();
        const auto it = exits.find(client);
        return it == exits.end() ? identifier : identifier + "#" + juce::String(it->second);
    }

private:
    void open()
    {
        if (tried)
            return;
        tried = true;
        if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0)
        {
            seq = nullptr;
            return;
        }
        // Listed beside the program's own client, under its name.
        const std::string name = std::string(quilletMidiClientName()) + " (port watch)";
        snd_seq_set_client_name(seq, name.c_str());
        const int port = snd_seq_create_simple_port(seq, "announcements",
                                                    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                    SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0 ||
            snd_seq_connect_from(seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0)
        {
            snd_seq_close(seq);
            seq = nullptr;
        }
    }

    void drain()
    {
        if (seq == nullptr)
            return;
        // Non-blocking: ends with -EAGAIN once nothing is waiting; an overrun (-ENOSPC) loses only old news.
        for (int i = 0; i < 10000; ++i)
        {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(seq, &event);
            if (result == -ENOSPC)
                continue;
            if (result < 0 || event == nullptr)
                return;
            if (event->type == SND_SEQ_EVENT_CLIENT_EXIT || event->type == SND_SEQ_EVENT_PORT_EXIT)
                ++exits[event->data.addr.client];
        }
    }

    std::mutex lock;
    bool tried = false;
    snd_seq_t* seq = nullptr;
    std::map<int, int> exits;
};
#endif

class JuceInputPort : public MidiInputPort, private juce::MidiInputCallback
{
public:
    JuceInputPort(const juce::MidiDeviceInfo& info, MidiPortListener& l) : listener(l)
    {
        input = juce::MidiInput::openDevice(info.identifier, this);
    }
    bool isOpen() const { return input != nullptr; }

    juce::String getName() const override { return input->getName(); }
    void start() override { input->start(); }
    void stop() override { input->stop(); }

private:
    void handleIncomingMidiMessage(juce::MidiInput* source, const juce::MidiMessage& message) override
    {
        listener.portMessageReceived(source != nullptr ? source->getName() : juce::String("unknown"),
                                     message);
    }

    MidiPortListener& listener;
    std::unique_ptr<juce::MidiInput> input;
};

class JuceOutputPort : public MidiOutputPort
{
public:
    explicit JuceOutputPort(std::unique_ptr<juce::MidiOutput> o) : output(std::move(o)) {}
    juce::String getName() const override { return output->getName(); }
    void sendMessageNow(const juce::MidiMessage& message) override { output->sendMessageNow(message); }

private:
    std::unique_ptr<juce::MidiOutput> output;
};

class JuceMidiPortSystem : public MidiPortSystem
{
public:
    JuceMidiPortSystem()
    {
#if JUCE_LINUX
        snd_lib_error_set_handler(quietAlsaErrors);
#endif
    }

    juce::StringArray getInputNames() override
    {
        return namesOf(juce::MidiInput::getAvailableDevices());
    }
    juce::StringArray getOutputNames() override
    {
        return namesOf(juce::MidiOutput::getAvailableDevices());
    }

    juce::StringArray getInputIdentifiers() override
    {
        return identifiersOf(juce::MidiInput::getAvailableDevices());
    }
    juce::StringArray getOutputIdentifiers() override
    {
        return identifiersOf(juce::MidiOutput::getAvailableDevices());
    }

    std::unique_ptr<MidiInputPort> openInput(int index, MidiPortListener& listener) override
    {
        auto devices = juce::MidiInput::getAvailableDevices();
        if (!juce::isPositiveAndBelow(index, devices.size()))
            return nullptr;
        auto port = std::make_unique<JuceInputPort>(devices[index], listener);
        return port->isOpen() ? std::move(port) : nullptr;
    }

    juce::String serviceProblem() override
    {
#if JUCE_LINUX
        snd_seq_t* seq = nullptr;
        const int error = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
        if (error >= 0)
        {
            snd_seq_close(seq);
            return {};
        }
        return describeMidiServiceError(-error);
#else
        return {};
#endif
    }

    std::unique_ptr<MidiOutputPort> openOutput(int index) override
    {
        auto devices = juce::MidiOutput::getAvailableDevices();
        if (!juce::isPositiveAndBelow(index, devices.size()))
            return nullptr;
        auto output = juce::MidiOutput::openDevice(devices[index].identifier);
        return output != nullptr ? std::make_unique<JuceOutputPort>(std::move(output)) : nullptr;
    }

private:
    static juce::StringArray namesOf(const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray names;
        for (const auto& d : devices)
            names.add(d.name);
        return names;
    }
    juce::StringArray identifiersOf(const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray identifiers;
        for (const auto& d : devices)
#if JUCE_LINUX
            identifiers.add(exitCounter.identity(d.identifier));
#else
            identifiers.add(d.identifier);
#endif
        return identifiers;
    }

#if JUCE_LINUX
    AlsaExitCounter exitCounter;
#endif
};
} // namespace

MidiPortSystem& systemMidiPorts()
{
    static JuceMidiPortSystem ports;
    return ports;
}

juce::String describeMidiServiceError(int errorNumber)
{
    if (errorNumber == ENOENT || errorNumber == ENODEV)
        return "The system has no MIDI service: the ALSA sequencer (/dev/snd/seq) is missing. Loading it "
               "('sudo modprobe snd-seq') or installing the system's sound modules brings it back.";
    if (errorNumber == EACCES || errorNumber == EPERM)
        return "The system's MIDI service is closed to this user: /dev/snd/seq cannot be opened (on many "
               "systems only members of the audio group may: add this user to it and log in again).";
    return "The system's MIDI service cannot be opened: " + juce::String(std::strerror(errorNumber)) + ".";
}
