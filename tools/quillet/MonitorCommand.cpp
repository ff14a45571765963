#include "MonitorCommand.h"

#include "LinkSession.h"
#include "device/MonitorTap.h"
#include "files/MonitorExport.h"
#include "files/SetupFileName.h"

#include <csignal>

namespace QuilletMonitor
{
namespace
{
using namespace QuilletCommands;

std::atomic<bool> interrupted{false};

extern "C" void stopMonitoring(int)
{
    interrupted = true;
}

/** A tab-separated field holds no tab or line break. */
juce::String cell(const juce::String& text)
{
    return text.replaceCharacters("\t\r\n", "   ");
}

void print(const MonitorLine& line, const juce::String& port, const Options& options, std::ostream& out)
{
    if (options.raw)
        out << line.hex() << "\n";
    else if (options.tsv)
        out << line.timeText() << "\t" << MonitorLine::directionName(line.direction) << "\t"
            << cell(line.controlNames()) << "\t" << MonitorLine::kindName(line.kind) << "\t"
            << (line.channel > 0 ? juce::String(line.channel) : juce::String()) << "\t" << line.number << "\t"
            << line.value << "\t" << line.hex() << "\n";
    else
        out << line.timeText() << "  " << MonitorLine::directionName(line.direction) << "  "
            << (port.isNotEmpty() ? port + "  " : juce::String())
            << (line.controls != nullptr ? line.controlNames() + " \xc2\xb7 " : juce::String())
            << line.words() << "  [" << line.hex() << "]\n";
}
} // namespace

bool takeOptions(juce::StringArray& args, Options& options, juce::String& problem)
{
    juce::StringArray filters;
    for (int i = args.size(); --i >= 1;)
    {
        const auto& a = args[i];
        const auto value = a.fromFirstOccurrenceOf("=", false, false);
        const bool number = value.isNotEmpty() && value.containsOnly("0123456789.") && value.length() <= 9;
        if (a.startsWith("--count=") && number && value.containsOnly("0123456789"))
            options.count = value.getIntValue();
        else if (a.startsWith("--seconds=") && number)
            options.seconds = value.getDoubleValue();
        else if (a == "--format=tsv" || a == "--format=text")
            options.tsv = a == "--format=tsv";
        else if (a == "--raw")
            options.raw = true;
        else if (a.startsWith("--setup=") && value.isNotEmpty())
            options.setupFile = value;
        else if (a.startsWith("--syx=") && value.isNotEmpty())
            options.syxFile = value;
        else if ((a.startsWith("--hide=") || a.startsWith("--only=")) && value.isNotEmpty())
            filters.insert(0, a); // applied in the order given, once all are taken
        else if (a.startsWith("--count") || a.startsWith("--seconds") || a.startsWith("--format") ||
                 a.startsWith("--setup") || a.startsWith("--syx") || a.startsWith("--hide") ||
                 a.startsWith("--only"))
        {
            problem = "'" + a +
                      "' needs a value: --count=N, --seconds=S, --format=text|tsv, --setup=FILE, "
                      "--syx=FILE, --hide=LIST, --only=LIST";
            return false;
        }
        else
            continue;
        args.remove(i);
    }
    for (const auto& a : filters)
        if (const auto unknown =
                options.filter.apply(a.fromFirstOccurrenceOf("=", false, false), a.startsWith("--hide="));
            unknown.isNotEmpty())
        {
            problem = "'" + a + "': '" + unknown +
                      "' is none of notes, controllers, pitch, program, sysex, system, timing, ch1..ch16 "
                      "(or chN-M), from, to";
            return false;
        }
    return true;
}

int run(const Options& options, const QuilletLinkCommands::LinkOptions& link, std::ostream& out,
        std::ostream& err)
{
    // Whose names the lines carry: the setup file's, else what the keyboard holds, read as the editor does.
    std::optional<SettingsState> named;
    if (options.setupFile.isNotEmpty())
    {
        KbdSettingsStore store;
        SettingsDocument doc;
        SettingsReadResult result;
        if (!loadFresh(fileArg(options.setupFile), store, doc, result, err))
            return exitUnreadable;
        named = store.snapshot();
    }
    QuilletLinkCommands::LinkSession session(link, err);
    if (!session.ready)
        return exitUnreadable;
    std::atomic<bool> readEnded{false};
    const auto heard =
        session.link->getReadOut().onFinished([&readEnded](ReadOutChain::Outcome) { readEnded = true; });
    if (!session.findKeyboard(!named.has_value()))
    {
        err << QuilletLinkCommands::notFound;
        return exitNoKeyboard;
    }
    if (!named)
    {
        pumpUntil([&readEnded] { return readEnded.load(); }, 120000);
        named = session.manager().snapshot();
    }

    MonitorDecoder decoder(*named);
    auto history = std::make_shared<MonitorHistory>();
    session.manager().monitorTap().attach(history);
    interrupted = false;
    const auto previous = std::signal(SIGINT, stopMonitoring);
    if (options.tsv)
        out << "time\tdirection\tcontrol\tkind\tchannel\tnumber\tvalue\tbytes\n";
    out.flush();

    MonitorExport::Lines sysEx;
    int printed = 0;
    bool lost = false;
    const auto started = juce::Time::getMillisecondCounterHiRes();
    const auto done = [&]
    {
        return interrupted || (options.count > 0 && printed >= options.count) ||
               (options.seconds > 0 &&
                juce::Time::getMillisecondCounterHiRes() - started >= options.seconds * 1000);
    };
    juce::int64 pushedOut = 0; // lines a drain added beyond what the ring keeps: never printed
    const auto take = [&]
    {
        // The lines a drain adds are the newest; the ring keeps the last of them when there are more.
        const int added = history->drain(decoder);
        pushedOut += std::max(0, added - history->size());
        for (int i = std::max(0, history->size() - added); i < history->size(); ++i)
        {
            if (options.count > 0 && printed >= options.count)
                break;
            const auto& line = history->line(i);
            if (options.syxFile.isNotEmpty() && line.kind == MonitorKind::sysEx)
                sysEx.push_back(line);
            if (!options.filter.passes(line))
                continue;
            print(line, session.manager().monitorTap().portName(line.port), options, out);
            ++printed;
        }
        out.flush();
    };
    while (!done())
    {
        pumpUntil([] { return false; }, 30);
        take();
        if (!session.manager().isKeyboardFound())
        {
            lost = true;
            break;
        }
    }
    session.manager().monitorTap().attach(nullptr);
    std::signal(SIGINT, previous);
    if (options.count == 0)
        take(); // what came before the tap was closed
    // What came after the count was reached was heard, not lost.
    if (const auto missed = history->droppedWaiting() + pushedOut; missed > 0)
        err << "quillet: " << missed << " messages came faster than they could be kept and were not shown\n";
    if (options.syxFile.isNotEmpty())
        if (const int code = reportWrite(MonitorExport::writeSyx(sysEx, fileArg(options.syxFile)),
                                         fileArg(options.syxFile), err);
            code != exitOk)
            return code;
    if (lost)
    {
        err << "quillet: the keyboard was disconnected\n";
        return exitNoKeyboard;
    }
    return exitOk;
}
} // namespace QuilletMonitor
