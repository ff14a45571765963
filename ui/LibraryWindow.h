#pragma once

#include "LibraryCommands.h"
#include "TagChipRow.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The library of setups in a window of its own: a search box that narrows the list as the user types,
    a row of tags of which one at a time narrows it further, favourites only, and the list: each setup with
    its title, tags, a star that marks it as a favourite and a small picture of the keyboard with the
    controls it changes from the factory configuration. A setup that cannot be used is listed greyed with
    the reason. Double-click or Return loads the selected setup, Ctrl+Return loads and sends it; the buttons
    save, rename, duplicate, delete, tag and add setups, as do files dropped on the window. What each does is
    LibraryCommands'; this only shows the list and asks for titles and tags. */
class LibraryWindow : public juce::Component, public juce::FileDragAndDropTarget, private juce::ListBoxModel
{
public:
    /** The colours of the window around its rows. */
    enum ColourIds
    {
        backgroundColourId = 0x7e00901, ///< The window's background.
        quietTextColourId = 0x7e00902,  ///< The search field's hint and the status line.
        dropColourId = 0x7e00903,       ///< The frame over the list while files are held over it.
        listOutlineColourId = 0x7e00904 ///< The list's outline.
    };

    explicit LibraryWindow(LibraryCommands& commands);
    ~LibraryWindow() override;

    void paint(juce::Graphics& g) override;
    void paintOverChildren(juce::Graphics& g) override;
    void resized() override;
    bool keyPressed(const juce::KeyPress& key) override;
    void mouseEnter(const juce::MouseEvent&) override;
    void mouseExit(const juce::MouseEvent&) override;

    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void fileDragEnter(const juce::StringArray& files, int x, int y) override;
    void fileDragExit(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;

    /** The widgets, for the tests. */
    juce::TextEditor& searchBox() { return search; }
    juce::Button& favouritesButton() { return favourites; }
    /** The tag chip of a tag ("" for all of them), or null. */
    juce::Button* tagChip(const juce::String& tag) { return chips.chip(tag); }
    juce::ListBox& listBox() { return list; }

private:
    int getNumRows() override;
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    void listBoxItemClicked(int row, const juce::MouseEvent& e) override;
    void listBoxItemDoubleClicked(int row, const juce::MouseEvent& e) override;
    void returnKeyPressed(int row) override;
    void deleteKeyPressed(int row) override;
    void selectedRowsChanged(int row) override;
    juce::String getTooltipForRow(int row) override;

    void listChanged();
    void queryChanged();
    /** The setup selected and shown, or null. */
    const SetupEntry* current() const;
    void loadSelected(bool thenSend);
    void updateButtons();
    void chooseFilesToAdd();

    LibraryCommands& commands;
    juce::TextEditor search;
    juce::TextButton favourites{"Favourites"};
    TagChipRow chips;
    juce::ListBox list;
    juce::Label status;
    juce::TextButton saveNew{"Save to Library..."}, rename{"Rename..."}, duplicate{"Duplicate"},
        remove{"Delete"}, tagsButton{"Tags..."}, addFiles{"Add Files..."}, load{"Load"};
    std::unique_ptr<juce::FileChooser> chooser;
    // A tooltip window polls the pointer for as long as it exists: only while the pointer is over this one.
    std::unique_ptr<juce::TooltipWindow> tooltips;
    bool showingList = false, dragOver = false;

    JUCE_DECLARE_WEAK_REFERENCEABLE(LibraryWindow)
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LibraryWindow)
};

/** The library in a window of its own beside the editor's, closed by its close box. */
class LibraryDocumentWindow : public juce::DocumentWindow
{
public:
    LibraryDocumentWindow(LibraryWindow& content, std::function<void()> onClose);
    void closeButtonPressed() override;
    /** A window made active with nothing in it focused gives the search the keyboard: typing searches. */
    void activeWindowStatusChanged() override;

private:
    LibraryWindow& content;
    std::function<void()> onClose;
};
