#include "ALookAndFeel.h"
#include "EditorCommandLine.h"
#include "MainWindow.h"
#include "NativeWindowHints.h"
#include "device/MidiClientName.h"
#include "ui/EditorZoom.h"

#if QUILLET_EMULATED_KEYBOARD
#include "emulator/EmulatedMove.h"
#include "emulator/KeyboardEmulator.h"
#endif

#if JUCE_LINUX || JUCE_BSD
#include <X11/Xlib.h>
#endif
#if JUCE_WINDOWS
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace
{
const char* const applicationTitle = "Morvane - The Quillet MIDI Control Center";

// The window's class: the launcher's StartupWMClass names the same, so docks pair the two.
#if QUILLET_EMULATED_KEYBOARD
const char* const windowClass = "quillet-editor-emulated";
#else
const char* const windowClass = "quillet-editor";
#endif

#if JUCE_WINDOWS
/** On Windows the toolkit draws pending repaints when the display reports its vertical blank. Wine never
    reports one, so under Wine the window would be drawn once and never again: there the repaints are
    drawn on a timer instead. */
class WineRepaints : private juce::Timer
{
public:
    WineRepaints()
    {
        auto* ntdll = GetModuleHandleW(L"ntdll.dll");
        if (ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr)
            startTimerHz(30);
    }

private:
    void timerCallback() override
    {
        for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
            juce::ComponentPeer::getPeer(i)->performAnyPendingRepaintsNow();
    }
};
#endif

#if QUILLET_EMULATED_KEYBOARD
constexpr bool emulatedEditor = true;
const char* const programName = "quillet-editor-emulated";
#else
constexpr bool emulatedEditor = false;
const char* const programName = "quillet-editor";
#endif

/** The command line, with the emulated keyboard's trouble checked against a throwaway emulator: a typo is a
    usage error, not a quiet run without the trouble asked for. */
EditorCommandLine parseCommandLine(const juce::StringArray& arguments)
{
    auto commandLine = EditorCommandLine::parse(arguments, emulatedEditor);
#if QUILLET_EMULATED_KEYBOARD
    VirtualMidiPorts scratch;
    KeyboardEmulator check(scratch);
    if (const auto unknown = check.applyTrouble(commandLine.emulatorTrouble); unknown.isNotEmpty())
        commandLine.problem = (unknown.endsWithChar(')') ? "cannot use trouble '" : "unknown trouble '") +
                              unknown + "'; the emulator knows " + KeyboardEmulator::troubleHelp();
#endif
    return commandLine;
}

/** Says why the command line cannot be used; the exit code is that of a bad command line. */
int refuseCommandLine(const EditorCommandLine& commandLine)
{
    std::cerr << programName << ": " << commandLine.problem << "\n"
              << EditorCommandLine::usage(emulatedEditor) << "\n";
    return 64;
}

/** Answers --help, --version, or a mistaken command line: the exit code, or nothing when the editor is to
 * start. */
std::optional<int> answerCommandLine(const EditorCommandLine& commandLine)
{
    if (commandLine.problem.isNotEmpty())
        return refuseCommandLine(commandLine);
    if (commandLine.helpWanted)
    {
        std::cout << EditorCommandLine::help(emulatedEditor);
        return 0;
    }
    if (commandLine.versionWanted)
    {
        std::cout << EditorCommandLine::version(emulatedEditor);
        return 0;
    }
    return std::nullopt;
}

/** The program's look, whose message boxes carry the editor's window class too: a dock shows them as the
    editor's, not as another program without an icon. */
class EditorLookAndFeel : public ALookAndFeel
{
public:
    juce::AlertWindow* createAlertWindow(const juce::String& title, const juce::String& message,
                                         const juce::String& button1, const juce::String& button2,
                                         const juce::String& button3, juce::MessageBoxIconType iconType,
                                         int numButtons, juce::Component* associatedComponent) override
    {
        auto* box = ALookAndFeel::createAlertWindow(title, message, button1, button2, button3, iconType,
                                                    numButtons, associatedComponent);
        if (auto* peer = box->getPeer())
            setNativeWindowClass(*peer, windowClass);
        return box;
    }
};

/** The X resources' text (where the desktop's Xft.dpi is), read while the display is first asked for. */
std::string xResources;

#if JUCE_LINUX || JUCE_BSD
/** Opening a window without a display would crash the toolkit: ask X first. */
bool displayAvailable()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == 0)
        return false;
    if (Display* d = XOpenDisplay(name))
    {
        if (const char* resources = XResourceManagerString(d))
            xResources = resources;
        XCloseDisplay(d);
        return true;
    }
    return false;
}
#endif

} // namespace

