// The DAW Control Maps window: roles given to several controls at once, kept with the setup through a save
// and asked about on closing; and a map installed for the DAW offered again, after a verified Send, only
// when what it says no longer matches what the keyboard sends.
#include "emulator/KeyboardEmulator.h"
#include "files/SettingsFile.h"
#include "support/ui_test_support.h"
#include "ui/KbdSettingComponent49.h"

namespace
{
class DawMapsWindowTest : public ::testing::Test
{
protected:
    DawMapsWindowTest()
    {
        kbd.setConfiguration(KeyboardEmulator::factoryConfiguration());
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        panel = std::make_unique<KbdSettingComponent49>(ports, std::move(d));
        pumpUntil([this] { return panel->statusDisplay().getDetail().startsWith("Read from"); });
        drainMessages();
        dialogs->shown.clear();
        panel->getDawMaps().preferencesFile = scratch.file("preferences.xml");
        panel->getDawMaps().withoutWindow = true;
    }

    int rowOf(DawMapsView& view, const juce::String& control)
    {
        for (int row = 0; row < view.rows(); ++row)
            if (view.cellText(row, 1) == control)
                return row;
        return -1;
    }

    VirtualMidiPorts ports;
    KeyboardEmulator kbd{ports};
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<KbdSettingComponent49> panel;
    ScratchFolder scratch;
};
} // namespace

TEST_F(DawMapsWindowTest, RolesGivenToSeveralControlsAreNumberedInOrderAndKeptWithTheSetup)
{
    auto& maps = panel->getDawMaps();
    maps.open();
    auto* view = maps.view();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->rows(), 53);
    // The factory setup: Filter Cutoff sends controller 74 on channel 1; an edit while the window is open
    // shows there.
    EXPECT_EQ(view->cellText(rowOf(*view, "Filter Cutoff"), 2), "CC 74 on 1");
    panel->getManager().setItemField(itemFieldChannel, 0x01, 9);
    EXPECT_TRUE(pumpUntil([&] { return view->cellText(rowOf(*view, "Filter Cutoff"), 2) == "CC 74 on 10"; }));
    panel->getManager().setItemField(itemFieldChannel, 0x01, 0); // as the keyboard holds it
    EXPECT_TRUE(pumpUntil([&] { return view->cellText(rowOf(*view, "Filter Cutoff"), 2) == "CC 74 on 1"; }));

    // Three pads made mutes 4, 5 and 6, in the list's order whatever order they were chosen in.
    view->select({0x72, 0x70, 0x71});
    view->assignToSelected(ControlRole::Action::mute, 4);
    EXPECT_EQ(view->cellText(rowOf(*view, "Pad #1"), 3), "Mute 4");
    EXPECT_EQ(view->cellText(rowOf(*view, "Pad #3"), 3), "Mute 6");
    EXPECT_EQ(view->cellText(rowOf(*view, "Pad #4"), 3), "") << "not chosen";

    // Not saved yet: closing asks; a save writes the roles, and a load brings them back.
    bool closes = false;
    dialogs->closeAnswer = EditorDialogs::CloseChoice::cancel;
    panel->confirmClose([&] { closes = true; });
    EXPECT_FALSE(closes) << "roles not saved were given up without a question";
    const auto file = scratch.file("roles.qmv49");
    dialogs->filesToSave = {file};
    panel->saveSettings();
    SettingsDocument doc;
    ASSERT_TRUE(readSettingsDocument(file, doc).ok);
    ASSERT_TRUE(doc.setup.roles.has_value());
    EXPECT_EQ(doc.setup.roles->of(0x71).name(), "Mute 5");
    panel->confirmClose([&] { closes = true; });
    EXPECT_TRUE(closes);

    view->resetToDefaults();
    EXPECT_EQ(view->cellText(rowOf(*view, "Pad #2"), 3), "");
    panel->loadSettingsFrom(file);
    maps.close();
    maps.open();
    EXPECT_EQ(maps.view()->cellText(rowOf(*maps.view(), "Pad #2"), 3), "Mute 5") << "the loaded file's roles";
}

