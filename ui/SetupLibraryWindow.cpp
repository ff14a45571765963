#include "SetupLibraryWindow.h"

SetupLibraryWindow::SetupLibraryWindow(LibraryCommands& c) : commands(c)
{
    commands.showWindow = [this]
    {
        show();
    };
    commands.hideWindow = [this]
    {
        if (window != nullptr)
            window->setVisible(false);
    };
    commands.isWindowShowing = [this]
    {
        return window != nullptr && window->isVisible();
    };
}

SetupLibraryWindow::~SetupLibraryWindow()
{
    commands.showWindow = nullptr;
    commands.hideWindow = nullptr;
    commands.isWindowShowing = nullptr;
    window.reset();
    view.reset();
}

void SetupLibraryWindow::show()
{
    if (window == nullptr)
    {
        view = std::make_unique<LibraryWindow>(commands);
        window = std::make_unique<LibraryDocumentWindow>(*view, [this] { commands.close(); });
    }
    window->setVisible(true);
    window->toFront(true);
}
