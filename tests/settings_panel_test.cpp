#include "device/VirtualMidiPorts.h"
#include "files/SettingsFile.h"
#include "support/panel_test_support.h"
#include "ui/EditorColours.h"

#include <atomic>
#include <tuple>

namespace
{
const char* const clickAControl = "<Click a Control>";

/** Picks the item with that text as a user would, with the change reported at once. */
void pick(juce::ComboBox& combo, const juce::String& text)
{
    for (int i = 0; i < combo.getNumItems(); ++i)
        if (combo.getItemText(i) == text)
            return combo.setSelectedItemIndex(i, juce::sendNotificationSync);
    ADD_FAILURE() << "no item " << text << " in " << combo.getName();
}

std::vector<int> enabledItemIds(juce::ComboBox& box)
{
    std::vector<int> ids;
    for (int id = 1; id <= box.getNumItems(); ++id)
        if (box.isItemEnabled(id))
            ids.push_back(id);
    return ids;
}

} // namespace

//==============================================================================
TEST_F(PanelTest, ScanWithoutOutputsReportsTheKeyboardMissingOnce)
{
    ASSERT_EQ(startupMessages.size(), 1u);
    EXPECT_EQ(startupMessages[0].title, keyboardProblem);
    EXPECT_TRUE(startupMessages[0].text.contains("has not been detected"));
}

TEST_F(PanelTest, WidgetsSitAtTheirFixedPlacesAndListTheirChoices)
{
    using R = juce::Rectangle<int>;
    EXPECT_EQ(panel->getBounds(), R(0, 0, 1063, 460));
    // Every widget, in creation (and z-) order, with its name and place.
    const std::vector<std::pair<const char*, R>> layout = {{"global group", {13, 8, 419, 128}},
                                                           {"channel label", {27, 32, 93, 24}},
                                                           {"lower channel combo", {122, 32, 88, 24}},
                                                           {"knob mode label", {27, 64, 88, 24}},
                                                           {"knob mode combo", {122, 64, 88, 24}},
                                                           {"new group", {443, 8, 480, 128}},
                                                           {"new label", {459, 32, 80, 24}},
                                                           {"new text editor", {555, 32, 120, 24}},
                                                           {"new label", {687, 64, 80, 24}},
                                                           {"CC number combo", {783, 64, 120, 24}},
                                                           {"new button", {944, 38, 88, 24}},
                                                           {"new button", {936, 14, 102, 24}},
                                                           {nullptr, {0, 149, 1063, 317}},
                                                           {"new label", {687, 32, 80, 24}},
                                                           {"Mode combo", {783, 32, 120, 24}},
                                                           {"new label", {459, 64, 80, 24}},
                                                           {"Channel combo", {555, 64, 120, 24}},
                                                           {"new label", {687, 96, 80, 24}},
                                                           {"Max MSB combo", {783, 96, 120, 24}},
                                                           {"new label", {459, 96, 80, 24}},
                                                           {"Min LSB combo", {555, 96, 120, 24}},
                                                           {"knob mode label", {27, 96, 88, 24}},
                                                           {"split mode combo", {122, 96, 88, 24}},
                                                           {"channel label", {227, 32, 93, 24}},
                                                           {"upper channel combo", {322, 32, 88, 24}},
                                                           {"knob mode label", {227, 64, 88, 24}},
                                                           {"fader mode combo", {322, 64, 88, 24}},
                                                           {"knob mode label", {227, 96, 88, 24}},
                                                           {"split point combo", {322, 96, 88, 24}},
                                                           {"load button", {948, 67, 78, 20}},
                                                           {"save button", {948, 91, 78, 20}},
                                                           {"chart button", {948, 115, 78, 20}}};
    ASSERT_GE(panel->getNumChildComponents(), (int)layout.size());
    for (size_t i = 0; i < layout.size(); ++i)
    {
        const auto* child = panel->getChildComponent((int)i);
        if (layout[i].first != nullptr)
        {
            EXPECT_EQ(child->getName(), layout[i].first) << "widget " << i + 1;
        }
        EXPECT_EQ(child->getBounds(), layout[i].second) << "widget " << i + 1 << " " << child->getName();
    }
    EXPECT_EQ(panel->getChildComponent(12), &panel->getPicker());
    EXPECT_EQ(panel->nameField().getText(), clickAControl);

    juce::StringArray channels;
    for (int i = 0; i < panel->channelBox().getNumItems(); ++i)
        channels.add(panel->channelBox().getItemText(i));
    EXPECT_EQ(channels.joinIntoString(","), "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,Lower,Upper,Panel,All");
    auto& num = panel->numberBox();
    ASSERT_EQ(num.getNumItems(), 128);
    EXPECT_EQ(num.getItemText(0), "0 - Bank Select MSB");
    EXPECT_EQ(num.getItemText(127), "127 - Poly Mode On");
    auto& split = panel->splitPointBox();
    ASSERT_EQ(split.getNumItems(), 128);
    EXPECT_EQ(split.getItemText(0), "C-2");
    EXPECT_EQ(split.getItemText(60), "C3");
    EXPECT_EQ(split.getItemText(127), "G8");
}

