#include "LibraryCommands.h"

#include <algorithm>

namespace
{
const char* const problemTitle = "Library Problem";
} // namespace

LibraryCommands::LibraryCommands(KbdSettingsStore& s, EditHistory& h, EditorDialogs& d, FileCommands& f)
    : store(s), history(h), dialogs(d), files(f)
{
}

LibraryCommands::~LibraryCommands()
{
    refresher.reset();
}

void LibraryCommands::useFolder(const juce::File& f)
{
    jassert(library == nullptr);
    folder = f;
}

SetupLibrary& LibraryCommands::getLibrary()
{
    if (library == nullptr)
    {
        library =
            std::make_unique<SetupLibrary>(folder != juce::File() ? folder : SetupLibrary::defaultFolder());
        refresher = std::make_unique<LibraryRefresh>(*library);
        refresher->onRefreshed = [this]
        {
            listRead();
        };
    }
    return *library;
}

//==============================================================================
void LibraryCommands::open()
{
    getLibrary();
    if (showWindow)
        showWindow();
    refresh();
    refresher->watch(true);
}

bool LibraryCommands::isOpen() const
{
    return isWindowShowing && isWindowShowing();
}

void LibraryCommands::close()
{
    if (refresher != nullptr)
        refresher->watch(false);
    notices.clear();
    if (hideWindow)
        hideWindow();
}

void LibraryCommands::refresh()
{
    getLibrary();
    refresher->request();
}

void LibraryCommands::listRead()
{
    entries = library->entries();
    tagUses = library->tags();
    for (const auto& notice : library->takeNotices())
        notices.addIfNotAlreadyThere(notice.substring(0, 1).toUpperCase() + notice.substring(1) + ".");
    // A tag that no setup carries any more shows nothing: the list goes back to all of them.
    if (query.tag.isNotEmpty() &&
        std::none_of(tagUses->begin(), tagUses->end(),
                     [this](const LibraryTags::Use& u) { return u.tag.equalsIgnoreCase(query.tag); }))
        query.tag = {};
    chooseChips();
    filterAgain();
}

void LibraryCommands::chooseChips()
{
    tags = tagUses != nullptr ? LibraryTags::forChips(*tagUses, LibraryTags::maxChips, query.tag)
                              : juce::StringArray();
}

void LibraryCommands::filterAgain()
{
    shown = entries != nullptr ? getLibrary().filter(*entries, query) : std::vector<int>();
    changedList();
}

void LibraryCommands::changedList()
{
    if (onListChanged)
        onListChanged();
}

void LibraryCommands::setQuery(const LibraryQuery& q)
{
    const bool otherTag = q.tag != query.tag;
    query = q;
    if (otherTag)
        chooseChips();
    // Over the list last read, never the disk: fast enough to follow every key typed.
    filterAgain();
}

const SetupEntry* LibraryCommands::shownEntry(int row) const
{
    if (entries == nullptr || row < 0 || row >= (int)shown.size())
        return nullptr;
    return &(*entries)[(size_t)shown[(size_t)row]];
}

int LibraryCommands::rowOf(const juce::String& fileName) const
{
    for (int row = 0; row < (int)shown.size(); ++row)
        if (shownEntry(row)->fileName == fileName)
            return row;
    return -1;
}

const SetupEntry* LibraryCommands::entryFor(const juce::String& fileName) const
{
    if (entries != nullptr)
        for (const auto& e : *entries)
            if (e.fileName == fileName)
                return &e;
    return nullptr;
}

bool LibraryCommands::isFavourite(const juce::String& fileName)
{
    return getLibrary().marks().isFavourite(fileName);
}

juce::String LibraryCommands::describe() const
{
    if (library == nullptr || entries == nullptr)
        return "Reading the library...";
    const auto n = (int)entries->size();
    // A folder in the user's home is named from there, as a file manager's address bar would.
    const auto& f = library->getFolder();
    const auto home = juce::File::getSpecialLocation(juce::File::userHomeDirectory);
    const auto where = f.isAChildOf(home)
                           ? "~" + juce::File::getSeparatorString() + f.getRelativePathFrom(home)
                           : f.getFullPathName();
    auto text = (n == 1 ? juce::String("1 setup") : juce::String(n) + " setups") + " in " + where;
    if ((int)shown.size() != n)
        text = juce::String((int)shown.size()) + " of " + text;
    if (!notices.isEmpty())
        text << ". " << notices.joinIntoString(" ");
    return text;
}

