#include "PanelCommands.h"

PanelCommands::PanelCommands(juce::Component& p, Parts ps) : panel(p), parts(std::move(ps))
{
    panel.addComponentListener(this);
}

PanelCommands::~PanelCommands()
{
    if (keyTarget != nullptr)
        keyTarget->removeKeyListener(this);
    panel.removeComponentListener(this);
}

bool PanelCommands::perform(EditorCommand command)
{
    switch (command)
    {
    case EditorCommand::undo:
        parts.history.undo();
        return true;
    case EditorCommand::redo:
        parts.history.redo();
        return true;
    case EditorCommand::load:
        parts.files.load();
        return true;
    case EditorCommand::save:
        parts.files.save({});
        return true;
    case EditorCommand::sendToKeyboard:
        parts.send();
        return true;
    case EditorCommand::readFromKeyboard:
        parts.comparison.readFromKeyboard();
        return true;
    case EditorCommand::library:
        parts.library.open();
        return true;
    case EditorCommand::monitor:
        parts.monitor.open();
        return true;
    case EditorCommand::dawMaps:
        parts.dawMaps.open();
        return true;
    case EditorCommand::zoomIn:
    case EditorCommand::zoomOut:
    case EditorCommand::resetZoom:
        return false;
    default:
        return parts.selection.perform(command);
    }
}

bool PanelCommands::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    if (parts.focus.unfocusedKey(key))
        return true;
    const auto command = commandForKey(key);
    return command && perform(*command);
}

void PanelCommands::componentParentHierarchyChanged(juce::Component&)
{
    // The shortcuts work wherever the focus is in the window: they are heard at its top.
    auto* top = panel.getTopLevelComponent();
    if (top == keyTarget.getComponent())
        return;
    if (keyTarget != nullptr)
        keyTarget->removeKeyListener(this);
    keyTarget = top != &panel ? top : nullptr;
    if (keyTarget != nullptr)
        keyTarget->addKeyListener(this);
}
