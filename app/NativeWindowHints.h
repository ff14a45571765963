#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// What window managers learn about the editor's windows beyond what the toolkit tells them. Only X11 needs
// this: elsewhere the toolkit's own window style already says all of it.

/** Names the window's class, so that docks and task bars pair it with the launcher whose StartupWMClass
    carries the same name; call it before the window is shown. */
void setNativeWindowClass(juce::ComponentPeer& peer, const char* windowClass);

/** Tells the window manager that the window has exactly the size its layout takes at the zoom now in force
    (minimum = maximum): the size the toolkit asks for, never one read back from a window manager that may
    still be answering an earlier request. */
void fixNativeWindowSize(juce::ComponentPeer& peer, juce::Point<int> layoutSize);

/** Lets the window manager give the window another size, until fixNativeWindowSize fixes the new one. */
void releaseNativeWindowSize(juce::ComponentPeer& peer);
