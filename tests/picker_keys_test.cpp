#include "emulator/KeyboardEmulator.h"
#include "model/ControlCatalogue.h"
#include "support/panel_test_support.h"
#include "ui/PickerGeometry.h"
#include "ui/PickerLayout.h"

// The picture by keyboard and by screen reader.

namespace
{
std::vector<juce::Rectangle<int>> pictureSpots()
{
    std::vector<juce::Rectangle<int>> r;
    for (const auto& s : pickerSpots)
        r.emplace_back(s.x, s.y, s.w, s.h);
    return r;
}

int indexOf(int id)
{
    for (size_t i = 0; i < pickerSpots.size(); ++i)
        if (pickerSpots[i].id == id)
            return (int)i;
    return -1;
}

int idAt(int index)
{
    return index < 0 ? -1 : pickerSpots[(size_t)index].id;
}

const juce::KeyPress left(juce::KeyPress::leftKey), right(juce::KeyPress::rightKey),
    tab(juce::KeyPress::tabKey), shiftTab(juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier, 0);
} // namespace

//==============================================================================
TEST(PickerGeometry, PictureNeighboursAreThoseTheEyeFinds)
{
    const PickerGeometry g(pictureSpots());
    const auto from = [&](int id, PickerGeometry::Direction d)
    {
        return idAt(g.neighbour(indexOf(id), d));
    };
    using D = PickerGeometry::Direction;
    EXPECT_EQ(from(0x70, D::left), 0x52) << "Pad #1 to the breath socket";
    EXPECT_EQ(from(0x70, D::up), 0x0A) << "Pad #1 to the Delay Mix knob straight above";
    EXPECT_EQ(from(0x31, D::down), 0x32) << "the knob's upper half to its lower half";
    EXPECT_EQ(from(0x16, D::right), 0x58) << "Snapshot #5 to the first host control";
    EXPECT_EQ(from(0x30, D::right), 0x12) << "Level over the display to Snapshot #1";
    EXPECT_EQ(from(0x30, D::down), 0x1E) << "Level to the Sound button below";
    EXPECT_EQ(from(0x73, D::right), -1) << "the sliders lie above Pad #4, not right of it";
    EXPECT_EQ(from(0x73, D::up), 0x4D) << "the Sustain #2 slider stands over Pad #4's middle";
}

TEST(PickerGeometry, ReadingOrderVisitsEveryControlOnceRowByRow)
{
    const PickerGeometry g(pictureSpots());
    std::vector<int> ids;
    for (int i : g.readingOrder())
        ids.push_back(idAt(i));
    ASSERT_EQ(ids.size(), 53u);
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), 53u);

    const auto pos = [&](int id)
    {
        return std::find(ids.begin(), ids.end(), id) - ids.begin();
    };
    EXPECT_EQ(ids.front(), 0x30) << "the Level knob, top left";
    EXPECT_EQ(ids.back(), 0x73) << "Pad #4, bottom right";
    EXPECT_EQ(pos(0x58), pos(0x16) + 1) << "the top row goes on from Snapshot #5 to Host Control #1";
    EXPECT_EQ(pos(0x01), pos(0x1D) + 1) << "and from the Upper button to Cutoff";
    EXPECT_EQ(pos(0x40) + 1, pos(0x51)) << "the bottom row: the wheel, then the Expression socket";
}

//==============================================================================
TEST(PickerKeys, SelectAsAClickDoesAndLeaveEditsAndMarksAlone)
{
    VirtualMidiPorts ports;
    KeyboardEmulator keyboard(ports);
    KbdSettingComponent49 panel(ports, std::make_unique<ScriptedDialogs>());
    ASSERT_TRUE(pumpUntil([&] { return panel.statusDisplay().getDetail().startsWith("Read from"); }));
    drainMessages();

    auto& picker = panel.getPicker();
    picker.buttonClicked(picker.findButtonFor(0x70));
    drainMessages();
    // Another of a pad's modes on Pad #1, not sent.
    const int other = panel.modeBox().getSelectedItemIndex() == 9 ? 10 : 9;
    pick(panel.modeBox(), other);
    drainMessages();
    const auto unsent = panel.unsentValues();
    ASSERT_EQ(unsent.size(), 1u);
    const auto undoSteps = panel.getUndoManager().getUndoDescriptions();

    EXPECT_TRUE(picker.keyPressed(left));
    drainMessages();
    EXPECT_EQ(panel.getSelectedItemId(), 0x52);
    EXPECT_EQ(panel.nameField().getText(), "Breath Control");
    EXPECT_EQ(panel.unsentValues(), unsent);
    EXPECT_EQ(panel.getUndoManager().getUndoDescriptions(), undoSteps);
    EXPECT_EQ(picker.getMarkedControls(), std::set<int>{0x70}) << "the amber mark stays on Pad #1";

    EXPECT_TRUE(picker.keyPressed(right));
    drainMessages();
    EXPECT_EQ(panel.getSelectedItemId(), 0x70);
    EXPECT_EQ(panel.modeBox().getSelectedItemIndex(), other) << "Pad #1 shows its edit again";
}

