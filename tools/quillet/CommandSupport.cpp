#include "CommandSupport.h"

#include "files/SettingsFile.h"
#include "files/SetupFileName.h"
#include "model/ControlCatalogue.h"

namespace QuilletCommands
{
juce::File fileArg(const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile(path);
}

bool loadFresh(const juce::File& in, KbdSettingsStore& store, SettingsDocument& doc,
               SettingsReadResult& result, std::ostream& err)
{
    result = readSettingsDocument(in, doc);
    if (!result.ok)
    {
        err << "quillet: cannot read " << SetupFileName::printable(in.getFullPathName()) << ": "
            << result.message << "\n";
        return false;
    }
    store.modify([&doc](SettingsState& s) { doc.applyTo(s); });
    return true;
}

std::optional<LoadedSetup> loadSetup(const juce::File& in, std::ostream& err)
{
    KbdSettingsStore store;
    SettingsDocument doc;
    SettingsReadResult result;
    if (!loadFresh(in, store, doc, result, err))
        return std::nullopt;
    const auto name = doc.setup.nameIn(in);
    return LoadedSetup{store.snapshot(), doc, name};
}

int reportWrite(const FileWriteResult& r, const juce::File& out, std::ostream& err)
{
    if (r.ok)
        return exitOk;
    err << "quillet: cannot write " << SetupFileName::printable(out.getFullPathName()) << ": " << r.message
        << "\n";
    return exitFailed;
}

void reportSkipped(const SettingsReadResult& r, const juce::String& defaultsWere, std::ostream& err)
{
    const int n = r.skippedCount();
    if (n > 0)
        err << "quillet: " << n
            << (n == 1 ? " element of the file was skipped and the default "
                       : " elements of the file were "
                         "skipped and the defaults ")
            << defaultsWere << (n == 1 ? " in its" : " in their")
            << " place; run 'quillet check' for details\n";
}
} // namespace QuilletCommands
