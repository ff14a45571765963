#include "MidiPorts.h"

#include <juce_audio_devices/juce_audio_devices.h>

#if JUCE_LINUX
#include <alsa/asoundlib.h>
#endif

namespace
{
#if JUCE_LINUX
// ALSA prints "cannot open /dev/snd/seq" on every device query of a machine without MIDI.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}
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

    // The system's identities: on Linux the ALSA client and port numbers, which a replugged device gets
    // anew.
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
    static juce::StringArray identifiersOf(const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray identifiers;
        for (const auto& d : devices)
            identifiers.add(d.identifier);
        return identifiers;
    }
};
} // namespace

MidiPortSystem& systemMidiPorts()
{
    static JuceMidiPortSystem ports;
    return ports;
}