TEST_F(PanelTest, TabWalksOnAndLeavesThePictureAtItsEnds)
{
    auto& picker = panel->getPicker();
    EXPECT_TRUE(picker.keyPressed(tab)) << "nothing selected: Tab starts at the first control";
    drainMessages();
    EXPECT_EQ(panel->getSelectedItemId(), 0x30);
    EXPECT_FALSE(picker.keyPressed(shiftTab)) << "before the first, the window moves the keyboard on";
    EXPECT_EQ(panel->getSelectedItemId(), 0x30);

    picker.buttonClicked(picker.findButtonFor(0x16));
    EXPECT_TRUE(picker.keyPressed(tab));
    drainMessages();
    EXPECT_EQ(panel->getSelectedItemId(), 0x58);

    picker.buttonClicked(picker.findButtonFor(0x73));
    drainMessages();
    EXPECT_FALSE(picker.keyPressed(tab));
    EXPECT_TRUE(picker.keyPressed(right)) << "at the edge an arrow is taken, and nothing moves";
    drainMessages();
    EXPECT_EQ(panel->getSelectedItemId(), 0x73);

    // Only the selected control is a stop of the window's Tab order.
    int stops = 0;
    for (int i = 0; i < picker.getNumPickerButtons(); ++i)
        stops += picker.getPickerButton(i)->getWantsKeyboardFocus() ? 1 : 0;
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(picker.findButtonFor(0x73)->getWantsKeyboardFocus());
}

TEST_F(PanelTest, ABandCoversOnlyWhatItSpansFromWhereTheSelectionStarted)
{
    // The controls by the names the user sees, not by the picture's tables.
    std::set<int> snapshots, pads;
    for (int i = 0; i < (int)pickerSpots.size(); ++i)
    {
        const juce::String name(ControlCatalogue::displayName(idAt(i)));
        if (name.startsWith("Snapshot #"))
            snapshots.insert(idAt(i));
        if (name.startsWith("Pad #"))
            pads.insert(idAt(i));
    }
    ASSERT_EQ(snapshots.size(), 10u);
    const auto selected = [&]
    {
        const auto ids = panel->getPicker().getSelection().ids();
        return std::set<int>(ids.begin(), ids.end());
    };
    auto& picker = panel->getPicker();
    const juce::KeyPress shiftRight(juce::KeyPress::rightKey, juce::ModifierKeys::shiftModifier, 0),
        shiftDown(juce::KeyPress::downKey, juce::ModifierKeys::shiftModifier, 0);

    // Pad #1 was selected before; the band starts again from Snapshot #1, clicked.
    picker.buttonClicked(picker.findButtonFor(0x70));
    picker.buttonClicked(picker.findButtonFor(*snapshots.begin()));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(picker.keyPressed(shiftRight));
    EXPECT_TRUE(picker.keyPressed(shiftDown));
    drainMessages();
    EXPECT_EQ(selected(), snapshots) << "from Snapshot #1 to Snapshot #10: the ten, nothing else";
    EXPECT_EQ(panel->nameField().getText(), "<10 controls>");

    // Dragged over the pads with Ctrl held, the band adds them; over bare picture it changes nothing.
    juce::Rectangle<int> padArea;
    for (int id : pads)
        padArea = padArea.isEmpty() ? picker.findButtonFor(id)->getBounds()
                                    : padArea.getUnion(picker.findButtonFor(id)->getBounds());
    picker.selectWithin(padArea, true);
    auto both = snapshots;
    both.insert(pads.begin(), pads.end());
    EXPECT_EQ(selected(), both);
    picker.selectWithin({0, 300, 40, 15}, false);
    EXPECT_EQ(selected(), both);
    picker.selectWithin(padArea, false);
    drainMessages();
    EXPECT_EQ(selected(), pads);

    // Half of Pad #1, its middle left out, is not Pad #1; a band three pixels flat through the middles of
    // a row of pads is that row.
    const auto pad1 = picker.findButtonFor(0x70)->getBounds();
    const auto before = selected();
    picker.selectWithin(pad1.withWidth(pad1.getWidth() / 2 - 2), false);
    EXPECT_EQ(selected(), before);
    // Pad #1 to Pad #4 lie in one row.
    std::set<int> row;
    for (int id : pads)
        if (juce::String(ControlCatalogue::displayName(id)).getTrailingIntValue() <= 4)
            row.insert(id);
    ASSERT_EQ(row.size(), 4u);
    picker.selectWithin({padArea.getX(), pad1.getCentreY() - 1, padArea.getWidth(), 3}, false);
    EXPECT_EQ(selected(), row);
}

