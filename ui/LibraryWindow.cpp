#include "LibraryWindow.h"

#include "ColourRoles.h"
#include "LibraryRow.h"
#include "SetupInfoBox.h"

namespace
{
using LibraryRow::starWidth;
} // namespace

LibraryWindow::LibraryWindow(LibraryCommands& c) : commands(c)
{
    search.setTextToShowWhenEmpty("Search titles, tags, descriptions, control names",
                                  findColour(quietTextColourId));
    search.setFont(juce::Font(14.0f));
    search.setIndents(6, 5);
    search.onTextChange = [this]
    {
        queryChanged();
    };
    search.onReturnKey = [this]
    {
        loadSelected(juce::ModifierKeys::currentModifiers.isCommandDown());
    };
    addAndMakeVisible(search);

    favourites.setClickingTogglesState(true);
    favourites.setTooltip("Only the setups marked with a star");
    favourites.onClick = [this]
    {
        queryChanged();
    };
    TagChipRow::setChipColours(favourites);
    addAndMakeVisible(favourites);

    chips.onChosen = [this](juce::String tag)
    {
        auto q = commands.getQuery();
        // A second click on the tag shown goes back to all of them.
        q.tag = q.tag == tag ? juce::String() : tag;
        commands.setQuery(q);
    };
    addAndMakeVisible(chips);

    list.setModel(this);
    list.setRowHeight(LibraryRow::rowHeight);
    list.setColour(juce::ListBox::outlineColourId, findColour(listOutlineColourId));
    list.setOutlineThickness(1);
    addAndMakeVisible(list);

    status.setFont(juce::Font(12.0f));
    status.setColour(juce::Label::textColourId, findColour(quietTextColourId));
    status.setMinimumHorizontalScale(0.7f);
    addAndMakeVisible(status);

    for (auto* b : {&saveNew, &rename, &duplicate, &remove, &tagsButton, &addFiles, &load})
    {
        EditorColours::usePanelButtonColours(*b);
        addAndMakeVisible(b);
    }
    saveNew.setTooltip("Keep the editor's settings in the library as a new setup (Ctrl+S)");
    load.setTooltip("Load the selected setup into the editor (Return); Ctrl+Return loads and sends it");
    addFiles.setTooltip("Add settings files (.qmv49) or SysEx files (.syx) to the library; files can also "
                        "be dropped on the window");
    tagsButton.setTooltip("Edit the selected setup's title, tags and description");
    saveNew.onClick = [this]
    {
        SetupInfoBox::askTitle(*this, "Save to Library",
                               "The editor's settings as a new setup, called:", "New setup", "Save",
                               [this](juce::String title) { commands.saveCurrent(title); });
    };
    rename.onClick = [this]
    {
        if (const auto* e = current())
            SetupInfoBox::askTitle(
                *this, "Rename Setup", "The new title of " + e->displayTitle() + ":", e->displayTitle(),
                "Rename", [this, name = e->fileName](juce::String title) { commands.rename(name, title); });
    };
    duplicate.onClick = [this]
    {
        if (const auto* e = current())
            commands.duplicate(e->fileName);
    };
    remove.onClick = [this]
    {
        if (const auto* e = current())
            commands.remove(e->fileName);
    };
    tagsButton.onClick = [this]
    {
        if (const auto* e = current())
            SetupInfoBox::editInfo(*this, e->fileName, e->info,
                                   [this, name = e->fileName](const SetupInfo& info)
                                   { commands.setInfo(name, info); });
    };
    addFiles.onClick = [this]
    {
        chooseFilesToAdd();
    };
    load.onClick = [this]
    {
        loadSelected(false);
    };

    commands.onListChanged = [this]
    {
        listChanged();
    };
    addMouseListener(this, true);
    setSize(760, 560);
    listChanged();
}

LibraryWindow::~LibraryWindow()
{
    removeMouseListener(this);
    tooltips = nullptr;
    commands.onListChanged = nullptr;
    list.setModel(nullptr);
}

