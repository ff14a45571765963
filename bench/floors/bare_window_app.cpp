// The floor for the editor's start-up, memory and idle figures: a JUCE application with one window of the
// editor's size and nothing in it. Like the editor's, its title bar is the system's, so it draws no text.
//
// For the memory account, each part the editor's first window truly needs can be added on its own:
//   --picture  the keyboard picture decoded by the toolkit and painted at the top of the window;
//   --text     a panel's worth of labels drawn in the embedded faces (FreeType and the glyph caches);
//   --midi     the MIDI ports listed, as the search for the keyboard does (the ALSA library and its
//   settings).
#include "QuilletBinaryData.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

class BareWindowApp : public juce::JUCEApplication
{
public:
    void initialise(const juce::String& commandLine) override
    {
        const auto args = juce::StringArray::fromTokens(commandLine, false);
        if (args.contains("--midi"))
        {
            // Listed only: opening no port, as with no keyboard plugged in.
            ports = juce::MidiInput::getAvailableDevices().size() +
                    juce::MidiOutput::getAvailableDevices().size();
        }
        window = std::make_unique<Window>(args.contains("--picture"), args.contains("--text"));
        window->centreWithSize(1063, 460);
        window->setVisible(true);
    }
    void shutdown() override { window = nullptr; }
    const juce::String getApplicationName() override { return "Bare Window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }

private:
    struct Content : juce::Component
    {
        Content(bool withPicture, bool withText)
        {
            if (withPicture)
                picture = juce::ImageCache::getFromMemory(QuilletBinaryData::keyboard_png,
                                                          QuilletBinaryData::keyboard_pngSize);
            if (withText)
            {
                regular = juce::Typeface::createSystemTypefaceFor(
                    QuilletBinaryData::DejaVuSansLatin_ttf,
                    (size_t)QuilletBinaryData::DejaVuSansLatin_ttfSize);
                bold = juce::Typeface::createSystemTypefaceFor(
                    QuilletBinaryData::DejaVuSansBoldLatin_ttf,
                    (size_t)QuilletBinaryData::DejaVuSansBoldLatin_ttfSize);
            }
        }
        void paint(juce::Graphics& g) override
        {
            g.fillAll(juce::Colours::white);
            if (picture.isValid())
                g.drawImageAt(picture, 0, 0);
            if (regular == nullptr)
                return;
            // Labels and values in two faces and three sizes, as a settings panel shows them.
            g.setColour(juce::Colours::black);
            const char* words[] = {"Mode",      "Channel", "Number",          "Min / LSB",
                                   "Max / MSB", "Name",    "Knob #1",         "CC 74 - Brightness",
                                   "Lower",     "Upper",   "Send to keyboard"};
            int y = 330;
            for (float height : {12.0f, 13.0f, 15.0f})
                for (const auto& face : {regular, bold})
                {
                    g.setFont(juce::Font(face).withHeight(height));
                    int x = 4;
                    for (const char* word : words)
                    {
                        g.drawSingleLineText(word, x, y);
                        x += 96;
                    }
                    y += 20;
                }
        }
        juce::Image picture;
        juce::Typeface::Ptr regular, bold;
    };

    struct Window : juce::DocumentWindow
    {
        Window(bool withPicture, bool withText)
            : juce::DocumentWindow("Bare Window", juce::Colours::white, juce::DocumentWindow::allButtons)
        {
            setUsingNativeTitleBar(true);
            if (withPicture || withText)
                setContentOwned(new Content(withPicture, withText), false);
        }
        void closeButtonPressed() override { juce::JUCEApplication::quit(); }
    };
    std::unique_ptr<Window> window;
    int ports = 0;
};

START_JUCE_APPLICATION(BareWindowApp)
