#include "SentMessage.h"

#include "ControlCatalogue.h"

SentMessage::Kind SentMessage::kindOfMode(int mode)
{
    switch (mode)
    {
    case modeControl:
    case modeRelativeControl:
    case modeDurationControl:
    case modeControlToggle:
        return Kind::controller;
    case modeRpn:
        return Kind::rpn;
    case modeNrpn:
        return Kind::nrpn;
    case modeNoteToggle:
    case modeMidiNote:
        return Kind::note;
    case modePatchChange:
        return Kind::program;
    case modeMmc:
        return Kind::mmc;
    default:
        return Kind::none; // off, and the keyboard's own presets
    }
}

SentMessage SentMessage::of(const SettingsState& state, int id)
{
    SentMessage m;
    const int number = state.get(itemFieldNumber, id);
    m.kind = kindOfMode(state.get(itemFieldMode, id));
    if (m.kind == Kind::none || number < 0 || number > 127)
        return {};
    m.number = number;
    const int a = state.get(itemFieldMinLsb, id), b = state.get(itemFieldMaxMsb, id);
    m.min = std::clamp(std::min(a, b), 0, 127);
    m.max = std::clamp(std::max(a, b), 0, 127);

    m.channels = channelsOf(state.get(itemFieldChannel, id), state);
    if (m.channels.empty())
        return {};
    return m;
}

std::vector<int> SentMessage::channelsOf(int code, const SettingsState& state)
{
    // The keyboard-wide channels as stored, 0..15; anything else is not a channel.
    const auto keyboardWide = [&state](int slot)
    {
        const int c = state.globals[(size_t)slot];
        return c >= 0 && c <= 15 ? std::vector<int>{c} : std::vector<int>{};
    };
    if (code >= 0 && code <= 15)
        return {code};
    if (code == channelLower)
        return keyboardWide(globalLowerChannel);
    if (code == channelUpper || code == channelPanel)
        return keyboardWide(globalUpperChannel);
    if (code != channelAll)
        return {};
    std::vector<int> all;
    for (int c = 0; c < 16; ++c)
        all.push_back(c);
    return all;
}
