// The DAW maps, each read back by the test's own small reader: every control with a role is found once,
// on its channel as the DAW counts channels, with the number it sends and the target its role names in
// that DAW's vocabulary, or it is named in a warning; names from hostile titles stay in their folder.
#include "files/DawMapInstall.h"
#include "files/DawMaps.h"
#include "files/SettingsFile.h"
#include "model/ControlCatalogue.h"
#include "support/scratch_folder.h"
#include "support/setup_helpers.h"
#include "tools/quillet/Commands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
using A = ControlRole::Action;
using Daw = DawMaps::Daw;
// What a reader found: channel as the file writes it, message kind, number, target in the DAW's words.
using Found = std::tuple<int, juce::String, int, juce::String>;

//==============================================================================
// What each DAW calls a role, from its own documentation: # is the role's number, @ the number less one;
// Live's keys with their own channel key, or none (the global channel).
struct Vocabulary
{
    A action;
    const char *ardour, *realearn, *live, *liveChannel;
};
// clang-format off
const Vocabulary vocabulary[] = {
    {A::trackVolume, "uri /route/gain B#", "Multi ch#/fader", "VolumeSlider#", "Slider#Channel"},
    {A::trackPan, "uri /route/pandirection B#", "Multi ch#/v-pot", "", ""},
    {A::mute, "uri /route/mute B#", "Button ch#/mute", "", ""},
    {A::solo, "uri /route/solo B#", "Button ch#/solo", "", ""},
    {A::recordArm, "uri /route/recenable B#", "Button ch#/record-ready", "TrackArmButton#", ""},
    {A::sendA, "uri /route/send/gain B# 1", "Multi ch#/send-a", "Send1Knob#", ""},
    {A::sendB, "uri /route/send/gain B# 2", "Multi ch#/send-b", "Send2Knob#", ""},
    {A::deviceParameter, "uri /route/plugin/parameter S1 1 #", "Multi =@", "Encoder#", "EncoderChannel#"},
    {A::play, "function transport-roll", "Button play", "PlayButton", ""},
    {A::stop, "function transport-stop", "Button stop", "StopButton", ""},
    {A::record, "function toggle-rec-enable", "Button record", "RecButton", ""},
    {A::loop, "function loop-toggle", "Button cycle", "LoopButton", ""},
    {A::rewind, "action Transport/Rewind", "Button rewind", "RwdButton", ""},
    {A::forward, "action Transport/Forward", "Button fast-fwd", "FfwdButton", ""},
    {A::previousTrack, "action Editor/select-prev-route", "Button ch-left", "", ""},
    {A::nextTrack, "action Editor/select-next-route", "Button ch-right", "", ""},
    {A::previousBank, "function prev-bank", "Button bank-left", "PrevBankButton", ""},
    {A::nextBank, "function next-bank", "Button bank-right", "NextBankButton", ""},
    {A::marker, "action Editor/add-location-from-playhead", "Button marker", "", ""},
    {A::undo, "action Editor/undo", "Button undo", "", ""},
};
// clang-format on

juce::String word(const char* Vocabulary::*column, const ControlRole& r)
{
    for (const auto& v : vocabulary)
        if (v.action == r.action)
            return juce::String(v.*column)
                .replace("#", juce::String(r.index))
                .replace("@", juce::String(r.index - 1));
    return {};
}

/** Live's key for a role and the key of its own channel; none for a role beyond Live's eight strips. */
std::pair<juce::String, juce::String> liveKeys(const ControlRole& r)
{
    if (ControlRole::isNumbered(r.action) && r.index > 8)
        return {};
    return {word(&Vocabulary::live, r), word(&Vocabulary::liveChannel, r)};
}

//==============================================================================
// The readers.
std::vector<Found> readArdour(const std::string& text)
{
    std::vector<Found> found;
    auto root = juce::XmlDocument::parse(juce::String::fromUTF8(text.c_str()));
    EXPECT_NE(root, nullptr);
    if (root == nullptr)
        return found;
    EXPECT_EQ(root->getTagName(), "ArdourMIDIBindings");
    for (auto* b : root->getChildWithTagNameIterator("Binding"))
    {
        const int channel = b->getIntAttribute("channel");
        EXPECT_TRUE(channel >= 1 && channel <= 16) << channel;
        juce::String kind, target;
        for (const char* k : {"ctl", "note", "pgm", "rpn", "nrpn"})
            if (b->hasAttribute(k))
                kind = k;
        for (const char* t : {"uri", "function", "action"})
            if (b->hasAttribute(t))
                target = juce::String(t) + " " + b->getStringAttribute(t);
        found.emplace_back(channel, kind, b->getIntAttribute(kind), target);
    }
    return found;
}

