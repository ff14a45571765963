#include "QMV49CtrlPickerComponent.h"

#include "PickerLayout.h"
#include "model/ControlCatalogue.h"

#include <algorithm>

namespace
{
std::vector<juce::Rectangle<int>> spotRectangles()
{
    std::vector<juce::Rectangle<int>> r;
    for (const auto& s : pickerSpots)
        r.emplace_back(s.x, s.y, s.w, s.h);
    return r;
}

std::vector<int> idsInOrder(const PickerGeometry& geometry)
{
    std::vector<int> ids;
    for (int i : geometry.readingOrder())
        ids.push_back(pickerSpots[(size_t)i].id);
    return ids;
}
} // namespace

QMV49CtrlPickerComponent::QMV49CtrlPickerComponent()
    : geometry(spotRectangles()), selection(idsInOrder(geometry))
{
    // The picture is painted edge to edge on white: nothing under it ever shows.
    setOpaque(true);
    for (const auto& spot : pickerSpots)
    {
        auto* b = buttons.add(new MoxCtrlPickerButton());
        addAndMakeVisible(b);
        b->setTooltip(ControlCatalogue::tooltip(spot.id));
        b->setButtonText(juce::String::formatted("0x%02X", spot.id));
        b->setRadioGroupId(1);
        b->addListener(this);
        b->onSelectionChange = [this]
        {
            followSelection();
        };
        b->describeValue = [this, id = spot.id]
        {
            return describeControl ? describeControl(id) : juce::String();
        };
        buttonNames.title(*b, spot.id);
    }
    addAndMakeVisible(statusDisplay);
    // Over every control, to draw the band across them; it takes no clicks and is nothing to a screen reader.
    addAndMakeVisible(band);
    band.setAccessible(false);
    band.onBand = [this](juce::Rectangle<int> area, bool adding)
    {
        selectWithin(area, adding);
    };
    followSelection();
    const auto keys = PickerNames::keysHelp();
    setTooltip(keys);
    setTitle("Keyboard picture");
    for (auto* b : buttons)
        b->setHelpText(keys);
    setSize(1063, 317);
}

QMV49CtrlPickerComponent::~QMV49CtrlPickerComponent()
{
    buttons.clear(true);
}

void QMV49CtrlPickerComponent::resized()
{
    for (size_t i = 0; i < pickerSpots.size(); ++i)
    {
        const auto& s = pickerSpots[i];
        buttons[(int)i]->setBounds(s.x, s.y, s.w, s.h);
    }
    // The glass of the drawn display, which no control covers.
    statusDisplay.setBounds(65, 20, 140, 34);
    band.setBounds(getLocalBounds());
}

bool QMV49CtrlPickerComponent::selectTouchedControl(int itemId)
{
    auto* button = findButtonFor(itemId);
    if (button == nullptr)
        return false;
    // Among many selected, a control moved on the keyboard rings without undoing the selection.
    if (!button->getToggleState() && !(selection.isMany() && selection.contains(itemId)))
        select(button); // the keyboard focus stays where the user has it
    marks.touch(itemId);
    return true;
}

void QMV49CtrlPickerComponent::setUserNames(const std::map<int, std::string>& names)
{
    if (!buttonNames.take(names))
        return;
    for (size_t i = 0; i < std::size(pickerSpots) && i < (size_t)buttons.size(); ++i)
        buttonNames.name(*buttons[(int)i], pickerSpots[i].id);
}

MoxCtrlPickerButton* QMV49CtrlPickerComponent::focusedButton() const
{
    for (auto* b : buttons)
        if (b->hasKeyboardFocus(false))
            return b;
    return nullptr;
}

void QMV49CtrlPickerComponent::paintOverChildren(juce::Graphics& g)
{
    marks.paint(g, focusedButton());
}

void QMV49CtrlPickerComponent::paint(juce::Graphics& g)
{
    keyboardPicture.paint(g);
}

std::set<juce::uint16> QMV49CtrlPickerComponent::getItemIdSet()
{
    return {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x12,
            0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x20, 0x21, 0x30, 0x31, 0x32, 0x33,
            0x34, 0x40, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x70, 0x71, 0x72, 0x73};
}

MoxCtrlPickerButton* QMV49CtrlPickerComponent::findButtonFor(int itemId) const
{
    // The buttons stand in the order of the picture's table.
    for (size_t i = 0; i < pickerSpots.size() && i < (size_t)buttons.size(); ++i)
        if (pickerSpots[i].id == itemId)
            return buttons[(int)i];
    return nullptr;
}

void QMV49CtrlPickerComponent::buttonClicked(juce::Button* button)
{
    auto* b = dynamic_cast<MoxCtrlPickerButton*>(button);
    clickWith(button, b != nullptr ? b->takeClickModifiers() : juce::ModifierKeys());
}

void QMV49CtrlPickerComponent::clickWith(juce::Button* button, juce::ModifierKeys modifiers)
{
    const int id = button->getButtonText().getHexValue32();
    if (modifiers.isShiftDown())
        selection.extendTo(id);
    else if (modifiers.isCommandDown())
        selection.toggle(id);
    else
        selection.click(id);
    showSelection();
    // A click into the picture brings the keyboard to it.
    if (auto* lead = findButtonFor(selection.primary()); lead != nullptr && lead->isShowing())
        lead->grabKeyboardFocus();
}

