#include "ValueMeaning.h"

#include <array>

namespace
{
constexpr int drumChannel = 9; // MIDI channel 10, counted from 0

// General MIDI Level 1 percussion, notes 35 to 81.
const std::array<const char*, 47> drums = {"Acoustic Bass Drum",
                                           "Bass Drum 1",
                                           "Side Stick",
                                           "Acoustic Snare",
                                           "Hand Clap",
                                           "Electric Snare",
                                           "Low Floor Tom",
                                           "Closed Hi-Hat",
                                           "High Floor Tom",
                                           "Pedal Hi-Hat",
                                           "Low Tom",
                                           "Open Hi-Hat",
                                           "Low-Mid Tom",
                                           "Hi-Mid Tom",
                                           "Crash Cymbal 1",
                                           "High Tom",
                                           "Ride Cymbal 1",
                                           "Chinese Cymbal",
                                           "Ride Bell",
                                           "Tambourine",
                                           "Splash Cymbal",
                                           "Cowbell",
                                           "Crash Cymbal 2",
                                           "Vibraslap",
                                           "Ride Cymbal 2",
                                           "Hi Bongo",
                                           "Low Bongo",
                                           "Mute Hi Conga",
                                           "Open Hi Conga",
                                           "Low Conga",
                                           "High Timbale",
                                           "Low Timbale",
                                           "High Agogo",
                                           "Low Agogo",
                                           "Cabasa",
                                           "Maracas",
                                           "Short Whistle",
                                           "Long Whistle",
                                           "Short Guiro",
                                           "Long Guiro",
                                           "Claves",
                                           "Hi Wood Block",
                                           "Low Wood Block",
                                           "Mute Cuica",
                                           "Open Cuica",
                                           "Mute Triangle",
                                           "Open Triangle"};

// The registered parameters that have a name.
const std::array<const char*, 6> rpns = {"Pitch Bend Sensitivity", "Channel Fine Tuning",
                                         "Channel Coarse Tuning",  "Tuning Program Change",
                                         "Tuning Bank Select",     "Modulation Depth Range"};

std::string mmcCommand(int n)
{
    switch (n)
    {
    case 1:
        return "Stop";
    case 2:
        return "Play";
    case 3:
        return "Deferred Play";
    case 4:
        return "Fast Forward";
    case 5:
        return "Rewind";
    case 6:
        return "Record Strobe (punch in)";
    case 7:
        return "Record Exit (punch out)";
    case 8:
        return "Record Pause";
    case 9:
        return "Pause";
    case 10:
        return "Eject";
    case 11:
        return "Chase";
    case 13:
        return "MMC Reset";
    default:
        return "command " + std::to_string(n);
    }
}
} // namespace

std::string ValueMeaning::drumName(int note)
{
    return note >= 35 && note <= 81 ? drums[(size_t)(note - 35)] : "";
}

std::string ValueMeaning::ofNumber(int mode, int channelCode, int number)
{
    if (number < 0 || number > 127)
        return {};
    switch (mode)
    {
    case modeNoteToggle:
    case modeMidiNote:
    {
        auto text = "note " + ControlCatalogue::noteName(number);
        const auto drum = channelCode == drumChannel ? drumName(number) : std::string();
        return drum.empty() ? text : text + ", " + drum;
    }
    case modePatchChange:
        return "program " + std::to_string(number + 1);
    case modeKeyboardPreset:
        return "preset " + std::to_string(number + 1);
    case modeMmc:
        return "MMC " + mmcCommand(number);
    case modeRpn:
        return number < (int)rpns.size() ? "RPN " + std::to_string(number) + ", " + rpns[(size_t)number]
                                         : "RPN " + std::to_string(number);
    case modeNrpn:
        return "NRPN " + std::to_string(number);
    default:
        return {};
    }
}

std::string ValueMeaning::shortMeaning(int mode, int channelCode, int number)
{
    if (mode != modeNoteToggle && mode != modeMidiNote)
        return ofNumber(mode, channelCode, number);
    if (number < 0 || number > 127)
        return {};
    const auto note = ControlCatalogue::noteName(number);
    const auto drum = channelCode == drumChannel ? drumName(number) : std::string();
    return drum.empty() ? note : note + " \xC2\xB7 " + drum; // U+00B7, middle dot
}

std::string ValueMeaning::numberWithMeaning(int mode, int channelCode, int number)
{
    const auto meaning = shortMeaning(mode, channelCode, number);
    return meaning.empty() ? std::to_string(number) : std::to_string(number) + " - " + meaning;
}

std::string ValueMeaning::roleOf(int mode, int field)
{
    const bool parameterBytes = mode == modeRpn || mode == modeNrpn;
    if (field == itemFieldMinLsb)
        return parameterBytes ? "LSB" : "Min";
    return parameterBytes ? "MSB" : "Max";
}