/** Key: value lines by key, each key once; every value a number in what Live takes. */
std::map<juce::String, juce::String> readLive(const std::string& text)
{
    std::map<juce::String, juce::String> values;
    for (const auto& line : juce::StringArray::fromLines(juce::String::fromUTF8(text.c_str())))
    {
        if (line.isEmpty() || line.startsWith("#") || line.startsWith("["))
            continue;
        const auto key = line.upToFirstOccurrenceOf(":", false, false).trim();
        const auto value = line.fromFirstOccurrenceOf(":", false, false).trim();
        EXPECT_EQ(values.count(key), 0u) << "twice: " << key;
        values[key] = value;
        if (value.containsOnly("-0123456789"))
        {
            EXPECT_TRUE(value.getIntValue() >= -1 &&
                        value.getIntValue() <= (key.contains("Channel") ? 15 : 127))
                << line;
        }
    }
    return values;
}

std::vector<Found> readReaLearn(const std::string& text)
{
    std::vector<Found> found;
    const auto preset = juce::JSON::parse(juce::String::fromUTF8(text.c_str()));
    const auto* mappings = preset["mappings"].getArray();
    EXPECT_NE(mappings, nullptr);
    if (mappings == nullptr)
        return found;
    for (const auto& m : *mappings)
    {
        const auto source = m["source"], target = m["target"];
        const int channel = source["channel"];
        EXPECT_TRUE(channel >= 0 && channel <= 15) << channel;
        EXPECT_EQ(target["category"].toString(), "virtual");
        const int type = source["type"];
        const auto kind = type == 0                      ? "ctl"
                          : type == 1                    ? "note"
                          : (bool)source["isRegistered"] ? "rpn"
                                                         : "nrpn";
        const auto element = target["controlElementIndex"];
        found.emplace_back(channel, kind, (int)source["number"],
                           target["controlElementType"].toString() + " " +
                               (element.isString() ? element.toString() : "=" + element.toString()));
    }
    return found;
}

//==============================================================================
/** A control with a role, as the test set it up: channel 0..15, what it sends. */
struct Expected
{
    int id, channel, number;
    juce::String kind; // "ctl", "note", "pgm", "rpn", "nrpn", "mmc"
    ControlRole role;
    juce::String name() const { return ControlCatalogue::displayName(id); }
};

/** The factory configuration: every control on MIDI channel 1 but the pads on 10, with its default number. */
std::vector<Expected> factoryExpected(const ControlRoles& roles)
{
    std::vector<Expected> e;
    for (const auto& [id, role] : roles.assigned())
    {
        const auto d = ControlCatalogue::defaultConfig(id);
        e.push_back({id, id >= 0x70 && id <= 0x73 ? 9 : 0, d->number, "ctl", role});
    }
    return e;
}

/** Every control found once where the format holds it, else named in a warning (Ardour's MMC controls in
    a comment); and nothing found that no control gave. */
void expectEachOnce(Daw daw, const std::vector<Found>& found, const std::vector<Expected>& expected,
                    const juce::StringArray& warnings, const std::string& text)
{
    size_t matched = 0;
    for (const auto& e : expected)
    {
        const bool ardour = daw == Daw::ardour;
        const Found want{ardour ? e.channel + 1 : e.channel, e.kind, e.number,
                         word(ardour ? &Vocabulary::ardour : &Vocabulary::realearn, e.role)};
        const auto n = (size_t)std::count(found.begin(), found.end(), want);
        matched += n;
        const bool warned = warnings.joinIntoString("\n").contains(e.name() + ": ");
        if (ardour && e.kind == "mmc")
            EXPECT_TRUE(n == 0 && juce::String(text).contains(e.name() + " (")) << e.name();
        else
            EXPECT_TRUE(n == 1 ? !warned : n == 0 && warned)
                << DawMaps::nameOf(daw) << ": " << e.name() << " " << e.role.key() << " found " << n;
    }
    EXPECT_EQ(matched, found.size());
}