void QMV49CtrlPickerComponent::selectKind(ControlKind kind)
{
    selection.selectKind(kind);
    showSelection();
}

void QMV49CtrlPickerComponent::showSelection()
{
    for (auto* b : buttons)
        b->setInSelection(selection.isMany() && selection.contains(b->getButtonText().getHexValue32()));
    if (auto* lead = findButtonFor(selection.primary()))
        select(lead);
}

void QMV49CtrlPickerComponent::select(juce::Button* button)
{
    button->setToggleState(true, juce::dontSendNotification);
    auto text = button->getButtonText();
    if (text.containsChar('-'))
        text = text.upToFirstOccurrenceOf("-", false, false);
    sendActionMessage(text);
}

//==============================================================================
MoxCtrlPickerButton* QMV49CtrlPickerComponent::selectedButton() const
{
    for (auto* b : buttons)
        if (b->getToggleState())
            return b;
    return nullptr;
}

MoxCtrlPickerButton* QMV49CtrlPickerComponent::keyboardControl() const
{
    auto* focused = focusedButton();
    return focused != nullptr ? focused : selectedButton();
}

void QMV49CtrlPickerComponent::followSelection()
{
    auto* stop = selectedButton();
    // A control turned on from elsewhere (an undo, a key, the keyboard) becomes the whole selection.
    if (stop != nullptr && stop->getButtonText().getHexValue32() != selection.primary())
    {
        selection.click(stop->getButtonText().getHexValue32());
        for (auto* b : buttons)
            b->setInSelection(false);
    }
    if (stop == nullptr)
        stop = buttons[geometry.readingOrder().front()];
    MoxCtrlPickerButton* focused = nullptr;
    for (auto* b : buttons)
    {
        b->setWantsKeyboardFocus(b == stop);
        if (b->hasKeyboardFocus(false))
            focused = b;
    }
    // Keys held by the picture follow a selection made elsewhere (an undo, a control moved on the keyboard).
    if (focused != nullptr && focused != stop && stop->isShowing())
        stop->grabKeyboardFocus();
}

void QMV49CtrlPickerComponent::selectByKey(MoxCtrlPickerButton& button)
{
    select(&button);
    if (button.isShowing())
        button.grabKeyboardFocus();
}

void QMV49CtrlPickerComponent::focusSelected()
{
    auto* b = selectedButton();
    if (b == nullptr)
        b = buttons[geometry.readingOrder().front()];
    if (b->isShowing())
        b->grabKeyboardFocus();
}

bool QMV49CtrlPickerComponent::keyPressed(const juce::KeyPress& key)
{
    const int from = buttons.indexOf(keyboardControl());
    const auto mods = key.getModifiers();
    if (mods.isCommandDown() || mods.isAltDown())
        return false;

    int to = -1;
    if (key.isKeyCode(juce::KeyPress::tabKey))
    {
        to = geometry.step(from, !mods.isShiftDown());
        if (to < 0)
            return false; // past either end the keyboard leaves the picture, as the window moves it
    }
    else
    {
        using D = PickerGeometry::Direction;
        const std::pair<int, D> arrows[] = {{juce::KeyPress::leftKey, D::left},
                                            {juce::KeyPress::rightKey, D::right},
                                            {juce::KeyPress::upKey, D::up},
                                            {juce::KeyPress::downKey, D::down}};
        const auto arrow = std::find_if(std::begin(arrows), std::end(arrows),
                                        [&](const auto& a) { return key.isKeyCode(a.first); });
        if (arrow == std::end(arrows))
            return false;
        to = from < 0 ? geometry.readingOrder().front() : geometry.neighbour(from, arrow->second);
        if (to < 0)
            return true; // at the picture's edge the selection stays
        if (mods.isShiftDown() && from >= 0)
        {
            // Shift stretches a band from where the selection started to the control reached.
            const int anchor = buttons.indexOf(findButtonFor(selection.anchorControl()));
            bandOver(geometry.span(anchor >= 0 ? anchor : from, to), idOf(to), false);
            if (buttons[to]->isShowing())
                buttons[to]->grabKeyboardFocus();
            return true;
        }
    }
    selectByKey(*buttons[to]);
    return true;
}

int QMV49CtrlPickerComponent::idOf(int index) const
{
    return buttons[index]->getButtonText().getHexValue32();
}

void QMV49CtrlPickerComponent::bandOver(juce::Rectangle<int> area, int reached, bool adding)
{
    std::vector<int> ids;
    for (int index : geometry.within(area))
        ids.push_back(idOf(index));
    if (ids.empty())
        return;
    selection.selectBand(ids, reached, adding);
    showSelection();
}

void QMV49CtrlPickerComponent::selectWithin(juce::Rectangle<int> area, bool adding)
{
    bandOver(area, -1, adding);
    if (auto* lead = findButtonFor(selection.primary()); lead != nullptr && lead->isShowing())
        lead->grabKeyboardFocus();
}
