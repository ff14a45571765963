// The About box, offered by the status display's pop-up menu: the program and its version, the same version
// the command-line tool reports.
#include "app/MainWindow.h"
#include "device/VirtualMidiPorts.h"
#include "tools/quillet/Commands.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(AboutBox, TheDisplaysMenuOffersItWithTheVersionTheToolReports)
{
    VirtualMidiPorts ports;
    MainComponent window(ports);
    auto& display = window.getSettingsPanel().statusDisplay();
    ASSERT_TRUE(display.onAbout != nullptr) << "the window gives the display its About box";
    const auto menu = display.makeMenu();
    juce::PopupMenu::MenuItemIterator item(menu);
    ASSERT_TRUE(item.next());
    EXPECT_TRUE(item.getItem().text.startsWith("About")) << item.getItem().text;

    std::ostringstream out, err;
    ASSERT_EQ(QuilletCommands::run({"--version"}, out, err), 0);
    const auto toolVersion = juce::String(out.str()).fromFirstOccurrenceOf(" ", false, false).trim();
    ASSERT_TRUE(toolVersion.isNotEmpty() && toolVersion.containsOnly("0123456789.")) << out.str();
    EXPECT_TRUE(MainComponent::aboutText().contains("Version " + toolVersion + "\n"))
        << MainComponent::aboutText();
}
