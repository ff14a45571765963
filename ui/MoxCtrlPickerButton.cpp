#include "MoxCtrlPickerButton.h"

#include "ColourRoles.h"
#include "ReadOnlyTextValue.h"

namespace
{
class PickerButtonAccessibility : public juce::AccessibilityHandler
{
public:
    explicit PickerButtonAccessibility(MoxCtrlPickerButton& b)
        : juce::AccessibilityHandler(
              b, juce::AccessibilityRole::button,
              juce::AccessibilityActions().addAction(juce::AccessibilityActionType::press,
                                                     [&b] { b.triggerClick(); }),
              {std::make_unique<ReadOnlyTextValue>(
                  [&b] { return b.describeValue ? b.describeValue() : juce::String(); })}),
          button(b)
    {
    }

    juce::AccessibleState getCurrentState() const override
    {
        auto state = juce::AccessibilityHandler::getCurrentState().withSelectable();
        return button.getToggleState() || button.isInSelection() ? state.withSelected() : state;
    }
    juce::String getHelp() const override
    {
        // The tooltip, then how to move on from here.
        juce::StringArray help{button.getTooltip(), button.getHelpText()};
        help.removeEmptyStrings();
        return help.joinIntoString(". ");
    }

private:
    MoxCtrlPickerButton& button;
};
} // namespace

MoxCtrlPickerButton::MoxCtrlPickerButton() : juce::Button({})
{
    setSize(60, 40);
}

void MoxCtrlPickerButton::resized()
{
    const float w = (float)getWidth(), h = (float)getHeight();
    const float w3 = (float)proportionOfWidth(0.3f), w7 = (float)proportionOfWidth(0.7f);
    const float h3 = (float)proportionOfHeight(0.3f), h7 = (float)proportionOfHeight(0.7f);

    const juce::Point<float> points[4][3] = {{{w3, 0}, {0, 0}, {0, h3}},  // top left
                                             {{0, h7}, {0, h}, {w3, h}},  // bottom left
                                             {{w7, 0}, {w, 0}, {w, h3}},  // top right
                                             {{w, h7}, {w, h}, {w7, h}}}; // bottom right

    for (size_t i = 0; i < 4; ++i)
    {
        auto& p = marks[i];
        p.clear();
        p.startNewSubPath(points[i][0]);
        p.lineTo(points[i][1]);
        p.lineTo(points[i][2]);

        // The toolkit fills nothing for an open path: the light triangle is filled from a closed copy.
        filledMarks[i] = p;
        filledMarks[i].closeSubPath();
    }
}

void MoxCtrlPickerButton::drawCornerMarks(juce::Graphics& g) const
{
    const juce::PathStrokeType stroke(3.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt);
    for (size_t i = 0; i < marks.size(); ++i)
    {
        g.setColour(findColour(cornerFillColourId));
        g.fillPath(filledMarks[i]);
        g.setColour(findColour(cornerLineColourId));
        g.strokePath(marks[i], stroke);
    }
}

void MoxCtrlPickerButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const bool selected = getToggleState();
    if (isButtonDown)
    {
        g.fillAll(findColour(selected ? selectedTouchedColourId : downColourId));
    }
    else if (isMouseOver)
    {
        g.fillAll(findColour(selected ? selectedTouchedColourId : overColourId));
        drawCornerMarks(g);
    }
    else if (selected)
    {
        g.fillAll(findColour(EditorColours::selectedControlColourId));
    }
    // One of several selected: the same veil with a thin edge, so the one the panel names stands apart.
    if (inSelection && !selected && !isButtonDown)
    {
        if (!isMouseOver)
            g.fillAll(findColour(EditorColours::selectedControlColourId));
        g.setColour(findColour(inSelectionEdgeColourId));
        g.drawRect(getLocalBounds(), 1);
    }
}

void MoxCtrlPickerButton::setInSelection(bool in)
{
    if (in == inSelection)
        return;
    inSelection = in;
    repaint();
}

void MoxCtrlPickerButton::buttonStateChanged()
{
    if (getToggleState() == wasOn)
        return; // the mouse moved over or off it
    wasOn = getToggleState();
    if (onSelectionChange)
        onSelectionChange();
}

std::unique_ptr<juce::AccessibilityHandler> MoxCtrlPickerButton::createAccessibilityHandler()
{
    return std::make_unique<PickerButtonAccessibility>(*this);
}