/** The application: installs the look, opens the window, and tears it down when asked to quit. */
class AppClass : public juce::JUCEApplication
{
public:
    void initialise(const juce::String&) override
    {
        const auto commandLine = parseCommandLine(getCommandLineParameterArray());
        if (const auto code = answerCommandLine(commandLine))
        {
            setApplicationReturnValue(*code);
            quit();
            return;
        }

        // Installed before any component exists; released only after the window and the default is restored.
        lookAndFeel = std::make_unique<EditorLookAndFeel>();
        juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());
        // The zoom is in force before the first window opens: it opens at its size.
        preferences = std::make_unique<EditorPreferences>(EditorPreferences::defaultFile());
        zoom = std::make_unique<EditorZoom>(
            *preferences,
            EditorZoom::desktopScale(juce::String::fromUTF8(xResources.c_str()),
                                     juce::SystemStats::getEnvironmentVariable("GDK_SCALE", {})));
        // The window, and the title bar a window manager adds; its side borders, a pixel or two, may run
        // past the screen's edges.
        zoom->setWindowSize({MainComponent::width, MainComponent::height}, {0, 40});
        zoom->apply();

#if QUILLET_EMULATED_KEYBOARD
        emulator = std::make_unique<KeyboardEmulator>(ports);
        emulator->setConfiguration(KeyboardEmulator::demoConfiguration());
        emulator->applyTrouble(commandLine.emulatorTrouble);
        auto* content = new MainComponent(ports);
        mainWindow =
            std::make_unique<MainAppWindow>(juce::String(applicationTitle) + " (emulated keyboard)", content);
#else
        auto* content = new MainComponent();
        mainWindow = std::make_unique<MainAppWindow>(applicationTitle, content);
#endif
        mainWindow->centreWithSize(MainComponent::width, MainComponent::height);
        mainWindow->showOnDesktop(windowClass);
        watchZoom(*content);
#if QUILLET_EMULATED_KEYBOARD
        offerMovesOnTheEmulator(*content);
#endif

        // A file opened from the desktop loads as Load... would, once the window is up; the search for the
        // keyboard goes on meanwhile.
        if (commandLine.settingsFile)
        {
            juce::Component::SafePointer<KbdSettingComponent49> panel(&content->getSettingsPanel());
            juce::MessageManager::callAsync(
                [panel, file = *commandLine.settingsFile]
                {
                    if (panel != nullptr)
                        panel->loadSettingsFrom(file);
                });
        }
    }

    /** The window's close button and the desktop session both end here: changes that were not sent or saved
        are asked about first. */
    void systemRequestedQuit() override
    {
        auto* content =
            mainWindow != nullptr ? dynamic_cast<MainComponent*>(mainWindow->getContentComponent()) : nullptr;
        if (content == nullptr)
            return quit();
        content->getSettingsPanel().confirmClose([] { quit(); });
    }

    /** The zoom's keys work anywhere in any window, its menu items are in the View menu and the status
        display's menu, and the window's fixed size follows it. */
    void watchZoom(MainComponent& content)
    {
        zoom->listenInEveryWindow();
        zoom->setFixedSizeWindow(*mainWindow, MainAppWindow::layoutSize());
        content.getSettingsPanel().statusDisplay().addMenuItems = [z = zoom.get()](juce::PopupMenu& menu)
        {
            z->addMenuItems(menu);
        };
        content.getMenuBar().app.addZoomItems = content.getSettingsPanel().statusDisplay().addMenuItems;
        auto windowPeer = [this]
        {
            return mainWindow != nullptr ? mainWindow->getPeer() : nullptr;
        };
        zoom->beforeChange = [windowPeer]
        {
            if (auto* peer = windowPeer())
                releaseNativeWindowSize(*peer);
        };
        zoom->onChanged = [windowPeer]
        {
            if (auto* peer = windowPeer())
                fixNativeWindowSize(*peer, MainAppWindow::layoutSize());
        };
    }

