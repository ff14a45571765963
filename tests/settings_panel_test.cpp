#include "device/VirtualMidiPorts.h"
#if !JUCE_WINDOWS
#include "file_test_support.h"
#endif
#include "files/SettingsFile.h"
#include "tools/quillet/Commands.h"
#include "ui/KbdSettingComponent49.h"
#include "ui_test_support.h"

#include <sstream>

#include <atomic>
#if !JUCE_WINDOWS
#include <sys/stat.h>
#endif
#include <tuple>

namespace
{
const char* const keyboardProblem = "Keyboard Problem";
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

/** The keyboard-wide boxes: knob, fader, split mode, split point, lower and upper channel. */
juce::StringArray globalsShown(KbdSettingComponent49& p)
{
    return {p.knobModeBox().getText(),   p.faderModeBox().getText(),    p.splitModeBox().getText(),
            p.splitPointBox().getText(), p.lowerChannelBox().getText(), p.upperChannelBox().getText()};
}

/** The selected control's boxes: mode, channel, number, min, max. */
juce::StringArray controlShown(KbdSettingComponent49& p)
{
    return {p.modeBox().getText(), p.channelBox().getText(), p.numberBox().getText(), p.minBox().getText(),
            p.maxBox().getText()};
}

/** A configuration unlike the defaults in every keyboard-wide value and in Pad #1. */
SettingsState loadedState(SettingsState s)
{
    for (auto [g, v] : {std::pair{globalKnobMode, 127},
                        {globalFaderMode, 127},
                        {globalSplitMode, 127},
                        {globalSplitPoint, 48},
                        {globalLowerChannel, 3},
                        {globalUpperChannel, 5}})
        s.globals[(size_t)g] = (int16_t)v;
    s.set(itemFieldMode, 0x70, modeNoteToggle);
    s.set(itemFieldChannel, 0x70, channelAll);
    return s;
}
const juce::StringArray loadedGlobalsText{"Relative", "Drawbar", "On", "C2", "4", "6"};

/** The panel on virtual ports with no outputs: the scan ends at once, unanswered. */
class PanelTest : public ::testing::Test
{
protected:
    PanelTest()
    {
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
        // The scan's own report arrives with the first update; the tests look only at what follows.
        drainMessages();
        startupMessages = dialogs->shown;
        dialogs->shown.clear();
    }

    KbdSettingsStore& store() { return panel->getManager(); }

    /** Selects a control the way the picture does: by an action message. */
    void select(const juce::String& idText)
    {
        panel->getPicker().sendActionMessage(idText);
        drainMessages();
    }

    VirtualMidiPorts ports;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<KbdSettingComponent49> panel;
    std::vector<ScriptedDialogs::Shown> startupMessages;
    ScratchFolder scratch;
};
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
    EXPECT_EQ(panel->lowerChannelBox().getBounds(), R(122, 32, 88, 24));
    EXPECT_EQ(panel->upperChannelBox().getBounds(), R(322, 32, 88, 24));
    EXPECT_EQ(panel->modeBox().getBounds(), R(783, 32, 120, 24));
    EXPECT_EQ(panel->channelBox().getBounds(), R(555, 64, 120, 24));
    EXPECT_EQ(panel->getPicker().getBounds(), R(0, 149, 1063, 317));
    EXPECT_EQ(panel->loadButtonWidget().getBounds(), R(948, 67, 78, 20));
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
    EXPECT_EQ(controlShown(*panel),
              juce::StringArray({"Midi Note", "10", "124 - Omni Mode Off", "0", "127"}));
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
    EXPECT_EQ(controlShown(*panel),
              juce::StringArray({"Note Toggle", "Lower", "40 - Balance LSB", "5", "100"}));
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
    panel->showGlobals();
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
        {panel->upperChannelBox(), "6", globalUpperChannel, 5}};
    for (const auto& [box, text, id, value] : picks)
    {
        pick(box, text);
        EXPECT_EQ(store().getGlobal(id), value) << text;
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
    panel->showGlobals();
    drainMessages();
    EXPECT_EQ(globalsShown(*panel), juce::StringArray({"Relative", "Normal", "On", "C3", "4", "1"}));
    EXPECT_TRUE(store().snapshot() == before);
}

