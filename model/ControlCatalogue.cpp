#include "ControlCatalogue.h"

#include <algorithm>
#include <array>
#include <cctype>

int ItemConfig::field(int itemField) const
{
    switch (itemField)
    {
    case itemFieldMode:
        return mode;
    case itemFieldChannel:
        return channel;
    case itemFieldNumber:
        return number;
    case itemFieldMinLsb:
        return minLsb;
    case itemFieldMaxMsb:
        return maxMsb;
    default:
        return -1;
    }
}

bool ItemConfig::operator==(const ItemConfig& o) const
{
    return mode == o.mode && channel == o.channel && number == o.number && minLsb == o.minLsb &&
           maxMsb == o.maxMsb;
}

namespace ControlCatalogue
{
namespace
{
using S = ModeSet;
constexpr auto P = DefaultClass::plain;
constexpr auto R = DefaultClass::relative;
constexpr auto N = DefaultClass::note;

// The single source of the keyboard's controls. Groups and defaults are derived from it.
const std::vector<CatalogueEntry> catalogue = {
    {0x01, "Filter Cutoff", "Cutoff Knob Setting", S::knob, 74, P},
    {0x02, "Filter Resonance", "Reso Knob Setting", S::knob, 71, P},
    {0x03, "LFO Rate", "LFO Rate Knob Setting", S::knob, 76, P},
    {0x04, "LFO Amount", "LFO Amount Knob Setting", S::knob, 77, P},
    {0x05, "Key Parameter #1", "Key Parameter #1 Knob Setting", S::knob, 18, P},
    {0x06, "Key Parameter #2", "Key Parameter #2 Knob Setting", S::knob, 19, P},
    {0x07, "Key Parameter #3", "Key Parameter #3 Knob Setting", S::knob, 16, P},
    {0x08, "Key Parameter #4", "Key Parameter #4 Knob Setting", S::knob, 17, P},
    {0x09, "FX Mix Chorus", "Chorus Mix Knob Setting", S::knob, 93, P},
    {0x0A, "FX Mix Delay", "Delay Mix Knob Setting", S::knob, 91, P},
    {0x0B, "Envelope A", "Attack Envelope Slider Setting", S::slider, 73, P},
    {0x0C, "Envelope D", "Delay Envelope Slider Setting", S::slider, 75, P},
    {0x0D, "Envelope S", "Sustain Envelope Slider Setting", S::slider, 79, P},
    {0x0E, "Envelope R", "Release Envelope Slider Setting", S::slider, 72, P},
    {0x12, "Snapshot #1", "Snapshot #1 Button Setting", S::snapshot, 22, P},
    {0x13, "Snapshot #2", "Snapshot #2 Button Setting", S::snapshot, 23, P},
    {0x14, "Snapshot #3", "Snapshot #3 Button Setting", S::snapshot, 24, P},
    {0x15, "Snapshot #4", "Snapshot #4 Button Setting", S::snapshot, 25, P},
    {0x16, "Snapshot #5", "Snapshot #5 Button Setting", S::snapshot, 26, P},
    {0x17, "Snapshot #6", "Snapshot #6 Button Setting", S::snapshot, 27, P},
    {0x18, "Snapshot #7", "Snapshot #7 Button Setting", S::snapshot, 28, P},
    {0x19, "Snapshot #8", "Snapshot #8 Button Setting", S::snapshot, 29, P},
    {0x1A, "Snapshot #9", "Snapshot #9 Button Setting", S::snapshot, 30, P},
    {0x1B, "Snapshot #10", "Snapshot #10 Button Setting", S::snapshot, 31, P},
    {0x1C, "Lower Panel", "Lower Panel Button Setting", S::panelButton, 46, P},
    {0x1D, "Upper Panel", "Upper Panel Button Setting", S::panelButton, 47, P},
    {0x1E, "Sound Mode", "Sound Mode Button Setting", S::panelButton, 118, P},
    {0x1F, "Scene Mode", "Scene Mode Button Setting", S::panelButton, 119, P},
    {0x20, nullptr, nullptr, S::none, 20, P},
    {0x21, nullptr, nullptr, S::none, 21, P},
    {0x22, nullptr, nullptr, S::none, 104, P},
    {0x23, nullptr, nullptr, S::none, 105, P},
    {0x24, nullptr, nullptr, S::none, 106, P},
    {0x25, nullptr, nullptr, S::none, 107, P},
    {0x26, nullptr, nullptr, S::none, 108, P},
    {0x27, nullptr, nullptr, S::none, 109, P},
    {0x28, nullptr, nullptr, S::none, 110, P},
    {0x29, nullptr, nullptr, S::none, 111, P},
    {0x2A, nullptr, nullptr, S::none, 116, P},
    {0x2B, nullptr, nullptr, S::none, 117, P},
    {0x30, "Level", "Level Setting", S::knob, 7, P},
    {0x31, "Category Adjust", "Category Adjust Setting", S::knob, 112, R},
    {0x32, "Category Select", "Category Select Setting", S::panelButton, 113, P},
    {0x33, "Preset Adjust", "Preset Adjust Setting", S::knob, 114, R},
    {0x34, "Preset Select", "Preset Select Setting", S::panelButton, 115, P},
    {0x40, "Modulation Wheel", "Modulation Wheel Setting", S::wheel, 1, P},
    {0x41, "Pitch Wheel", nullptr, S::wheel, 0, P},
    {0x42, "Joystick Down / Extra Wheel", nullptr, S::wheel, -1, P},
    {0x4B, "Envelope #2 A", "Attack Envelope #2 Slider Setting", S::slider, 80, P},
    {0x4C, "Envelope #2 D", "Delay Envelope #2 Slider Setting", S::slider, 81, P},
    {0x4D, "Envelope #2 S", "Sustain Envelope #2 Slider Setting", S::slider, 82, P},
    {0x4E, "Envelope #2 R", "Release Envelope #2 Slider Setting", S::slider, 83, P},
    {0x4F, "Tempo", "Tempo Slider", S::slider, 85, P},
    {0x50, "Sustain Pedal", "Sustain Pedal Setting", S::switchPedal, 64, P},
    {0x51, "Expression Pedal", "Expression Pedal Setting", S::wheel, 11, P},
    {0x52, "Breath Control", "Breath Control Setting", S::wheel, 2, P},
    {0x53, "Aux Pedal", "Aux Pedal Setting", S::switchPedal, 12, P},
    {0x58, "Host Control #1", "Host Control #1 Button Setting", S::hostButton, 50, P},
    {0x59, "Host Control #2", "Host Control #2 Button Setting", S::hostButton, 51, P},
    {0x5A, "Host Control #3", "Host Control #3 Button Setting", S::hostButton, 52, P},
    {0x5B, "Host Control #4", "Host Control #4 Button Setting", S::hostButton, 53, P},
    {0x5C, "Host Control #5", "Host Control #5 Button Setting", S::hostButton, 54, P},
    {0x5D, "Host Control #6", "Host Control #6 Button Setting", S::hostButton, 55, P},
    {0x70, "Pad #1", "Pad #1 Setting", S::pad, 124, N},
    {0x71, "Pad #2", "Pad #2 Setting", S::pad, 125, N},
    {0x72, "Pad #3", "Pad #3 Setting", S::pad, 126, N},
    {0x73, "Pad #4", "Pad #4 Setting", S::pad, 127, N},
};

// Twelve on/off flags per set, indexed by mode value.
const std::array<bool, numItemModes>& flagsOf(ModeSet set)
{
    static const std::array<bool, numItemModes> none{}, knob{1, 1, 1, 1, 1}, slider{1, 1, 0, 1, 1},
        wheel{1, 1, 0, 1, 1}, snapshot{1, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1},
        panel{1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1}, pedal{1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1},
        host{1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}, pad{1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    switch (set)
    {
    case S::knob:
        return knob;
    case S::slider:
        return slider;
    case S::wheel:
        return wheel;
    case S::snapshot:
        return snapshot;
    case S::panelButton:
        return panel;
    case S::switchPedal:
        return pedal;
    case S::hostButton:
        return host;
    case S::pad:
        return pad;
    case S::none:
        break;
    }
    return none;
}

template <typename Pred> std::vector<int> idsWhere(Pred pred)
{
    std::vector<int> ids;
    for (const auto& e : catalogue)
        if (pred(e))
            ids.push_back(e.id);
    return ids;
}
} // namespace

const std::vector<CatalogueEntry>& entries()
{
    return catalogue;
}

const CatalogueEntry* find(int id)
{
    // Asked for every value of every change: an index by id, every control's id being a data byte.
    static const auto byId = []
    {
        std::array<const CatalogueEntry*, 128> t{};
        for (const auto& e : catalogue)
            if (e.id >= 0 && e.id < 128)
                t[(size_t)e.id] = &e;
        return t;
    }();
    return id >= 0 && id < 128 ? byId[(size_t)id] : nullptr;
}

const char* displayName(int id)
{
    auto* e = find(id);
    return e != nullptr ? e->displayName : nullptr;
}

std::string messageName(int id)
{
    if (const char* name = displayName(id))
        return name;
    return (isConfigurable(id) ? "hidden control " : "control ") + std::to_string(id);
}

const char* tooltip(int id)
{
    auto* e = find(id);
    return e != nullptr ? e->tooltip : nullptr;
}

bool isConfigurable(int id)
{
    auto* e = find(id);
    return e != nullptr && e->defaultNumber > 0;
}

std::vector<int> pictureControls()
{
    return idsWhere([](const CatalogueEntry& e) { return e.tooltip != nullptr; });
}

bool isPictureControl(int id)
{
    const auto* entry = find(id);
    return entry != nullptr && entry->tooltip != nullptr;
}

std::vector<int> namedControls()
{
    return idsWhere([](const CatalogueEntry& e) { return e.displayName != nullptr; });
}

std::vector<int> configurableControls()
{
    return idsWhere([](const CatalogueEntry& e) { return e.defaultNumber > 0; });
}

ModeSet modeSetOf(int id)
{
    auto* e = find(id);
    return e != nullptr ? e->modeSet : ModeSet::none;
}

bool isModeAllowed(ModeSet set, int mode)
{
    return mode >= 0 && mode < numItemModes && flagsOf(set)[(size_t)mode];
}

std::optional<ItemConfigDefault> deriveDefault(const DefaultRow& row)
{
    if (row.number == 0)
        return std::nullopt;

    ItemConfigDefault d{modeControl, 0, row.number, 0, 127};
    if (row.defaultClass == DefaultClass::relative)
    {
        d.mode = modeRelativeControl;
    }
    else if (row.defaultClass == DefaultClass::note)
    {
        d.mode = modeMidiNote;
        d.channel = 9;
    }
    else if (row.id >= 0x12 && row.id <= 0x1B)
    {
        d.mode = modeDurationControl;
        d.minLsb = row.number;
        d.maxMsb = row.number + (row.id >= 0x1A ? 86 : 82);
    }
    return d;
}

const std::vector<DefaultRow>& defaultsTable()
{
    static const std::vector<DefaultRow> rows = []
    {
        std::vector<DefaultRow> r;
        for (const auto& e : catalogue)
            if (e.defaultNumber >= 0)
                r.push_back({e.id, e.defaultNumber, e.defaultClass});
        return r;
    }();
    return rows;
}

std::optional<ItemConfigDefault> defaultConfig(int id)
{
    auto* e = find(id);
    if (e == nullptr || e->defaultNumber < 0)
        return std::nullopt;
    return deriveDefault({e->id, e->defaultNumber, e->defaultClass});
}

const char* modeShortName(int mode)
{
    static const char* const names[] = {"Off",        "Control",      "Rel. Control", "RPN",
                                        "NRPN",       "Duration Ctl", "Kbd Preset",   "MMC",
                                        "Ctl Toggle", "Note Toggle",  "Midi Note",    "Patch Chg"};
    return (mode >= 0 && mode < numItemModes) ? names[mode] : "Err";
}

const std::array<const char*, numItemModes>& modePanelTexts()
{
    static const std::array<const char*, numItemModes> texts = {
        "Off-Disabled",    "Control", "Relative Control", "RPN",         "NRPN",      "Duration Control",
        "Keyboard Preset", "MMC",     "Control Toggle",   "Note Toggle", "Midi Note", "Patch Change"};
    return texts;
}

std::string channelChartText(int code)
{
    if (code <= 15)
        return std::to_string(code + 1);
    switch (code)
    {
    case channelLower:
        return "Lwr";
    case channelUpper:
        return "Upr";
    case channelAll:
        return "All";
    case channelPanel:
        return "Pnl";
    default:
        return "Err";
    }
}

const std::array<ChannelListEntry, 20>& channelList()
{
    static const std::array<ChannelListEntry, 20> list = {{{"1", 0},
                                                           {"2", 1},
                                                           {"3", 2},
                                                           {"4", 3},
                                                           {"5", 4},
                                                           {"6", 5},
                                                           {"7", 6},
                                                           {"8", 7},
                                                           {"9", 8},
                                                           {"10", 9},
                                                           {"11", 10},
                                                           {"12", 11},
                                                           {"13", 12},
                                                           {"14", 13},
                                                           {"15", 14},
                                                           {"16", 15},
                                                           {"Lower", channelLower},
                                                           {"Upper", channelUpper},
                                                           {"Panel", channelPanel},
                                                           {"All", channelAll}}};
    return list;
}

int channelListIndex(int code)
{
    const auto& list = channelList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].code == code)
            return (int)i;
    return -1;
}

