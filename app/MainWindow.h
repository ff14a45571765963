#pragma once

#include "ui/EditorMenuBar.h"
#include "ui/KbdSettingComponent49.h"

/** The window's content: the menu bar over the settings panel, and the tooltip window while the pointer is
    over it. */
class MainComponent : public juce::Component
{
public:
    /** The menu bar's height and the window's one size, in the layout's pixels: the panel's 1063 by 460
        under the bar. */
    static constexpr int menuBarHeight = 24, width = 1063, height = 460 + menuBarHeight;

    /** With the system's MIDI ports. */
    MainComponent();
    /** With given ports, which must outlive the component. */
    explicit MainComponent(MidiPortSystem& ports);
    ~MainComponent() override;

    void paint(juce::Graphics&) override {}
    void resized() override {}
    void mouseEnter(const juce::MouseEvent&) override;
    void mouseExit(const juce::MouseEvent&) override;

    KbdSettingComponent49& getSettingsPanel() { return *settingsPanel; }
    EditorMenuBar& getMenuBar() { return menuModel; }
    /** Opens the About box over the window. */
    void showAbout();
    /** What the About box says: the program and its version. */
    static juce::String aboutText();

private:
    // A tooltip window polls the pointer for as long as it exists, so it exists only while the pointer is
    // over the window.
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    KbdSettingComponent49* settingsPanel; // owned through the child list
    EditorMenuBar menuModel{*settingsPanel};
    juce::MenuBarComponent menuBar{&menuModel};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainComponent)
};

/** The one top-level window: fixed at the main component's size, minimise and close buttons only. */
class MainAppWindow : public juce::DocumentWindow
{
public:
    /** The window's background, behind its content; the editor's look and feel sets it. */
    enum ColourIds
    {
        backgroundColourId = 0x7e00d01
    };

    explicit MainAppWindow(const juce::String& title, MainComponent* content);
    void closeButtonPressed() override;

    /** Shows the window, with the program's icon, the given window class and fixed-size hints on the native
        window; call it once the window has its final size. */
    void showOnDesktop(const char* windowClass);
    /** The window's one size in the layout's pixels, whatever the zoom. */
    static juce::Point<int> layoutSize() { return {MainComponent::width, MainComponent::height}; }

    void resized() override;

private:
    int sizeRequestsRefused = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainAppWindow)
};
