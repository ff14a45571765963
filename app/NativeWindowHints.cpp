// The toolkit's X11 declarations, for its display connection, its lock and its Xlib functions (loaded at run
// time); only this file needs them.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "NativeWindowHints.h"

#if JUCE_LINUX || JUCE_BSD

namespace
{
template <typename Action> void withNativeWindow(juce::ComponentPeer& peer, Action action)
{
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    const auto window = (::Window)(juce::pointer_sized_uint)peer.getNativeHandle();
    if (display == nullptr || window == 0)
        return;
    juce::XWindowSystemUtilities::ScopedXLock lock;
    action(display, window);
    juce::X11Symbols::getInstance()->xFlush(display);
}
} // namespace

void setNativeWindowClass(juce::ComponentPeer& peer, const char* windowClass)
{
    // The toolkit names the class after the application, whose name is the window title.
    withNativeWindow(peer,
                     [windowClass](::Display* display, ::Window window)
                     {
                         XClassHint classHint;
                         classHint.res_name = const_cast<char*>(windowClass);
                         classHint.res_class = const_cast<char*>(windowClass);
                         juce::X11Symbols::getInstance()->xSetClassHint(display, window, &classHint);
                     });
}

void fixNativeWindowSize(juce::ComponentPeer& peer, juce::Point<int> layoutSize)
{
    // When the toolkit places a window it writes the fixed-size hints and then replaces them with the
    // position and size alone, so some window managers offer to maximise or resize the fixed layout.
    // The size is the layout's at the zoom, rounded as the toolkit rounds it when it asks for the window's.
    const auto zoom = juce::Desktop::getInstance().getGlobalScaleFactor();
    const auto asked = juce::Rectangle<int>(juce::roundToInt((float)layoutSize.x * zoom),
                                            juce::roundToInt((float)layoutSize.y * zoom))
                           .withPosition(peer.getBounds().getPosition());
    const auto bounds = (asked.toDouble() * peer.getPlatformScaleFactor()).toNearestInt();
    withNativeWindow(peer,
                     [bounds](::Display* display, ::Window window)
                     {
                         XSizeHints hints{};
                         hints.flags = PMinSize | PMaxSize | USPosition | USSize;
                         hints.x = bounds.getX();
                         hints.y = bounds.getY();
                         hints.width = hints.min_width = hints.max_width = bounds.getWidth();
                         hints.height = hints.min_height = hints.max_height = bounds.getHeight();
                         juce::X11Symbols::getInstance()->xSetWMNormalHints(display, window, &hints);
                     });
}

void releaseNativeWindowSize(juce::ComponentPeer& peer)
{
    withNativeWindow(peer,
                     [](::Display* display, ::Window window)
                     {
                         XSizeHints hints{};
                         hints.flags = PMinSize | PMaxSize;
                         hints.min_width = hints.min_height = 1;
                         hints.max_width = hints.max_height = 32767;
                         juce::X11Symbols::getInstance()->xSetWMNormalHints(display, window, &hints);
                     });
}

#else

// Task bars and docks on Windows and macOS pair a window with its program by the executable, and the
// toolkit's non-resizable window style reaches them whole. (Not built here: no such system at hand.)
void setNativeWindowClass(juce::ComponentPeer&, const char*) {}
void fixNativeWindowSize(juce::ComponentPeer&, juce::Point<int>) {}
void releaseNativeWindowSize(juce::ComponentPeer&) {}

#endif
