#pragma once

#include "device/VirtualMidiPorts.h"
#include "ui/KbdSettingComponent49.h"
#include "ui_test_support.h"

// The settings panel without a keyboard, for the panel's tests and those of its file commands.

inline const char* const keyboardProblem = "Keyboard Problem";

/** The keyboard-wide boxes: knob, fader, split mode, split point, lower and upper channel. */
inline juce::StringArray globalsShown(KbdSettingComponent49& p)
{
    return {p.knobModeBox().getText(),   p.faderModeBox().getText(),    p.splitModeBox().getText(),
            p.splitPointBox().getText(), p.lowerChannelBox().getText(), p.upperChannelBox().getText()};
}

/** The selected control's boxes: mode, channel, number, min, max. */
inline juce::StringArray controlShown(KbdSettingComponent49& p)
{
    return {p.modeBox().getText(), p.channelBox().getText(), p.numberBox().getText(), p.minBox().getText(),
            p.maxBox().getText()};
}

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