//==============================================================================
TEST_F(PanelTest, SelectingAPadShowsItsFieldsAndPadModes)
{
    select("0x70");
    EXPECT_EQ(panel->nameField().getText(), "Pad #1");
    EXPECT_EQ(enabledItemIds(panel->modeBox()), (std::vector<int>{1, 2, 9, 10, 11, 12}));
    EXPECT_EQ(controlShown(*panel), juce::StringArray({"Midi Note", "10", "124 - E8", "0", "127"}));
}

TEST_F(PanelTest, ModeChoicesFollowTheSelectedControl)
{
    select("0x70");
    select("0x12");
    EXPECT_EQ(panel->nameField().getText(), "Snapshot #1");
    EXPECT_EQ(enabledItemIds(panel->modeBox()), (std::vector<int>{1, 2, 6, 7, 9, 10, 11, 12}));
    select("0x40");
    EXPECT_EQ(enabledItemIds(panel->modeBox()), (std::vector<int>{1, 2, 4, 5}));
}

TEST_F(PanelTest, UnknownControlIdChangesNothing)
{
    select("0x70");
    const auto before = store().snapshot();
    select("0x7F");
    EXPECT_EQ(panel->getSelectedItemId(), 0x70);
    EXPECT_EQ(panel->nameField().getText(), "Pad #1");
    EXPECT_EQ(panel->modeBox().getText(), "Midi Note");
    EXPECT_TRUE(store().snapshot() == before);
}

TEST_F(PanelTest, ShowingAControlWritesBackExactlyWhatIsStored)
{
    const int fields[] = {modeNoteToggle, channelLower, 40, 5, 100};
    for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
        store().setItemField(f, 0x70, fields[f - itemFieldMode]);
    const auto before = store().snapshot();
    select("0x70");
    EXPECT_EQ(controlShown(*panel), juce::StringArray({"Note Toggle", "Lower", "40 - E1", "5", "100"}));
    EXPECT_TRUE(store().snapshot() == before);
}

// The boxes show the store without writing it back later: an answer the keyboard delivers between the
// showing and the message loop's next turn must survive.
TEST_F(PanelTest, ShowingAControlNeverOverwritesALaterAnswer)
{
    panel->actionListenerCallback("0x01");           // shows the control at once, as a delivered message does
    store().setItemField(itemFieldNumber, 0x01, 99); // arrives while the shown values are still queued
    drainMessages();
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x01), 99);
}

TEST_F(PanelTest, NumbersCanBeTypedOrSteppedWithTheWheelAndSayWhatTheyMean)
{
    select("0x70");
    pick(panel->modeBox(), "Midi Note");
    pick(panel->channelBox(), "10");
    auto& number = panel->numberBox();
    number.setText("36", juce::sendNotificationSync);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x70), 36);
    EXPECT_TRUE(number.getTooltip().contains("Bass Drum 1")) << number.getTooltip();

    // Not a value of the list: the box shows the stored one again.
    number.setText("300", juce::sendNotificationSync);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x70), 36);
    EXPECT_EQ(number.getSelectedItemIndex(), 36);

    // One notch of the wheel moves the maximum by one.
    auto& maximum = panel->maxBox();
    const int before = store().getItemField(itemFieldMaxMsb, 0x70);
    const juce::MouseEvent at(juce::Desktop::getInstance().getMainMouseSource(), {5.0f, 5.0f}, {}, 0.0f, 0.0f,
                              0.0f, 0.0f, 0.0f, &maximum, &maximum, juce::Time::getCurrentTime(),
                              {5.0f, 5.0f}, juce::Time::getCurrentTime(), 0, false);
    const juce::MouseWheelDetails notch{0.0f, -0.25f, false, false,
                                        false}; // down: the maximum may be at its top
    maximum.mouseWheelMove(at, notch);
    drainMessages();
    EXPECT_EQ(std::abs(store().getItemField(itemFieldMaxMsb, 0x70) - before), 1);
}

