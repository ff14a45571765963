#include "ExportCommand.h"

#include "CommandSupport.h"
#include "LinkSession.h"
#include "files/DawNames.h"
#include "files/SettingsFile.h"
#include "files/SetupFileName.h"

namespace QuilletExport
{
namespace
{
std::optional<DawNames::Format> formatOrSay(const juce::String& name, std::ostream& err)
{
    const auto format = DawNames::formatNamed(name);
    if (!format)
        err << "quillet: unknown format '" << SetupFileName::printable(name)
            << "'; export writes midnam, ins, reaper or csv\n";
    return format;
}

int write(const DawNames& names, DawNames::Format format, const juce::File& outFile, std::ostream& err)
{
    if (format == DawNames::Format::ins || format == DawNames::Format::reaper)
        for (const auto& line : names.merged())
            err << "quillet: joined: " << SetupFileName::printable(line) << "\n";
    return QuilletCommands::reportWrite(names.write(format, outFile, ReadOnlyFiles::refuse), outFile, err);
}
} // namespace

int exportNames(const juce::String& formatName, const juce::File& in, const juce::File& outFile,
                std::ostream& err)
{
    const auto format = formatOrSay(formatName, err);
    if (!format)
        return QuilletCommands::exitUsage;
    // The setup's title names the instrument; a file without one, its name.
    const auto setup = QuilletCommands::loadSetup(in, err);
    if (!setup)
        return QuilletCommands::exitUnreadable;
    return write(DawNames(setup->state, setup->name), *format, outFile, err);
}

int exportFromKeyboard(const juce::String& formatName, const juce::File& outFile,
                       const QuilletLinkCommands::LinkOptions& link, std::ostream& out, std::ostream& err)
{
    const auto format = formatOrSay(formatName, err);
    if (!format)
        return QuilletCommands::exitUsage;
    QuilletLinkCommands::LinkSession session(link, err);
    if (const int read = session.readWholeKeyboard(); read != QuilletCommands::exitOk)
        return read;
    const int code = write(DawNames(session.manager().snapshot(), "Quillet 49"), *format, outFile, err);
    if (code == QuilletCommands::exitOk)
        out << "Wrote the names of what the keyboard on " << session.manager().getKeyboardOutputName()
            << " holds to " << outFile.getFileName() << "\n";
    return code;
}
} // namespace QuilletExport
