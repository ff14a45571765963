#include "model/ControlCatalogue.h"
#include "model/ValueMeaning.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace CC = ControlCatalogue;

// The factory settings as (id, mode, channel, number, min, max), written out rather than derived so that a
// wrong derivation rule shows.
static const int factoryTable[][6] = {
    {0x01, 1, 0, 74, 0, 127},   {0x02, 1, 0, 71, 0, 127},   {0x03, 1, 0, 76, 0, 127},
    {0x04, 1, 0, 77, 0, 127},   {0x05, 1, 0, 18, 0, 127},   {0x06, 1, 0, 19, 0, 127},
    {0x07, 1, 0, 16, 0, 127},   {0x08, 1, 0, 17, 0, 127},   {0x09, 1, 0, 93, 0, 127},
    {0x0A, 1, 0, 91, 0, 127},   {0x0B, 1, 0, 73, 0, 127},   {0x0C, 1, 0, 75, 0, 127},
    {0x0D, 1, 0, 79, 0, 127},   {0x0E, 1, 0, 72, 0, 127},   {0x12, 5, 0, 22, 22, 104},
    {0x13, 5, 0, 23, 23, 105},  {0x14, 5, 0, 24, 24, 106},  {0x15, 5, 0, 25, 25, 107},
    {0x16, 5, 0, 26, 26, 108},  {0x17, 5, 0, 27, 27, 109},  {0x18, 5, 0, 28, 28, 110},
    {0x19, 5, 0, 29, 29, 111},  {0x1A, 5, 0, 30, 30, 116},  {0x1B, 5, 0, 31, 31, 117},
    {0x1C, 1, 0, 46, 0, 127},   {0x1D, 1, 0, 47, 0, 127},   {0x1E, 1, 0, 118, 0, 127},
    {0x1F, 1, 0, 119, 0, 127},  {0x20, 1, 0, 20, 0, 127},   {0x21, 1, 0, 21, 0, 127},
    {0x22, 1, 0, 104, 0, 127},  {0x23, 1, 0, 105, 0, 127},  {0x24, 1, 0, 106, 0, 127},
    {0x25, 1, 0, 107, 0, 127},  {0x26, 1, 0, 108, 0, 127},  {0x27, 1, 0, 109, 0, 127},
    {0x28, 1, 0, 110, 0, 127},  {0x29, 1, 0, 111, 0, 127},  {0x2A, 1, 0, 116, 0, 127},
    {0x2B, 1, 0, 117, 0, 127},  {0x30, 1, 0, 7, 0, 127},    {0x31, 2, 0, 112, 0, 127},
    {0x32, 1, 0, 113, 0, 127},  {0x33, 2, 0, 114, 0, 127},  {0x34, 1, 0, 115, 0, 127},
    {0x40, 1, 0, 1, 0, 127},    {0x4B, 1, 0, 80, 0, 127},   {0x4C, 1, 0, 81, 0, 127},
    {0x4D, 1, 0, 82, 0, 127},   {0x4E, 1, 0, 83, 0, 127},   {0x4F, 1, 0, 85, 0, 127},
    {0x50, 1, 0, 64, 0, 127},   {0x51, 1, 0, 11, 0, 127},   {0x52, 1, 0, 2, 0, 127},
    {0x53, 1, 0, 12, 0, 127},   {0x58, 1, 0, 50, 0, 127},   {0x59, 1, 0, 51, 0, 127},
    {0x5A, 1, 0, 52, 0, 127},   {0x5B, 1, 0, 53, 0, 127},   {0x5C, 1, 0, 54, 0, 127},
    {0x5D, 1, 0, 55, 0, 127},   {0x70, 10, 9, 124, 0, 127}, {0x71, 10, 9, 125, 0, 127},
    {0x72, 10, 9, 126, 0, 127}, {0x73, 10, 9, 127, 0, 127}};

TEST(CatalogueGroups, SizesAndMembership)
{
    EXPECT_EQ(CC::entries().size(), 67u);
    EXPECT_EQ(CC::configurableControls().size(), 65u);
    auto named = CC::pictureControls();
    EXPECT_EQ(named.size(), 53u);
    named.insert(named.end(), {0x41, 0x42});
    std::sort(named.begin(), named.end());
    EXPECT_EQ(CC::namedControls(), named);
    EXPECT_STREQ(CC::tooltip(0x4F), "Tempo Slider");
    EXPECT_STREQ(CC::tooltip(0x01), "Cutoff Knob Setting");
    EXPECT_STREQ(CC::displayName(0x0C), "Envelope D");
}