//==============================================================================
void LibraryWindow::listChanged()
{
    chips.show(commands.getTags(), commands.getQuery().tag);
    // The list is told of the rows before the selection is put back, by file name: the rows may have moved.
    const juce::ScopedValueSetter<bool> updating(showingList, true);
    list.updateContent();
    const int row = commands.rowOf(commands.selected);
    if (row >= 0)
    {
        list.selectRow(row);
        list.scrollToEnsureRowIsOnscreen(row);
    }
    else
        list.deselectAllRows();
    list.repaint();
    status.setText(commands.describe(), juce::dontSendNotification);
    // A long notice may not fit the line; the whole of it is a hover away.
    status.setTooltip(status.getText());
    updateButtons();
}

void LibraryWindow::queryChanged()
{
    auto q = commands.getQuery();
    q.text = search.getText();
    q.favouritesOnly = favourites.getToggleState();
    TagChipRow::setChipColours(favourites);
    commands.setQuery(q);
}

const SetupEntry* LibraryWindow::current() const
{
    return commands.shownEntry(list.getSelectedRow());
}

void LibraryWindow::updateButtons()
{
    // A file that cannot be read can only be deleted.
    const auto* e = current();
    const bool usable = e != nullptr && e->isUsable();
    for (auto* b : {&rename, &duplicate, &tagsButton, &load})
        b->setEnabled(usable);
    remove.setEnabled(e != nullptr);
    // The look draws a button the same whether it can be pressed or not: one that cannot is faded here.
    for (auto* b : {&rename, &duplicate, &tagsButton, &load, &remove})
        b->setAlpha(b->isEnabled() ? 1.0f : 0.45f);
}

void LibraryWindow::loadSelected(bool thenSend)
{
    if (const auto* e = current())
        commands.load(e->fileName, thenSend);
}

//==============================================================================
int LibraryWindow::getNumRows()
{
    return commands.getNumShown();
}

void LibraryWindow::paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected)
{
    if (const auto* e = commands.shownEntry(row))
        LibraryRow::paint(g, *e, commands.isFavourite(e->fileName), width, height, selected);
}

void LibraryWindow::listBoxItemClicked(int row, const juce::MouseEvent& e)
{
    // The star is a switch of its own.
    if (const auto* entry = commands.shownEntry(row); entry != nullptr && e.x < starWidth)
        commands.setFavourite(entry->fileName, !commands.isFavourite(entry->fileName));
}

void LibraryWindow::listBoxItemDoubleClicked(int row, const juce::MouseEvent& e)
{
    if (const auto* entry = commands.shownEntry(row); entry != nullptr && e.x >= starWidth)
        commands.load(entry->fileName, false);
}

void LibraryWindow::returnKeyPressed(int)
{
    loadSelected(juce::ModifierKeys::currentModifiers.isCommandDown());
}

void LibraryWindow::deleteKeyPressed(int)
{
    if (const auto* e = current())
        commands.remove(e->fileName);
}

void LibraryWindow::selectedRowsChanged(int row)
{
    if (!showingList)
    {
        const auto* e = commands.shownEntry(row);
        commands.selected = e != nullptr ? e->fileName : juce::String();
    }
    updateButtons();
}

juce::String LibraryWindow::getTooltipForRow(int row)
{
    const auto* e = commands.shownEntry(row);
    if (e == nullptr)
        return {};
    if (!e->isUsable())
        return e->fileName + ": " + e->problem;
    auto tip = e->fileName;
    if (e->info.description.isNotEmpty())
        tip << "\n" << e->info.description;
    return tip + "\nDouble-click or Return loads it; Ctrl+Return loads and sends it.";
}

bool LibraryWindow::keyPressed(const juce::KeyPress& key)
{
    // Saving here keeps the settings in the library, as the button does: the one way to it from the keys,
    // since the window's buttons show no keyboard focus.
    if (key == juce::KeyPress('s', juce::ModifierKeys::commandModifier, 0))
        saveNew.triggerClick();
    else if (key.getKeyCode() == juce::KeyPress::returnKey)
        loadSelected(key.getModifiers().isCommandDown());
    else if (key.getKeyCode() == juce::KeyPress::escapeKey)
        commands.close();
    else
        return false;
    return true;
}

