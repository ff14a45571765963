#include "DiffCommand.h"

#include "CommandSupport.h"
#include "files/SettingsFile.h"
#include "files/SetupFileName.h"

namespace QuilletDiff
{
namespace
{
const char* const notDefined = "not defined";

/** Tab-separated fields hold no tab or line break, whatever a name holds. */
juce::String cell(const juce::String& text)
{
    return text.replaceCharacters("\t\r\n", "   ");
}
} // namespace

bool loadDefined(const juce::File& in, SettingsState& state, std::ostream& err)
{
    SettingsDocument doc;
    const auto result = readSettingsDocument(in, doc);
    if (!result.ok)
    {
        err << "quillet: cannot read " << SetupFileName::printable(in.getFullPathName()) << ": "
            << result.message << "\n";
        return false;
    }
    state = ConfigComparison::unknownState();
    doc.applyTo(state);
    return true;
}

int report(const ConfigComparison& comparison, const juce::String& mineName, const juce::String& theirsName,
           bool tsv, std::ostream& out)
{
    if (tsv)
    {
        out << "control\tfield\t" << cell(mineName) << "\t" << cell(theirsName) << "\n";
        for (const auto& r : comparison.rows())
            out << cell(r.control) << "\t" << r.fieldLabel << "\t" << r.mineText << "\t" << r.theirsText
                << "\n";
    }
    else
    {
        for (const auto& r : comparison.rows())
            out << r.describe() << "\n";
        out << (comparison.identical() ? mineName + " and " + theirsName + " are identical"
                                       : comparison.summary() + " between " + mineName + " and " + theirsName)
            << "\n";
    }
    return comparison.identical() ? QuilletCommands::exitOk : QuilletCommands::exitProblems;
}

int diffFiles(const juce::File& a, const juce::File& b, bool tsv, std::ostream& out, std::ostream& err)
{
    SettingsState first, second;
    if (!loadDefined(a, first, err) || !loadDefined(b, second, err))
        return QuilletCommands::exitUnreadable;
    return report(ConfigComparison::between(first, second, notDefined, notDefined), a.getFileName(),
                  b.getFileName(), tsv, out);
}
} // namespace QuilletDiff
