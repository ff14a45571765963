// The monitor in the editor: the lines of the messages the link hands it, clock hidden until asked for, the
// view held while paused with nothing lost, a clicked line selecting its control, and the link's tap
// detached when the monitor goes.
#include "support/ui_test_support.h"
#include "ui/MonitorView.h"

TEST(MonitorView, ShowsTheLinksMessagesNamedAndKeepsWhatCameWhilePaused)
{
    KbdSettingsStore store;
    store.modify([](SettingsState& s)
                 { s.resetItemsToDefaults(); }); // Filter Cutoff: controller 74, channel 1
    MonitorTap tap;
    ScriptedDialogs dialogs;
    SaveFolder saves{dialogs};
    auto view = std::make_unique<MonitorView>(tap, store, saves);
    EXPECT_TRUE(tap.isOn());
    std::vector<int> selected;
    view->onSelectControl = [&](int id)
    {
        selected.push_back(id);
    };

    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::controllerEvent(1, 74, 63));
    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::midiClock());
    tap.record(MonitorDirection::toKeyboard, juce::MidiMessage::controllerEvent(16, 74, 1));
    view->refresh();
    ASSERT_EQ(view->shownLines(), 2) << "the clock is hidden";
    EXPECT_TRUE(view->lineText(0).contains("Filter Cutoff")) << view->lineText(0);
    EXPECT_TRUE(view->lineText(0).contains("B0 4A 3F")) << view->lineText(0);
    EXPECT_TRUE(view->lineText(1).contains("channel 16")) << view->lineText(1);
    view->showTiming(true);
    EXPECT_EQ(view->shownLines(), 3);
    view->showTiming(false);

    // A click on a line with a control selects it; on one without, nothing.
    view->clickLine(1);
    view->clickLine(0);
    EXPECT_EQ(selected, std::vector<int>{1});

    view->setPaused(true);
    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::noteOn(10, 36, (juce::uint8)90));
    view->refresh();
    EXPECT_EQ(view->shownLines(), 2) << "a paused view holds";
    view->setPaused(false);
    EXPECT_EQ(view->shownLines(), 3) << "what came while paused is kept";
    EXPECT_EQ(juce::StringArray::fromLines(view->copyText()).size(), 3);

    // A configuration changed since names the lines from then on.
    store.modify([](SettingsState& s) { s.names[1] = "Cutoff"; });
    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::controllerEvent(1, 74, 64));
    view->refresh();
    EXPECT_TRUE(view->lineText(3).contains("Cutoff")) << view->lineText(3);

    view->clear();
    EXPECT_EQ(view->shownLines(), 0);
    view = nullptr;
    EXPECT_FALSE(tap.isOn()) << "a monitor gone still listened";
    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::controllerEvent(1, 74, 1)); // goes nowhere
}

TEST(MonitorView, FiltersFollowThePicturesSelectionAndSaveKeepsWhatWasThereWhenAsked)
{
    KbdSettingsStore store;
    store.modify([](SettingsState& s) { s.resetItemsToDefaults(); });
    MonitorTap tap;
    tap.setPorts("Keys In", "Keys Out");
    ScriptedDialogs dialogs;
    SaveFolder saves{dialogs};
    MonitorView view(tap, store, saves);
    std::vector<int> selection;
    view.selectedControls = [&]
    {
        return selection;
    };
    const int cutoff = 0x01; // sends controller 74 on channel 1 in the factory setup
    const juce::uint8 identity[] = {0x7E, 0x7F, 0x06, 0x01};
    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::controllerEvent(1, 74, 63));
    tap.record(MonitorDirection::toKeyboard, juce::MidiMessage::createSysExMessage(identity, 4));
    tap.record(MonitorDirection::fromKeyboard, juce::MidiMessage::noteOn(3, 60, (juce::uint8)100));
    view.refresh();
    ASSERT_EQ(view.shownLines(), 3);
    EXPECT_TRUE(view.lineText(0).contains("Keys In")) << view.lineText(0);
    EXPECT_TRUE(view.lineText(1).contains("Keys Out")) << view.lineText(1);

    auto filter = view.filters().filter();
    filter.show(MonitorDirection::toKeyboard, false);
    view.filters().setFilter(filter);
    view.filters().onChange();
    EXPECT_EQ(view.shownLines(), 2) << "what went to the keyboard hidden";

    // Only the selected controls, following the picture as it changes; nothing selected shows nothing.
    view.filters().setOnlySelected(true);
    view.filters().onChange();
    EXPECT_EQ(view.shownLines(), 0);
    selection = {cutoff};
    view.refresh();
    ASSERT_EQ(view.shownLines(), 1);
    EXPECT_TRUE(view.lineText(0).contains("B0 4A 3F"));
    view.filters().setOnlySelected(false);
    view.filters().setFilter(MonitorFilter());
    view.filters().onChange();
    EXPECT_EQ(view.shownLines(), 3) << "every filter undone";

    // Save: cancelled writes nothing; the SysEx kept when Save was chosen goes to a .syx byte for byte,
    // even when more came while the box was open; a folder that refuses the file says so.
    juce::TemporaryFile temp(".syx");
    dialogs.filesToSave.push_back(std::nullopt);
    view.save();
    EXPECT_FALSE(temp.getFile().exists());
    dialogs.holdFileToSave = true;
    view.save();
    ASSERT_TRUE(dialogs.heldFileToSave != nullptr);
    tap.record(MonitorDirection::toKeyboard, juce::MidiMessage::createSysExMessage(identity, 3));
    view.refresh();
    dialogs.heldFileToSave(temp.getFile());
    juce::MemoryBlock written;
    ASSERT_TRUE(temp.getFile().loadFileAsData(written));
    const juce::uint8 expected[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_EQ(written, juce::MemoryBlock(expected, sizeof(expected)));

    dialogs.holdFileToSave = false;
    const auto refused = temp.getFile().getChildFile("monitor.txt"); // inside a file: no folder
    dialogs.filesToSave.push_back(refused);
    view.save();
    EXPECT_FALSE(refused.exists());
    view.refresh();
    EXPECT_TRUE(view.statusText().contains("Not saved")) << "said, and still said a moment later";
}
