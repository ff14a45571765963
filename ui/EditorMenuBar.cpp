#include "EditorMenuBar.h"

#include "EditorDialogs.h"
#include "KbdSettingComponent49.h"

namespace
{
const char* const menuNames[] = {"File", "Edit", "Keyboard", "View", "Help"};
}

EditorMenuBar::EditorMenuBar(KbdSettingComponent49& p) : panel(&p) {}

juce::StringArray EditorMenuBar::getMenuBarNames()
{
    return juce::StringArray(menuNames, (int)std::size(menuNames));
}

juce::PopupMenu EditorMenuBar::getMenuForIndex(int index, const juce::String&)
{
    if (panel == nullptr)
        return {};
    switch (index)
    {
    case 0:
        return fileMenu();
    case 1:
        return editMenu();
    case 2:
        return keyboardMenu();
    case 3:
        return viewMenu();
    default:
        return helpMenu();
    }
}

juce::PopupMenu::Item EditorMenuBar::command(EditorCommand id, bool enabled)
{
    return commandMenuItem(id).setEnabled(enabled).setAction(
        [p = panel, id]
        {
            if (p != nullptr)
                p->commands().perform(id);
        });
}

juce::PopupMenu::Item EditorMenuBar::panelAction(const juce::String& text,
                                                 std::function<void(KbdSettingComponent49&)> act,
                                                 bool enabled)
{
    return juce::PopupMenu::Item(text).setEnabled(enabled).setAction(
        [p = panel, act = std::move(act)]
        {
            if (p != nullptr)
                act(*p);
        });
}

juce::PopupMenu EditorMenuBar::fileMenu()
{
    juce::PopupMenu menu;
    menu.addItem(command(EditorCommand::load));
    menu.addItem(command(EditorCommand::save));
    menu.addItem(panelAction("Chart...", [](KbdSettingComponent49& p) { p.writeChart(); }));
    juce::PopupMenu daw;
    const std::pair<DawNames::Format, const char*> formats[] = {
        {DawNames::Format::midnam, "MIDI Name Document (.midnam)..."},
        {DawNames::Format::ins, "Instrument Definitions (.ins)..."},
        {DawNames::Format::reaper, "REAPER Name Map (.txt)..."},
        {DawNames::Format::csv, "Table of Controls (.csv)..."}};
    for (const auto& [format, text] : formats)
        daw.addItem(panelAction(text, [f = format](KbdSettingComponent49& p) { p.exportNames(f); }));
    daw.addSeparator();
    daw.addItem(panelAction("Install for Ardour", [](KbdSettingComponent49& p) { p.installForArdour(); }));
    menu.addSubMenu("Export for the DAW", daw);
    menu.addItem(command(EditorCommand::dawMaps));
    menu.addSeparator();
    menu.addItem(command(EditorCommand::library));
    if (app.quit)
    {
        menu.addSeparator();
        menu.addItem("Quit", app.quit);
    }
    return menu;
}

juce::PopupMenu EditorMenuBar::editMenu()
{
    juce::PopupMenu menu;
    auto& undo = panel->getUndoManager();
    menu.addItem(command(EditorCommand::undo, undo.canUndo()));
    menu.addItem(command(EditorCommand::redo, undo.canRedo()));
    menu.addSeparator();
    panel->getSelectionEditing().addMenuItems(menu);
    menu.addSeparator();
    menu.addItem(panelAction("Default Values", [](KbdSettingComponent49& p) { p.restoreDefaultValues(); }));
    return menu;
}

juce::PopupMenu EditorMenuBar::keyboardMenu()
{
    juce::PopupMenu menu;
    const bool found = panel->getManager().isKeyboardFound();
    menu.addItem(command(EditorCommand::sendToKeyboard, found));
    panel->getComparison().addMenuItems(menu);
    menu.addSeparator();
    menu.addItem(command(EditorCommand::monitor));
    menu.addItem(panelAction(
        "Search for the Keyboard Again", [](KbdSettingComponent49& p) { p.searchAgain(); },
        !found && !panel->getManager().isScanning()));
    return menu;
}

juce::PopupMenu EditorMenuBar::viewMenu()
{
    juce::PopupMenu menu;
    if (app.addZoomItems)
        app.addZoomItems(menu);
    return menu;
}

juce::PopupMenu EditorMenuBar::helpMenu()
{
    juce::PopupMenu menu;
    menu.addItem(panelAction("Keyboard Shortcuts",
                             [](KbdSettingComponent49& p)
                             {
                                 auto* box = p.getLookAndFeel().createAlertWindow(
                                     "Keyboard Shortcuts", shortcutsText(), "ok", {}, {},
                                     juce::MessageBoxIconType::InfoIcon, 1, &p);
                                 openBoxOverOwner(*box, &p, nullptr);
                             }));
    if (app.about)
        menu.addItem("About Quillet MIDI Control Center", app.about);
    return menu;
}

juce::String EditorMenuBar::shortcutsText()
{
    juce::String text;
    for (const auto& c : editorCommands())
        text << c.keys << ": " << juce::String(c.label).trimCharactersAtEnd(".") << " (" << c.help << ")\n";
    // The library window hears its own keys.
    text << "\nIn the Setup Library: Ctrl+S saves the editor's settings to it, Return loads the selected "
            "setup, Ctrl+Return loads and sends it, Delete moves it to the trash, Escape closes the window.";
    return text;
}
