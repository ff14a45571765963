#pragma once

#include "DawMapsView.h"
#include "EditorDialogs.h"
#include "FileCommands.h"
#include "files/EditorPreferences.h"

/** The DAW Control Maps command: the window with the setup's roles, exporting a DAW's map where the user
    chooses and installing it where the DAW reads it. The maps installed are remembered; after a Send that
    changed what a control with a role sends, the editor offers to install them again, so the DAW and the
    keyboard never disagree silently. */
class DawMapsCommands
{
public:
    DawMapsCommands(const KbdSettingsStore& store, FileCommands& files, EditorDialogs& dialogs);

    void open();
    void close()
    {
        window = nullptr;
        detached = nullptr;
    }
    /** The maps' view while it is open. */
    DawMapsView* view() { return window != nullptr ? &window->view() : detached.get(); }
    /** Opens the view without a window of its own (for the tests: no display is needed). */
    bool withoutWindow = false;

    /** Asks where, then writes the DAW's map of the setup (Live's in a folder named for the setup). */
    void exportMap(DawMaps::Daw daw);
    /** Writes the DAW's map where it reads it, remembers that, and says what came of it. */
    void install(DawMaps::Daw daw);
    /** A Send was verified: the maps installed before for this setup that no longer say what the keyboard
        sends are offered to be installed again. */
    void sendVerified();

    /** Told what a command did, for the status display. */
    std::function<void(const juce::String&)> tell;
    /** The controls selected in the picture, selected in the list when the window opens. */
    std::function<std::vector<int>()> selectedControls;
    /** Where the installed maps are remembered. */
    juce::File preferencesFile = EditorPreferences::defaultFile();

private:
    DawMaps maps() const;
    void said(const juce::String& text);

    const KbdSettingsStore& store;
    FileCommands& files;
    EditorDialogs& dialogs;
    std::unique_ptr<DawMapsWindow> window;
    std::unique_ptr<DawMapsView> detached;

    using WeakThis = juce::WeakReference<DawMapsCommands>;
    JUCE_DECLARE_WEAK_REFERENCEABLE(DawMapsCommands)
    JUCE_DECLARE_NON_COPYABLE(DawMapsCommands)
};
