#pragma once

#include "ComparisonWindow.h"
#include "EditorDialogs.h"
#include "LinkStatusText.h"
#include "device/KeyboardLink.h"
#include "model/EditHistory.h"

#include <mutex>
#include <optional>
#include <set>

/** Read from the Keyboard and the comparisons: the editor's configuration against the keyboard read
    afresh, a settings file or the last saved settings, shown in the comparison window, from which values
    are taken as one undoable step. A read never goes straight over edits not sent: with none, it refreshes
    the editor (one step); with some, the comparison is shown first. Also words whether the keyboard holds
    the editor's configuration, for the status display. Message thread, but for the read's end. */
class ComparisonCommands : private juce::AsyncUpdater, private juce::MouseListener
{
public:
    ComparisonCommands(KeyboardLink& link, EditHistory& history, EditorDialogs& dialogs);
    ~ComparisonCommands() override;

    /** Reads the keyboard afresh: refreshes the editor when nothing is unsent, else compares. */
    void readFromKeyboard();
    /** Reads the keyboard afresh and shows the comparison, whatever is unsent. */
    void compareWithKeyboard();
    /** Asks for a settings file and compares with what it defines. */
    void compareWithFile();
    void compareWithFile(const juce::File& file);
    void compareWithLastSaved();

    /** Adds reading and the three comparisons to a menu, enabled as they can be done now. */
    void addMenuItems(juce::PopupMenu& menu);
    /** Offers the commands in a menu when the status display is clicked while it offers nothing else. */
    void attachTo(juce::Component& statusDisplay);
    /** Adds the comparisons' facts to the link's: a read for one under way, the last one's time on this
        connection, whether the editor knows the keyboard's values, the keyboard's firmware version. */
    void addFacts(LinkFacts& facts);

    /** Called when the status display is to be worded anew. */
    std::function<void()> statusChanged;
    /** Called with the controls the comparison shown lists (none once it is closed), for the picture. */
    std::function<void(const std::set<int>&)> onComparedControls;
    /** Opens the library of setups, from the same menu. */
    std::function<void()> onLibrary;
    /** Opens the MIDI monitor, from the same menu. */
    std::function<void()> onMonitor;
    /** Shows the comparison instead of opening its window (for the tests: no display is needed). */
    std::function<void(ComparisonWindow&)> present;

    ComparisonWindow& getWindow() { return view; }
    bool isShowing() const { return showing; }

private:
    enum class After
    {
        refresh,
        compare
    };
    bool startRead(After after);
    void handleAsyncUpdate() override;
    void readEnded(const FreshRead::Result& result);
    void show(const ConfigComparison& comparison, const juce::String& otherName, const juce::String& heading);
    void take(const std::vector<size_t>& rows);
    void hide();
    void mouseUp(const juce::MouseEvent& e) override;
    void showMenu();
    /** Rings the listed controls that still differ. */
    void refreshRings();

    KeyboardLink& link;
    OrvManager49& manager;
    EditHistory& history;
    EditorDialogs& dialogs;

    std::mutex resultLock;
    std::optional<FreshRead::Result> readResult;

    // Message thread only.
    After afterRead = After::compare;
    bool readSinceFound = false, showing = false;
    // The keyboard's connection the status last showed, and the one a fresh read started on: a read tells of
    // its own connection only, also when the keyboard was pulled and found again between two looks.
    int connectionSeen = 0, readConnection = -1;
    juce::Time readAt; // the last complete fresh read
    juce::Component::SafePointer<juce::Component> display;
    ComparisonWindow view;
    std::unique_ptr<ComparisonDocumentWindow> window;
    Subscription freshReadEnded;
    std::optional<std::set<int>> ringed; // what the rings show, while the list is shown

    using WeakThis = juce::WeakReference<ComparisonCommands>;
    JUCE_DECLARE_WEAK_REFERENCEABLE(ComparisonCommands)
    JUCE_DECLARE_NON_COPYABLE(ComparisonCommands)
};
