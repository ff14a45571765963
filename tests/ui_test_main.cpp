#include "ui/EditorColours.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#if JUCE_LINUX
#include <dlfcn.h>
#endif

namespace
{
/** What the toolkit does for an application of its own and not for a test program: an X error (a window
    manager's property that a bare X server lacks, asked for by a window the test makes) is no reason to
    end the process. Without it the default handler of the X library ends the tests wherever a display is
    reachable. */
void ignoreXErrorsAsTheEditorDoes()
{
#if JUCE_LINUX
    using ErrorHandler = int (*)(void*, void*);
    if (auto* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_GLOBAL))
        if (auto* setHandler =
                reinterpret_cast<ErrorHandler (*)(ErrorHandler)>(dlsym(x11, "XSetErrorHandler")))
            setHandler([](void*, void*) { return 0; });
#endif
}
} // namespace

// The components need the toolkit's message manager and fonts, but no display; with one they pass as well.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ignoreXErrorsAsTheEditorDoes();
#if !JUCE_WINDOWS
    // The editor's preferences (the zoom, the maps installed) are the tests' own, never the user's.
    const auto settings = juce::File::getSpecialLocation(juce::File::tempDirectory)
                              .getNonexistentChildFile("quillet-ui-tests", {}, false);
    settings.createDirectory();
    setenv("XDG_CONFIG_HOME", settings.getFullPathName().toRawUTF8(), 1);
#endif
    juce::ScopedJuceInitialiser_GUI juce;
    // The editor's look and feel is not installed here: the default one gets the editor's colours.
    setEditorColours(juce::LookAndFeel::getDefaultLookAndFeel());
    const int result = RUN_ALL_TESTS();
#if !JUCE_WINDOWS
    settings.deleteRecursively();
#endif
    return result;
}
