#pragma once

/** What the device manager reports to its listeners, with what p1 and p2 hold; p3 is always 0, and so is
    a p1 or p2 not named. Code 6 is never raised. A control is named by its ItemId.

    - KeyboardDetected, ScanEndedUnanswered, KeyboardUnplugged: nothing more.
    - NumbersReceived: an answer of control numbers; p1 the control and p2 its number when the answer held
      one pair, else both 0.
    - ItemFieldReceived: an answer of another field; p1 the field (mode, channel, min, max).
    - ItemValueReceived: p1 the control, p2 its value (0..127).
    - UpperChannelReceived: p1 the channel byte as it came.
    - KnobModeReceived: p1 1 (absolute) or 127 (relative).
    - OctaveShiftReceived: p1 the octave shift, -64..63.
    - GlobalReceived: p1 the keyboard-wide value's id, p2 its byte as it came.
    - ControlChanged: p1 the control moved, p2 its value (the two push-knobs: their signed step).
    - ModulationWheelMoved .. BreathControlMoved: p1 the wheel's or pedal's id, p2 its controller value.
    - PitchWheelMoved: p1 0x41 (the pitch wheel's id), p2 its 14-bit value.
    - PadStruck: p1 the pad, p2 the note's velocity.
    - PadPressure: p1 the pad bank's code (128, 129 or 130), p2 the pressure. */
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
    PadStruck = 19          // a pad sent its note
};

/** Receives the device manager's events, on the thread that raised them. */
class OrvManagerListener
{
public:
    virtual ~OrvManagerListener() = default;
    virtual void handleManagerEvent(int event, int p1, int p2, int p3) = 0;
};