void expectLiveEachOnce(const std::map<juce::String, juce::String>& values,
                        const std::vector<Expected>& expected, const juce::StringArray& warnings)
{
    const int global = values.at("GlobalChannel").getIntValue();
    std::set<juce::String> given;
    for (const auto& e : expected)
    {
        const auto [key, channelKey] = liveKeys(e.role);
        const bool here =
            key.isNotEmpty() && e.kind == "ctl" && values.at(key) == juce::String(e.number) &&
            (channelKey.isEmpty() ? global == e.channel : values.at(channelKey) == juce::String(e.channel)) &&
            given.insert(key).second;
        EXPECT_NE(here, warnings.joinIntoString("\n").contains(e.name() + ": "))
            << e.name() << " " << e.role.key();
    }
    // Nothing else assigned.
    for (const auto& [key, value] : values)
    {
        const bool setting = key.contains("Name") || key.contains("MapMode") || key.contains("Channel");
        if (value != "-1" && !setting)
        {
            EXPECT_EQ(given.count(key), 1u) << key << ": " << value;
        }
    }
}
} // namespace

//==============================================================================
TEST(DawMaps, TheFactorySetupWithDefaultRolesHasEveryRoleOnceInEachFormat)
{
    const auto roles = ControlRoles::defaults();
    const DawMaps maps(factorySetup(), roles, "Factory");
    const auto expected = factoryExpected(roles);
    ASSERT_EQ(expected.size(), 23u);
    expectEachOnce(Daw::ardour, readArdour(maps.text(Daw::ardour)), expected, maps.warnings(Daw::ardour),
                   maps.text(Daw::ardour));
    expectEachOnce(Daw::realearn, readReaLearn(maps.text(Daw::realearn)), expected,
                   maps.warnings(Daw::realearn), {});
    EXPECT_TRUE(maps.warnings(Daw::ardour).isEmpty());
    EXPECT_TRUE(maps.warnings(Daw::realearn).isEmpty());
    // Live has eight volume sliders: the ninth fader is said, and nothing else.
    expectLiveEachOnce(readLive(maps.text(Daw::ableton)), expected, maps.warnings(Daw::ableton));
    ASSERT_EQ(maps.warnings(Daw::ableton).size(), 1);
    EXPECT_TRUE(maps.warnings(Daw::ableton)[0].startsWith("Tempo: "));
}

TEST(DawMaps, ARandomSetupWithRandomRolesHasEachControlOnceOrAWarning)
{
    juce::Random random(20261209);
    const std::pair<int, const char*> modes[] = {{modeControl, "ctl"},     {modeMidiNote, "note"},
                                                 {modeRpn, "rpn"},         {modeNrpn, "nrpn"},
                                                 {modePatchChange, "pgm"}, {modeMmc, "mmc"}};
    for (int round = 0; round < 20; ++round)
    {
        SettingsState state = factorySetup();
        ControlRoles roles;
        std::vector<Expected> expected;
        for (int id : ControlCatalogue::pictureControls())
        {
            const auto [mode, kind] = modes[random.nextInt(6)];
            const int channel = random.nextInt(16), number = random.nextInt(128);
            state.set(itemFieldMode, id, mode);
            state.set(itemFieldChannel, id, channel);
            state.set(itemFieldNumber, id, number);
            const auto action =
                ControlRole::allActions()[(size_t)random.nextInt((int)ControlRole::allActions().size())];
            const ControlRole role{action, ControlRole::isNumbered(action) ? 1 + random.nextInt(12) : 0};
            roles.set(id, role);
            if (action != A::none)
                expected.push_back({id, channel, number, kind, role});
        }
        const DawMaps maps(state, roles, "Random " + juce::String(round));
        expectEachOnce(Daw::ardour, readArdour(maps.text(Daw::ardour)), expected, maps.warnings(Daw::ardour),
                       maps.text(Daw::ardour));
        expectEachOnce(Daw::realearn, readReaLearn(maps.text(Daw::realearn)), expected,
                       maps.warnings(Daw::realearn), {});
        expectLiveEachOnce(readLive(maps.text(Daw::ableton)), expected, maps.warnings(Daw::ableton));
        if (HasFailure())
            return;
    }
}

TEST(DawMaps, ChannelsAreCountedAsEachDawCountsThem)
{
    SettingsState state = factorySetup();
    state.set(itemFieldChannel, 0x01, 15); // the 16th channel
    state.set(itemFieldChannel, 0x02, 0);  // the 1st
    ControlRoles roles;
    roles.set(0x01, {A::deviceParameter, 1});
    roles.set(0x02, {A::deviceParameter, 2});
    const DawMaps maps(state, roles, "Edges");

    const auto ardour = readArdour(maps.text(Daw::ardour));
    ASSERT_EQ(ardour.size(), 2u);
    EXPECT_EQ(std::get<0>(ardour[0]), 16);
    EXPECT_EQ(std::get<0>(ardour[1]), 1);
    const auto live = readLive(maps.text(Daw::ableton));
    EXPECT_EQ(live.at("EncoderChannel1"), "15");
    EXPECT_EQ(live.at("EncoderChannel2"), "0");
    const auto realearn = readReaLearn(maps.text(Daw::realearn));
    ASSERT_EQ(realearn.size(), 2u);
    EXPECT_EQ(std::get<0>(realearn[0]), 15);
    EXPECT_EQ(std::get<0>(realearn[1]), 0);
}