// A number follows the wheel as a number does: turned up it rises, and no notch is lost, however small the
// travel the system reports for one.
TEST_F(PanelTest, TheWheelTurnedUpRaisesANumberByEveryNotch)
{
    select("0x70");
    auto& number = panel->numberBox();
    number.setSelectedItemIndex(40, juce::sendNotificationSync);
    const juce::MouseEvent at(juce::Desktop::getInstance().getMainMouseSource(), {5.0f, 5.0f}, {}, 0.0f, 0.0f,
                              0.0f, 0.0f, 0.0f, &number, &number, juce::Time::getCurrentTime(), {5.0f, 5.0f},
                              juce::Time::getCurrentTime(), 0, false);
    const auto turn = [&](float deltaY, bool smooth, int times)
    {
        for (int i = 0; i < times; ++i)
            number.mouseWheelMove(at, {0.0f, deltaY, false, smooth, false});
        drainMessages();
        return store().getItemField(itemFieldNumber, 0x70);
    };
    EXPECT_EQ(turn(0.1f, false, 3), 43) << "three small notches up";
    EXPECT_EQ(turn(-0.1f, false, 1), 42) << "one notch down";
}

// A pad's note reads as a note in the open list, in the closed box and to a screen reader, on every
// channel; a controller mode gets the controllers' list back unchanged.
TEST_F(PanelTest, TheNumberListSpeaksTheModesMeaning)
{
    select("0x70");
    auto& number = panel->numberBox();
    pick(panel->modeBox(), "Control");
    juce::StringArray controllers;
    for (int i = 0; i < number.getNumItems(); ++i)
        controllers.add(number.getItemText(i));

    pick(panel->modeBox(), "Midi Note");
    pick(panel->channelBox(), "10");
    number.setSelectedItemIndex(36, juce::sendNotificationSync);
    const auto drum = number.getItemText(36);
    EXPECT_TRUE(drum.startsWith("36 - C1") && drum.contains("Bass Drum 1")) << drum;
    EXPECT_EQ(number.getText(), drum) << "the closed box, which a screen reader reads too";
    EXPECT_EQ(number.getTitle(), "Note");
    EXPECT_FALSE(number.getItemText(122).contains("Local Control")) << number.getItemText(122);

    pick(panel->channelBox(), "1");
    EXPECT_EQ(number.getItemText(36), "36 - C1") << "no drum off the drum channel";
    EXPECT_EQ(number.getText(), "36 - C1");

    pick(panel->modeBox(), "Control");
    juce::StringArray after;
    for (int i = 0; i < number.getNumItems(); ++i)
        after.add(number.getItemText(i));
    EXPECT_EQ(after, controllers);
    EXPECT_EQ(number.getTitle(), "CC number");
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x70), 36) << "renaming the entries wrote nothing";
}

TEST_F(PanelTest, PitchWheelCanBeShownButKeepsNoSettings)
{
    select("0x41");
    EXPECT_EQ(panel->nameField().getText(), "Pitch Wheel");
    panel->numberBox().setSelectedItemIndex(7, juce::sendNotificationSync);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x41), -1);
}

TEST_F(PanelTest, TwoChoiceValuesAreStoredAsShown)
{
    store().setGlobal(globalKnobMode, 5);
    panel->settleAndShowGlobals();
    EXPECT_EQ(panel->knobModeBox().getText(), "Absolute");
    EXPECT_EQ(store().getGlobal(globalKnobMode), 1);
}

TEST_F(PanelTest, ChannelCodesShowAsTheirListEntries)
{
    for (auto [code, text] : {std::pair{64, "Lower"}, {65, "Upper"}, {126, "All"}, {127, "Panel"}})
    {
        store().setItemField(itemFieldChannel, 0x01, code);
        select("0x01");
        EXPECT_EQ(panel->channelBox().getText(), text);
        EXPECT_EQ(store().getItemField(itemFieldChannel, 0x01), code);
    }
}

