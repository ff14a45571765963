#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Names the window's class, so that docks and task bars pair it with the launcher whose StartupWMClass
    carries the same name, and tells the window manager that the window has exactly its present size.
    Call it once the window has its final size and before it is shown. Only X11 needs this: elsewhere the
    toolkit's own window style already says all of it. */
void pinNativeWindowHints(juce::ComponentPeer& peer, const char* windowClass);
