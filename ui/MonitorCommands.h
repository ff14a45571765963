#pragma once

#include "MonitorView.h"
#include "QMV49CtrlPickerComponent.h"
#include "device/OrvManager49.h"

/** The MIDI Monitor command: opens the monitor's window beside the editor (or brings it to the front), and
    selects in the picture the control a clicked line names. Closed, the window is gone and the link's tap
    is detached. */
class MonitorCommands
{
public:
    MonitorCommands(OrvManager49& manager, QMV49CtrlPickerComponent& picker, SaveFolder& saves);

    void open();
    void close() { window = nullptr; }
    bool isOpen() const { return window != nullptr; }
    /** The monitor while its window is open. */
    MonitorView* view() { return window != nullptr ? &window->view() : nullptr; }

private:
    OrvManager49& manager;
    QMV49CtrlPickerComponent& picker;
    SaveFolder& saveFolder;
    std::unique_ptr<MonitorWindow> window;
};