TEST(PickerBand, ADragFlatButLongIsABandAndOnlyAClickThatBarelyMovedIsNot)
{
    juce::Component owner;
    owner.setSize(400, 200);
    PickerBand band(owner);
    owner.addAndMakeVisible(band);
    band.setBounds(owner.getLocalBounds());
    std::vector<juce::Rectangle<int>> bands;
    band.onBand = [&](juce::Rectangle<int> area, bool)
    {
        bands.push_back(area);
    };
    const auto drag = [&](juce::Point<float> from, juce::Point<float> to)
    {
        const auto now = juce::Time::getCurrentTime();
        const auto event = [&](juce::Point<float> at)
        {
            return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at, {}, 0.0f, 0.0f,
                                    0.0f, 0.0f, 0.0f, &owner, &owner, now, from, now, 1, at != from);
        };
        band.mouseDown(event(from));
        band.mouseDrag(event(to));
        band.mouseUp(event(to));
    };
    drag({10.0f, 50.0f}, {210.0f, 52.0f}); // along a row, two pixels high
    drag({10.0f, 50.0f}, {12.0f, 52.0f});  // a click that slipped
    drag({30.0f, 20.0f}, {32.0f, 120.0f}); // down a column, two pixels wide
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].getWidth(), 200);
    EXPECT_EQ(bands[1].getHeight(), 100);
}

//==============================================================================
TEST_F(PanelTest, ScreenReadersFindFiftyThreeNamedButtonsWithTheirSettingsAndLabelledBoxes)
{
    panel->getManager().modify(
        [](SettingsState& s)
        {
            s.names[0x70] = "Kick";
            s.set(itemFieldMode, 0x70, 10); // Midi Note
            s.set(itemFieldNumber, 0x70, 36);
        });
    panel->updateStatus();

    int found = 0;
    for (auto* child : panel->getPicker().getChildren())
    {
        auto* b = dynamic_cast<MoxCtrlPickerButton*>(child);
        if (b == nullptr)
            continue;
        const int id = b->getButtonText().getHexValue32();
        auto handler = b->createAccessibilityHandler();
        ASSERT_NE(handler, nullptr);
        EXPECT_EQ(handler->getRole(), juce::AccessibilityRole::button) << id;
        ASSERT_NE(handler->getValueInterface(), nullptr) << id;
        const auto title = handler->getTitle(),
                   value = handler->getValueInterface()->getCurrentValueAsString();
        if (id == 0x70)
        {
            EXPECT_EQ(title, "Pad #1 (Kick)");
            EXPECT_EQ(value, "Mode: Midi Note, CC number: 36 - Foot Controller LSB");
        }
        else
        {
            EXPECT_EQ(title, juce::String(ControlCatalogue::displayName(id)));
            EXPECT_TRUE(value.startsWith("Mode: ")) << id << " " << value;
            EXPECT_TRUE(value.contains(", CC number: ")) << id << " " << value;
        }
        EXPECT_TRUE(handler->getActions().contains(juce::AccessibilityActionType::press));
        EXPECT_TRUE(handler->getHelp().startsWith(ControlCatalogue::tooltip(id))) << id;
        ++found;
    }
    EXPECT_EQ(found, 53);

    // The boxes beside are read by their labels.
    EXPECT_EQ(panel->lowerChannelBox().getTitle(), "Lower channel");
    EXPECT_EQ(panel->splitPointBox().getTitle(), "Split point");
    EXPECT_EQ(panel->nameField().getTitle(), "Name");
    EXPECT_EQ(panel->numberBox().getTitle(), "CC number");
    EXPECT_EQ(panel->maxBox().getTitle(), "Max / MSB");
}

TEST(StatusDisplayReading, ANewHeadlineIsAnnouncedProgressIsNot)
{
    LinkStatusDisplay display;
    juce::StringArray said;
    display.announce = [&](const juce::String& text)
    {
        said.add(text);
    };
    display.setStatus("Step 1 of 12", "Reading", "", false);
    display.setStatus("Step 2 of 12", "Reading", "", false);
    display.setStatus("Port A", "Connected", "", false);
    EXPECT_EQ(said, juce::StringArray({"Reading: Step 1 of 12", "Connected: Port A"}));

    auto handler = display.createAccessibilityHandler();
    EXPECT_EQ(handler->getRole(), juce::AccessibilityRole::staticText);
    EXPECT_EQ(handler->getTitle(), "Connected");
    EXPECT_EQ(handler->getValueInterface()->getCurrentValueAsString(), "Port A");
}

TEST_F(PanelTest, EnterWithManyControlsSelectedKeepsThemAllForTheBoxes)
{
    auto& picker = panel->getPicker();
    picker.selectKind(ControlKind::pad);
    drainMessages();
    const auto pads = picker.getSelection().ids();
    ASSERT_GT(pads.size(), 1u);

    // Enter from the picture, as the keys reach it from the control that has them.
    PickerFocus focus(picker, *panel, panel->modeBox());
    EXPECT_TRUE(focus.keyPressed(juce::KeyPress(juce::KeyPress::returnKey), &picker));
    drainMessages();
    EXPECT_EQ(picker.getSelection().ids(), pads) << "Enter went on to the boxes, not to one control";
    EXPECT_EQ(panel->nameField().getText(), "<" + juce::String((int)pads.size()) + " controls>");

    // With one control selected, Enter goes on with that one.
    picker.buttonClicked(picker.findButtonFor(0x01));
    EXPECT_TRUE(focus.keyPressed(juce::KeyPress(juce::KeyPress::returnKey), &picker));
    EXPECT_EQ(picker.getSelection().ids(), std::vector<int>{0x01});
}
