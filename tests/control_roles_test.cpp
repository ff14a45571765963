// The roles of the controls in a DAW: their keys, the defaults, and how a setup file keeps them, as one
// optional element after everything else that an editor without roles reads past and a file without roles
// never shows.
#include "files/LibraryIndex.h"
#include "files/SettingsFile.h"
#include "files/SetupLibrary.h"
#include "model/ControlCatalogue.h"
#include "model/ControlRoles.h"
#include "support/scratch_folder.h"
#include "support/setup_helpers.h"
#include "tools/quillet/Commands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
using A = ControlRole::Action;

ControlRoles someRoles()
{
    ControlRoles r;
    r.set(0x70, {A::mute, 3}); // Pad #1
    r.set(0x01, {A::sendB, 128});
    r.set(0x58, {A::undo, 0});
    return r;
}

std::string textOf(const juce::XmlElement& root)
{
    return root.toString().toStdString();
}
} // namespace

TEST(ControlRoles, KeysNameEveryActionAndRefuseNumbersOutsideOneTo128)
{
    for (auto action : ControlRole::allActions())
        for (int index : {1, 128})
        {
            const ControlRole role{action, ControlRole::isNumbered(action) ? index : 0};
            const auto back = ControlRole::fromKey(role.key());
            ASSERT_TRUE(back.has_value()) << role.key();
            EXPECT_EQ(*back, role);
        }
    EXPECT_EQ(ControlRole::fromKey("track-volume:3")->name(), "Track volume 3");
    EXPECT_EQ(ControlRole::fromKey("play")->name(), "Play");
    for (const char* bad : {"track-volume:0", "track-volume:129", "track-volume", "track-volume:", "play:1",
                            "track-volume:1x", "track-volume:4294967297", "Play", "", "volume:1"})
        EXPECT_FALSE(ControlRole::fromKey(bad).has_value()) << bad;
}