TEST(DawMaps, HostileTitlesGiveAUsableNameThatStaysInItsFolder)
{
    ScratchFolder scratch;
    const juce::String titles[] = {"../../x",
                                   "a/b",
                                   "con",
                                   "",
                                   juce::String::repeatedString("é", 300),
                                   "tab\there\nline\x1b[31m",
                                   "..",
                                   " . ",
                                   "LPT1.txt",
                                   "a\\b:c*?"};
    for (const auto& title : titles)
    {
        const DawMaps maps(factorySetup(), ControlRoles::defaults(), title);
        const auto name = maps.folderName();
        EXPECT_TRUE(name.isNotEmpty()) << title;
        EXPECT_FALSE(name.containsAnyOf("/\\:*?\"<>|\n\t\x1b")) << name;
        EXPECT_FALSE(name.startsWithChar('.') || name.endsWithChar('.') || name.endsWithChar(' ')) << name;
        EXPECT_LE(name.getNumBytesAsUTF8(), 100u) << name;
        for (const char* device : {"con", "lpt1"})
            EXPECT_FALSE(name.upToFirstOccurrenceOf(".", false, false).equalsIgnoreCase(device)) << name;
        for (auto daw : {Daw::ardour, Daw::realearn})
        {
            const auto file = scratch.folder.getChildFile(maps.fileName(daw));
            EXPECT_EQ(file.getParentDirectory(), scratch.folder) << title;
            ASSERT_TRUE(maps.write(daw, file, ReadOnlyFiles::refuse).ok) << maps.fileName(daw);
        }
        // The title named inside the file cannot break it.
        EXPECT_EQ(readArdour(maps.text(Daw::ardour)).size(), 23u) << title;
        EXPECT_EQ(readReaLearn(maps.text(Daw::realearn)).size(), 23u) << title;
        EXPECT_EQ(readLive(maps.text(Daw::ableton)).at("VolumeSlider1"), "73") << title;
    }
    EXPECT_EQ(scratch.fileCount(), 2 * 10 - 2)
        << "two titles giving one name"; // ".." and " . " are both "Setup"
}

#if JUCE_LINUX
TEST(DawMaps, InstallWritesOnlyWhereTheDawIsAndSaysWhereOtherwise)
{
    ScratchFolder home;
    const auto previous = juce::SystemStats::getEnvironmentVariable("XDG_CONFIG_HOME", {});
    setenv("XDG_CONFIG_HOME", home.folder.getFullPathName().toRawUTF8(), 1);
    const DawMaps maps(factorySetup(), ControlRoles::defaults(), "Studio");

    for (auto daw : {Daw::ardour, Daw::ableton, Daw::realearn})
    {
        const auto nothing = DawMapInstall::install(daw, maps);
        EXPECT_FALSE(nothing.ok) << DawMaps::nameOf(daw);
        EXPECT_TRUE(nothing.message.isNotEmpty());
    }
    EXPECT_TRUE(DawMapInstall::install(Daw::ardour, maps).message.contains("midi_maps"));
    EXPECT_EQ(home.folder.getNumberOfChildFiles(juce::File::findFilesAndDirectories), 0);

    // The newest Ardour's settings, and ReaLearn's data folder.
    ASSERT_TRUE(home.file("ardour7").createDirectory());
    ASSERT_TRUE(home.file("ardour8").createDirectory());
    ASSERT_TRUE(home.file("REAPER/Data/helgoboss/realearn").createDirectory());
    const auto ardour = DawMapInstall::install(Daw::ardour, maps);
    EXPECT_TRUE(ardour.ok) << ardour.message;
    EXPECT_EQ(ardour.written, home.file("ardour8/midi_maps/Studio.map"));
    EXPECT_EQ(readArdour(ardour.written.loadFileAsString().toStdString()).size(), 23u);
    const auto realearn = DawMapInstall::install(Daw::realearn, maps);
    EXPECT_TRUE(realearn.ok) << realearn.message;
    EXPECT_EQ(realearn.written, home.file("REAPER/Data/helgoboss/realearn/presets/controller/Studio.json"));
    EXPECT_FALSE(home.file("ardour7/midi_maps").exists());

    // The tool's --install, from a setup file named by its title.
    SetupInfo info;
    info.title = "On Stage";
    const auto in = home.file("in.qmv49");
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(factorySetup(), info), in).ok);
    std::ostringstream out, err;
    EXPECT_EQ(QuilletCommands::run({"maps", "--daw=ardour", in.getFullPathName(), "--install"}, out, err), 0)
        << err.str();
    EXPECT_TRUE(home.file("ardour8/midi_maps/On Stage.map").existsAsFile()) << out.str();
    EXPECT_EQ(QuilletCommands::run({"maps", "--daw=ableton", in.getFullPathName(), "--install"}, out, err),
              QuilletCommands::exitFailed);

    previous.isEmpty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", previous.toRawUTF8(), 1);
}
#endif