//==============================================================================
void LibraryCommands::load(const juce::String& fileName, bool thenSend)
{
    const auto* entry = entryFor(fileName);
    if (entry == nullptr || asking)
        return;
    if (!entry->isUsable())
        return dialogs.showMessage(problemTitle,
                                   entry->displayTitle() + " cannot be loaded: " + entry->problem);
    if (history.unsentValues().empty())
        return loadNow(fileName, thenSend);
    // Undo would bring them back, but the user may not know that the keyboard never had them.
    asking = true;
    dialogs.askYesNo("Changes not sent",
                     "The editor holds changes that were not sent to the keyboard. Load " +
                         entry->displayTitle() + " in their place? Undo brings them back.",
                     "Load", "Cancel",
                     [self = WeakThis(this), fileName, thenSend](bool yes)
                     {
                         if (self == nullptr)
                             return;
                         self->asking = false;
                         if (yes)
                             self->loadNow(fileName, thenSend);
                     });
}

void LibraryCommands::loadNow(const juce::String& fileName, bool thenSend)
{
    auto& lib = getLibrary();
    SettingsDocument doc;
    const auto result = lib.read(fileName, doc);
    if (!files.loadDocument(lib.getFolder().getChildFile(fileName), doc, result))
        return;
    lib.marks().markUsed(fileName);
    selected = fileName;
    filterAgain();
    if (thenSend && send)
        send();
}

void LibraryCommands::saveCurrent(const juce::String& title)
{
    SetupInfo info;
    info.title = title.trim().isNotEmpty() ? title.trim() : juce::String("Untitled setup");
    info.roles = files.givenRoles(); // the copy does in the DAW what the editor's setup does
    const auto state = store.snapshot();
    const auto outcome = getLibrary().saveNew(state, info);
    if (changed(outcome, "The settings could not be saved to the library"))
        files.savedElsewhere(library->getFolder().getChildFile(outcome.fileName), state,
                             "Saved to the library as " + info.title);
}

void LibraryCommands::rename(const juce::String& fileName, const juce::String& newTitle)
{
    if (newTitle.trim().isEmpty())
        return;
    changed(getLibrary().rename(fileName, newTitle.trim()), "The setup could not be renamed");
}

void LibraryCommands::duplicate(const juce::String& fileName)
{
    changed(getLibrary().duplicate(fileName), "The setup could not be duplicated");
}

void LibraryCommands::remove(const juce::String& fileName)
{
    const auto* entry = entryFor(fileName);
    if (entry == nullptr || asking)
        return;
    asking = true;
    dialogs.askYesNo("Delete Setup", "Move " + entry->displayTitle() + " to the trash?", "Delete", "Cancel",
                     [self = WeakThis(this), fileName](bool yes)
                     {
                         if (self == nullptr)
                             return;
                         self->asking = false;
                         if (!yes)
                             return;
                         const auto outcome = self->getLibrary().remove(fileName);
                         if (self->changed(outcome, "The setup could not be deleted"))
                             self->selected = {};
                     });
}

void LibraryCommands::setInfo(const juce::String& fileName, const SetupInfo& info)
{
    changed(getLibrary().setInfo(fileName, info.cleaned()),
            "The setup's title and tags could not be changed");
}

void LibraryCommands::setFavourite(const juce::String& fileName, bool favourite)
{
    if (!getLibrary().marks().setFavourite(fileName, favourite))
        return dialogs.showMessage(problemTitle, "The favourites could not be kept in " +
                                                     library->marks().getFile().getFullPathName() + ".");
    filterAgain();
}

bool LibraryCommands::isAddable(const juce::File& file)
{
    return file.hasFileExtension("qmv49;syx");
}

void LibraryCommands::addFiles(const juce::Array<juce::File>& toAdd)
{
    auto& lib = getLibrary();
    juce::StringArray refused;
    for (const auto& file : toAdd)
    {
        const auto outcome = lib.add(file);
        if (outcome.ok)
            selected = outcome.fileName;
        else
            refused.add(outcome.message); // which names the file
    }
    if (!refused.isEmpty())
        dialogs.showMessage(problemTitle, juce::String(refused.size()) + " of " + juce::String(toAdd.size()) +
                                              (toAdd.size() == 1 ? " file was" : " files were") +
                                              " not added to the library:\n\n" +
                                              refused.joinIntoString("\n"));
    if (refused.size() < toAdd.size())
        refresh();
}

bool LibraryCommands::changed(const SetupLibrary::Outcome& outcome, const juce::String& failure)
{
    if (!outcome.ok)
    {
        dialogs.showMessage(problemTitle, failure + ": " + outcome.message);
        return false;
    }
    if (outcome.fileName.isNotEmpty())
        selected = outcome.fileName;
    refresh();
    return true;
}
