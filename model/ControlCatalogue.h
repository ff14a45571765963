#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

/** One control of the keyboard, named by a single byte. Held as a plain int wherever it is stored. */
using ItemId = unsigned char;

/** The configurable fields of a control: the store's key and the SysEx address byte. */
enum ItemField
{
    itemFieldValue = 0,
    itemFieldMode = 1,
    itemFieldChannel = 2,
    itemFieldNumber = 3,
    itemFieldMinLsb = 4,
    itemFieldMaxMsb = 5
};

/** The modes a control can send in. */
enum ItemMode
{
    modeOffDisabled = 0,
    modeControl,
    modeRelativeControl,
    modeRpn,
    modeNrpn,
    modeDurationControl,
    modeKeyboardPreset,
    modeMmc,
    modeControlToggle,
    modeNoteToggle,
    modeMidiNote,
    modePatchChange,
    numItemModes
};

/** Channel codes beyond the sixteen MIDI channels (0..15). */
enum ChannelCode
{
    channelLower = 64,
    channelUpper = 65,
    channelAll = 126,
    channelPanel = 127
};

/** The keyboard-wide parameters that carry a meaning; the store keeps twelve slots, 0..11. */
enum GlobalParamId
{
    globalFaderMode = 1,
    globalKnobMode = 2,
    globalOctaveShift = 3,
    globalLowerChannel = 5,
    globalUpperChannel = 6,
    globalSplitMode = 7,
    globalSplitPoint = 8,
    numGlobalParams = 12
};

/** The keyboard-wide values that Send transmits, in the order it sends them; the others are the keyboard's
    own. */
constexpr int sentGlobalParams[] = {globalLowerChannel, globalUpperChannel, globalKnobMode,
                                    globalFaderMode,    globalSplitMode,    globalSplitPoint};

/** How a keyboard-wide value is picked: a MIDI channel (0..15 for 1..16), one of two choices (stored as 1 and
    127), or a note (0..127). */
enum class GlobalKind
{
    channel,
    twoChoices,
    note
};

/** One keyboard-wide value that the editor shows and sends. */
struct GlobalParamInfo
{
    int id;
    const char* label; // as the panel shows it, without the colon; messages write it in lower case
    GlobalKind kind;
    const char* choices[2]; // a two-way value's choices, for the stored 1 and 127
    int editorDefault;      // what Default Values sets
};

/** The keyboard-wide values that the editor shows and sends, by id. */
constexpr GlobalParamInfo globalParamTable[] = {
    {globalFaderMode, "Fader mode", GlobalKind::twoChoices, {"Normal", "Drawbar"}, 1},
    {globalKnobMode, "Knob mode", GlobalKind::twoChoices, {"Absolute", "Relative"}, 1},
    {globalLowerChannel, "Lower channel", GlobalKind::channel, {}, 0},
    {globalUpperChannel, "Upper channel", GlobalKind::channel, {}, 0},
    {globalSplitMode, "Split mode", GlobalKind::twoChoices, {"Off", "On"}, 1},
    {globalSplitPoint, "Split point", GlobalKind::note, {}, 60},
};

/** One configurable field of a control, by name. */
struct FieldInfo
{
    int field;
    const char* name;       // in messages and, capitalised, as a column heading
    const char* panelLabel; // beside its box in the panel, without the colon
};

/** The five configurable fields, in field order. */
constexpr FieldInfo fieldTable[] = {{itemFieldMode, "mode", "Mode"},
                                    {itemFieldChannel, "channel", "Channel"},
                                    {itemFieldNumber, "number", "CC number"},
                                    {itemFieldMinLsb, "min/LSB", "Min / LSB"},
                                    {itemFieldMaxMsb, "max/MSB", "Max / MSB"}};

/** The modes offered for a group of controls. Sets with equal contents stay separate sets. */
enum class ModeSet
{
    none,
    knob,
    slider,
    wheel,
    snapshot,
    panelButton,
    switchPedal,
    hostButton,
    pad
};

/** How a control's factory default is derived from its default number. */
enum class DefaultClass
{
    plain,
    relative,
    note
};

/** The five configurable fields of one control. */
struct ItemConfig
{
    int mode = 0;
    int channel = 0;
    int number = 0;
    int minLsb = 0;
    int maxMsb = 127;

