#include "DawMaps.h"

#include "AbletonUserMap.h"
#include "ArdourMidiMap.h"
#include "DawNames.h"
#include "ReaLearnPreset.h"
#include "SettingsFile.h"
#include "SetupFileName.h"
#include "model/ControlCatalogue.h"

namespace
{
const char* const fallbackName = "Quillet 49";

/** Windows gives these names to devices, with any extension: a file of that name cannot be made. */
bool isDeviceName(const juce::String& name)
{
    const auto stem = name.upToFirstOccurrenceOf(".", false, false).trim().toUpperCase();
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.length() == 4 && (stem.startsWith("COM") || stem.startsWith("LPT")) &&
           stem.getLastCharacter() >= '0' && stem.getLastCharacter() <= '9';
}
} // namespace

std::optional<DawMaps::Daw> DawMaps::dawNamed(const juce::String& name)
{
    for (auto d : {Daw::ardour, Daw::ableton, Daw::realearn})
        if (name == nameOf(d))
            return d;
    return std::nullopt;
}

const char* DawMaps::nameOf(Daw daw)
{
    switch (daw)
    {
    case Daw::ardour:
        return "ardour";
    case Daw::ableton:
        return "ableton";
    default:
        return "realearn";
    }
}

DawMaps::DawMaps(const SettingsState& state, const ControlRoles& roles, const juce::String& name)
    : setupName(DawNames::oneLine(name).isEmpty() ? juce::String(fallbackName) : DawNames::oneLine(name))
{
    for (int id : ControlCatalogue::pictureControls())
    {
        const auto role = roles.of(id);
        if (role.action == ControlRole::Action::none)
            continue;
        const auto control = DawNames::oneLine(controlLabel(state, id));
        const auto sent = SentMessage::of(state, id);
        if (sent.kind == SentMessage::Kind::none)
            silent.add(control + ": sends nothing the DAW can take; " + role.name() + " is left out");
        else
            assigned.push_back({id, control, sent, role});
    }
}

MapText DawMaps::map(Daw daw) const
{
    switch (daw)
    {
    case Daw::ardour:
        return ArdourMidiMap::write(assigned, setupName);
    case Daw::ableton:
        return AbletonUserMap::write(assigned, setupName);
    default:
        return ReaLearnPreset::write(assigned, setupName);
    }
}

std::string DawMaps::text(Daw daw) const
{
    return map(daw).text;
}

juce::StringArray DawMaps::warnings(Daw daw) const
{
    auto all = silent;
    all.addArray(map(daw).warnings);
    return all;
}

juce::String DawMaps::folderName() const
{
    auto base = SetupFileName::baseFor(setupName, 100);
    // Windows drops trailing dots and spaces, and refuses its devices' names.
    while (base.endsWithChar('.') || base.endsWithChar(' '))
        base = base.dropLastCharacters(1);
    if (base.isEmpty())
        return "Setup";
    return isDeviceName(base) ? "Setup " + base : base;
}

juce::String DawMaps::fileName(Daw daw) const
{
    switch (daw)
    {
    case Daw::ardour:
        return folderName() + ".map";
    case Daw::ableton:
        return AbletonUserMap::fileName;
    default:
        return folderName() + ".json";
    }
}

FileWriteResult DawMaps::write(Daw daw, const juce::File& file, ReadOnlyFiles readOnly) const
{
    const auto bytes = text(daw);
    return SafeFileWriter::replaceFileContents(file, bytes.data(), bytes.size(), readOnly);
}