#if QUILLET_EMULATED_KEYBOARD
    /** The emulated editor's status display offers to move a control of the emulated keyboard by hand: what
        it sends then reaches the editor as a real keyboard's would, for the monitor to show. */
    void offerMovesOnTheEmulator(MainComponent& content)
    {
        auto& display = content.getSettingsPanel().statusDisplay();
        display.addMenuItems =
            [before = display.addMenuItems, keyboard = emulator.get()](juce::PopupMenu& menu)
        {
            if (before)
                before(menu);
            juce::PopupMenu controls;
            const auto configuration = keyboard->getConfiguration();
            for (int id : ControlCatalogue::pictureControls())
            {
                auto moves = EmulatedMove::of(configuration, id);
                controls.addItem(juce::PopupMenu::Item(ControlCatalogue::displayName(id))
                                     .setEnabled(!moves.empty())
                                     .setAction(
                                         [keyboard, moves]
                                         {
                                             for (const auto& m : moves)
                                                 keyboard->sendRaw(m);
                                         }));
            }
            menu.addSeparator();
            menu.addSubMenu("Move a control on the emulated keyboard", controls);
        };
    }
#endif

    void shutdown() override
    {
        // A quit from outside (Ctrl+C in a terminal, the session ending) can come while a box or a menu is
        // open. They go first, unanswered: left to the toolkit's own shutdown, a box is deleted after the
        // timers its window needs and crashes it. Every box of this editor is deleted when dismissed, which
        // now never comes, so it is deleted here.
        juce::PopupMenu::dismissAllActiveMenus();
        if (auto* modal = juce::ModalComponentManager::getInstanceWithoutCreating())
            for (int i = modal->getNumModalComponents(); --i >= 0;)
                if (auto* box = dynamic_cast<juce::AlertWindow*>(modal->getModalComponent(i)))
                    delete box;
        mainWindow = nullptr;
        zoom = nullptr;
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        lookAndFeel = nullptr;
    }

    const juce::String getApplicationName() override
    {
#if JUCE_LINUX || JUCE_BSD
        // The toolkit gives every window it opens the application's name as its X class: the launcher's
        // class, so that docks and window switchers keep the library, the comparison and every box with
        // the editor's window.
        return windowClass;
#else
        return applicationTitle;
#endif
    }
    const juce::String getApplicationVersion() override
    {
        return QUILLET_VERSION;
    }
    bool moreThanOneInstanceAllowed() override
    {
        return true;
    }
    void anotherInstanceStarted(const juce::String&) override {}

private:
    std::unique_ptr<ALookAndFeel> lookAndFeel;
    std::unique_ptr<EditorPreferences> preferences;
    std::unique_ptr<EditorZoom> zoom;
#if QUILLET_EMULATED_KEYBOARD
    // A keyboard in the same process, on virtual ports: declared first so it outlives the window.
    VirtualMidiPorts ports;
    std::unique_ptr<KeyboardEmulator> emulator;
#endif
    std::unique_ptr<MainAppWindow> mainWindow;
#if JUCE_WINDOWS
    WineRepaints wineRepaints;
#endif
};

#if JUCE_LINUX || JUCE_BSD
JUCE_CREATE_APPLICATION_DEFINE(AppClass)

int main(int argc, char* argv[])
{
    // Help, the version and a mistaken command line are answered before anything else, display or not.
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add(juce::String::fromUTF8(argv[i]));
    if (const auto code = answerCommandLine(parseCommandLine(arguments)))
        return *code;

    if (!displayAvailable())
    {
        std::cerr << applicationTitle << " needs a graphical display, and none could be opened"
                  << " (DISPLAY is "
                  << (std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "not set")
                  << ").\nTo run it without a screen, start it under a virtual X server, for example:\n"
                  << "  xvfb-run -a -s \"-screen 0 1280x800x24\" " << argv[0] << "\n";
        return 2;
    }
    // Every text is drawn in the face embedded in the look, but the toolkit still reads every font file in
    // the system's font folders before it makes its first typeface, a cost that grows with the fonts
    // installed. Unless the user chose the folders, it is pointed at none.
    setenv("JUCE_FONT_PATH", "/dev/null", 0);
#ifdef SIGXFSZ
    // A file size limit then fails a save, which is reported, instead of killing the editor.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // In the system's MIDI connection lists under the name of its menu entry, not the window's long title.
    setMidiClientName("Quillet MIDI Control Center");
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main(argc, (const char**)argv);
}
#else
// Elsewhere there is always a display: the toolkit's own entry point will do.
START_JUCE_APPLICATION(AppClass)
#endif
