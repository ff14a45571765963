#include "MainWindow.h"

#include "NativeWindowHints.h"
#include "ui/EditorDialogs.h"

#include <QuilletBinaryData.h>

MainComponent::MainComponent() : MainComponent(systemMidiPorts()) {}

MainComponent::MainComponent(MidiPortSystem& ports)
    : settingsPanel(new KbdSettingComponent49(ports, nullptr)), menuModel(*settingsPanel)
{
    addAndMakeVisible(menuBar);
    addAndMakeVisible(settingsPanel);
    menuBar.setBounds(0, 0, width, menuBarHeight);
    settingsPanel->setTopLeftPosition(0, menuBarHeight);
    setSize(width, height);
    // Told of the pointer over every child too.
    addMouseListener(this, true);
    // The status display's pop-up menu and the Help menu open the About box.
    settingsPanel->statusDisplay().onAbout = [this]
    {
        showAbout();
    };
    menuModel.app.about = [this]
    {
        showAbout();
    };
    menuModel.app.quit = []
    {
        if (auto* app = juce::JUCEApplicationBase::getInstance())
            app->systemRequestedQuit();
    };
}

void MainComponent::showAbout()
{
    // Made by the look and feel, as the toolkit's own message boxes are.
    auto* box = getLookAndFeel().createAlertWindow("About Quillet MIDI Control Center", aboutText(), "ok", {},
                                                   {}, juce::MessageBoxIconType::InfoIcon, 1, this);
    openBoxOverOwner(*box, this, nullptr);
}

juce::String MainComponent::aboutText()
{
    return juce::String("Morvane - The Quillet MIDI Control Center\nVersion ") + QUILLET_VERSION +
           "\n\nThe editor for the Quillet 49 keyboard controller: reads, edits, sends and saves its "
           "configuration.";
}

MainComponent::~MainComponent()
{
    removeMouseListener(this);
    tooltipWindow = nullptr;
    removeChildComponent(&menuBar); // a member, not owned through the child list
    deleteAllChildren();
}

void MainComponent::mouseEnter(const juce::MouseEvent&)
{
    if (tooltipWindow == nullptr)
        tooltipWindow = std::make_unique<juce::TooltipWindow>(nullptr, 700);
}

void MainComponent::mouseExit(const juce::MouseEvent&)
{
    // Moving from one child to another leaves one and enters the next: only leaving the window counts.
    if (!isMouseOver(true))
        tooltipWindow = nullptr;
}

MainAppWindow::MainAppWindow(const juce::String& title, MainComponent* content)
    : juce::DocumentWindow(title, juce::LookAndFeel::getDefaultLookAndFeel().findColour(backgroundColourId),
                           juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, true)
{
    setResizable(false, false);
    setTitleBarHeight(20);
    setUsingNativeTitleBar(true);
    setContentOwned(content, false);
    // The file the editor holds goes first in the title, as desktops list windows; the program's own title
    // stays whole after it.
    content->getSettingsPanel().onFileNamed = [this, title](const juce::String& fileName)
    {
        setName(fileName + " - " + title);
    };
}

void MainAppWindow::closeButtonPressed()
{
    // The application asks about changes that were not sent or saved before it quits.
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

void MainAppWindow::resized()
{
    juce::DocumentWindow::resized();
    // The layout has one size. A window manager still answering an earlier zoom step may report that step's
    // size after the window asked for the next one: the window asks for its own again (its size hints already
    // say it), once the report has been taken in; a window manager that keeps refusing it (a screen too
    // small) is asked no more than a few times.
    if (juce::Point<int>(getWidth(), getHeight()) == layoutSize())
        sizeRequestsRefused = 0;
    else if (getPeer() != nullptr && ++sizeRequestsRefused <= 3)
        juce::MessageManager::callAsync(
            [window = juce::Component::SafePointer<MainAppWindow>(this)]
            {
                if (window != nullptr && window->getPeer() != nullptr)
                    window->setSize(MainComponent::width, MainComponent::height);
            });
}

void MainAppWindow::showOnDesktop(const char* windowClass)
{
    auto* peer = getPeer();
    if (peer == nullptr)
        return setVisible(true);

    // Named and sized before it is shown: window managers read both when the window appears.
    setNativeWindowClass(*peer, windowClass);
    fixNativeWindowSize(*peer, layoutSize());
    setVisible(true);
    // The toolkit places a new window once more when it first paints it, which drops the fixed-size hints:
    // paint now and give them again.
    peer->performAnyPendingRepaintsNow();
    fixNativeWindowSize(*peer, layoutSize());

    // The title bar is the system's, so the icon goes to the native window rather than to this one. Docks
    // take an icon at any time; set once the window is up, its decoding and conversion pixel by pixel do
    // not delay the window. Launchers and docks show the installed 256-pixel icon; the window's own is for
    // switchers and title bars, and at 64 pixels its conversion needs a sixteenth of the memory.
    juce::MessageManager::callAsync(
        [window = juce::Component::SafePointer<MainAppWindow>(this)]
        {
            if (auto* p = window != nullptr ? window->getPeer() : nullptr)
                p->setIcon(juce::ImageFileFormat::loadFrom(QuilletBinaryData::window_icon_png,
                                                           (size_t)QuilletBinaryData::window_icon_pngSize));
        });
}
