#include "DawNames.h"

#include "SettingsFile.h"
#include "model/ControlCatalogue.h"
#include "model/ValueMeaning.h"

#include <set>

namespace
{
const char* const manufacturer = "Morvane";
const char* const model = "Quillet 49";

std::string utf8(const juce::String& s)
{
    return s.toStdString();
}

/** A CSV field as RFC 4180 quotes it: in double quotes, doubled inside, where it holds a comma, a quote or
    a line break. */
juce::String csvField(const juce::String& text)
{
    if (!text.containsAnyOf(",\"\r\n"))
        return text;
    return "\"" + text.replace("\"", "\"\"") + "\"";
}

juce::String channelsText(const std::vector<int>& channels)
{
    if (channels.size() == 16)
        return "1-16";
    juce::StringArray list;
    for (int c : channels)
        list.add(juce::String(c + 1));
    return list.joinIntoString(" ");
}

juce::String meaningOf(const DawNames::Entry& e, int mode, int channelCode)
{
    if (e.sent.kind == SentMessage::Kind::controller) // the list's entry without its number
        return juce::String::fromUTF8(ControlCatalogue::controllerNames()[(size_t)e.sent.number].c_str())
            .fromFirstOccurrenceOf(" - ", false, false);
    return juce::String::fromUTF8(ValueMeaning::shortMeaning(mode, channelCode, e.sent.number).c_str());
}
} // namespace

juce::String DawNames::oneLine(const juce::String& name)
{
    juce::String out;
    for (auto p = name.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        out +=
            (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029) ? juce::juce_wchar(' ') : c;
    }
    while (out.contains("  "))
        out = out.replace("  ", " ");
    return out.trim();
}

std::optional<DawNames::Format> DawNames::formatNamed(const juce::String& name)
{
    for (auto f : {Format::midnam, Format::ins, Format::reaper, Format::csv})
        if (name == (f == Format::reaper ? "reaper" : extension(f)))
            return f;
    return std::nullopt;
}

const char* DawNames::extension(Format format)
{
    switch (format)
    {
    case Format::midnam:
        return "midnam";
    case Format::ins:
        return "ins";
    case Format::reaper:
        return "txt";
    default:
        return "csv";
    }
}

DawNames::DawNames(const SettingsState& s, const juce::String& name) : state(s), instrument(oneLine(name))
{
    for (int id : ControlCatalogue::pictureControls())
    {
        const auto sent = SentMessage::of(state, id);
        if (sent.kind == SentMessage::Kind::none || sent.kind == SentMessage::Kind::mmc ||
            sent.kind == SentMessage::Kind::program)
            continue; // a DAW names notes, controllers and parameters
        const char* own = ControlCatalogue::displayName(id);
        sends.push_back(
            {id, oneLine(controlLabel(state, id)), own != nullptr ? own : juce::String(id), sent});
    }
}

std::string DawNames::text(Format format) const
{
    switch (format)
    {
    case Format::midnam:
        return midnam();
    case Format::ins:
        return ins();
    case Format::reaper:
        return reaper();
    default:
        return csv();
    }
}

FileWriteResult DawNames::write(Format format, const juce::File& file, ReadOnlyFiles readOnly) const
{
    const auto bytes = text(format);
    return SafeFileWriter::replaceFileContents(file, bytes.data(), bytes.size(), readOnly);
}

