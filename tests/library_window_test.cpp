// The library of setups in the editor: loading over unsent changes, load and send, the search and the tag
// chips, the selection through a refresh, and files that cannot be used.
#include "emulator/KeyboardEmulator.h"
#include "files/SyxImport.h"
#include "support/panel_test_support.h"
#include "ui/LibraryWindow.h"
#include "ui/SetupThumbnail.h"

namespace
{
/** A fresh editor's configuration with Pad #1 on channel 4 and the split point at C4 and a half. */
SettingsState padOnChannel4()
{
    KbdSettingsStore fresh;
    auto s = fresh.snapshot();
    s.set(itemFieldChannel, 0x70, 3);
    s.globals[globalSplitPoint] = 61;
    return s;
}

void putSetup(const juce::File& folder, const juce::String& fileName, const juce::String& title,
              const juce::String& tags, const SettingsState& state = KbdSettingsStore().snapshot())
{
    SetupInfo info;
    info.title = title;
    info.tags = SetupInfo::tagsFromText(tags);
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(state, info), folder.getChildFile(fileName)).ok);
}

void refreshed(LibraryCommands& library)
{
    library.refresh();
    ASSERT_TRUE(pumpUntil([&] { return !library.isRefreshing(); }));
}

juce::StringArray titlesShown(LibraryCommands& library)
{
    juce::StringArray titles;
    for (int row = 0; row < library.getNumShown(); ++row)
        titles.add(library.shownEntry(row)->displayTitle());
    return titles;
}
} // namespace

TEST_F(PanelTest, LoadingOverUnsentChangesAsksNoChangesNothingYesIsOneStepAndComesFirstNextTime)
{
    auto& library = panel->getLibrary();
    library.useFolder(scratch.folder);
    putSetup(scratch.folder, "a.qmv49", "Alpha", "");
    putSetup(scratch.folder, "b.qmv49", "Bravo", "", padOnChannel4());
    putSetup(scratch.folder, "c.qmv49", "Charlie", "");
    refreshed(library);
    library.setFavourite("c.qmv49", true);
    ASSERT_EQ(titlesShown(library), juce::StringArray({"Charlie", "Alpha", "Bravo"}));

    pick(panel->knobModeBox(), 1); // an edit the keyboard does not have
    const auto edited = store().snapshot();
    ASSERT_FALSE(panel->unsentValues().empty());

    // "Cancel": nothing loaded, nothing sent (there is no keyboard: a send would have said so).
    dialogs->yesNoAnswers = {false};
    library.load("b.qmv49", true);
    EXPECT_EQ(dialogs->questions.size(), 1);
    EXPECT_EQ(store().snapshot(), edited);
    EXPECT_TRUE(dialogs->shown.empty());
    EXPECT_EQ(library.getLibrary().marks().lastUsed("b.qmv49"), 0);

    dialogs->yesNoAnswers = {true};
    library.load("b.qmv49");
    EXPECT_TRUE(dialogs->questions[1].contains("Bravo")) << dialogs->questions[1];
    EXPECT_EQ(store().snapshot().get(itemFieldChannel, 0x70), 3);
    EXPECT_EQ(store().snapshot().globals[globalSplitPoint], 61);
    EXPECT_EQ(panel->knobModeBox().getText(), "Absolute");
    EXPECT_FALSE(panel->hasUnsavedChanges());
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Charlie", "Bravo", "Alpha"}));

    ASSERT_TRUE(panel->undo());
    EXPECT_EQ(store().snapshot(), edited) << "the load was not one step";
}

