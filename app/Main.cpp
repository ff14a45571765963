#include "ALookAndFeel.h"
#include "MainWindow.h"

#if QUILLET_EMULATED_KEYBOARD
#include "emulator/KeyboardEmulator.h"
#endif

#include <X11/Xlib.h>

#include <csignal>
#include <iostream>

namespace
{
const char* const applicationTitle = "Morvane - The Quillet MIDI Control Center";

/** Opening a window without a display would crash the toolkit: ask X first. */
bool displayAvailable()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == 0)
        return false;
    if (Display* d = XOpenDisplay(name))
    {
        XCloseDisplay(d);
        return true;
    }
    return false;
}
} // namespace

/** The application: installs the look, opens the window, and tears it down when asked to quit. */
class AppClass : public juce::JUCEApplication
{
public:
    void initialise(const juce::String&) override
    {
        // Installed before any component exists; released only after the window and the default is restored.
        lookAndFeel = std::make_unique<ALookAndFeel>();
        juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());

#if QUILLET_EMULATED_KEYBOARD
        emulator = std::make_unique<KeyboardEmulator>(ports);
        emulator->setConfiguration(KeyboardEmulator::demoConfiguration());
        mainWindow = std::make_unique<MainAppWindow>(juce::String(applicationTitle) + " (emulated keyboard)",
                                                     new MainComponent(ports));
#else
        mainWindow = std::make_unique<MainAppWindow>(applicationTitle, new MainComponent());
#endif
        mainWindow->centreWithSize(1063, 460);
        mainWindow->setVisible(true);
    }

    void shutdown() override
    {
        mainWindow = nullptr;
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        lookAndFeel = nullptr;
    }

    const juce::String getApplicationName() override
    {
        return applicationTitle;
    }
    const juce::String getApplicationVersion() override
    {
        return "1.0";
    }
    bool moreThanOneInstanceAllowed() override
    {
        return true;
    }
    void anotherInstanceStarted(const juce::String&) override {}

private:
    std::unique_ptr<ALookAndFeel> lookAndFeel;
#if QUILLET_EMULATED_KEYBOARD
    // A keyboard in the same process, on virtual ports: declared first so it outlives the window.
    VirtualMidiPorts ports;
    std::unique_ptr<KeyboardEmulator> emulator;
#endif
    std::unique_ptr<MainAppWindow> mainWindow;
};

JUCE_CREATE_APPLICATION_DEFINE(AppClass)

int main(int argc, char* argv[])
{
    if (!displayAvailable())
    {
        std::cerr << applicationTitle << " needs a graphical display, and none could be opened"
                  << " (DISPLAY is "
                  << (std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "not set")
                  << ").\nTo run it without a screen, start it under a virtual X server, for example:\n"
                  << "  xvfb-run -a -s \"-screen 0 1280x800x24\" " << argv[0] << "\n";
        return 2;
    }
#ifdef SIGXFSZ
    // A file size limit then fails a save, which is reported, instead of killing the editor.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main(argc, (const char**)argv);
}