TEST_F(DawMapsWindowTest, AnExportReopensTheFolderLastChosenAndProposesLivesFolderBesideIt)
{
    auto& maps = panel->getDawMaps();
    const auto folder = scratch.file("maps");
    ASSERT_TRUE(folder.createDirectory());
    dialogs->filesToSave = {folder.getChildFile("mine.map")};
    maps.exportMap(DawMaps::Daw::ardour);
    ASSERT_TRUE(folder.getChildFile("mine.map").existsAsFile()) << panel->statusDisplay().getDetail();

    // Live's map in a folder of its own, made there and taken as proposed.
    dialogs->holdFileToSave = true;
    maps.exportMap(DawMaps::Daw::ableton);
    ASSERT_TRUE(dialogs->heldFileToSave != nullptr);
    const auto live = dialogs->startedAt.back();
    EXPECT_EQ(live.getParentDirectory().getParentDirectory(), folder) << live.getFullPathName();
    std::exchange(dialogs->heldFileToSave, nullptr)(live);
    EXPECT_TRUE(live.existsAsFile()) << panel->statusDisplay().getDetail();
    dialogs->holdFileToSave = false;

    // The next map beside Live's folder, not inside it; a chart, saved for other programs too, there as well.
    dialogs->filesToSave = {std::nullopt, std::nullopt};
    maps.exportMap(DawMaps::Daw::realearn);
    panel->writeChart();
    ASSERT_GE(dialogs->startedAt.size(), 2u);
    EXPECT_EQ(dialogs->startedAt.end()[-2].getParentDirectory(), folder);
    EXPECT_EQ(dialogs->startedAt.back().getParentDirectory(), folder);
}

#if JUCE_LINUX
TEST_F(DawMapsWindowTest, AnInstalledMapIsOfferedAgainOnlyWhenASendChangedWhatItSays)
{
    const auto config = scratch.file("config");
    ASSERT_TRUE(config.getChildFile("ardour8").createDirectory());
    const auto previous = juce::SystemStats::getEnvironmentVariable("XDG_CONFIG_HOME", {});
    setenv("XDG_CONFIG_HOME", config.getFullPathName().toRawUTF8(), 1);

    auto& maps = panel->getDawMaps();
    maps.install(DawMaps::Daw::ardour);
    const auto installed =
        config.getChildFile("ardour8/midi_maps").findChildFiles(juce::File::findFiles, false);
    ASSERT_EQ(installed.size(), 1) << panel->statusDisplay().getDetail();
    const auto before = installed[0].loadFileAsString();
    EXPECT_TRUE(before.contains("ctl=\"74\"")) << "Filter Cutoff, a device parameter by default";

    // A Send that changes nothing the map says: no question.
    const auto sent = [this]
    {
        panel->sendToKeyboard();
        ASSERT_TRUE(pumpUntil([this] { return panel->statusDisplay().getHeadline() == "Verified"; }));
        drainMessages();
    };
    sent();
    EXPECT_TRUE(dialogs->questions.isEmpty());

    // Filter Cutoff now sends controller 20: asked; Not Now leaves the file, Install Again rewrites it.
    panel->getManager().setItemField(itemFieldNumber, 0x01, 20);
    dialogs->yesNoAnswers = {false};
    sent();
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_EQ(installed[0].loadFileAsString(), before);
    dialogs->yesNoAnswers = {true};
    sent();
    ASSERT_EQ(dialogs->questions.size(), 2);
    EXPECT_TRUE(installed[0].loadFileAsString().contains("ctl=\"20\""));
    sent();
    EXPECT_EQ(dialogs->questions.size(), 2) << "asked again once the map was right";

    previous.isEmpty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", previous.toRawUTF8(), 1);
}
#endif