TEST_F(PanelTest, ChannelCodeOutsideTheListShowsBlankAndIsKept)
{
    // 17 must not pass for "Upper", nor 20 for anything: a blank box writes nothing back.
    for (int code : {20, 17})
    {
        SCOPED_TRACE(code);
        select("0x02"); // shows a listed channel first, so the box really changes
        store().setItemField(itemFieldChannel, 0x01, code);
        select("0x01");
        EXPECT_EQ(panel->channelBox().getSelectedItemIndex(), -1);
        EXPECT_EQ(panel->channelBox().getText(), "");
        EXPECT_EQ(store().getItemField(itemFieldChannel, 0x01), code);
    }
}

TEST_F(PanelTest, PickingAChannelStoresItsCode)
{
    select("0x05");
    for (auto [text, code] : {std::pair{"Upper", 65}, {"All", 126}, {"Panel", 127}, {"16", 15}})
    {
        pick(panel->channelBox(), text);
        EXPECT_EQ(store().getItemField(itemFieldChannel, 0x05), code) << text;
    }
}

TEST_F(PanelTest, PickingKeyboardWideValuesStoresTheirCodes)
{
    const std::tuple<juce::ComboBox&, const char*, int, int> picks[] = {
        {panel->knobModeBox(), "Relative", globalKnobMode, 127},
        {panel->knobModeBox(), "Absolute", globalKnobMode, 1},
        {panel->faderModeBox(), "Drawbar", globalFaderMode, 127},
        {panel->splitModeBox(), "On", globalSplitMode, 127},
        {panel->splitPointBox(), "C3", globalSplitPoint, 60},
        {panel->lowerChannelBox(), "3", globalLowerChannel, 2},
        {panel->upperChannelBox(), "6", globalUpperChannel, 5},
        {panel->lowerChannelBox(), "16", globalLowerChannel, 15},
        {panel->upperChannelBox(), "16", globalUpperChannel, 15}};
    for (const auto& [box, text, id, value] : picks)
    {
        pick(box, text);
        EXPECT_EQ(store().getGlobal(id), value) << text;
    }
    for (auto* box : {&panel->lowerChannelBox(), &panel->upperChannelBox()})
    {
        EXPECT_EQ(box->getNumItems(), 16);
        EXPECT_EQ(box->getItemText(box->getNumItems() - 1), "16");
    }
}

TEST_F(PanelTest, ControlFieldsPickedBeforeAnySelectionAreNotStored)
{
    const auto before = store().snapshot();
    pick(panel->modeBox(), "Control");
    pick(panel->channelBox(), "5");
    pick(panel->numberBox(), "7 - Channel Volume");
    pick(panel->minBox(), "3");
    pick(panel->maxBox(), "90");
    drainMessages();
    EXPECT_TRUE(store().snapshot() == before);
}

TEST_F(PanelTest, ShowGlobalsDisplaysTheStoredKeyboardWideValues)
{
    for (auto [g, v] : {std::pair{globalKnobMode, 127},
                        {globalFaderMode, 1},
                        {globalSplitMode, 127},
                        {globalSplitPoint, 60},
                        {globalLowerChannel, 3}})
        store().setGlobal(g, v);
    const auto before = store().snapshot();
    panel->settleAndShowGlobals();
    drainMessages();
    EXPECT_EQ(globalsShown(*panel), juce::StringArray({"Relative", "Normal", "On", "C3", "4", "1"}));
    EXPECT_TRUE(store().snapshot() == before);

    // A value that is neither choice's code (from a file) shows as the first choice, which is what a save
    // or a send then carries.
    store().setGlobal(globalKnobMode, 100);
    store().setGlobal(globalSplitMode, 100);
    panel->settleAndShowGlobals();
    drainMessages();
    EXPECT_EQ(panel->knobModeBox().getText(), "Absolute");
    EXPECT_EQ(panel->splitModeBox().getText(), "Off");
    EXPECT_EQ(store().getGlobal(globalKnobMode), 1);
    EXPECT_EQ(store().getGlobal(globalSplitMode), 1);
}

