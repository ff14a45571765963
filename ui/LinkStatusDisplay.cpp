#include "LinkStatusDisplay.h"

#include "ReadOnlyTextValue.h"

namespace
{
class StatusAccessibility : public juce::AccessibilityHandler
{
public:
    explicit StatusAccessibility(LinkStatusDisplay& d)
        : juce::AccessibilityHandler(
              d, juce::AccessibilityRole::staticText,
              juce::AccessibilityActions().addAction(juce::AccessibilityActionType::press,
                                                     [&d]
                                                     {
                                                         if (d.isClickable() && d.onClick)
                                                             d.onClick();
                                                     }),
              {std::make_unique<ReadOnlyTextValue>([&d] { return d.getDetail(); })}),
          display(d)
    {
    }
    juce::String getHelp() const override { return display.getTooltip(); }

private:
    LinkStatusDisplay& display;
};
} // namespace

LinkStatusDisplay::LinkStatusDisplay()
{
    setName("keyboard status display");
    setOpaque(true);
    announce = [](const juce::String& text)
    {
        juce::AccessibilityHandler::postAnnouncement(
            text, juce::AccessibilityHandler::AnnouncementPriority::medium);
    };
}

std::unique_ptr<juce::AccessibilityHandler> LinkStatusDisplay::createAccessibilityHandler()
{
    return std::make_unique<StatusAccessibility>(*this);
}

void LinkStatusDisplay::setStatus(const juce::String& newDetail, const juce::String& newHeadline,
                                  const juce::String& tooltip, bool canClick)
{
    if (newDetail == detail && newHeadline == headline && tooltip == getTooltip() && canClick == clickable)
        return; // progress arrives often; only a change is drawn
    // Progress changes the detail often; only a new headline is said aloud.
    const bool newWords = newHeadline != headline;
    detail = newDetail;
    headline = newHeadline;
    clickable = canClick;
    setTooltip(tooltip);
    setTitle(headline);
    setDescription(detail);
    setMouseCursor(clickable ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
    repaint();
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent(juce::AccessibilityEvent::valueChanged);
    if (newWords && announce && headline.isNotEmpty())
        announce(detail.isEmpty() ? headline : headline + ": " + detail);
}

void LinkStatusDisplay::paint(juce::Graphics& g)
{
    // The glass of the picture's display, in its own colours, so the status reads as the keyboard's screen.
    const auto area = getLocalBounds().toFloat();
    g.setGradientFill(juce::ColourGradient(findColour(glassTopColourId), 0.0f, 0.0f,
                                           findColour(glassBottomColourId), 0.0f, area.getHeight(), false));
    g.fillRect(area);

    const auto text = area.reduced(5.0f, 2.0f);
    g.setColour(findColour(detailColourId));
    g.setFont(juce::Font(9.0f));
    g.drawFittedText(detail, text.withHeight(12.0f).toNearestInt(), juce::Justification::centredLeft, 1,
                     0.8f);
    g.setColour(findColour(ruleColourId));
    g.fillRect(text.getX(), text.getY() + 12.5f, text.getWidth(), 0.6f);
    g.setColour(findColour(headlineColourId));
    g.setFont(juce::Font(13.0f, juce::Font::bold));
    g.drawFittedText(headline, text.withTrimmedTop(14.0f).toNearestInt(), juce::Justification::centredLeft, 1,
                     0.75f);
}

juce::PopupMenu LinkStatusDisplay::makeMenu() const
{
    juce::PopupMenu menu;
    if (addMenuItems)
    {
        addMenuItems(menu);
        menu.addSeparator();
    }
    if (onAbout)
        menu.addItem("About Quillet MIDI Control Center", onAbout);
    return menu;
}

void LinkStatusDisplay::mouseDown(const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu() && onAbout)
        makeMenu().showMenuAsync(juce::PopupMenu::Options().withTargetComponent(this));
}

void LinkStatusDisplay::mouseUp(const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        return; // the menu's click, not a request to search
    if (clickable && onClick && getLocalBounds().contains(e.getPosition()))
        onClick();
}