//==============================================================================
std::string DawNames::midnam() const
{
    using Kind = SentMessage::Kind;
    // Per channel: the notes' names and the controls' names with their ranges, each number once.
    struct Named
    {
        juce::StringArray names;
        int min = 127, max = 0;
    };
    std::map<int, std::map<int, Named>> notes;                     // channel, note
    std::map<int, std::map<std::pair<Kind, int>, Named>> controls; // channel, (kind, number)
    for (const auto& e : sends)
        for (int c : e.sent.channels)
        {
            auto& named = e.sent.kind == Kind::note ? notes[c][e.sent.number]
                                                    : controls[c][{e.sent.kind, e.sent.number}];
            named.names.addIfNotAlreadyThere(e.name);
            named.min = std::min(named.min, e.sent.min);
            named.max = std::max(named.max, e.sent.max);
        }
    std::set<int> used;
    for (const auto& [c, n] : notes)
        used.insert(c);
    for (const auto& [c, n] : controls)
        used.insert(c);
    if (used.empty())
        used.insert(0); // the document needs one name set
    const auto setName = [](int c)
    {
        return "Channel " + juce::String(c + 1);
    };

    juce::XmlElement root("MIDINameDocument");
    root.createNewChildElement("Author")->addTextElement(juce::String(manufacturer) +
                                                         " Quillet MIDI Control Center");
    auto* device = root.createNewChildElement("MasterDeviceNames");
    device->createNewChildElement("Manufacturer")->addTextElement(manufacturer);
    device->createNewChildElement("Model")->addTextElement(instrument.isEmpty() ? juce::String(model)
                                                                                : instrument);
    auto* mode = device->createNewChildElement("CustomDeviceMode");
    mode->setAttribute("Name", "Default");
    auto* assignments = mode->createNewChildElement("ChannelNameSetAssignments");
    for (int c : used)
    {
        auto* assign = assignments->createNewChildElement("ChannelNameSetAssign");
        assign->setAttribute("Channel", c + 1);
        assign->setAttribute("NameSet", setName(c));
    }
    for (int c : used)
    {
        // In the order the document type gives: channels, notes, controls, then the patch bank it requires.
        auto* set = device->createNewChildElement("ChannelNameSet");
        set->setAttribute("Name", setName(c));
        auto* available = set->createNewChildElement("AvailableForChannels");
        for (int k = 0; k < 16; ++k)
        {
            auto* a = available->createNewChildElement("AvailableChannel");
            a->setAttribute("Channel", k + 1);
            a->setAttribute("Available", k == c ? "true" : "false");
        }
        if (auto n = notes.find(c); n != notes.end())
        {
            auto* list = set->createNewChildElement("NoteNameList");
            list->setAttribute("Name", "Notes " + setName(c));
            for (const auto& [note, named] : n->second)
            {
                auto* e = list->createNewChildElement("Note");
                e->setAttribute("Number", note);
                e->setAttribute("Name", named.names.joinIntoString(" / "));
            }
        }
        if (auto k = controls.find(c); k != controls.end())
        {
            auto* list = set->createNewChildElement("ControlNameList");
            list->setAttribute("Name", "Controls " + setName(c));
            for (const auto& [key, named] : k->second)
            {
                auto* e = list->createNewChildElement("Control");
                e->setAttribute("Type", key.first == Kind::controller ? "7bit"
                                        : key.first == Kind::rpn      ? "RPN"
                                                                      : "NRPN");
                e->setAttribute("Number", key.second);
                e->setAttribute("Name", named.names.joinIntoString(" / "));
                // A parameter's value is its own two bytes; a controller's goes from Min to Max.
                auto* values = e->createNewChildElement("Values");
                values->setAttribute("Min", key.first == Kind::controller ? named.min : 0);
                values->setAttribute("Max", key.first == Kind::controller ? named.max : 16383);
            }
        }
        auto* bank = set->createNewChildElement("PatchBank");
        bank->setAttribute("Name", "Programs");
        bank->createNewChildElement("PatchNameList");
    }
    juce::XmlElement::TextFormat format;
    format.dtd =
        "<!DOCTYPE MIDINameDocument PUBLIC \"-//MIDI Manufacturers Association//DTD MIDINameDocument "
        "1.0//EN\" \"http://www.midi.org/dtds/MIDINameDocument10.dtd\">";
    return utf8(root.toString(format));
}

std::map<int, DawNames::Joined> DawNames::withoutChannels(SentMessage::Kind kind) const
{
    std::map<int, Joined> joined;
    std::map<int, juce::StringArray> seen;
    for (const auto& e : sends)
    {
        if (e.sent.kind != kind)
            continue;
        auto& j = joined[e.sent.number];
        auto& names = seen[e.sent.number];
        if (!names.isEmpty() && !names.contains(e.name))
            j.mixed = true;
        names.addIfNotAlreadyThere(e.name);
        j.names = names.joinIntoString(" / ");
        j.controls.add(e.control + " (channel " + channelsText(e.sent.channels) + ")");
    }
    return joined;
}

