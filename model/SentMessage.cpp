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

    // The keyboard-wide channels as stored, 0..15; anything else is not a channel.
    const auto keyboardWide = [&state](int slot)
    {
        const int c = state.globals[(size_t)slot];
        return c >= 0 && c <= 15 ? std::vector<int>{c} : std::vector<int>{};
    };
    const int code = state.get(itemFieldChannel, id);
    if (code >= 0 && code <= 15)
        m.channels = {code};
    else if (code == channelLower)
        m.channels = keyboardWide(globalLowerChannel);
    else if (code == channelUpper || code == channelPanel)
        m.channels = keyboardWide(globalUpperChannel);
    else if (code == channelAll)
        for (int c = 0; c < 16; ++c)
            m.channels.push_back(c);
    if (m.channels.empty())
        return {};
    return m;
}