TEST_F(PanelTest, SearchNarrowsTheListATagNarrowsItFurtherAndTheSelectionFollowsItsFile)
{
    auto& library = panel->getLibrary();
    library.useFolder(scratch.folder);
    putSetup(scratch.folder, "1.qmv49", "Ableton Live", "daw, live");
    putSetup(scratch.folder, "2.qmv49", "Bitwig Session", "daw");
    putSetup(scratch.folder, "3.qmv49", "Live Piano", "stage");
    putSetup(scratch.folder, "4.qmv49", "Organ", "stage");
    LibraryWindow view(library);
    refreshed(library);
    EXPECT_EQ(view.listBox().getModel()->getNumRows(), 4);

    view.searchBox().setText("LIVE", true);
    drainMessages();
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Ableton Live", "Live Piano"}));
    ASSERT_NE(view.tagChip("daw"), nullptr);
    view.tagChip("daw")->triggerClick();
    drainMessages();
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Ableton Live"}));
    view.tagChip("daw")->triggerClick(); // the tag again: all of them
    drainMessages();
    ASSERT_EQ(view.listBox().getModel()->getNumRows(), 2);

    // A setup that sorts before the selected one arrives on disk: the same setup stays selected.
    view.listBox().selectRow(1);
    ASSERT_EQ(library.selected, "3.qmv49");
    putSetup(scratch.folder, "0.qmv49", "Aaa Live", "");
    refreshed(library);
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Aaa Live", "Ableton Live", "Live Piano"}));
    EXPECT_EQ(view.listBox().getSelectedRow(), 2);
}

TEST_F(PanelTest, AnUnusableFileIsListedWithItsReasonAndRefusedFilesAreReportedTogether)
{
    auto& library = panel->getLibrary();
    // The files to add lie outside the library's folder.
    const auto folder = scratch.file("library");
    ASSERT_TRUE(folder.createDirectory());
    library.useFolder(folder);
    putSetup(folder, "good.qmv49", "Good", "");
    ASSERT_TRUE(folder.getChildFile("broken.qmv49").replaceWithText("<Settings><Items>"));
    const auto syx = SyxImport::streamOf(padOnChannel4());
    ASSERT_TRUE(scratch.file("sent.syx").replaceWithData(syx.getData(), syx.getSize()));
    ASSERT_TRUE(scratch.file("cut.syx").replaceWithData(syx.getData(), syx.getSize() / 2));
    ASSERT_TRUE(scratch.file("notes.txt").replaceWithText("not a setup"));

    library.addFiles({scratch.file("sent.syx"), scratch.file("cut.syx"), scratch.file("notes.txt")});
    ASSERT_EQ(dialogs->shown.size(), 1u);
    const auto& report = dialogs->shown[0].text;
    EXPECT_TRUE(report.contains("cut.syx") && report.contains("notes.txt")) << report;
    EXPECT_FALSE(report.contains("sent.syx")) << report;

    refreshed(library);
    const auto titles = titlesShown(library);
    ASSERT_EQ(titles.size(), 3) << titles.joinIntoString(", ");
    const auto* broken = library.shownEntry(library.rowOf("broken.qmv49"));
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->problem.isEmpty());
    EXPECT_TRUE(library.shownEntry(library.rowOf("good.qmv49"))->isUsable());
    EXPECT_EQ(library.shownEntry(library.rowOf("sent.qmv49"))->differing[0x70], true);

    // Loading it says why and changes nothing.
    const auto before = store().snapshot();
    library.load("broken.qmv49");
    ASSERT_EQ(dialogs->shown.size(), 2u);
    EXPECT_TRUE(dialogs->shown[1].text.contains(broken->problem)) << dialogs->shown[1].text;
    EXPECT_EQ(store().snapshot(), before);
}

