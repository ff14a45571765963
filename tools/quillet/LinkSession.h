#pragma once

#include "CommandSupport.h"
#include "LinkCommands.h"
#include "device/KeyboardLink.h"
#include "device/MessageLoop.h"
#include "device/VirtualMidiPorts.h"
#include "emulator/KeyboardEmulator.h"
#include "files/SettingsFile.h"

namespace QuilletLinkCommands
{
inline const char* const notFound =
    "quillet: no keyboard answered on the MIDI ports. Check the USB cable and the "
    "keyboard's power, that no other program is holding its MIDI port, and that the "
    "system's MIDI service is running.\n";

/** The keyboard, reached the way the options say, through the editor's own link. */
class LinkSession
{
public:
    LinkSession(const LinkOptions& options, std::ostream& errors) : err(errors)
    {
        juce::MessageManager::getInstance(); // this thread runs the scan's timers
        if (options.emulated)
        {
            virtualPorts = std::make_unique<VirtualMidiPorts>();
            emulator = std::make_unique<KeyboardEmulator>(*virtualPorts);
            emulator->setConfiguration(KeyboardEmulator::demoConfiguration());
            if (options.stateFile.isNotEmpty())
                startFromState(juce::File::getCurrentWorkingDirectory().getChildFile(options.stateFile));
            emulator->applyTrouble(options.trouble);
            link = std::make_unique<KeyboardLink>(*virtualPorts);
        }
        else
        {
            link = std::make_unique<KeyboardLink>();
        }
        link->setReadOutOnDetection(false);
        // A keyboard unplugged part way is told from one that stopped answering.
        link->getManager().watchPorts(1000);
    }
    ~LinkSession()
    {
        link->close();
        // What the emulated keyboard holds now, for the next command; a failed write keeps the old file.
        if (stateFile != juce::File() && ready)
        {
            const auto written = writeXmlDocument(*createSettingsXml(emulator->getConfiguration()), stateFile,
                                                  ReadOnlyFiles::refuse);
            if (!written.ok)
                err << "quillet: cannot write the emulated keyboard's state to "
                    << stateFile.getFullPathName() << ": " << written.message << "\n";
        }
    }

    /** False when the emulated keyboard's state file could not be read (said in err). */
    bool ready = true;

    /** Runs the editor's scan; true once a keyboard has answered. The read-out starts by itself when asked
        to, exactly as the editor's does. */
    bool findKeyboard(bool readOutWhenFound)
    {
        link->setReadOutOnDetection(readOutWhenFound);
        auto& manager = link->getManager();
        manager.startScan();
        // Three passes over every output at two a second, and a second more for the last answer.
        const int outputs = juce::jmax(1, portSystem().getOutputNames().size());
        return pumpUntil([&manager] { return manager.isKeyboardFound() || !manager.isScanning(); },
                         outputs * 3 * 500 + 2000) &&
               manager.isKeyboardFound();
    }

    /** The emulated keyboard holds what a settings file holds, over the factory configuration. */
    void startFromState(const juce::File& file)
    {
        stateFile = file;
        auto state = KeyboardEmulator::factoryConfiguration();
        if (file.exists())
        {
            SettingsDocument doc;
            const auto read = readSettingsDocument(file, doc);
            ready = read.ok;
            if (!ready)
                err << "quillet: cannot read the emulated keyboard's state " << file.getFullPathName() << ": "
                    << read.message << "\n";
            doc.applyTo(state);
            state.names.clear(); // the keyboard keeps no names
        }
        emulator->setConfiguration(state);
    }

    /** Finds the keyboard and reads its whole configuration as the editor does at start-up: exitOk when it
        came whole, else the exit code, having said why in err. */
    int readWholeKeyboard()
    {
        if (!ready)
            return QuilletCommands::exitUnreadable;
        const auto heard = link->getReadOut().onFinished(
            [this](ReadOutChain::Outcome o)
            {
                readOutcome = o;
                readFinished = true;
            });
        if (!findKeyboard(true))
        {
            err << notFound;
            return QuilletCommands::exitNoKeyboard;
        }
        pumpUntil([this] { return readFinished.load(); }, 120000);
        if (readFinished && readOutcome == ReadOutChain::Outcome::complete)
            return QuilletCommands::exitOk;
        err << "quillet: the keyboard's configuration could not be read whole; nothing was written\n";
        return manager().isKeyboardFound() ? QuilletCommands::exitProblems : QuilletCommands::exitNoKeyboard;
    }

    MidiPortSystem& portSystem() { return virtualPorts != nullptr ? *virtualPorts : systemMidiPorts(); }
    OrvManager49& manager() { return link->getManager(); }

    std::ostream& err;
    juce::File stateFile;
    std::unique_ptr<VirtualMidiPorts> virtualPorts;
    std::unique_ptr<KeyboardEmulator> emulator;
    std::unique_ptr<KeyboardLink> link;
    std::atomic<ReadOutChain::Outcome> readOutcome{ReadOutChain::Outcome::complete};
    std::atomic<bool> readFinished{false};
};
} // namespace QuilletLinkCommands
