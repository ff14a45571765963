#pragma once

#include "LibraryWindow.h"

/** The Setup Library's window as the editor opens it: the list in its own window, made when first shown and
    kept, hidden, until the editor closes. The library's commands show and hide it. */
class SetupLibraryWindow
{
public:
    explicit SetupLibraryWindow(LibraryCommands& commands);
    ~SetupLibraryWindow();

private:
    void show();

    LibraryCommands& commands;
    std::unique_ptr<LibraryWindow> view;
    std::unique_ptr<LibraryDocumentWindow> window;

    JUCE_DECLARE_NON_COPYABLE(SetupLibraryWindow)
};
