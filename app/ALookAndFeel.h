#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The editor's own look: the classic look with grey combo boxes, flat rounded text buttons with bold
    text, small plain tooltips, drop-down lists in the panel's font that stay inside the window, and
    message boxes with a small icon and the panel's grey buttons. Every text is drawn in the embedded sans
    face (regular or bold), so the toolkit never needs the system's fonts. */
class ALookAndFeel : public juce::LookAndFeel_V2
{
public:
    ALookAndFeel();
    ~ALookAndFeel() override = default;

    void drawButtonBackground(juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                              bool isMouseOverButton, bool isButtonDown) override;
    void drawButtonText(juce::Graphics& g, juce::TextButton& button, bool isMouseOverButton,
                        bool isButtonDown) override;

    /** The size a tooltip needs: its text laid out, plus a margin. */
    void getTooltipSize(const juce::String& tipText, int& width, int& height);
    juce::Rectangle<int> getTooltipBounds(const juce::String& tipText, juce::Point<int> screenPos,
                                          juce::Rectangle<int> parentArea) override;
    void drawTooltip(juce::Graphics& g, const juce::String& text, int width, int height) override;

    //==============================================================================
    /** The panel's font size, for the lists of the combo boxes too. */
    juce::Font getPopupMenuFont() override;
    /** The menu bar's names in the panel's font too. */
    juce::Font getMenuBarFont(juce::MenuBarComponent&, int, const juce::String&) override;
    /** The list of a combo box opens inside the box's window, scrolling where it is longer. */
    juce::PopupMenu::Options getOptionsForComboBoxPopupMenu(juce::ComboBox& box, juce::Label& label) override;
    /** A combo box's text shrinks a little to fit, then ends in an ellipsis; it is never squeezed. */
    void drawLabel(juce::Graphics& g, juce::Label& label) override;
    /** The largest font, down to a few points smaller than the given one, in which the text fits the width.
     */
    static juce::Font fontToFit(const juce::Font& font, const juce::String& text, float width);

    //==============================================================================
    void drawAlertBox(juce::Graphics& g, juce::AlertWindow& alert, const juce::Rectangle<int>& textArea,
                      juce::TextLayout& textLayout) override;
    int getAlertWindowButtonHeight() override;
    /** Wide enough for the bold text; a box's buttons take the panel's button colours here, as they are
        added to it. */
    juce::Array<int> getWidthsForTextButtons(juce::AlertWindow& alert,
                                             const juce::Array<juce::TextButton*>& buttons) override;
    juce::Font getAlertWindowTitleFont() override;
    juce::Font getAlertWindowMessageFont() override;

    /** The embedded face for every font: bold ones get the bold face, all others the regular one. */
    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;

    //==============================================================================
    /** The outline of a text button's background, for its size and connected edges. */
    static juce::Path buttonShape(float width, float height, int connectedEdgeFlags);
    /** The fill colour of a text button's background. */
    static juce::Colour buttonFill(juce::Colour onColour, bool isMouseOver);

private:
    static juce::TextLayout layoutTooltip(const juce::String& text, juce::Colour colour);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ALookAndFeel)
};