void LibraryWindow::mouseEnter(const juce::MouseEvent&)
{
    if (tooltips == nullptr)
        tooltips = std::make_unique<juce::TooltipWindow>(nullptr, 700);
}

void LibraryWindow::mouseExit(const juce::MouseEvent&)
{
    if (!isMouseOver(true))
        tooltips = nullptr;
}

//==============================================================================
void LibraryWindow::paint(juce::Graphics& g)
{
    g.fillAll(findColour(backgroundColourId));
}

void LibraryWindow::paintOverChildren(juce::Graphics& g)
{
    // Files held over the window: a frame says they will be taken.
    if (!dragOver)
        return;
    const auto dropColour = findColour(dropColourId);
    g.setColour(dropColour.withAlpha(0.08f));
    g.fillRect(list.getBounds());
    g.setColour(dropColour);
    g.drawRect(list.getBounds(), 2);
}

void LibraryWindow::resized()
{
    auto area = getLocalBounds().reduced(12);
    auto top = area.removeFromTop(28);
    favourites.setBounds(top.removeFromRight(110));
    top.removeFromRight(8);
    search.setBounds(top);
    area.removeFromTop(8);
    chips.setBounds(area.removeFromTop(30));
    area.removeFromTop(4);

    auto buttons = area.removeFromBottom(28);
    status.setBounds(area.removeFromBottom(22));
    area.removeFromBottom(4);
    list.setBounds(area);
    load.setBounds(buttons.removeFromRight(80));
    buttons.removeFromRight(14);
    addFiles.setBounds(buttons.removeFromRight(104));
    saveNew.setBounds(buttons.removeFromLeft(136));
    for (auto* b : {&rename, &duplicate, &remove, &tagsButton})
    {
        buttons.removeFromLeft(6);
        b->setBounds(buttons.removeFromLeft(b == &rename || b == &duplicate ? 86 : 66));
    }
}

//==============================================================================
bool LibraryWindow::isInterestedInFileDrag(const juce::StringArray& files)
{
    for (const auto& f : files)
        if (LibraryCommands::isAddable(juce::File(f)))
            return true;
    return false;
}

void LibraryWindow::fileDragEnter(const juce::StringArray&, int, int)
{
    dragOver = true;
    repaint();
}

void LibraryWindow::fileDragExit(const juce::StringArray&)
{
    dragOver = false;
    repaint();
}

void LibraryWindow::filesDropped(const juce::StringArray& names, int, int)
{
    dragOver = false;
    repaint();
    juce::Array<juce::File> files;
    for (const auto& name : names)
        files.add(juce::File(name));
    commands.addFiles(files);
}

void LibraryWindow::chooseFilesToAdd()
{
    chooser = std::make_unique<juce::FileChooser>(
        "Add settings files or SysEx files to the library",
        juce::File::getSpecialLocation(juce::File::userDocumentsDirectory), "*.qmv49;*.syx", true);
    chooser->launchAsync(juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles |
                             juce::FileBrowserComponent::canSelectMultipleItems,
                         [safe = juce::WeakReference<LibraryWindow>(this)](const juce::FileChooser& c)
                         {
                             if (safe != nullptr && !c.getResults().isEmpty())
                                 safe->commands.addFiles(c.getResults());
                         });
}

//==============================================================================
LibraryDocumentWindow::LibraryDocumentWindow(LibraryWindow& c, std::function<void()> close)
    : juce::DocumentWindow("Setup Library", c.findColour(LibraryWindow::backgroundColourId),
                           juce::DocumentWindow::closeButton),
      content(c), onClose(std::move(close))
{
    setUsingNativeTitleBar(true);
    setContentNonOwned(&c, true);
    setResizable(true, false);
    setResizeLimits(620, 400, 1600, 1400);
    centreWithSize(getWidth(), getHeight());
}

void LibraryDocumentWindow::closeButtonPressed()
{
    if (onClose)
        onClose();
}

void LibraryDocumentWindow::activeWindowStatusChanged()
{
    DocumentWindow::activeWindowStatusChanged();
    if (isActiveWindow() && !content.hasKeyboardFocus(true))
        content.searchBox().grabKeyboardFocus();
}