    int field(int itemField) const;
    bool operator==(const ItemConfig& other) const;
    bool operator!=(const ItemConfig& other) const { return !(*this == other); }
};

/** A control's factory configuration. */
using ItemConfigDefault = ItemConfig;

/** One row of the defaults table. */
struct DefaultRow
{
    int id;
    int number;
    DefaultClass defaultClass;
};

/** One row of the control catalogue. A null name or tooltip means the control is not in that group;
    a negative default number means the control has no row in the defaults table. */
struct CatalogueEntry
{
    int id;
    const char* displayName;
    const char* tooltip;
    ModeSet modeSet;
    int defaultNumber;
    DefaultClass defaultClass;
};

/** A channel as the panel lists it. */
struct ChannelListEntry
{
    const char* text;
    int code;
};

/** The fixed vocabulary of the keyboard. Everything here is derived from one constant table and may be
    read from any thread. */
namespace ControlCatalogue
{
/** All catalogued controls, ordered by id. */
const std::vector<CatalogueEntry>& entries();

/** The entry for an id, or null when the id is not catalogued. */
const CatalogueEntry* find(int id);

/** Display name of a named control, or null. */
const char* displayName(int id);

/** A control's name in messages: its display name; for the configurable controls that have none (0x20 to
    0x2B, not on the panel) "hidden control " and the id; else "control " and the id. */
std::string messageName(int id);

/** Tooltip of a picture control, or null. */
const char* tooltip(int id);

/** True for the 65 controls the keyboard reports and accepts configurations for. */
bool isConfigurable(int id);

/** The 53 controls shown on the keyboard picture, ordered by id. */
std::vector<int> pictureControls();
/** True for a control shown on the keyboard picture: the controls a user counts. */
bool isPictureControl(int id);

/** The 55 controls that can be selected in the editor, ordered by id. */
std::vector<int> namedControls();

/** The 65 configurable controls, ordered by id. */
std::vector<int> configurableControls();

ModeSet modeSetOf(int id);
bool isModeAllowed(ModeSet set, int mode);

/** Factory configuration of a configurable control, or nothing. */
std::optional<ItemConfigDefault> defaultConfig(int id);

/** The defaults table: one row per configurable control plus the row of the pitch wheel. */
const std::vector<DefaultRow>& defaultsTable();

/** Derives a factory configuration from a row of the defaults table; nothing for a zero default number. */
std::optional<ItemConfigDefault> deriveDefault(const DefaultRow& row);

/** Chart short name of a mode, "Err" outside 0..11. */
const char* modeShortName(int mode);

/** The twelve mode texts of the panel, in value order. */
const std::array<const char*, numItemModes>& modePanelTexts();

/** Chart text of a channel code: "1".."16", "Lwr", "Upr", "All", "Pnl" or "Err". */
std::string channelChartText(int code);

/** The twenty channel entries of the panel's list, in list order. */
const std::array<ChannelListEntry, 20>& channelList();

/** List position of a channel code in the panel's list, or -1 when the list does not hold it. */
int channelListIndex(int code);
/** True for a channel code that means something: a MIDI channel 0..15 or one of the panel's list. */
inline bool isKnownChannelCode(int code)
{
    return (code >= 0 && code <= 15) || channelListIndex(code) >= 0;
}

/** The row of a keyboard-wide value in globalParamTable, or null. */
const GlobalParamInfo* globalParam(int id);
/** A keyboard-wide value's name in messages: "lower channel", or "keyboard-wide value " and the id. */
std::string globalName(int id);
/** What the panel offers for a keyboard-wide value: "1".."16", the two choices, or the 128 note names. */
std::vector<std::string> globalChoices(int id);
/** A stored keyboard-wide value in words: its choice, or "? (" value ")" when it has none. */
std::string globalValueText(int id, int value);

/** A field's name in messages ("min/LSB"), "value" for any other field. */
const char* fieldName(int field);
/** A field's column heading: its name capitalised ("Min/LSB"). */
std::string fieldHeading(int field);

/** Note name of a split point: 0 is "C-2", 60 is "C3", 127 is "G8". */
std::string noteName(int note);

/** The 128 MIDI controller names, "0 - Bank Select MSB" to "127 - Poly Mode On". */
const std::array<std::string, 128>& controllerNames();
} // namespace ControlCatalogue
