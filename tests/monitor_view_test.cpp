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
    auto view = std::make_unique<MonitorView>(tap, store);
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
