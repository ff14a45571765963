// The floor for the editor's start-up, memory and idle figures: a JUCE application with one window of the
// editor's size and nothing in it. Like the editor's, its title bar is the system's, so it draws no text.
#include <juce_gui_basics/juce_gui_basics.h>

class BareWindowApp : public juce::JUCEApplication
{
public:
    void initialise(const juce::String&) override
    {
        window = std::make_unique<Window>();
        window->centreWithSize(1063, 460);
        window->setVisible(true);
    }
    void shutdown() override { window = nullptr; }
    const juce::String getApplicationName() override { return "Bare Window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }

private:
    struct Window : juce::DocumentWindow
    {
        Window() : juce::DocumentWindow("Bare Window", juce::Colours::white, juce::DocumentWindow::allButtons)
        {
            setUsingNativeTitleBar(true);
        }
        void closeButtonPressed() override { juce::JUCEApplication::quit(); }
    };
    std::unique_ptr<Window> window;
};

START_JUCE_APPLICATION(BareWindowApp)