TEST(LibraryWithKeyboard, CtrlReturnLoadsTheSetupThenSendsIt)
{
    VirtualMidiPorts ports;
    KeyboardEmulator kbd{ports};
    ScratchFolder scratch;
    auto d = std::make_unique<ScriptedDialogs>();
    auto* dialogs = d.get();
    KbdSettingComponent49 panel(ports, std::move(d));
    ASSERT_TRUE(
        pumpUntil([&] { return panel.getLink().getReadOut().stepsDone() == ReadOutChain::numSteps(); }));
    drainMessages();
    pick(panel.knobModeBox(), 1);

    auto& library = panel.getLibrary();
    library.useFolder(scratch.folder);
    putSetup(scratch.folder, "b.qmv49", "Bravo", "", padOnChannel4());
    LibraryWindow view(library);
    refreshed(library);
    view.listBox().selectRow(0);
    dialogs->yesNoAnswers = {true};
    EXPECT_TRUE(
        view.keyPressed(juce::KeyPress(juce::KeyPress::returnKey, juce::ModifierKeys::commandModifier, 0)));
    ASSERT_TRUE(pumpUntil(
        [&] { return !panel.getLink().getSender().isRunning() && panel.unsentValues().empty(); }, 30000));
    const auto held = kbd.getConfiguration();
    EXPECT_EQ(held.get(itemFieldChannel, 0x70), 3);
    EXPECT_EQ(held.globals[globalSplitPoint], 61);
    EXPECT_GT(library.getLibrary().marks().lastUsed("b.qmv49"), 0);
    drainMessages();
    // Counted as the user counts the controls, the picture's, as 'quillet check' does.
    EXPECT_TRUE(panel.statusDisplay().getTooltip().contains(
        juce::String((int)ControlCatalogue::pictureControls().size()) + " controls"))
        << panel.statusDisplay().getTooltip();

    // A setup damaged after the list was read: nothing is loaded, nothing sent, nothing marked used.
    auto other = padOnChannel4();
    other.set(itemFieldChannel, 0x70, 9);
    putSetup(scratch.folder, "c.qmv49", "Charlie", "", other);
    refreshed(library);
    ASSERT_TRUE(scratch.file("c.qmv49").replaceWithText("<Settings><Items>"));
    view.listBox().selectRow(library.rowOf("c.qmv49"));
    const auto shownBefore = dialogs->shown.size();
    EXPECT_TRUE(
        view.keyPressed(juce::KeyPress(juce::KeyPress::returnKey, juce::ModifierKeys::commandModifier, 0)));
    ASSERT_TRUE(pumpUntil([&] { return dialogs->shown.size() > shownBefore; }));
    drainMessages();
    EXPECT_FALSE(panel.getLink().getSender().isRunning());
    EXPECT_EQ(kbd.getConfiguration(), held) << "the keyboard keeps what it had";
    EXPECT_EQ(library.getLibrary().marks().lastUsed("c.qmv49"), 0);
}

TEST_F(PanelTest, SavedToTheLibraryTheEditorCountsAsSavedAndTheSetupStaysSelectedThroughARename)
{
    auto& library = panel->getLibrary();
    library.useFolder(scratch.folder);
    putSetup(scratch.folder, "other.qmv49", "Another", "");
    pick(panel->splitPointBox(), 50);
    ASSERT_TRUE(panel->hasUnsavedChanges());

    library.saveCurrent("  Evening Set ");
    refreshed(library);
    EXPECT_FALSE(panel->hasUnsavedChanges());
    const auto* saved = library.shownEntry(library.rowOf(library.selected));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->displayTitle(), "Evening Set");
    KbdSettingsStore reread;
    ASSERT_TRUE(readSettingsFile(reread, scratch.folder.getChildFile(saved->fileName)).ok);
    EXPECT_EQ(reread.snapshot().globals[globalSplitPoint], store().snapshot().globals[globalSplitPoint]);

    library.rename(saved->fileName, "Late Set");
    refreshed(library);
    const auto* renamed = library.shownEntry(library.rowOf(library.selected));
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->displayTitle(), "Late Set");
    EXPECT_EQ(library.getNumShown(), 2);
}

TEST_F(PanelTest, DeleteAnsweredCancelKeepsTheSetup)
{
    auto& library = panel->getLibrary();
    library.useFolder(scratch.folder);
    putSetup(scratch.folder, "a.qmv49", "Alpha", "");
    refreshed(library);
    dialogs->yesNoAnswers = {false};
    library.remove("a.qmv49");
    drainMessages();
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_TRUE(dialogs->questions[0].contains("Alpha")) << dialogs->questions[0];
    EXPECT_TRUE(scratch.file("a.qmv49").existsAsFile());
    refreshed(library);
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Alpha"}));
}