//==============================================================================
TEST_F(PanelTest, DefaultValuesRestoresFactoryFieldsAndEditorGlobals)
{
    store().setGlobal(globalSplitPoint, 66);
    store().setGlobal(globalKnobMode, 127);
    store().setGlobal(globalLowerChannel, 7);
    store().setItemField(itemFieldNumber, 0x01, 3);
    panel->showGlobals();
    drainMessages();
    ASSERT_EQ(panel->splitPointBox().getText(), "F#3"); // 60 is C3

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

//==============================================================================
TEST_F(PanelTest, SaveReplacesTheExtensionOfTheChosenName)
{
    store().setGlobal(globalSplitPoint, 52);
    dialogs->filesToSave = {scratch.file("my settings.txt"), scratch.file("setup")};
    panel->saveButtonWidget().triggerClick();
    drainMessages();
    panel->saveSettings();
    EXPECT_TRUE(scratch.file("my settings.qmv49").existsAsFile());
    EXPECT_TRUE(scratch.file("setup.qmv49").existsAsFile());
    EXPECT_EQ(scratch.fileCount(), 2);
    EXPECT_TRUE(dialogs->shown.empty());

    KbdSettingsStore reread;
    ASSERT_TRUE(readSettingsFile(reread, scratch.file("my settings.qmv49")).ok);
    EXPECT_TRUE(reread.snapshot() == store().snapshot());
}

TEST_F(PanelTest, ChartGetsTheHtmlExtension)
{
    dialogs->filesToSave.push_back(scratch.file("chart"));
    panel->chartButtonWidget().triggerClick();
    drainMessages();
    EXPECT_TRUE(scratch.file("chart.html").existsAsFile());
    EXPECT_EQ(scratch.fileCount(), 1);
}

TEST_F(PanelTest, CancellingAnyFileDialogChangesNothing)
{
    const auto before = store().snapshot();
    dialogs->filesToSave = {std::nullopt, std::nullopt};
    dialogs->filesToOpen = {std::nullopt};
    panel->saveSettings();
    panel->writeChart();
    panel->loadSettings();
    drainMessages();
    EXPECT_EQ(scratch.fileCount(), 0);
    EXPECT_TRUE(store().snapshot() == before);
    EXPECT_TRUE(dialogs->shown.empty());
}

#if !JUCE_WINDOWS // the documents folder is found through HOME on Linux only
TEST_F(PanelTest, FileDialogsProposeTheirNamesAndReopenTheFolderLastChosen)
{
    // A home of the test's own, with a documents folder.
    const juce::String realHome = juce::SystemStats::getEnvironmentVariable("HOME", {});
    const auto home = scratch.file("home"), documents = home.getChildFile("Documents");
    const auto setups = scratch.file("setups"), charts = scratch.file("charts");
    for (const auto& folder : {documents, setups, charts})
        ASSERT_TRUE(folder.createDirectory());
    setenv("HOME", home.getFullPathName().toRawUTF8(), 1);

    dialogs->filesToSave = {setups.getChildFile("live.txt"), std::nullopt, charts.getChildFile("c")};
    panel->saveSettings();
    panel->writeChart(); // cancelled: remembers nothing
    panel->writeChart();
    dialogs->filesToOpen = {std::nullopt};
    panel->loadSettings();
    dialogs->filesToSave = {std::nullopt, std::nullopt, std::nullopt};
    panel->saveSettings();
    panel->writeChart();
    // A file loaded without the dialog, as when the editor is opened with one, counts as well.
    const auto gig = scratch.file("gig");
    ASSERT_TRUE(gig.createDirectory());
    ASSERT_TRUE(setups.getChildFile("live.qmv49").copyFileTo(gig.getChildFile("opened.qmv49")));
    panel->loadSettingsFrom(gig.getChildFile("opened.qmv49"));
    panel->saveSettings();
    setenv("HOME", realHome.toRawUTF8(), 1);

    juce::StringArray started;
    for (const auto& f : dialogs->startedAt)
        started.add(f.getFullPathName());
    const auto path = [](const juce::File& folder, const char* name)
    {
        return folder.getChildFile(name).getFullPathName();
    };
    EXPECT_EQ(started, (juce::StringArray{
                           path(documents, "Quillet 49 setup.qmv49"),
                           path(documents, "Quillet 49 chart.html"), path(documents, "Quillet 49 chart.html"),
                           setups.getFullPathName(), path(setups, "Quillet 49 setup.qmv49"),
                           path(charts, "Quillet 49 chart.html"), path(gig, "Quillet 49 setup.qmv49")}));
    EXPECT_TRUE(setups.getChildFile("live.qmv49").existsAsFile());
    EXPECT_TRUE(charts.getChildFile("c.html").existsAsFile());
}
#endif

TEST_F(PanelTest, SaveIntoAMissingFolderNamesTheFile)
{
    const auto target = scratch.file("missing").getChildFile("out.qmv49");
    dialogs->filesToSave.push_back(target);
    panel->saveSettings();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_TRUE(dialogs->shown[0].text.contains(target.getFullPathName()));
}

#if !JUCE_WINDOWS // file modes and size limits are POSIX
TEST_F(PanelTest, SaveAsksBeforeReplacingAReadOnlyFileAndReportsAFullDisk)
{
    const juce::String previous = juce::String::repeatedString("previous contents. ", 100);
    const auto locked = scratch.file("locked.qmv49");
    locked.replaceWithText(previous);
    chmod(locked.getFullPathName().toRawUTF8(), 0444);

    dialogs->filesToSave = {locked, locked};
    dialogs->readOnlyAnswer = false;
    panel->saveSettings();
    EXPECT_EQ(dialogs->readOnlyQuestions, 1);
    EXPECT_EQ(locked.loadFileAsString(), previous);
    EXPECT_TRUE(dialogs->shown.empty());

    dialogs->readOnlyAnswer = true;
    panel->saveSettings();
    EXPECT_EQ(dialogs->readOnlyQuestions, 2);
    KbdSettingsStore reread;
    EXPECT_TRUE(readSettingsFile(reread, locked).ok);
    struct stat st;
    ASSERT_EQ(stat(locked.getFullPathName().toRawUTF8(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u) << "the replaced file stays read-only";
    EXPECT_TRUE(dialogs->shown.empty());

    const auto full = scratch.file("full.qmv49");
    full.replaceWithText(previous);
    dialogs->filesToSave = {full};
    {
        FileSizeLimit nearlyFull(1024);
        panel->saveSettings();
    }
    EXPECT_EQ(full.loadFileAsString(), previous);
    ASSERT_EQ(dialogs->countTitled("File Problem"), 1);
    EXPECT_TRUE(dialogs->shown[0].text.contains(full.getFullPathName()));
}
#endif

//==============================================================================
TEST_F(PanelTest, LoadFillsTheStoreAndShowsItWithoutAKeyboard)
{
    const auto wanted = loadedState(store().snapshot());
    ASSERT_TRUE(createSettingsXml(wanted)->writeTo(scratch.file("saved.qmv49")));
    select("0x70");

    dialogs->filesToOpen.push_back(scratch.file("saved.qmv49"));
    panel->loadButtonWidget().triggerClick();
    drainMessages();

    EXPECT_TRUE(store().snapshot() == wanted);
    EXPECT_EQ(globalsShown(*panel), loadedGlobalsText);
    EXPECT_EQ(panel->modeBox().getText(), "Note Toggle");
    EXPECT_EQ(panel->channelBox().getText(), "All");
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST(PanelLoad, LoadRightAfterStartUpBringsOnlyTheScansOwnReport)
{
    VirtualMidiPorts ports;
    ScratchFolder scratch;
    auto d = std::make_unique<ScriptedDialogs>();
    auto* dialogs = d.get();
    KbdSettingComponent49 panel(ports, std::move(d));
    ASSERT_TRUE(
        createSettingsXml(loadedState(panel.getManager().snapshot()))->writeTo(scratch.file("a.qmv49")));

    dialogs->filesToOpen.push_back(scratch.file("a.qmv49"));
    panel.loadSettings();
    drainMessages();

    EXPECT_EQ(globalsShown(panel), loadedGlobalsText);
    EXPECT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->countTitled(keyboardProblem), 1);
}

TEST_F(PanelTest, UnreadableFileIsReportedWithItsPathAndLoadsNothing)
{
    scratch.file("junk.qmv49").replaceWithText("this is not a settings file");
    const auto before = store().snapshot();
    for (const auto& name : {"absent.qmv49", "junk.qmv49"})
    {
        dialogs->shown.clear();
        dialogs->filesToOpen.push_back(scratch.file(name));
        panel->loadSettings();
        drainMessages();
        ASSERT_EQ(dialogs->shown.size(), 1u) << name;
        EXPECT_TRUE(dialogs->shown[0].text.contains(scratch.file(name).getFullPathName()));
        EXPECT_TRUE(store().snapshot() == before) << name;
    }
}

TEST_F(PanelTest, LoadSkipsAnOutOfRangeItemAndSaysHowMany)
{
    const auto file = scratch.file("partly.qmv49");
    file.replaceWithText("<Settings><Items>"
                         "<Item ID=\"1\" Mode=\"1\" Chan=\"0\" Num=\"200\" MinLSB=\"0\" MaxMSB=\"127\"/>"
                         "<Item ID=\"2\" Mode=\"1\" Chan=\"3\" Num=\"33\" MinLSB=\"0\" MaxMSB=\"127\"/>"
                         "</Items><Globals><Param ID=\"8\" Value=\"50\"/></Globals></Settings>");
    const int numberBefore = store().getItemField(itemFieldNumber, 0x01);
    dialogs->filesToOpen.push_back(file);
    panel->loadSettings();
    drainMessages();

    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x01), numberBefore);
    EXPECT_EQ(store().getItemField(itemFieldNumber, 0x02), 33);
    EXPECT_EQ(store().getItemField(itemFieldChannel, 0x02), 3);
    EXPECT_EQ(store().getGlobal(globalSplitPoint), 50);
    // One box with what 'quillet check' says of the same file, controls named by their names.
    ASSERT_EQ(dialogs->shown.size(), 1u);
    const auto& box = dialogs->shown[0].text;
    std::ostringstream out, err;
    EXPECT_EQ(QuilletCommands::check(file, out, err), QuilletCommands::exitProblems);
    auto lines = juce::StringArray::fromLines(juce::String(out.str()));
    const auto count = lines[0].fromFirstOccurrenceOf(": ", false, false);
    EXPECT_TRUE(box.startsWith(count + " in ")) << count << "\n" << box;
    for (int i = 1; i <= 12; ++i)
        EXPECT_TRUE(box.contains(lines[i].trim())) << lines[i];
    EXPECT_TRUE(box.contains("Filter Cutoff")) << box;
}
