#include "VirtualMidiPorts.h"

#include <algorithm>

class VirtualMidiPorts::InputPort : public MidiInputPort
{
public:
    InputPort(VirtualMidiPorts& o, int i, int g, juce::String n, MidiPortListener& l)
        : owner(o), index(i), generation(g), name(std::move(n)), listener(l)
    {
    }
    ~InputPort() override { owner.closeInput(this); }

    juce::String getName() const override { return name; }
    void start() override { owner.setStarted(this, true); }
    void stop() override { owner.setStarted(this, false); }

    VirtualMidiPorts& owner;
    const int index, generation;
    const juce::String name;
    MidiPortListener& listener;
    bool started = false; // guarded by the owner's lock
};

class VirtualMidiPorts::OutputPort : public MidiOutputPort
{
public:
    OutputPort(VirtualMidiPorts& o, int i, int g, juce::String n)
        : owner(o), index(i), generation(g), name(std::move(n))
    {
    }
    ~OutputPort() override { owner.closeOutput(index); }

    juce::String getName() const override { return name; }
    void sendMessageNow(const juce::MidiMessage& message) override
    {
        owner.sendToOutput(index, generation, message);
    }

private:
    VirtualMidiPorts& owner;
    const int index, generation;
    const juce::String name;
};

//==============================================================================
VirtualMidiPorts::VirtualMidiPorts() : thread([this] { run(); }) {}

VirtualMidiPorts::~VirtualMidiPorts()
{
    {
        std::lock_guard<std::mutex> g(lock);
        quitting = true;
    }
    wake.notify_all();
    thread.join();
}

int VirtualMidiPorts::addInput(const juce::String& name)
{
    std::lock_guard<std::mutex> g(lock);
    inputNames.add(name);
    inputGenerations.push_back(0);
    return inputNames.size() - 1;
}

int VirtualMidiPorts::addOutput(const juce::String& name, Receiver receiver)
{
    std::lock_guard<std::mutex> g(lock);
    outputNames.add(name);
    outputGenerations.push_back(0);
    receivers.push_back(std::move(receiver));
    return outputNames.size() - 1;
}

void VirtualMidiPorts::setOutputReceiver(int index, Receiver receiver)
{
    std::lock_guard<std::mutex> g(lock);
    if (juce::isPositiveAndBelow(index, (int)receivers.size()))
        receivers[(size_t)index] = std::move(receiver);
}

void VirtualMidiPorts::setOpensOnce(const juce::String& outputName)
{
    std::lock_guard<std::mutex> g(lock);
    opensOnce.addIfNotAlreadyThere(outputName);
}

void VirtualMidiPorts::setPlugged(const juce::String& name, bool plugged, Ports which)
{
    std::lock_guard<std::recursive_mutex> d(deliveryLock);
    std::lock_guard<std::mutex> g(lock);
    auto change = [&](const juce::StringArray& names, std::vector<int>& generations)
    {
        for (int i = 0; i < names.size(); ++i)
            if (names[i] == name && (generations[(size_t)i] >= 0) != plugged)
                generations[(size_t)i] = plugged ? -generations[(size_t)i] : -generations[(size_t)i] - 1;
    };
    if (which != Ports::outputs)
        change(inputNames, inputGenerations);
    if (which != Ports::inputs)
        change(outputNames, outputGenerations);
}

int VirtualMidiPorts::internalIndex(const std::vector<int>& generations, int listed)
{
    for (size_t i = 0; i < generations.size(); ++i)
        if (generations[i] >= 0 && listed-- == 0)
            return (int)i;
    return -1;
}

juce::StringArray VirtualMidiPorts::pluggedNames(const juce::StringArray& names,
                                                 const std::vector<int>& generations, bool withGeneration)
{
    juce::StringArray plugged;
    for (int i = 0; i < names.size(); ++i)
        if (generations[(size_t)i] >= 0)
            plugged.add(withGeneration ? names[i] + "#" + juce::String(generations[(size_t)i]) : names[i]);
    return plugged;
}

void VirtualMidiPorts::deliver(int inputIndex, const juce::MidiMessage& message, int delayMs)
{
    {
        std::lock_guard<std::mutex> g(lock);
        queue.push_back({inputIndex, message,
                         juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax(0, delayMs)});
    }
    wake.notify_all();
}

void VirtualMidiPorts::deliver(const juce::String& inputName, const juce::MidiMessage& message, int delayMs)
{
    int index;
    {
        std::lock_guard<std::mutex> g(lock);
        index = inputNames.indexOf(inputName);
    }
    if (index >= 0)
        deliver(index, message, delayMs);
}

bool VirtualMidiPorts::waitUntilIdle(int timeoutMs)
{
    std::unique_lock<std::mutex> g(lock);
    return idle.wait_for(g, std::chrono::milliseconds(timeoutMs),
                         [this] { return queue.empty() && !delivering; });
}