TEST_F(PanelTest, ATagNoSetupCarriesAnyMoreStopsNarrowingTheList)
{
    auto& library = panel->getLibrary();
    library.useFolder(scratch.folder);
    putSetup(scratch.folder, "a.qmv49", "Alpha", "daw");
    putSetup(scratch.folder, "b.qmv49", "Bravo", "stage");
    LibraryWindow view(library);
    refreshed(library);
    view.tagChip("daw")->triggerClick();
    drainMessages();
    ASSERT_EQ(titlesShown(library), juce::StringArray({"Alpha"}));

    SetupInfo retagged;
    retagged.title = "Alpha";
    retagged.tags = {"synth"};
    library.setInfo("a.qmv49", retagged);
    refreshed(library);
    EXPECT_EQ(view.tagChip("daw"), nullptr);
    EXPECT_NE(view.tagChip("synth"), nullptr);
    EXPECT_TRUE(view.tagChip("")->getToggleState());
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Alpha", "Bravo"}));
}

TEST_F(PanelTest, ADamagedIndexIsToldOnceInTheStatusLineAndManyTagsKeepTheChipsFew)
{
    auto& library = panel->getLibrary();
    library.useFolder(scratch.folder);
    // One tag on every setup, and sixty that one setup each carries.
    for (int i = 0; i < 60; ++i)
        putSetup(scratch.folder, "s" + juce::String(i) + ".qmv49", "Setup " + juce::String(i),
                 "common, only" + juce::String(i));
    ASSERT_TRUE(scratch.file(SetupLibrary::indexFileName).replaceWithText("quillet-library-index-3"));
    LibraryWindow view(library);
    refreshed(library);
    const auto first = library.describe();
    EXPECT_TRUE(first.startsWith("60 setups")) << first;
    EXPECT_EQ(first.indexOf("set aside"), first.lastIndexOf("set aside")) << first;
    EXPECT_GT(first.indexOf("set aside"), 0) << first;
    refreshed(library); // the index is whole again; what was said stays said, once
    EXPECT_EQ(library.describe(), first);

    EXPECT_NE(view.tagChip("common"), nullptr);
    int chips = 0;
    for (int i = 0; i < 60; ++i)
        chips += view.tagChip("only" + juce::String(i)) != nullptr ? 1 : 0;
    EXPECT_GT(chips, 0);
    EXPECT_LT(chips, 60) << "a row of sixty chips is no row one can read";
    // A tag without a chip is still found by the search, and then keeps a chip while it is shown.
    library.setQuery({"only59", {}, false});
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Setup 59"}));
    library.setQuery({{}, "only59", false});
    drainMessages();
    EXPECT_EQ(titlesShown(library), juce::StringArray({"Setup 59"}));
    ASSERT_NE(view.tagChip("only59"), nullptr);
    EXPECT_TRUE(view.tagChip("only59")->getToggleState());
}

TEST(SetupThumbnail, FillsTheChangedControlsWhereThePictureHasThem)
{
    // The picker's buttons lie where the keyboard picture has the controls.
    QMV49CtrlPickerComponent picker;
    juce::Image image(juce::Image::RGB, picker.getWidth() / 2, picker.getHeight() / 2, true);
    std::bitset<128> changed;
    changed.set(0x70).set(0x0B);
    {
        juce::Graphics g(image);
        SetupThumbnail::paint(g, image.getBounds().toFloat(), changed, false);
    }
    const auto at = [&](int id)
    {
        const auto centre = picker.findButtonFor(id)->getBounds().getCentre();
        return image.getPixelAt(centre.x * image.getWidth() / picker.getWidth(),
                                centre.y * image.getHeight() / picker.getHeight());
    };
    const auto marked = [](juce::Colour c)
    {
        return c.getRed() > 180 && c.getBlue() < 120;
    };
    EXPECT_TRUE(marked(at(0x70))) << at(0x70).toDisplayString(false);
    EXPECT_TRUE(marked(at(0x0B))) << at(0x0B).toDisplayString(false);
    EXPECT_FALSE(marked(at(0x71))) << at(0x71).toDisplayString(false);
    EXPECT_FALSE(marked(at(0x0C))) << at(0x0C).toDisplayString(false);
}
