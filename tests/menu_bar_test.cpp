// The menu bar over the panel: the commands a user finds without a pop-up menu, greyed when they cannot be
// done, acting on the panel, and harmless once the window is gone.
#include "app/MainWindow.h"
#include "device/VirtualMidiPorts.h"
#include "emulator/KeyboardEmulator.h"
#include "support/ui_test_support.h"

namespace
{
/** Every item of a menu, by its text. */
std::map<juce::String, juce::PopupMenu::Item> itemsOf(const juce::PopupMenu& menu)
{
    std::map<juce::String, juce::PopupMenu::Item> items;
    for (juce::PopupMenu::MenuItemIterator i(menu); i.next();)
        if (!i.getItem().isSeparator)
            items[i.getItem().text] = i.getItem();
    return items;
}

juce::PopupMenu menuNamed(EditorMenuBar& bar, const juce::String& name)
{
    const auto names = bar.getMenuBarNames();
    EXPECT_TRUE(names.contains(name)) << name;
    return bar.getMenuForIndex(names.indexOf(name), name);
}
} // namespace

TEST(MenuBar, OffersWhatTheDisplaysMenusHidAndActsOnThePanel)
{
    VirtualMidiPorts ports;
    auto window = std::make_unique<MainComponent>(ports);
    auto& bar = window->getMenuBar();
    EXPECT_EQ(bar.getMenuBarNames().joinIntoString(","), "File,Edit,Keyboard,View,Help");
    // The panel keeps its place and size under the bar.
    EXPECT_EQ(window->getSettingsPanel().getBounds(), juce::Rectangle<int>(0, 24, 1063, 460));

    auto file = itemsOf(menuNamed(bar, "File"));
    auto edit = itemsOf(menuNamed(bar, "Edit"));
    auto keyboard = itemsOf(menuNamed(bar, "Keyboard"));
    auto help = itemsOf(menuNamed(bar, "Help"));
    for (const char* text : {"Load...", "Save...", "Chart...", "Setup Library..."})
        EXPECT_EQ(file.count(text), 1u) << text;
    EXPECT_EQ(file["Save..."].shortcutKeyDescription, "Ctrl+S");
    for (const char* text :
         {"Read from the Keyboard", "Compare with the Keyboard", "Compare with a Settings File...",
          "Compare with the Last Saved Settings", "Send to Keyboard"})
        EXPECT_EQ(keyboard.count(text), 1u) << text;
    EXPECT_EQ(help.count("About Quillet MIDI Control Center"), 1u);

    // No keyboard: nothing to send to, read or compare with; nothing to undo yet, nothing selected to copy.
    EXPECT_FALSE(keyboard["Send to Keyboard"].isEnabled);
    EXPECT_FALSE(keyboard["Read from the Keyboard"].isEnabled);
    EXPECT_FALSE(keyboard["Compare with the Keyboard"].isEnabled);
    EXPECT_TRUE(keyboard["Compare with a Settings File..."].isEnabled);
    EXPECT_FALSE(edit["Undo"].isEnabled);
    EXPECT_FALSE(edit["Copy Settings"].isEnabled);

    // Chosen, an item does what it says; the menu made afterwards reflects it.
    ASSERT_TRUE(edit["Select All Pads"].action != nullptr);
    edit["Select All Pads"].action();
    EXPECT_EQ(window->getSettingsPanel().getPicker().getSelection().size(), 4);
    EXPECT_TRUE(itemsOf(menuNamed(bar, "Edit"))["Copy Settings"].isEnabled);

    // An item chosen as the window goes (its action runs after the menu has closed) does nothing.
    auto late = itemsOf(menuNamed(bar, "Edit"));
    window = nullptr;
    for (auto& [text, item] : late)
        if (item.action != nullptr && text != "Undo" && text != "Redo")
            item.action();
    SUCCEED();
}

TEST(MenuBar, WithTheKeyboardFoundItsCommandsAreOffered)
{
    VirtualMidiPorts ports;
    KeyboardEmulator keyboardAtHand(ports);
    keyboardAtHand.setConfiguration(KeyboardEmulator::demoConfiguration());
    MainComponent window(ports);
    ASSERT_TRUE(pumpUntil(
        [&] { return window.getSettingsPanel().statusDisplay().getDetail().startsWith("Read from"); }));
    auto keyboard = itemsOf(menuNamed(window.getMenuBar(), "Keyboard"));
    EXPECT_TRUE(keyboard["Send to Keyboard"].isEnabled);
    EXPECT_TRUE(keyboard["Compare with the Keyboard"].isEnabled);
    EXPECT_FALSE(keyboard["Search for the Keyboard Again"].isEnabled) << "the keyboard is already found";
}