juce::StringArray DawNames::merged() const
{
    using Kind = SentMessage::Kind;
    juce::StringArray lines;
    const std::pair<Kind, const char*> kinds[] = {
        {Kind::note, "note "}, {Kind::controller, "CC "}, {Kind::rpn, "RPN "}, {Kind::nrpn, "NRPN "}};
    for (const auto& [kind, word] : kinds)
        for (const auto& [number, j] : withoutChannels(kind))
            if (j.mixed)
                lines.add(juce::String(word) + juce::String(number) + " is named for " +
                          j.controls.joinIntoString(", ") + ": \"" + j.names + "\"");
    return lines;
}

std::string DawNames::ins() const
{
    using Kind = SentMessage::Kind;
    // A semicolon starts a comment anywhere on a line.
    const auto clean = [](const juce::String& s)
    {
        return s.replace(";", ",");
    };
    const auto title = clean(instrument.isEmpty() ? juce::String(model) : instrument);
    juce::String out;
    out << "; Instrument definitions for the " << model << ", written by the " << manufacturer
        << " Quillet MIDI Control Center (UTF-8)\n";
    for (const auto& line : merged())
        out << "; merged: " << clean(line) << "\n";
    const auto section = [&](const char* heading, Kind kind, const juce::String& list)
    {
        out << "\n" << heading << "\n\n[" << title << " " << list << "]\n";
        for (const auto& [number, j] : withoutChannels(kind))
            out << number << "=" << clean(j.names) << "\n";
    };
    section(".Note Names", Kind::note, "Notes");
    section(".Controller Names", Kind::controller, "Controllers");
    section(".RPN Names", Kind::rpn, "RPNs");
    section(".NRPN Names", Kind::nrpn, "NRPNs");
    out << "\n.Instrument Definitions\n\n[" << title << "]\n"
        << "Control=" << title << " Controllers\n"
        << "RPN=" << title << " RPNs\n"
        << "NRPN=" << title << " NRPNs\n"
        << "Key[*,*]=" << title << " Notes\n";
    return utf8(out);
}

std::string DawNames::reaper() const
{
    using Kind = SentMessage::Kind;
    juce::String out("# MIDI note/CC name map\n");
    out << "# " << (instrument.isEmpty() ? juce::String(model) : instrument) << ", written by the "
        << manufacturer << " Quillet MIDI Control Center\n";
    for (const auto& line : merged())
        out << "# merged: " << line << "\n";
    for (const auto& [number, j] : withoutChannels(Kind::note))
        out << number << " " << j.names << "\n";
    for (const auto& [number, j] : withoutChannels(Kind::controller))
        out << "CC" << number << " " << j.names << "\n";
    // The map names notes and controllers only; the parameters are said for the reader.
    for (const auto& [kind, word] : {std::pair{Kind::rpn, "RPN"}, std::pair{Kind::nrpn, "NRPN"}})
        for (const auto& [number, j] : withoutChannels(kind))
            out << "# " << word << " " << number << " " << j.names << "\n";
    return utf8(out);
}

std::string DawNames::csv() const
{
    juce::String out("Control,User name,Mode,Channel,Number,Min,Max,Meaning\r\n");
    for (int id : ControlCatalogue::pictureControls())
    {
        const char* own = ControlCatalogue::displayName(id);
        const auto user = state.names.find(id);
        const int mode = state.get(itemFieldMode, id), channelCode = state.get(itemFieldChannel, id);
        const auto sent = SentMessage::of(state, id);
        const Entry e{id, {}, {}, sent};
        juce::StringArray row;
        row.add(csvField(own != nullptr ? own : juce::String(id)));
        row.add(csvField(user != state.names.end() ? juce::String::fromUTF8(user->second.c_str()) : ""));
        row.add(csvField(mode >= 0 && mode < numItemModes ? ControlCatalogue::modePanelTexts()[(size_t)mode]
                                                          : ""));
        row.add(channelsText(sent.channels));
        row.add(juce::String(state.get(itemFieldNumber, id)));
        row.add(juce::String(state.get(itemFieldMinLsb, id)));
        row.add(juce::String(state.get(itemFieldMaxMsb, id)));
        row.add(csvField(sent.kind == SentMessage::Kind::none ? juce::String()
                                                              : meaningOf(e, mode, channelCode)));
        out << row.joinIntoString(",") << "\r\n";
    }
    return utf8(out);
}
