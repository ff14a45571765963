#include "LibraryCommand.h"

#include "CommandSupport.h"
#include "files/SetupFileName.h"
#include "files/SetupLibrary.h"
#include "files/SyxImport.h"

namespace QuilletLibrary
{
namespace
{
using namespace QuilletCommands;

int usageError(std::ostream& err, const juce::String& problem)
{
    err << "quillet: " << problem << "; see quillet library --help\n";
    return exitUsage;
}

using SetupFileName::printable;

/** What the library could not use of its own files, said once, before anything else. */
void tellNotices(SetupLibrary& library, std::ostream& err)
{
    for (const auto& notice : library.takeNotices())
        err << "quillet: " << printable(notice) << "\n";
}

int list(SetupLibrary& library, const LibraryQuery& query, std::ostream& out, std::ostream& err)
{
    library.refresh();
    tellNotices(library, err);
    const auto entries = library.entries();
    const auto shown = library.filter(*entries, query);
    for (int i : shown)
    {
        const auto& e = (*entries)[(size_t)i];
        if (!e.isUsable())
        {
            out << "! " << printable(e.fileName) << ": " << printable(e.problem) << "\n";
            continue;
        }
        out << (library.marks().isFavourite(e.fileName) ? "* " : "  ") << printable(e.displayTitle());
        if (!e.info.tags.isEmpty())
            out << "  [" << printable(e.info.tags.joinIntoString(", ")) << "]";
        out << "  (" << printable(e.fileName) << ")\n";
    }
    out << shown.size() << " of " << entries->size() << (entries->size() == 1 ? " setup" : " setups")
        << " in " << printable(library.getFolder().getFullPathName()) << "\n";
    return exitOk;
}

/** The files of the setups a name on the command line may mean. A setup's whole file name means that setup
    alone, the way to pick one of several of a title; otherwise the file of that name with the extension
    added and every setup of that title (compared without case) are all meant. */
juce::StringArray setupsNamed(SetupLibrary& library, const juce::String& name)
{
    const auto& folder = library.getFolder();
    const bool plain = SetupFileName::isPlain(name);
    if (plain && name.endsWithIgnoreCase(SetupFileName::extension) &&
        SetupFileName::inFolder(folder, name).existsAsFile())
        return {name};
    juce::StringArray files;
    if (plain && SetupFileName::inFolder(folder, name + SetupFileName::extension).existsAsFile())
        files.add(name + SetupFileName::extension);
    library.refresh();
    for (const auto& e : *library.entries())
        if (e.info.title.equalsIgnoreCase(name.trim()))
            files.addIfNotAlreadyThere(e.fileName);
    return files;
}

int add(SetupLibrary& library, const juce::StringArray& files, std::ostream& out, std::ostream& err)
{
    int refused = 0;
    for (const auto& f : files)
    {
        const auto outcome = library.add(fileArg(f));
        if (outcome.ok)
            out << "Added " << printable(outcome.fileName) << "\n";
        else
        {
            err << "quillet: not added: " << printable(outcome.message) << "\n";
            ++refused;
        }
    }
    return refused == 0 ? exitOk : exitUnreadable;
}
} // namespace

int run(const juce::StringArray& args, const QuilletLinkCommands::LinkOptions& link, std::ostream& out,
        std::ostream& err)
{
    const auto sub = args[0];
    LibraryQuery query;
    juce::File folder = SetupLibrary::defaultFolder();
    juce::StringArray names;
    bool optionsEnded = false;
    for (int i = 1; i < args.size(); ++i)
    {
        const auto& a = args[i];
        const auto value = [&](const char* option) -> std::optional<juce::String>
        {
            const juce::String o(option);
            if (a.startsWith(o + "="))
                return a.fromFirstOccurrenceOf("=", false, false);
            if (a == o && i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        if (optionsEnded || !a.startsWith("--"))
            names.add(a);
        else if (a == "--")
            optionsEnded = true;
        else if (const auto dir = value("--library"))
            folder = fileArg(*dir);
        else if (sub == "list" && a == "--favourites")
            query.favouritesOnly = true;
        else if (const auto tag = sub == "list" ? value("--tag") : std::nullopt)
            query.tag = *tag;
        else if (const auto text = sub == "list" ? value("--search") : std::nullopt)
            query.text = *text;
        else
            return usageError(err, "unknown option '" + a + "'");
    }

    SetupLibrary library(folder);
    if (sub == "list" && names.isEmpty())
        return list(library, query, out, err);
    if (sub == "add" && !names.isEmpty())
        return add(library, names, out, err);
    if (sub == "send" && names.size() == 1)
    {
        // Sending one of several setups a name fits would leave the user guessing which went.
        if (const auto meant = setupsNamed(library, names[0]); meant.size() > 1)
        {
            tellNotices(library, err);
            juce::StringArray quoted;
            for (const auto& f : meant)
                quoted.add("\"" + printable(f) + "\"");
            err << "quillet: " << meant.size() << " setups answer to \"" << printable(names[0])
                << "\": " << quoted.joinIntoString(", ")
                << "; name the one to send by its file name, as in: quillet library send " << quoted[0]
                << "\n";
            return exitUsage;
        }
        juce::String problem;
        const auto file = library.find(names[0], problem);
        tellNotices(library, err);
        if (file == juce::File())
        {
            err << "quillet: " << printable(problem) << "\n";
            return exitUnreadable;
        }
        const int code = QuilletLinkCommands::sendToKeyboard(file, link, out, err);
        if ((code == exitOk || code == exitSentWithDefaults) && !library.marks().markUsed(file.getFileName()))
            err << "quillet: the setup was sent, but its last use could not be kept"
                << (library.marks().problem().isNotEmpty() ? ": " + printable(library.marks().problem())
                                                           : juce::String())
                << "\n";
        return code;
    }
    if (sub == "list" || sub == "add" || sub == "send")
        return usageError(err, "'library " + sub + "' takes " +
                                   (sub == "list"   ? juce::String("no names")
                                    : sub == "send" ? juce::String("one setup's name")
                                                    : juce::String("one or more files")));
    return usageError(err, sub.isEmpty() ? "'library' needs list, add or send"
                                         : "unknown library command '" + sub + "'");
}

int importSyx(const juce::File& in, const juce::File& outFile, std::ostream& err)
{
    const auto imported = SyxImport::fromFile(in);
    if (!imported.ok)
    {
        err << "quillet: cannot import " << SetupFileName::printable(in.getFullPathName()) << ": "
            << imported.message << "\n";
        return exitUnreadable;
    }
    return reportWrite(writeXmlDocument(*createSettingsXml(imported.state), outFile), outFile, err);
}
} // namespace QuilletLibrary