TEST(DawMaps, QuilletMapsWritesEachFormatFromTheFilesRolesAndRefusesMistakes)
{
    ScratchFolder scratch;
    SetupInfo info;
    info.title = "Live Set";
    ControlRoles roles;
    roles.set(0x70, {A::mute, 1});        // a pad: a note, which Live's map cannot take
    roles.set(0x4F, {A::trackVolume, 2}); // Tempo
    info.roles = roles;
    const auto in = scratch.file("in.qmv49");
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(factorySetup(), info), in).ok);
    const auto run = [](const juce::StringArray& args, std::string* errText = nullptr)
    {
        std::ostringstream out, err;
        const int code = QuilletCommands::run(args, out, err);
        if (errText != nullptr)
            *errText = err.str();
        return code;
    };

    ASSERT_EQ(run({"maps", "--daw=ardour", in.getFullPathName(), scratch.file("out.map").getFullPathName()}),
              0);
    const auto ardour = readArdour(scratch.file("out.map").loadFileAsString().toStdString());
    ASSERT_EQ(ardour.size(), 2u);
    EXPECT_EQ(ardour[0], (Found{1, "ctl", 85, "uri /route/gain B2"}));
    EXPECT_EQ(ardour[1], (Found{10, "note", 124, "uri /route/mute B1"}));

    std::string err;
    ASSERT_EQ(
        run({"maps", "--daw=ableton", in.getFullPathName(), scratch.file("live").getFullPathName()}, &err),
        0);
    const auto live =
        readLive(scratch.file("live/Live Set/UserConfiguration.txt").loadFileAsString().toStdString());
    EXPECT_EQ(live.at("VolumeSlider2"), "85");
    EXPECT_NE(err.find("Pad #1"), std::string::npos) << err;

    // A file without roles takes the defaults.
    const auto plain = scratch.file("plain.qmv49");
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(factorySetup()), plain).ok);
    ASSERT_EQ(
        run({"maps", "--daw=realearn", plain.getFullPathName(), scratch.file("p.json").getFullPathName()}),
        0);
    EXPECT_EQ(readReaLearn(scratch.file("p.json").loadFileAsString().toStdString()).size(), 23u);

    EXPECT_EQ(run({"maps", in.getFullPathName(), scratch.file("x").getFullPathName()}),
              QuilletCommands::exitUsage);
    EXPECT_EQ(run({"maps", "--daw=cubase", in.getFullPathName(), scratch.file("x").getFullPathName()}),
              QuilletCommands::exitUsage);
    EXPECT_EQ(run({"maps", "--daw=ardour", in.getFullPathName()}), QuilletCommands::exitUsage);
    EXPECT_EQ(run({"maps", "--daw=ardour", scratch.file("missing.qmv49").getFullPathName(),
                   scratch.file("x").getFullPathName()}),
              QuilletCommands::exitUnreadable);
    // A folder where the file should go is not replaced.
    EXPECT_EQ(run({"maps", "--daw=ardour", in.getFullPathName(), scratch.file("live").getFullPathName()}),
              QuilletCommands::exitFailed);
    EXPECT_FALSE(scratch.file("x").exists());

    // The keyboard's configuration, read as the editor reads it, with the default roles.
    ASSERT_EQ(run({"maps", "--daw=ardour", "--keyboard", scratch.file("k.map").getFullPathName(),
                   "--emulated-keyboard"},
                  &err),
              0)
        << err;
    EXPECT_FALSE(readArdour(scratch.file("k.map").loadFileAsString().toStdString()).empty());
}
