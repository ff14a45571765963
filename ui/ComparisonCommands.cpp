#include "ComparisonCommands.h"

#include "EditorCommands.h"
#include "LinkStatusDisplay.h"
#include "files/SettingsFile.h"

namespace
{
const char* const problemTitle = "Keyboard Problem";
const char* const keyboardName = "the keyboard";

} // namespace

ComparisonCommands::ComparisonCommands(KeyboardLink& l, EditHistory& h, EditorDialogs& d)
    : link(l), manager(l.getManager()), history(h), dialogs(d)
{
    freshReadEnded = link.getFreshRead().onFinished(
        [this](const FreshRead::Result& result)
        {
            {
                std::lock_guard<std::mutex> g(resultLock);
                readResult = result;
            }
            triggerAsyncUpdate();
        });
    view.onApply = [this](const std::vector<size_t>& rows)
    {
        take(rows);
    };
    view.onClose = [this]
    {
        hide();
    };
}

ComparisonCommands::~ComparisonCommands()
{
    freshReadEnded.reset(); // waits for a report in progress
    cancelPendingUpdate();
    if (display != nullptr)
        display->removeMouseListener(this);
    window.reset();
}

//==============================================================================
void ComparisonCommands::readFromKeyboard()
{
    startRead(After::refresh);
}

void ComparisonCommands::compareWithKeyboard()
{
    startRead(After::compare);
}

bool ComparisonCommands::startRead(After after)
{
    if (!manager.isKeyboardFound())
    {
        dialogs.showMessage(problemTitle, "The keyboard has not been detected, so it can't be read.");
        return false;
    }
    if (link.getFreshRead().isRunning())
        return false; // the status display shows the read in progress
    afterRead = after;
    readConnection = connectionSeen;
    // Never interleaved with a send or the start-up read-out: both need the keyboard's answers.
    if (!link.getFreshRead().start())
    {
        dialogs.showMessage(problemTitle, "The keyboard is busy sending or being read. Please try again when "
                                          "it has finished.");
        return false;
    }
    if (statusChanged)
        statusChanged();
    return true;
}

void ComparisonCommands::handleAsyncUpdate()
{
    std::optional<FreshRead::Result> result;
    {
        std::lock_guard<std::mutex> g(resultLock);
        result.swap(readResult);
    }
    if (result)
        readEnded(*result);
    if (statusChanged)
        statusChanged();
}

void ComparisonCommands::readEnded(const FreshRead::Result& result)
{
    if (result.lost)
    {
        dialogs.showMessage(problemTitle,
                            "The keyboard was disconnected while its settings were being read. " +
                                juce::String(keyboardUnpluggedText));
        return;
    }
    const auto editor = manager.snapshot();
    const auto comparison = ConfigComparison::between(editor, result.keyboard);
    const auto when = juce::Time::getCurrentTime().formatted("%H:%M");
    if (!result.complete)
    {
        // What did come is shown; what did not is listed as unknown, never as equal.
        show(comparison, keyboardName,
             "The keyboard stopped answering after " + juce::String(result.answers) + " of " +
                 juce::String(ReadOutChain::numSteps()) + " answers: not all read");
        return;
    }
    const bool nothingUnsent = history.unsentValues().empty();
    readSinceFound = readConnection == connectionSeen;
    readAt = juce::Time::getCurrentTime();
    if (afterRead == After::refresh && nothingUnsent)
    {
        // Nothing of the user's is at stake: the editor simply shows what the keyboard holds, as one step.
        std::vector<size_t> all(comparison.rows().size());
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        if (!comparison.identical())
            history.applyUserChange([&](SettingsState& s) { comparison.takeTheirs(s, all); });
        history.keyboardRead(result.keyboard);
        return;
    }
    history.keyboardRead(result.keyboard);
    show(comparison, keyboardName, "The editor compared with the keyboard, read at " + when);
}

void ComparisonCommands::compareWithFile()
{
    dialogs.chooseFileToOpen("Compare with a Settings File",
                             juce::File::getSpecialLocation(juce::File::userDocumentsDirectory), "*.qmv49",
                             [self = WeakThis(this)](std::optional<juce::File> file)
                             {
                                 if (self != nullptr && file)
                                     self->compareWithFile(*file);
                             });
}

void ComparisonCommands::compareWithFile(const juce::File& file)
{
    SettingsDocument doc;
    const auto read = readSettingsDocument(file, doc);
    if (!read.ok)
    {
        dialogs.showMessage("File Problem", "The settings file " + file.getFileName() +
                                                " could not be read: " + read.message);
        return;
    }
    // What the file defines, and nothing more: a value it leaves out is not made up.
    auto defined = ConfigComparison::unknownState();
    doc.applyTo(defined);
    show(ConfigComparison::between(manager.snapshot(), defined, "unknown", "not defined"), file.getFileName(),
         "The editor compared with " + file.getFileName());
}