TEST(CatalogueGroups, ControlsOffThePicture)
{
    // The two extra wheels are named wheels without factory settings.
    EXPECT_STREQ(CC::displayName(0x41), "Pitch Wheel");
    EXPECT_STREQ(CC::displayName(0x42), "Joystick Down / Extra Wheel");
    for (int id : {0x41, 0x42})
    {
        EXPECT_EQ(CC::modeSetOf(id), ModeSet::wheel) << id;
        EXPECT_FALSE(CC::defaultConfig(id).has_value() || CC::isConfigurable(id)) << id;
    }
    // The hidden block is configurable but has no name, tooltip or modes.
    for (int id = 0x20; id <= 0x2B; ++id)
    {
        EXPECT_TRUE(CC::isConfigurable(id)) << id;
        EXPECT_TRUE(CC::displayName(id) == nullptr && CC::tooltip(id) == nullptr) << id;
        EXPECT_EQ(CC::modeSetOf(id), ModeSet::none) << id;
    }
}

TEST(CatalogueDefaults, ExactlyTheFactoryTableIsConfigurableWithItsValues)
{
    std::set<int> listed;
    for (const auto& r : factoryTable)
    {
        listed.insert(r[0]);
        auto d = CC::defaultConfig(r[0]);
        ASSERT_TRUE(d.has_value()) << r[0];
        EXPECT_EQ(*d, (ItemConfig{r[1], r[2], r[3], r[4], r[5]})) << "id " << r[0];
    }
    EXPECT_EQ(CC::configurableControls(), std::vector<int>(listed.begin(), listed.end()));
    for (int id = 0; id < 256; ++id)
    {
        EXPECT_EQ(CC::isConfigurable(id), listed.count(id) == 1) << id;
        EXPECT_EQ(CC::defaultConfig(id).has_value(), listed.count(id) == 1) << id;
    }
}

TEST(CatalogueModes, EachGroupAllowsExactlyItsModes)
{
    const std::tuple<ModeSet, std::set<int>, std::vector<int>> groups[] = {
        {ModeSet::knob, {0, 1, 2, 3, 4}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x30, 0x31, 0x33}},
        {ModeSet::slider, {0, 1, 3, 4}, {0x0B, 0x0C, 0x0D, 0x0E, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F}},
        {ModeSet::wheel, {0, 1, 3, 4}, {0x40, 0x41, 0x42, 0x51, 0x52}},
        {ModeSet::snapshot,
         {0, 1, 5, 6, 8, 9, 10, 11},
         {0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B}},
        {ModeSet::panelButton, {0, 1, 8, 9, 10}, {0x1C, 0x1D, 0x1E, 0x1F, 0x32, 0x34}},
        {ModeSet::switchPedal, {0, 1, 8, 9, 10}, {0x50, 0x53}},
        {ModeSet::hostButton, {0, 1, 6, 7, 8, 9, 10, 11}, {0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D}},
        {ModeSet::pad, {0, 1, 8, 9, 10, 11}, {0x70, 0x71, 0x72, 0x73}}};
    for (const auto& [set, modes, ids] : groups)
        for (int id : ids)
        {
            EXPECT_EQ(CC::modeSetOf(id), set) << id;
            for (int mode = -1; mode <= numItemModes; ++mode)
                EXPECT_EQ(CC::isModeAllowed(CC::modeSetOf(id), mode), modes.count(mode) == 1)
                    << id << " " << mode;
        }
}

TEST(CatalogueTexts, ModeAndChannelTexts)
{
    const char* modes[] = {"Off",        "Control",      "Rel. Control", "RPN",
                           "NRPN",       "Duration Ctl", "Kbd Preset",   "MMC",
                           "Ctl Toggle", "Note Toggle",  "Midi Note",    "Patch Chg"};
    for (int mode = 0; mode < 12; ++mode)
        EXPECT_STREQ(CC::modeShortName(mode), modes[mode]);
    EXPECT_STREQ(CC::modeShortName(12), "Err");
    EXPECT_STREQ(CC::modeShortName(-1), "Err");

    const std::pair<int, const char*> channels[] = {{0, "1"},    {9, "10"},   {15, "16"},   {-1, "0"},
                                                    {64, "Lwr"}, {65, "Upr"}, {126, "All"}, {127, "Pnl"},
                                                    {16, "Err"}, {20, "Err"}};
    for (const auto& [code, text] : channels)
        EXPECT_EQ(CC::channelChartText(code), text) << code;
}

