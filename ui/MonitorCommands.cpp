#include "MonitorCommands.h"

MonitorCommands::MonitorCommands(OrvManager49& m, QMV49CtrlPickerComponent& p, SaveFolder& saves)
    : manager(m), picker(p), saveFolder(saves)
{
}

void MonitorCommands::open()
{
    if (window == nullptr)
    {
        window = std::make_unique<MonitorWindow>(manager.monitorTap(), manager, saveFolder);
        // Closed from its own button after the click's callback has returned.
        window->onClose = [this]
        {
            juce::MessageManager::callAsync(
                [w = juce::Component::SafePointer<MonitorWindow>(window.get()), this]
                {
                    if (w != nullptr)
                        close();
                });
        };
        window->view().onSelectControl = [this](int id)
        {
            if (auto* button = picker.findButtonFor(id))
                picker.buttonClicked(button);
        };
        window->view().selectedControls = [this]
        {
            return picker.getSelection().ids();
        };
    }
    window->setVisible(true);
    window->toFront(true);
}
