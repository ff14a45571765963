#include "MapsCommand.h"

#include "CommandSupport.h"
#include "LinkSession.h"
#include "files/DawMapInstall.h"
#include "files/SettingsFile.h"
#include "files/SetupFileName.h"

namespace QuilletMaps
{
namespace
{
std::optional<DawMaps::Daw> dawOrSay(const juce::String& name, std::ostream& err)
{
    const auto daw = DawMaps::dawNamed(name);
    if (!daw)
        err << "quillet: unknown DAW '" << SetupFileName::printable(name)
            << "'; maps writes for ardour, ableton or realearn\n";
    return daw;
}

int write(const DawMaps& maps, DawMaps::Daw daw, const Destination& to, std::ostream& out, std::ostream& err)
{
    for (const auto& line : maps.warnings(daw))
        err << "quillet: " << SetupFileName::printable(line) << "\n";
    if (!to)
    {
        const auto installed = DawMapInstall::install(daw, maps);
        (installed.ok ? out : err) << (installed.ok ? "" : "quillet: ")
                                   << SetupFileName::printable(installed.message) << "\n";
        return installed.ok ? QuilletCommands::exitOk : QuilletCommands::exitFailed;
    }
    // Live reads a script from a folder of its own, named as the script is shown.
    auto file = *to;
    if (daw == DawMaps::Daw::ableton)
    {
        const auto folder = to->getChildFile(maps.folderName());
        if (!folder.isDirectory() && !folder.createDirectory().wasOk())
        {
            err << "quillet: cannot make the folder " << SetupFileName::printable(folder.getFullPathName())
                << "\n";
            return QuilletCommands::exitFailed;
        }
        file = folder.getChildFile(maps.fileName(daw));
    }
    const int code = QuilletCommands::reportWrite(maps.write(daw, file, ReadOnlyFiles::refuse), file, err);
    if (code == QuilletCommands::exitOk)
        out << "Wrote " << SetupFileName::printable(file.getFullPathName()) << "\n";
    return code;
}
} // namespace

int mapsFromFile(const juce::String& dawName, const juce::File& in, const Destination& to, std::ostream& out,
                 std::ostream& err)
{
    const auto daw = dawOrSay(dawName, err);
    if (!daw)
        return QuilletCommands::exitUsage;
    const auto setup = QuilletCommands::loadSetup(in, err);
    if (!setup)
        return QuilletCommands::exitUnreadable;
    // A file without roles takes the defaults.
    const DawMaps maps(setup->state, setup->doc.setup.roles.value_or(ControlRoles::defaults()), setup->name);
    return write(maps, *daw, to, out, err);
}

int mapsFromKeyboard(const juce::String& dawName, const Destination& to,
                     const QuilletLinkCommands::LinkOptions& link, std::ostream& out, std::ostream& err)
{
    const auto daw = dawOrSay(dawName, err);
    if (!daw)
        return QuilletCommands::exitUsage;
    QuilletLinkCommands::LinkSession session(link, err);
    if (const int read = session.readWholeKeyboard(); read != QuilletCommands::exitOk)
        return read;
    return write(DawMaps(session.manager().snapshot(), ControlRoles::defaults(), "Quillet 49"), *daw, to, out,
                 err);
}
} // namespace QuilletMaps
