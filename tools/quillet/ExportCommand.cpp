#include "ExportCommand.h"

#include "CommandSupport.h"
#include "files/DawNames.h"
#include "files/SettingsFile.h"
#include "files/SetupFileName.h"

namespace QuilletExport
{
int exportNames(const juce::String& formatName, const juce::File& in, const juce::File& outFile,
                std::ostream& err)
{
    const auto format = DawNames::formatNamed(formatName);
    if (!format)
    {
        err << "quillet: unknown format '" << SetupFileName::printable(formatName)
            << "'; export writes midnam, ins, reaper or csv\n";
        return QuilletCommands::exitUsage;
    }
    KbdSettingsStore store;
    SettingsDocument doc;
    SettingsReadResult result;
    if (!QuilletCommands::loadFresh(in, store, doc, result, err))
        return QuilletCommands::exitUnreadable;
    // The setup's title names the instrument; a file without one, its name.
    const auto instrument = doc.setup.title.isNotEmpty() ? doc.setup.title : in.getFileNameWithoutExtension();
    const DawNames names(store.snapshot(), instrument);
    if (*format == DawNames::Format::ins || *format == DawNames::Format::reaper)
        for (const auto& line : names.merged())
            err << "quillet: joined: " << SetupFileName::printable(line) << "\n";
    return QuilletCommands::reportWrite(names.write(*format, outFile, ReadOnlyFiles::refuse), outFile, err);
}
} // namespace QuilletExport
