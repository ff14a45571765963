#include "OrvManager49.h"

#include "SysExCodec.h"

namespace
{
// Controls whose movements have an event of their own; every other control raises ControlChanged.
constexpr std::pair<int, ManagerEvent> movementEvents[] = {{0x40, ModulationWheelMoved},
                                                           {0x50, SustainPedalMoved},
                                                           {0x51, ExpressionPedalMoved},
                                                           {0x53, AuxPedalMoved},
                                                           {0x52, BreathControlMoved}};

// The notes that select a pad bank, and the code that tags the bank's later channel pressure.
constexpr std::pair<int, int> padBankNotes[] = {{36, 128}, {68, 129}, {84, 130}};

bool allDataBytes(std::initializer_list<int> values)
{
    for (int v : values)
        if (!OrvSysEx::isDataByte(v))
            return false;
    return true;
}
} // namespace

OrvManager49::OrvManager49() : OrvManager49(systemMidiPorts()) {}

OrvManager49::OrvManager49(MidiPortSystem& p) : ports(p)
{
    output.tapInto(tap);
    portWatch.onTick = [this]
    {
        checkPorts();
    };
    scan.onUnanswered = [this]
    {
        notifyListeners(ScanEndedUnanswered, 0, 0);
    };
}

OrvManager49::~OrvManager49()
{
    closeAllPorts();
}

void OrvManager49::closeAllPorts()
{
    portWatch.watch(0);
    scan.close();
    output.close();
}

//==============================================================================
void OrvManager49::keyboardFound(const juce::String& inputName, const juce::String& outputName)
{
    // Remembered before the keyboard counts as found: the port watch then always knows what to look for.
    portWatch.rememberKeyboard(inputName, outputName);
    // Its output is open before it counts as found: whoever sees it found may send to it at once.
    const int index = ports.getOutputNames().indexOf(outputName);
    if (index >= 0)
    {
        output.close(); // the earlier one goes before opening: a device may not open twice
        output.open(ports.openOutput(index));
    }
    tap.setPorts(inputName, outputName);
    scan.keyboardFound(inputName, outputName);
    notifyListeners(KeyboardDetected, 0, 0);
}

//==============================================================================
void OrvManager49::portMessageReceived(const juce::String& sourceName, const juce::MidiMessage& message)
{
    // The monitor hears the keyboard's input only, once it is known; the other inputs are open only for the
    // scan.
    if (tap.isOn() && scan.isFound() && sourceName == scan.getKeyboardInputName())
        tap.record(MonitorDirection::fromKeyboard, message);
    dispatch(sourceName, message);
}

void OrvManager49::dispatch(const juce::String& sourceName, const juce::MidiMessage& message)
{
    if (isIdentityReply(message))
        scan.setFirmwareVersion(identityVersion(message));
    if (!scan.isFound())
    {
        if (isIdentityReply(message))
            keyboardFound(sourceName, scan.askedOutputName());
        return;
    }
    if (sourceName != getKeyboardInputName())
        return;

    if (message.isSysEx())
    {
        const OrvMidiMessage49 m(message); // parsed once, here, for the whole dispatch
        if (m.isKeyboardSysEx())
        {
            dispatchKeyboardSysEx(m);
        }
        else if (isIdentityReply(message))
        {
            // The keyboard introduced itself again: take its ports anew, but never cut its own input.
            keyboardFound(sourceName, scan.askedOutputName());
            scan.closeInputs();
        }
        return;
    }
    dispatchChannelMessage(message);
}

