#include "PortWatch.h"

PortWatch::PortWatch(MidiPortSystem& p) : ports(p) {}

PortWatch::~PortWatch()
{
    stopTimer();
}

void PortWatch::rememberLists()
{
    const auto inputs = ports.getInputIdentifiers();
    const auto outputs = ports.getOutputIdentifiers();
    std::lock_guard<std::mutex> g(lock);
    seenInputs = inputs;
    seenOutputs = outputs;
}

void PortWatch::rememberKeyboard(const juce::String& inputName, const juce::String& outputName)
{
    // The identities are what is looked for: a quick replug keeps the names but not these.
    const auto inputId = ports.getInputIdentifiers()[ports.getInputNames().indexOf(inputName)];
    const auto outputId = ports.getOutputIdentifiers()[ports.getOutputNames().indexOf(outputName)];
    std::lock_guard<std::mutex> g(lock);
    keyboardInput = inputId.isNotEmpty() ? inputId : inputName;
    keyboardOutput = outputId.isNotEmpty() ? outputId : outputName;
}

PortWatch::Look PortWatch::look(bool keyboardConnected, bool scanning)
{
    const auto inputs = ports.getInputIdentifiers();
    const auto outputs = ports.getOutputIdentifiers();
    Look l;
    std::lock_guard<std::mutex> g(lock);
    // The keyboard's ports are looked for even while a scan runs (it goes on for a while after the keyboard
    // answered): a device pulled then is otherwise never noticed.
    l.keyboardGone =
        keyboardConnected && (!inputs.contains(keyboardInput) || !outputs.contains(keyboardOutput));
    // A scan still looking has its own list of outputs; other changes are looked at once it is over.
    if (!l.keyboardGone && (scanning || (inputs == seenInputs && outputs == seenOutputs)))
        return l;
    l.changed = true;
    for (const auto& id : outputs)
        l.newOutputs = l.newOutputs || !seenOutputs.contains(id);
    seenInputs = inputs;
    seenOutputs = outputs;
    return l;
}

void PortWatch::watch(int intervalMs)
{
    if (intervalMs > 0)
        startTimer(intervalMs);
    else
        stopTimer();
}

void PortWatch::timerCallback()
{
    if (onTick)
        onTick();
}