TEST(ControlRoles, DefaultsAreTheFadersLeftToRightTheFirstEightKnobsAndTheHostButtonsAsTransport)
{
    const auto roles = ControlRoles::defaults();
    // The picture's faders, from left to right: the two envelopes, then Tempo at the right.
    const int faders[] = {0x0B, 0x0C, 0x0D, 0x0E, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(roles.of(faders[i]), (ControlRole{A::trackVolume, i + 1})) << i;
    // The knobs in two rows of four: cutoff, resonance, the LFO and the four key parameters.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(roles.of(0x01 + i), (ControlRole{A::deviceParameter, i + 1})) << i;
    const A transport[] = {A::play, A::stop, A::record, A::loop, A::rewind, A::forward};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(roles.of(0x58 + i), (ControlRole{transport[i], 0})) << i;
    EXPECT_EQ(roles.assigned().size(), 9u + 8u + 6u);
    EXPECT_EQ(roles.of(0x70).action, A::none); // a pad
}

TEST(ControlRoles, AssignNumbersInTheOrderGivenAndIgnoresWhatIsNoPictureControl)
{
    ControlRoles r;
    r.assign({0x73, 0x70, 0x20, 0x71}, A::solo, 127);
    EXPECT_EQ(r.of(0x73), (ControlRole{A::solo, 127}));
    EXPECT_EQ(r.of(0x70), (ControlRole{A::solo, 128}));
    EXPECT_EQ(r.of(0x20).action, A::none); // hidden, not on the picture
    EXPECT_EQ(r.of(0x71).action, A::none); // its number would be 130
    r.assign({0x12, 0x13}, A::marker, 5);
    EXPECT_EQ(r.of(0x13), (ControlRole{A::marker, 0}));
    r.set(0x12, {A::play, 2}); // a number on an action that takes none
    EXPECT_EQ(r.of(0x12).action, A::marker);
}

TEST(ControlRoles, AFileWithoutRolesIsAsItWasAndRolesComeBackAfterTheTitle)
{
    SetupInfo info;
    info.title = "Stage";
    info.tags = {"live"};
    const auto without = textOf(*createSettingsXml(factorySetup(), info));
    EXPECT_EQ(without.find("Roles"), std::string::npos);

    info.roles = someRoles();
    const auto with = createSettingsXml(factorySetup(), info);
    EXPECT_EQ(with->getChildElement(with->getNumChildElements() - 1)->getTagName(), "Roles");
    EXPECT_EQ(with->getChildElement(with->getNumChildElements() - 2)->getTagName(), "Setup");

    // Read as the editor reads it: the roles, and the same values and info as the file without them.
    auto parsed = juce::parseXML(juce::String(textOf(*with)));
    ASSERT_NE(parsed, nullptr);
    const auto doc = parseSettingsXml(*parsed);
    ASSERT_TRUE(doc.setup.roles.has_value());
    EXPECT_EQ(*doc.setup.roles, someRoles());
    EXPECT_TRUE(doc.skipped.isEmpty());
    // Roles taken away again: byte for byte the file that never had them.
    auto noRoles = doc.setup;
    noRoles.roles.reset();
    noRoles.writeInto(*parsed);
    EXPECT_EQ(textOf(*parsed), without);

    // Roles all none are kept as set, not as never set.
    info.roles = ControlRoles();
    auto emptyRoles = juce::parseXML(juce::String(textOf(*createSettingsXml(factorySetup(), info))));
    EXPECT_EQ(parseSettingsXml(*emptyRoles).setup.roles, ControlRoles());
}

TEST(ControlRoles, BadEntriesAreSkippedAndTheLastElementCounts)
{
    auto root = juce::parseXML("<Settings><Roles><Role Control=\"1\" Action=\"play\"/></Roles>"
                               "<Roles>"
                               "<Role Control=\"2\" Action=\"track-volume:129\"/>"
                               "<Role Control=\"3\" Action=\"dance\"/>"
                               "<Role Control=\"32\" Action=\"play\"/>"         // hidden control
                               "<Role Control=\"4294967297\" Action=\"stop\"/>" // wraps to 1
                               "<Role Control=\"0x05\" Action=\"stop\"/>"
                               "<Role Action=\"stop\"/>"
                               "<Role Control=\"112\" Action=\"record-arm:2\"/>"
                               "</Roles></Settings>");
    ASSERT_NE(root, nullptr);
    const auto roles = ControlRoles::fromXml(*root);
    ASSERT_TRUE(roles.has_value());
    ControlRoles expected;
    expected.set(112, {A::recordArm, 2});
    EXPECT_EQ(*roles, expected);
    EXPECT_FALSE(ControlRoles::fromXml(*juce::parseXML("<Settings/>")).has_value());
}

TEST(ControlRoles, RolesTravelThroughSaveLoadCheckAndTheLibrarysIndex)
{
    ScratchFolder scratch;
    KbdSettingsStore store;
    store.modify([](SettingsState& s) { s = factorySetup(); });
    SetupInfo info;
    info.roles = someRoles();
    const auto file = scratch.file("roles.qmv49");
    ASSERT_TRUE(writeXmlDocument(*createSettingsXml(store.snapshot(), info), file).ok);

    SettingsDocument doc;
    ASSERT_TRUE(readSettingsDocument(file, doc).ok);
    EXPECT_EQ(doc.setup.roles, someRoles());
    std::ostringstream out, err;
    EXPECT_EQ(QuilletCommands::run({"check", file.getFullPathName()}, out, err), 0) << out.str() << err.str();

    // Retitled and renamed in the library, the setup keeps its roles.
    SetupLibrary library(scratch.folder.getChildFile("library"));
    ASSERT_TRUE(scratch.folder.getChildFile("library").createDirectory());
    info.title = "Before";
    const auto saved = library.saveNew(store.snapshot(), info);
    ASSERT_TRUE(saved.ok);
    ASSERT_TRUE(library.setInfo(saved.fileName, titled("Retitled", "live")).ok);
    const auto renamed = library.rename(saved.fileName, "Renamed");
    ASSERT_TRUE(renamed.ok);
    SettingsDocument kept;
    ASSERT_TRUE(readSettingsDocument(scratch.folder.getChildFile("library/" + renamed.fileName), kept).ok);
    EXPECT_EQ(kept.setup.title, "Renamed");
    EXPECT_EQ(kept.setup.roles, someRoles());

    // The library's index keeps them, and tells roles never set from roles all none.
    SetupEntry withRoles, never, none;
    withRoles.fileName = "a.qmv49";
    withRoles.info = info;
    never.fileName = "b.qmv49";
    none.fileName = "c.qmv49";
    none.info.roles = ControlRoles();
    const auto index = scratch.file("index");
    LibraryIndex::write(index, {withRoles, never, none});
    const auto read = LibraryIndex::read(index);
    ASSERT_EQ(read.entries.size(), 3u) << read.problem;
    EXPECT_EQ(read.entries.at("a.qmv49").info.roles, someRoles());
    EXPECT_FALSE(read.entries.at("b.qmv49").info.roles.has_value());
    EXPECT_EQ(read.entries.at("c.qmv49").info.roles, ControlRoles());
}