std::string noteName(int note)
{
    static const char* const pitch[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (note < 0 || note > 127)
        return {};
    return std::string(pitch[note % 12]) + std::to_string(note / 12 - 2);
}

const std::array<std::string, 128>& controllerNames()
{
    static const std::array<std::string, 128> names = []
    {
        std::array<const char*, 128> n{};
        n.fill("Undefined");
        const std::pair<int, const char*> named[] = {
            {0, "Bank Select MSB"},
            {1, "Modulation Wheel"},
            {2, "Breath Controller"},
            {4, "Foot Controller"},
            {5, "Portamento Time"},
            {6, "Data Entry MSB"},
            {7, "Channel Volume"},
            {8, "Balance"},
            {10, "Pan"},
            {11, "Expression Controller"},
            {12, "Effect Control 1"},
            {13, "Effect Control 2"},
            {16, "General Purpose Controller 1"},
            {17, "General Purpose Controller 2"},
            {18, "General Purpose Controller 3"},
            {19, "General Purpose Controller 4"},
            {32, "Bank Select LSB"},
            {33, "Modulation Wheel LSB"},
            {34, "Breath Controller LSB"},
            {36, "Foot Controller LSB"},
            {37, "Portamento Time LSB"},
            {38, "Data Entry LSB"},
            {39, "Channel Volume LSB"},
            {40, "Balance LSB"},
            {42, "Pan LSB"},
            {43, "Expression Controller LSB"},
            {44, "Effect Control 1 LSB"},
            {45, "Effect Control 2 LSB"},
            {48, "General Purpose Controller 1 LSB"},
            {49, "General Purpose Controller 2 LSB"},
            {50, "General Purpose Controller 3 LSB"},
            {51, "General Purpose Controller 4 LSB"},
            {64, "Sustain"},
            {65, "Portamento On/Off"},
            {66, "Sostenuto On/Off"},
            {67, "Soft Pedal On/Off"},
            {68, "Legato Footswitch"},
            {69, "Hold 2"},
            {70, "Sound Variation"},
            {71, "Timbre/Harmonic Intens."},
            {72, "Release Time"},
            {73, "Attack Time"},
            {74, "Brightness"},
            {75, "Decay Time"},
            {76, "Vibrato Rate"},
            {77, "Vibrato Depth"},
            {78, "Vibrato Delay"},
            {79, "Sound Controller 10"},
            {80, "General Purpose Controller 5"},
            {81, "General Purpose Controller 6"},
            {82, "General Purpose Controller 7"},
            {83, "General Purpose Controller 8"},
            {84, "Portamento Control"},
            {91, "Reverb Send Level"},
            {92, "Tremolo Depth"},
            {93, "Chorus Send Level"},
            {94, "Celeste Depth"},
            {95, "Phaser Depth"},
            {96, "Data Increment"},
            {97, "Data Decrement"},
            {98, "NRPN - LSB"},
            {99, "NRPN - MSB"},
            {100, "RPN - LSB"},
            {101, "RPN - MSB"},
            {120, "All Sound Off"},
            {121, "Reset All Controllers"},
            {122, "Local Control On/Off"},
            {123, "All Notes Off"},
            {124, "Omni Mode Off"},
            {125, "Omni Mode On"},
            {126, "Mono Mode On"},
            {127, "Poly Mode On"},
        };
        for (const auto& [num, name] : named)
            n[(size_t)num] = name;
        std::array<std::string, 128> out;
        for (size_t i = 0; i < 128; ++i)
            out[i] = std::to_string(i) + " - " + n[i];
        return out;
    }();
    return names;
}

//==============================================================================
const GlobalParamInfo* globalParam(int id)
{
    for (const auto& g : globalParamTable)
        if (g.id == id)
            return &g;
    return nullptr;
}

std::string globalName(int id)
{
    const auto* g = globalParam(id);
    if (g == nullptr)
        return "keyboard-wide value " + std::to_string(id);
    std::string name = g->label;
    name[0] = (char)std::tolower((unsigned char)name[0]);
    return name;
}

std::vector<std::string> globalChoices(int id)
{
    std::vector<std::string> choices;
    const auto* g = globalParam(id);
    if (g == nullptr)
        return choices;
    switch (g->kind)
    {
    case GlobalKind::channel:
        for (int c = 1; c <= 16; ++c)
            choices.push_back(std::to_string(c));
        break;
    case GlobalKind::twoChoices:
        choices = {g->choices[0], g->choices[1]};
        break;
    case GlobalKind::note:
        for (int n = 0; n < 128; ++n)
            choices.push_back(noteName(n));
        break;
    }
    return choices;
}

std::string globalValueText(int id, int value)
{
    const auto* g = globalParam(id);
    if (g != nullptr && g->kind == GlobalKind::twoChoices)
        return g->choices[value == 127 ? 1 : 0];
    const int choices = g != nullptr && g->kind == GlobalKind::channel ? 16 : 128;
    if (g == nullptr || value < 0 || value >= choices)
        return "? (" + std::to_string(value) + ")";
    return g->kind == GlobalKind::channel ? std::to_string(value + 1) : noteName(value);
}

const char* fieldName(int field)
{
    for (const auto& f : fieldTable)
        if (f.field == field)
            return f.name;
    return "value";
}

std::string fieldHeading(int field)
{
    std::string heading = fieldName(field);
    heading[0] = (char)std::toupper((unsigned char)heading[0]);
    return heading;
}
} // namespace ControlCatalogue
