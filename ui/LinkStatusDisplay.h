#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The keyboard's state, shown in the drawn display of the keyboard picture: a small detail line over a
    bold headline, with the whole story in the tooltip. Clicking it asks for a new search when one is
    offered; its pop-up menu (a right-click) offers the About box. */
class LinkStatusDisplay : public juce::Component, public juce::SettableTooltipClient
{
public:
    /** The colours of the picture's display glass and its two lines. */
    enum ColourIds
    {
        glassTopColourId = 0x7e00601,    ///< The glass at its top.
        glassBottomColourId = 0x7e00602, ///< The glass at its bottom.
        detailColourId = 0x7e00603,      ///< The small line of detail.
        ruleColourId = 0x7e00604,        ///< The rule under the detail.
        headlineColourId = 0x7e00605     ///< The headline.
    };

    LinkStatusDisplay();

    void setStatus(const juce::String& detail, const juce::String& headline, const juce::String& tooltip,
                   bool clickable);
    const juce::String& getDetail() const { return detail; }
    const juce::String& getHeadline() const { return headline; }
    bool isClickable() const { return clickable; }

    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;

    /** Called when the user clicks the display while it offers a search. */
    std::function<void()> onClick;
    /** Called when the user picks About from the display's pop-up menu; without it there is no menu. */
    std::function<void()> onAbout;
    /** Adds the window's own items (the zoom) above About. */
    std::function<void(juce::PopupMenu&)> addMenuItems;
    /** The pop-up menu's items. */
    juce::PopupMenu makeMenu() const;

    /** Text for screen readers: the headline as its title, the detail as its value, the tooltip as help;
        pressing it does what a click does. */
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    /** Tells screen readers of a new headline; the system's announcement unless replaced. */
    std::function<void(const juce::String&)> announce;

private:
    juce::String detail, headline;
    bool clickable = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LinkStatusDisplay)
};
