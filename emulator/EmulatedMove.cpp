#include "EmulatedMove.h"

#include "model/SentMessage.h"

namespace EmulatedMove
{
std::vector<juce::MidiMessage> of(const SettingsState& configuration, int id)
{
    const auto sent = SentMessage::of(configuration, id);
    if (sent.kind == SentMessage::Kind::none)
        return {};
    const int channel = sent.channels.front() + 1;
    const int middle = (sent.min + sent.max) / 2;
    std::vector<juce::MidiMessage> messages;
    switch (sent.kind)
    {
    case SentMessage::Kind::controller:
        for (int value : {sent.min, middle, sent.max})
            messages.push_back(juce::MidiMessage::controllerEvent(channel, sent.number, value));
        break;
    case SentMessage::Kind::rpn:
    case SentMessage::Kind::nrpn:
        for (const auto meta : juce::MidiRPNGenerator::generate(channel, sent.number, middle,
                                                                sent.kind == SentMessage::Kind::nrpn, false))
            messages.push_back(meta.getMessage());
        break;
    case SentMessage::Kind::note:
        messages.push_back(
            juce::MidiMessage::noteOn(channel, sent.number, (juce::uint8)std::max(1, sent.max)));
        messages.push_back(juce::MidiMessage::noteOff(channel, sent.number));
        break;
    case SentMessage::Kind::program:
        messages.push_back(juce::MidiMessage::programChange(channel, sent.number));
        break;
    case SentMessage::Kind::mmc:
    {
        // Addressed to every device, as a transport button sends it.
        const juce::uint8 body[] = {0x7F, 0x7F, 0x06, (juce::uint8)sent.number};
        messages.push_back(juce::MidiMessage::createSysExMessage(body, (int)sizeof(body)));
        break;
    }
    case SentMessage::Kind::none:
        break;
    }
    return messages;
}
} // namespace EmulatedMove