TEST(CatalogueTexts, ChannelListOrder)
{
    std::vector<std::pair<std::string, int>> expected, actual;
    for (int c = 0; c < 16; ++c)
        expected.emplace_back(std::to_string(c + 1), c);
    expected.insert(expected.end(), {{"Lower", 64}, {"Upper", 65}, {"Panel", 127}, {"All", 126}});
    for (const auto& e : CC::channelList())
        actual.emplace_back(e.text, e.code);
    EXPECT_EQ(actual, expected);
}

TEST(CatalogueTexts, NoteAndControllerNames)
{
    EXPECT_EQ(CC::noteName(0), "C-2");
    EXPECT_EQ(CC::noteName(59), "B2");
    EXPECT_EQ(CC::noteName(60), "C3");
    EXPECT_EQ(CC::noteName(61), "C#3");
    EXPECT_EQ(CC::noteName(127), "G8");
    const auto& names = CC::controllerNames();
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names[0], "0 - Bank Select MSB");
    EXPECT_EQ(names[20], "20 - Undefined");
    EXPECT_EQ(names[71], "71 - Timbre/Harmonic Intens.");
    EXPECT_EQ(names[98], "98 - NRPN - LSB");
    EXPECT_EQ(names[127], "127 - Poly Mode On");
}

TEST(ValueMeaningTexts, EachModeSaysWhatItsNumberAndValuesAre)
{
    namespace VM = ValueMeaning;
    // A pad on note 36: on channel 10 (code 9) the General MIDI kick, elsewhere just the note.
    const auto kick = VM::ofNumber(modeMidiNote, 9, 36);
    EXPECT_NE(kick.find("C1"), std::string::npos) << kick;
    EXPECT_NE(kick.find("Bass Drum 1"), std::string::npos) << kick;
    EXPECT_EQ(VM::ofNumber(modeNoteToggle, 0, 36).find("Drum"), std::string::npos);
    EXPECT_NE(VM::ofNumber(modeMidiNote, 9, 81).find("Open Triangle"), std::string::npos);
    EXPECT_EQ(VM::drumName(82), "");
    EXPECT_NE(VM::ofNumber(modePatchChange, 0, 0).find("program 1"), std::string::npos);
    EXPECT_NE(VM::ofNumber(modeRpn, 0, 0).find("Pitch Bend Sensitivity"), std::string::npos);
    EXPECT_NE(VM::ofNumber(modeMmc, 0, 2).find("Play"), std::string::npos);
    EXPECT_EQ(VM::ofNumber(modeControl, 0, 74), "") << "the controller list says it already";
    EXPECT_EQ(VM::roleOf(modeNrpn, itemFieldMinLsb), "LSB");
    EXPECT_EQ(VM::roleOf(modeRpn, itemFieldMaxMsb), "MSB");
    EXPECT_EQ(VM::roleOf(modeControl, itemFieldMinLsb), "Min");
    EXPECT_EQ(VM::roleOf(modeMidiNote, itemFieldMaxMsb), "Max");
}

TEST(ValueMeaningTexts, ShortFormForListsGivesTheNoteTheDrumOnChannelTenAndNothingForControllers)
{
    namespace VM = ValueMeaning;
    const std::string dot = "\xC2\xB7"; // U+00B7 in UTF-8
    // A pad in Midi Note mode on note 36 (C3 is 60, so 36 is C1): on channel 10 (code 9) the kick drum.
    EXPECT_EQ(VM::shortMeaning(modeMidiNote, 9, 36), "C1 " + dot + " Bass Drum 1");
    EXPECT_EQ(VM::numberWithMeaning(modeMidiNote, 9, 36), "36 - C1 " + dot + " Bass Drum 1");
    // Another channel, or a note below the drum set: the note alone.
    EXPECT_EQ(VM::shortMeaning(modeMidiNote, 0, 36), "C1");
    EXPECT_EQ(VM::shortMeaning(modeNoteToggle, 9, 34), "A#0");
    // Controllers: the controller list names the number already.
    EXPECT_EQ(VM::shortMeaning(modeControl, 9, 36), "");
    EXPECT_EQ(VM::numberWithMeaning(modeRelativeControl, 9, 74), "74");
    EXPECT_EQ(VM::shortMeaning(modePatchChange, 0, 36), "program 37");
    EXPECT_EQ(VM::numberWithMeaning(modeMidiNote, 9, 200), "200") << "a number out of range means nothing";
}