//==============================================================================
TEST_F(PanelTest, DefaultValuesRestoresFactoryFieldsAndEditorGlobals)
{
    // Every keyboard-wide value the button sets starts elsewhere.
    store().setGlobal(globalSplitPoint, 66);
    store().setGlobal(globalKnobMode, 127);
    store().setGlobal(globalFaderMode, 127);
    store().setGlobal(globalSplitMode, 127);
    store().setGlobal(globalLowerChannel, 7);
    store().setGlobal(globalUpperChannel, 9);
    store().setItemField(itemFieldNumber, 0x01, 3);
    panel->settleAndShowGlobals();
    drainMessages();
    ASSERT_EQ(globalsShown(*panel), juce::StringArray({"Relative", "Drawbar", "On", "F#3", "8", "10"}));

    panel->defaultValuesButton().triggerClick();
    drainMessages();

    EXPECT_EQ(globalsShown(*panel), juce::StringArray({"Absolute", "Normal", "Off", "C3", "1", "1"}));
    for (auto [g, v] : {std::pair{globalSplitPoint, 60},
                        {globalLowerChannel, 0},
                        {globalUpperChannel, 0},
                        {globalKnobMode, 1},
                        {globalFaderMode, 1},
                        {globalSplitMode, 1}})
        EXPECT_EQ(store().getGlobal(g), v) << "global " << g;
    EXPECT_EQ(panel->nameField().getText(), clickAControl);
    for (int id : ControlCatalogue::configurableControls())
        for (int f = itemFieldMode; f <= itemFieldMaxMsb; ++f)
            EXPECT_EQ(store().getItemField(f, id), ControlCatalogue::defaultConfig(id)->field(f)) << id;
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST(PanelSend, WithoutAKeyboardSendsNothingAndSaysSo)
{
    VirtualMidiPorts ports;
    std::atomic<int> otherThanIdentityRequests{0};
    ports.addOutput("Synth",
                    [&](const juce::MidiMessage& m)
                    {
                        if (!(m.isSysEx() && m.getSysExDataSize() == 4 && m.getSysExData()[2] == 0x06))
                            ++otherThanIdentityRequests;
                    });
    auto d = std::make_unique<ScriptedDialogs>();
    auto* dialogs = d.get();
    KbdSettingComponent49 panel(ports, std::move(d));

    panel.sendToKeyboard();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].title, keyboardProblem);
    EXPECT_EQ(dialogs->shown[0].text, "The keyboard has not been detected, so it can't be set.");
    EXPECT_EQ(otherThanIdentityRequests, 0);
}

namespace
{
/** The panel as painted with lf the default look and feel from its making on: a control selected, one of
    its values changed and not sent, so that the value's corner and the control's dot are painted too. */
juce::Image panelPaintedWith(juce::LookAndFeel& lf)
{
    juce::LookAndFeel::setDefaultLookAndFeel(&lf);
    juce::Image image;
    {
        VirtualMidiPorts ports;
        KbdSettingComponent49 panel(ports, std::make_unique<ScriptedDialogs>());
        drainMessages();
        panel.getPicker().sendActionMessage("0x70");
        drainMessages();
        ::pick(panel.channelBox(), (panel.channelBox().getSelectedItemIndex() + 1) % 16);
        drainMessages();
        EXPECT_EQ(panel.unsentValues().size(), 1u);
        image = panel.createComponentSnapshot(panel.getLocalBounds());
    }
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    return image;
}
} // namespace

// The toolkit paints a colour id no look and feel sets in black. Painted once with only the editor's colours
// set and once with every other id of their range set to magenta, the panel looks the same only when the
// editor's colours leave none of its roles out.
TEST(EditorColours, ThePanelPaintsNoRoleTheEditorsColoursLeaveOut)
{
    juce::LookAndFeel_V4 given, preset;
    setEditorColours(given);
    for (int id = 0x7e00000; id < 0x7e01000; ++id)
        preset.setColour(id, juce::Colours::magenta);
    setEditorColours(preset);

    const auto a = panelPaintedWith(given), b = panelPaintedWith(preset);
    ASSERT_EQ(a.getBounds(), b.getBounds());
    int differing = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            differing += a.getPixelAt(x, y) != b.getPixelAt(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
}