int VirtualMidiPorts::openInputCount(const juce::String& name) const
{
    std::lock_guard<std::mutex> g(lock);
    return (int)std::count_if(openInputs.begin(), openInputs.end(),
                              [&](const InputPort* p) { return p->started && p->name == name; });
}

int VirtualMidiPorts::openInputCount() const
{
    std::lock_guard<std::mutex> g(lock);
    return (int)openInputs.size();
}

int VirtualMidiPorts::openOutputCount() const
{
    std::lock_guard<std::mutex> g(lock);
    return outputsOpen;
}

//==============================================================================
juce::StringArray VirtualMidiPorts::getInputNames()
{
    std::lock_guard<std::mutex> g(lock);
    return pluggedNames(inputNames, inputGenerations);
}

juce::StringArray VirtualMidiPorts::getOutputNames()
{
    std::lock_guard<std::mutex> g(lock);
    return pluggedNames(outputNames, outputGenerations);
}

juce::StringArray VirtualMidiPorts::getInputIdentifiers()
{
    std::lock_guard<std::mutex> g(lock);
    return pluggedNames(inputNames, inputGenerations, true);
}

juce::StringArray VirtualMidiPorts::getOutputIdentifiers()
{
    std::lock_guard<std::mutex> g(lock);
    return pluggedNames(outputNames, outputGenerations, true);
}

std::unique_ptr<MidiInputPort> VirtualMidiPorts::openInput(int index, MidiPortListener& listener)
{
    std::lock_guard<std::recursive_mutex> d(deliveryLock);
    std::lock_guard<std::mutex> g(lock);
    const int i = internalIndex(inputGenerations, index);
    if (i < 0)
        return nullptr;
    auto port = std::make_unique<InputPort>(*this, i, inputGenerations[(size_t)i], inputNames[i], listener);
    openInputs.push_back(port.get());
    return port;
}

std::unique_ptr<MidiOutputPort> VirtualMidiPorts::openOutput(int index)
{
    std::lock_guard<std::recursive_mutex> d(deliveryLock);
    std::lock_guard<std::mutex> g(lock);
    const int i = internalIndex(outputGenerations, index);
    if (i < 0)
        return nullptr;
    openCounts.resize((size_t)outputNames.size());
    if (openCounts[(size_t)i] > 0 && opensOnce.contains(outputNames[i]))
        return nullptr;
    ++openCounts[(size_t)i];
    ++outputsOpen;
    return std::make_unique<OutputPort>(*this, i, outputGenerations[(size_t)i], outputNames[i]);
}

void VirtualMidiPorts::closeInput(InputPort* port)
{
    std::lock_guard<std::recursive_mutex> d(deliveryLock);
    std::lock_guard<std::mutex> g(lock);
    openInputs.erase(std::remove(openInputs.begin(), openInputs.end(), port), openInputs.end());
}

void VirtualMidiPorts::setStarted(InputPort* port, bool started)
{
    std::lock_guard<std::mutex> g(lock);
    port->started = started;
}

void VirtualMidiPorts::closeOutput(int index)
{
    std::lock_guard<std::recursive_mutex> d(deliveryLock);
    std::lock_guard<std::mutex> g(lock);
    --openCounts[(size_t)index];
    --outputsOpen;
}

void VirtualMidiPorts::sendToOutput(int index, int generation, const juce::MidiMessage& message)
{
    Receiver receiver;
    {
        std::lock_guard<std::mutex> g(lock);
        // A port from before an unplug sends nowhere, as the system's does once its device is gone.
        if (juce::isPositiveAndBelow(index, (int)receivers.size()) &&
            outputGenerations[(size_t)index] == generation)
            receiver = receivers[(size_t)index];
    }
    if (receiver)
        receiver(message);
}

void VirtualMidiPorts::run()
{
    std::unique_lock<std::mutex> g(lock);
    for (;;)
    {
        if (quitting)
            return;
        if (queue.empty())
        {
            idle.notify_all();
            wake.wait(g);
            continue;
        }
        const auto now = juce::Time::getMillisecondCounter();
        const auto& front = queue.front();
        if ((int)(front.due - now) > 0)
        {
            wake.wait_for(g, std::chrono::milliseconds(front.due - now));
            continue;
        }
        Pending next = queue.front();
        queue.pop_front();
        delivering = true;
        g.unlock();
        {
            std::lock_guard<std::recursive_mutex> d(deliveryLock);
            std::vector<std::pair<juce::String, MidiPortListener*>> targets;
            {
                std::lock_guard<std::mutex> gg(lock);
                for (auto* p : openInputs)
                    if (p->started && p->index == next.input &&
                        inputGenerations[(size_t)p->index] == p->generation)
                        targets.emplace_back(p->name, &p->listener);
            }
            for (auto& [name, listener] : targets)
                listener->portMessageReceived(name, next.message);
        }
        g.lock();
        delivering = false;
    }
}
