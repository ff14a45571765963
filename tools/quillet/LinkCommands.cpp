#include "LinkCommands.h"
#include "LinkSession.h"

#include "CommandSupport.h"
#include "DiffCommand.h"
#include "files/SettingsFile.h"

namespace QuilletLinkCommands
{
namespace
{
using namespace QuilletCommands;

} // namespace

const std::vector<EmulatedKeyboardOption>& emulatedKeyboardOptions()
{
    // The trouble is the emulator's own (KeyboardEmulator::applyTrouble checks the values); the state file is
    // the tool's.
    static const std::vector<EmulatedKeyboardOption> options = {
        {"drop-every", "N", "ignores every Nth value sent"},
        {"slow", "MS", "answers that late"},
        {"silent-after", "N", "stops answering after N answers"},
        {"unplug-after", "N", "is unplugged after N answers"},
        {"split", "N", "N values per answer, 0: all in one"},
        {"no-identity", "", "never answers the search"},
        {"play", "FILE.mid",
         "a second after it is found, sends the channel messages of the MIDI file at its timing, as if its "
         "controls were "
         "moved"},
        {"play-rate", "N", "sends the played file's messages at N a second instead"},
        {"state", "FILE",
         "starts holding the settings file FILE, factory defaults when it does not exist, and writes what it "
         "holds back to FILE when the command ends"},
    };
    return options;
}

juce::String optionForm(const EmulatedKeyboardOption& option)
{
    return juce::String(option.name) +
           (*option.value != 0 ? "=" + juce::String(option.value) : juce::String());
}

namespace
{
const EmulatedKeyboardOption* findOption(const juce::String& name)
{
    for (const auto& o : emulatedKeyboardOptions())
        if (name == o.name)
            return &o;
    return nullptr;
}

/** A trouble the parser does not take, and every one it does. */
juce::String unknownOption(const juce::String& item)
{
    juce::StringArray forms;
    for (const auto& o : emulatedKeyboardOptions())
        forms.add(optionForm(o));
    // A known trouble that cannot be used comes back with its reason in brackets.
    return (item.endsWithChar(')') ? "cannot use trouble '" : "unknown trouble '") + item +
           "'; the emulated keyboard takes " + forms.joinIntoString(", ");
}
} // namespace

std::optional<LinkOptions> takeLinkOptions(juce::StringArray& args, juce::String& problem)
{
    LinkOptions options;
    // Only options count: everything after "--" is a file name, whatever it looks like.
    int end = args.indexOf("--");
    if (end < 0)
        end = args.size();
    for (int i = end; --i >= 1;)
    {
        const auto& a = args[i];
        if (a == "--emulated-keyboard" || a.startsWith("--emulated-keyboard="))
        {
            options.emulated = true;
            juce::StringArray trouble;
            for (const auto& item :
                 juce::StringArray::fromTokens(a.fromFirstOccurrenceOf("=", false, false), ",", {}))
            {
                const auto name = item.upToFirstOccurrenceOf("=", false, false).trim();
                if (item.trim().isEmpty())
                    continue;
                if (findOption(name) == nullptr)
                {
                    problem = unknownOption(item.trim());
                    return std::nullopt;
                }
                if (name == "state")
                {
                    options.stateFile = item.trim().fromFirstOccurrenceOf("=", false, false);
                    if (options.stateFile.isEmpty())
                    {
                        problem = "state=FILE names no file";
                        return std::nullopt;
                    }
                }
                else
                    trouble.add(item);
            }
            options.trouble = trouble.joinIntoString(",");
            args.remove(i);
        }
    }
    if (options.emulated)
    {
        // The trouble list is checked against a throwaway emulator, so a typo is a usage error, not a quiet
        // fault-free run.
        VirtualMidiPorts scratch;
        KeyboardEmulator check(scratch);
        const auto unknown = check.applyTrouble(options.trouble);
        if (unknown.isNotEmpty())
        {
            problem = unknownOption(unknown);
            return std::nullopt;
        }
    }
    return options;
}

int listPorts(const LinkOptions& options, std::ostream& out, std::ostream& err)
{
    LinkSession session(options, err);
    if (!session.ready)
        return exitUnreadable;
    auto& ports = session.portSystem();
    const auto inputs = ports.getInputNames();
    const auto outputs = ports.getOutputNames();
    const bool found = !outputs.isEmpty() && session.findKeyboard(false);
    const auto keyboardIn = session.manager().getKeyboardInputName();
    const auto keyboardOut = session.manager().getKeyboardOutputName();

    auto list = [&](const char* title, const juce::StringArray& names, const juce::String& keyboard)
    {
        out << title << "\n";
        if (names.isEmpty())
            out << "  (none)\n";
        for (const auto& n : names)
            out << "  " << n << (found && n == keyboard ? "   <- the keyboard" : "") << "\n";
    };
    list("MIDI inputs:", inputs, keyboardIn);
    list("MIDI outputs:", outputs, keyboardOut);
    if (!found)
    {
        const auto service = ports.serviceProblem();
        if (service.isNotEmpty())
            out << service << "\n";
        out << "No keyboard answered the identity request.\n";
        return exitNoKeyboard;
    }
    out << "The keyboard answers on " << keyboardOut << ".\n";
    if (const auto version = session.manager().getFirmwareVersion(); version.isNotEmpty())
        out << "Firmware version " << version << ".\n";
    return exitOk;
}

int readKeyboard(const juce::File& outFile, const LinkOptions& options, std::ostream& out, std::ostream& err)
{
    LinkSession session(options, err);
    if (!session.ready)
        return exitUnreadable;
    const auto heard = session.link->getReadOut().onFinished(
        [&session](ReadOutChain::Outcome outcome)
        {
            session.readOutcome = outcome;
            session.readFinished = true;
        });
    if (!session.findKeyboard(true))
    {
        err << notFound;
        return exitNoKeyboard;
    }
    // A read-out the keyboard stopped answering is ended by the link's stall check, one it was pulled from
    // by the link at once.
    pumpUntil([&session] { return session.readFinished.load(); }, 120000);
    if (!session.readFinished || session.readOutcome != ReadOutChain::Outcome::complete)
    {
        if (session.readOutcome == ReadOutChain::Outcome::disconnected ||
            !session.manager().isKeyboardFound())
        {
            err << "quillet: the keyboard was disconnected during the read-out\n";
            return exitNoKeyboard;
        }
        err << "quillet: the keyboard stopped answering after " << session.link->getReadOut().stepsDone()
            << " of " << ReadOutChain::numSteps() << " answers; nothing was written\n";
        return exitProblems;
    }
    if (const int code =
            QuilletCommands::reportWrite(writeSettingsFile(session.manager(), outFile), outFile, err);
        code != exitOk)
        return code;
    out << "Read the keyboard on " << session.manager().getKeyboardOutputName() << " into "
        << outFile.getFileName() << "\n";
    return exitOk;
}

int sendToKeyboard(const juce::File& inFile, const LinkOptions& options, std::ostream& out, std::ostream& err)
{
    // The result outlives the session, whose sender's thread may still be reporting when it is stopped.
    std::optional<VerifiedSend::Result> result;
    std::mutex resultLock;
    LinkSession session(options, err);
    if (!session.ready)
        return exitUnreadable;
    // Loaded as a freshly started editor would load it, so the bytes are those that 'syx' writes.
    SettingsDocument doc;
    SettingsReadResult read;
    if (!QuilletCommands::loadFresh(inFile, session.manager(), doc, read, err))
        return exitUnreadable;
    if (!session.findKeyboard(false))
    {
        err << notFound;
        return exitNoKeyboard;
    }

    const auto heard = session.link->getSender().onFinished(
        [&](const VerifiedSend::Result& r)
        {
            std::lock_guard<std::mutex> g(resultLock);
            result = r;
        });
    const auto sent = session.manager().snapshot();
    session.link->getSender().start(sent);
    pumpUntil([&session] { return !session.link->getSender().isRunning(); }, 300000);
    session.link->getSender().waitUntilFinished(5000); // and for its report

    std::lock_guard<std::mutex> g(resultLock);
    if (!result)
    {
        err << "quillet: the send did not end\n";
        return exitNoKeyboard;
    }
    QuilletCommands::reportSkipped(read, "sent", err);
    using Outcome = VerifiedSend::Outcome;
    if (result->outcome == Outcome::verified)
    {
        out << result->describe() << "\n";
        return read.skippedCount() > 0 ? exitSentWithDefaults : exitOk;
    }
    // The result is worded as a sentence for the editor's boxes; after the tool's name it goes on in lower
    // case, as every other message of the tool does.
    auto why = result->describe();
    if (juce::CharacterFunctions::isUpperCase(why[0]) && juce::CharacterFunctions::isLowerCase(why[1]))
        why = why.substring(0, 1).toLowerCase() + why.substring(1);
    err << "quillet: " << why << "\n";
    return result->outcome == Outcome::lost || result->outcome == Outcome::notConnected ? exitNoKeyboard
                                                                                        : exitProblems;
}

int diffWithKeyboard(const juce::File& inFile, bool tsv, const LinkOptions& options, std::ostream& out,
                     std::ostream& err)
{
    SettingsState file;
    if (!QuilletDiff::loadDefined(inFile, file, err))
        return exitUnreadable;
    LinkSession session(options, err);
    if (!session.ready)
        return exitUnreadable;
    if (!session.findKeyboard(false))
    {
        err << notFound;
        return exitNoKeyboard;
    }
    // The report is heard until `heard` ends, which waits for a report in progress.
    std::optional<FreshRead::Result> result;
    std::mutex resultLock;
    auto& reader = session.link->getFreshRead();
    const auto heard = reader.onFinished(
        [&](const FreshRead::Result& r)
        {
            std::lock_guard<std::mutex> g(resultLock);
            result = r;
        });
    if (!reader.start())
    {
        err << "quillet: the keyboard could not be read\n";
        return exitNoKeyboard;
    }
    pumpUntil([&reader] { return !reader.isRunning(); }, 120000);
    reader.waitUntilFinished(5000);
    std::lock_guard<std::mutex> g(resultLock);
    if (!result || result->lost)
    {
        err << "quillet: the keyboard was disconnected during the read-out\n";
        return exitNoKeyboard;
    }
    const auto comparison = ConfigComparison::between(file, result->keyboard, "not defined", "unknown");
    const int code = QuilletDiff::report(comparison, inFile.getFileName(), "the keyboard", tsv, out);
    if (!result->complete)
    {
        // Values the keyboard did not get to are listed as unknown, never taken as equal.
        err << "quillet: the keyboard stopped answering after " << result->answers << " of "
            << ReadOutChain::numSteps() << " answers; the comparison is incomplete\n";
        return exitProblems;
    }
    return code;
}
} // namespace QuilletLinkCommands
