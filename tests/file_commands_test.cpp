// Load..., Save... and Chart... as the panel runs them: dialogs, names, folders, problems and messages.
#include "files/SettingsFile.h"
#include "support/panel_test_support.h"
#include "tools/quillet/Commands.h"

#include <sstream>
#if !JUCE_WINDOWS
#include "support/file_test_support.h"

#include <sys/stat.h>
#endif

namespace
{
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
} // namespace

TEST_F(PanelTest, SaveReplacesTheExtensionOfTheChosenName)
{
    store().setGlobal(globalSplitPoint, 52);
    // Everything from the last dot is the extension, not from the first.
    dialogs->filesToSave = {scratch.file("v1.2 setup.txt"), scratch.file("setup")};
    panel->saveButtonWidget().triggerClick();
    drainMessages();
    panel->saveSettings();
    EXPECT_TRUE(scratch.file("v1.2 setup.qmv49").existsAsFile());
    EXPECT_TRUE(scratch.file("setup.qmv49").existsAsFile());
    EXPECT_EQ(scratch.fileCount(), 2);
    EXPECT_TRUE(dialogs->shown.empty());

    KbdSettingsStore reread;
    ASSERT_TRUE(readSettingsFile(reread, scratch.file("v1.2 setup.qmv49")).ok);
    EXPECT_TRUE(reread.snapshot() == store().snapshot());

    // A typed name whose new extension hits another file asks first; "No" leaves that file alone.
    const auto kept = scratch.file("setup.qmv49").loadFileAsString();
    store().setGlobal(globalSplitPoint, 53);
    dialogs->overwriteAnswer = false;
    dialogs->filesToSave = {scratch.file("setup.xml")};
    panel->saveSettings();
    EXPECT_EQ(scratch.file("setup.qmv49").loadFileAsString(), kept);
    EXPECT_EQ(scratch.fileCount(), 2);
}

TEST_F(PanelTest, ChartGetsTheHtmlExtension)
{
    dialogs->filesToSave.push_back(scratch.file("chart"));
    panel->chartButtonWidget().triggerClick();
    drainMessages();
    EXPECT_TRUE(scratch.file("chart.html").existsAsFile());
    EXPECT_EQ(scratch.fileCount(), 1);
    // The status display offers the chart instead of a search.
    EXPECT_EQ(panel->statusDisplay().getDetail(), "Chart written: click to open");
    EXPECT_TRUE(panel->statusDisplay().isClickable());
}

TEST_F(PanelTest, ExportForTheDawWritesWhatTheToolWritesAndACancelWritesNothing)
{
    const auto in = scratch.file("Night Pads.qmv49");
    std::ostringstream out, err;
    ASSERT_EQ(QuilletCommands::run({"defaults", in.getFullPathName()}, out, err), 0);
    dialogs->filesToOpen.push_back(in);
    panel->loadSettings();
    drainMessages();

    dialogs->filesToSave = {std::nullopt, scratch.file("from editor")};
    panel->exportNames(DawNames::Format::ins);
    drainMessages();
    EXPECT_EQ(scratch.fileCount(), 1) << "a cancelled export wrote something";
    panel->exportNames(DawNames::Format::ins);
    drainMessages();
    // The proposed name is the file's, in the format's extension.
    EXPECT_EQ(dialogs->startedAt.back().getFileName(), "Night Pads.ins");
    const auto fromEditor = scratch.file("from editor.ins");
    const auto fromTool = scratch.file("from tool.ins");
    ASSERT_EQ(QuilletCommands::run(
                  {"export", "--format=ins", in.getFullPathName(), fromTool.getFullPathName()}, out, err),
              0);
    juce::MemoryBlock a, b;
    ASSERT_TRUE(fromEditor.loadFileAsData(a) && fromTool.loadFileAsData(b));
    EXPECT_TRUE(a == b) << fromEditor.loadFileAsString();
}

#if JUCE_LINUX
TEST_F(PanelTest, InstallForArdourGoesToTheNewestArdourAndReplacesOnlyWhenTold)
{
    const auto config = scratch.file("config");
    const auto previous = juce::SystemStats::getEnvironmentVariable("XDG_CONFIG_HOME", {});
    setenv("XDG_CONFIG_HOME", config.getFullPathName().toRawUTF8(), 1);

    panel->installForArdour(); // no Ardour yet
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_TRUE(dialogs->shown[0].text.contains("No Ardour")) << dialogs->shown[0].text;

    for (const char* version : {"ardour6", "ardour10", "ardour9", "ardourx"})
        ASSERT_TRUE(config.getChildFile(version).createDirectory());
    panel->installForArdour();
    drainMessages();
    const auto installed = config.getChildFile("ardour10/patchfiles/Quillet 49.midnam");
    ASSERT_TRUE(installed.existsAsFile()) << panel->statusDisplay().getDetail();
    EXPECT_TRUE(panel->statusDisplay().getDetail().contains(installed.getFullPathName()));

    // There already: replaced only on Replace.
    ASSERT_TRUE(installed.replaceWithText("mine"));
    dialogs->yesNoAnswers = {false, true};
    panel->installForArdour();
    drainMessages();
    EXPECT_EQ(installed.loadFileAsString(), "mine");
    panel->installForArdour();
    drainMessages();
    EXPECT_TRUE(installed.loadFileAsString().contains("<MIDINameDocument>"));
    EXPECT_EQ(dialogs->questions.size(), 2);

    if (previous.isEmpty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", previous.toRawUTF8(), 1);
}
#endif

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

// A setup's title and tags go with its values: into a copy saved elsewhere, never from a file saved over.
TEST_F(PanelTest, SaveCarriesTheLoadedSetupsTitleAndTagsAndKeepsThoseChangedInTheLibrary)
{
    SetupInfo live;
    live.title = "Live set";
    live.tags = {"stage"};
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(loadedState(store().snapshot()), live),
                                 scratch.file("live.qmv49"))
                    .ok);
    SetupInfo other;
    other.title = "Somebody else's";
    ASSERT_TRUE(
        writeXmlDocument(*createSettingsXml(store().snapshot(), other), scratch.file("other.qmv49")).ok);
    const auto infoOf = [this](const char* name)
    {
        SettingsDocument doc;
        EXPECT_TRUE(readSettingsDocument(scratch.file(name), doc).ok);
        return doc.setup;
    };

    panel->loadSettingsFrom(scratch.file("live.qmv49"));
    store().setGlobal(globalSplitPoint, 50);
    dialogs->filesToSave = {scratch.file("copy.qmv49"), scratch.file("other.qmv49")};
    panel->saveSettings();
    panel->saveSettings();
    EXPECT_EQ(infoOf("copy.qmv49"), live);
    EXPECT_EQ(infoOf("other.qmv49"), live) << "a file saved over takes the saved setup's title, not its own";

    // The library changes the tags of the file the editor holds; saving over it keeps them.
    SetupInfo retagged = live;
    retagged.tags = {"stage", "encore"};
    auto root = juce::parseXML(scratch.file("other.qmv49"));
    ASSERT_NE(root, nullptr);
    retagged.writeInto(*root);
    ASSERT_TRUE(writeXmlDocument(*root, scratch.file("other.qmv49")).ok);
    store().setGlobal(globalSplitPoint, 51);
    dialogs->filesToSave = {scratch.file("other.qmv49")};
    panel->saveSettings();
    EXPECT_EQ(infoOf("other.qmv49"), retagged);
}