void ComparisonCommands::compareWithLastSaved()
{
    show(ConfigComparison::between(manager.snapshot(), history.lastSaved()), "last saved",
         "The editor compared with the settings last saved or loaded");
}

//==============================================================================
void ComparisonCommands::show(const ConfigComparison& comparison, const juce::String& otherName,
                              const juce::String& heading)
{
    const auto editor = manager.snapshot(); // the numbers' meanings follow each side's mode and channel
    view.show(comparison, otherName, heading, &editor);
    showing = true;
    ringed.reset();
    refreshRings();
    if (present)
        return present(view);
    if (window == nullptr)
        window = std::make_unique<ComparisonDocumentWindow>(view);
    window->setVisible(true);
    window->toFront(true);
}

void ComparisonCommands::take(const std::vector<size_t>& rows)
{
    // The list is done with before the step is applied: the step's display must not find it half updated.
    const auto comparison = view.getComparison();
    hide();
    if (!rows.empty())
        history.applyUserChange([&](SettingsState& s) { comparison.takeTheirs(s, rows); });
    if (statusChanged)
        statusChanged();
}

void ComparisonCommands::hide()
{
    showing = false;
    ringed = std::set<int>();
    if (onComparedControls)
        onComparedControls({});
    if (window != nullptr)
        window->setVisible(false);
}

//==============================================================================
void ComparisonCommands::attachTo(juce::Component& statusDisplay)
{
    display = &statusDisplay;
    statusDisplay.addMouseListener(this, false);
}

void ComparisonCommands::mouseUp(const juce::MouseEvent& e)
{
    auto* statusDisplay = dynamic_cast<LinkStatusDisplay*>(display.getComponent());
    const bool offersSearch = statusDisplay != nullptr && statusDisplay->isClickable();
    // A right-click is the display's own; a plain click while it offers nothing opens these commands.
    if (!e.mods.isPopupMenu() && !offersSearch && e.eventComponent == display.getComponent() &&
        display->getLocalBounds().contains(e.getPosition()))
        showMenu();
}

void ComparisonCommands::addMenuItems(juce::PopupMenu& menu)
{
    const bool found = manager.isKeyboardFound();
    // Chosen after the menu has closed: by then the panel may be gone.
    const auto item = [&](juce::PopupMenu::Item entry, bool enabled, void (ComparisonCommands::*command)())
    {
        menu.addItem(entry.setEnabled(enabled).setAction(
            [self = WeakThis(this), command]
            {
                if (self != nullptr)
                    (self.get()->*command)();
            }));
    };
    item(commandMenuItem(EditorCommand::readFromKeyboard), found, &ComparisonCommands::readFromKeyboard);
    item(juce::PopupMenu::Item("Compare with the Keyboard"), found, &ComparisonCommands::compareWithKeyboard);
    item(juce::PopupMenu::Item("Compare with a Settings File..."), true,
         &ComparisonCommands::compareWithFile);
    item(juce::PopupMenu::Item("Compare with the Last Saved Settings"), true,
         &ComparisonCommands::compareWithLastSaved);
}

void ComparisonCommands::showMenu()
{
    juce::PopupMenu menu;
    addMenuItems(menu);
    menu.addSeparator();
    for (auto [command, action] : {std::pair{EditorCommand::library, &ComparisonCommands::onLibrary},
                                   std::pair{EditorCommand::monitor, &ComparisonCommands::onMonitor}})
        menu.addItem(commandMenuItem(command).setAction(
            [self = WeakThis(this), action = action]
            {
                if (self != nullptr && self.get()->*action)
                    (self.get()->*action)();
            }));
    auto options = juce::PopupMenu::Options();
    if (display != nullptr)
        options = options.withTargetComponent(display.getComponent());
    menu.showMenuAsync(options);
}

//==============================================================================
void ComparisonCommands::refreshRings()
{
    // A listed control stays ringed while it still differs: one made equal since (an edit, an undo) loses
    // its ring, as the list is left as it was shown until it is closed.
    std::set<int> ids;
    manager.read(
        [&](const SettingsState& s)
        {
            for (const auto& row : view.getComparison().rows())
                if (row.field != ConfigComparison::globalField &&
                    (row.isUnknown() || s.get(row.field, row.id) != row.theirs))
                    ids.insert(row.id);
        });
    if (ids == ringed)
        return;
    ringed = ids;
    if (onComparedControls)
        onComparedControls(ids);
}

void ComparisonCommands::addFacts(LinkFacts& f)
{
    if (showing)
        refreshRings();
    if (!f.found || f.connection != connectionSeen)
        readSinceFound = false; // a keyboard plugged in again holds what it holds
    connectionSeen = f.connection;
    f.comparisons = true;
    f.freshReading = link.getFreshRead().isRunning();
    f.freshReadSteps = link.getFreshRead().answersSoFar();
    f.freshReadAt = readSinceFound ? readAt : juce::Time();
    f.keyboardKnown = history.knowsKeyboard();
    f.firmware = manager.getFirmwareVersion();
}
