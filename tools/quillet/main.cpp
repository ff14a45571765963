#include "Commands.h"
#include "device/MidiClientName.h"

#include <juce_events/juce_events.h>

#include <csignal>
#include <iostream>

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // A file size limit then fails the write, which is reported, instead of killing the tool mid-save.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    setMidiClientName("quillet");
    juce::StringArray args;
    if (!QuilletCommands::argumentsOf(argc, argv, args, std::cerr))
        return QuilletCommands::exitUsage;
    const int code = QuilletCommands::run(args, std::cout, std::cerr);
    // The link commands run the message loop on this thread; it goes before the statics do.
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
    return code;
}
