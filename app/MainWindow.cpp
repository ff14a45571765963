#include "MainWindow.h"

MainComponent::MainComponent() : MainComponent(systemMidiPorts()) {}

MainComponent::MainComponent(MidiPortSystem& ports)
{
    settingsPanel = new KbdSettingComponent49(ports, nullptr);
    addAndMakeVisible(settingsPanel);
    settingsPanel->onCloseApproved = []
    {
        juce::JUCEApplication::getInstance()->systemRequestedQuit();
    };
    setSize(1063, 460);
}

MainComponent::~MainComponent()
{
    deleteAllChildren();
}

MainAppWindow::MainAppWindow(const juce::String& title, MainComponent* content)
    : juce::DocumentWindow(title, juce::Colour(0xFFF0FFFF),
                           juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, true)
{
    setResizable(false, false);
    setTitleBarHeight(20);
    setUsingNativeTitleBar(true);
    setContentOwned(content, false);
}

void MainAppWindow::closeButtonPressed()
{
    // Changes that were not sent or saved are asked about first.
    auto* content = dynamic_cast<MainComponent*>(getContentComponent());
    if (content == nullptr || content->getSettingsPanel().confirmClose())
        juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
