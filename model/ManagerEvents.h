#pragma once

/** What the device manager reports to its listeners. Code 6 is never raised. */
enum ManagerEvent
{
    KeyboardDetected = 0,
    NumbersReceived = 1,
    ControlChanged = 2,
    ItemValueReceived = 3,
    UpperChannelReceived = 4,
    OctaveShiftReceived = 5,
    ScanEndedUnanswered = 7,
    ModulationWheelMoved = 8,
    PitchWheelMoved = 9,
    SustainPedalMoved = 10,
    ExpressionPedalMoved = 11,
    AuxPedalMoved = 12,
    BreathControlMoved = 13,
    KnobModeReceived = 14,
    PadPressure = 15,
    ItemFieldReceived = 16,
    GlobalReceived = 17,
    KeyboardUnplugged = 18, // the keyboard's ports left the system's lists
    PadStruck = 19          // a pad sent its note; p1 is the pad's ItemId
};

/** Receives the device manager's events, on the thread that raised them. */
class OrvManagerListener
{
public:
    virtual ~OrvManagerListener() = default;
    virtual void handleManagerEvent(int event, int p1, int p2, int p3) = 0;
};