void OrvManager49::dispatchKeyboardSysEx(const OrvMidiMessage49& m)
{
    if (m.dataSize() < 9 || m.dataByte(OrvSysEx::commandIndex) != OrvSysEx::commandValue)
        return;

    const int address = m.dataByte(OrvSysEx::addressIndex);
    if (address >= itemFieldMode && address <= itemFieldMaxMsb)
    {
        const auto pairs = m.getItemConfigPairs();
        answerRouter.storeAnswers(*this, address, pairs);
        if (address == itemFieldNumber)
        {
            if (pairs.size() == 2)
                notifyListeners(NumbersReceived, pairs[0], pairs[1]);
            else if (pairs.size() > 2)
                notifyListeners(NumbersReceived, 0, 0);
        }
        else
        {
            notifyListeners(ItemFieldReceived, address, 0);
        }
        return;
    }

    if (address == itemFieldValue)
    {
        const int value = m.getItemValue();
        if (value <= 127)
            notifyListeners(ItemValueReceived, m.getItemValueId(), value);
        return;
    }

    if (address != OrvSysEx::globalAddress)
        return;

    const int id = m.dataByte(8);
    const int raw = m.dataByte(9);
    // A value byte with its top bit set is not a value the keyboard can hold: report it, store nothing.
    const bool storable = OrvSysEx::isDataByte(raw);
    switch (id)
    {
    case globalUpperChannel:
        if (storable)
            answerRouter.storeGlobalAnswer(*this, globalUpperChannel, raw);
        notifyListeners(UpperChannelReceived, raw, 0);
        break;
    case globalKnobMode:
    {
        const int v = m.isKnobModeRelative() ? 127 : 1;
        answerRouter.storeGlobalAnswer(*this, globalKnobMode, v);
        notifyListeners(KnobModeReceived, v, 0);
        break;
    }
    case globalOctaveShift:
        notifyListeners(OctaveShiftReceived, (raw & 0x40) != 0 ? (raw & 0x7F) - 128 : (raw & 0x7F), 0);
        break;
    default:
        if (id < numGlobalParams && storable)
            answerRouter.storeGlobalAnswer(*this, id, raw);
        notifyListeners(GlobalReceived, id, raw);
        break;
    }
}

void OrvManager49::dispatchChannelMessage(const juce::MidiMessage& message)
{
    if (message.isController())
    {
        if (isNumberIndexEmpty())
            rebuildNumberIndex();
        const auto control = findItemForNumber(message.getControllerNumber());
        if (!control)
            return;
        const int v = message.getControllerValue();
        for (const auto& [id, event] : movementEvents)
        {
            if (id == *control)
            {
                notifyListeners(event, id, v);
                return;
            }
        }
        // The two push-knobs send sign and magnitude.
        const bool signMagnitude = *control == 0x31 || *control == 0x33;
        const int magnitude = v & 0x3F;
        notifyListeners(ControlChanged, *control,
                        !signMagnitude ? v : ((v & 0x40) != 0 ? -magnitude : magnitude));
    }
    else if (message.isPitchWheel())
    {
        notifyListeners(PitchWheelMoved, 0x41, message.getPitchWheelValue());
    }
    else if (message.isNoteOn(false))
    {
        for (const auto& [note, bank] : padBankNotes)
            if (note == message.getNoteNumber())
                padBank = bank;
        // A pad set to play a note names itself by that note on its channel.
        const auto s = snapshot();
        for (int pad = 0x70; pad <= 0x73; ++pad)
            if (s.get(itemFieldMode, pad) == modeMidiNote &&
                s.get(itemFieldNumber, pad) == message.getNoteNumber() &&
                s.get(itemFieldChannel, pad) == message.getChannel() - 1)
                notifyListeners(PadStruck, pad, message.getVelocity());
    }
    else if (message.isChannelPressure())
    {
        const int bank = padBank.load();
        if (bank > 0)
            notifyListeners(PadPressure, bank, message.getChannelPressureValue());
    }
}

//==============================================================================
bool OrvManager49::requestItemField(int field)
{
    return allDataBytes({field}) && output.send(OrvSysEx::makeItemFieldRequest(field));
}

bool OrvManager49::sendItemField(int control, int field, int value)
{
    return allDataBytes({control, field, value}) &&
           output.send(OrvSysEx::makeItemFieldSet(field, control, value));
}

bool OrvManager49::requestGlobal(int id)
{
    return allDataBytes({id}) && output.send(OrvSysEx::makeGlobalParamRequest(id));
}

bool OrvManager49::sendGlobal(int id, int value)
{
    return allDataBytes({id, value}) && output.send(OrvSysEx::makeGlobalParamSet(id, value));
}

bool OrvManager49::sendClosingCommand()
{
    return output.send(OrvSysEx::makeClosingCommand());
}

bool OrvManager49::sendAllSettings()
{
    return output.sendAll(*this);
}

bool OrvManager49::sendAllSettings(const SettingsState& s, const std::function<void(int, int)>& progress)
{
    return output.sendAll(s, progress);
}

//==============================================================================
bool OrvManager49::checkPorts()
{
    const auto look = portWatch.look(scan.isFound(), scan.isScanning());
    if (look.keyboardGone)
        keyboardLost();
    // A keyboard plugged in again between two looks comes back as new outputs.
    if (look.newOutputs && (!scan.isFound() || look.keyboardGone))
        scan.start();
    return look.changed;
}

void OrvManager49::keyboardLost()
{
    // A scan still running for the keyboard that went ends with it: its ports are dead.
    scan.keyboardGone();
    output.close();
    notifyListeners(KeyboardUnplugged, 0, 0);
}
