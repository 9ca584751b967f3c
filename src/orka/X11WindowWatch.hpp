#pragma once

#include <SDL.h>

namespace orka {

/// Keeps the process alive when its X11 window is destroyed from outside (by
/// `xdotool windowclose`, say, or a window manager that kills windows) instead of being closed
/// through the window manager's close request. Every later request about the window then fails,
/// and Xlib's default answer to such an error is to end the process. While a watch lives, X
/// errors saying the watched window does not exist are recorded instead and `windowLost` turns
/// true. From then on every X error is ignored, the first of them logged: they are the aftermath
/// of the loss (the GL driver frees what it could not make for the gone window, up to when SDL
/// closes its display). Before the loss, other X errors go to the handler installed before.
///
/// Lifetime: make it before SDL's video starts and destroy it after SDL_Quit. SDL keeps the
/// handler it finds when its video starts and puts that one back to close its display, which
/// still sends requests about the window. One watch at a time, since Xlib's error handler is
/// process-wide; main thread only.
class X11WindowWatch {
public:
    /// Installs the error handler; watches no window yet.
    X11WindowWatch();
    /// Puts the previous error handler back, unless someone replaced this one meanwhile.
    ~X11WindowWatch();
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    /// Watches `window` from now on. Does nothing for a window that is not an X11 window
    /// (another video driver), or when this is not the process's watch.
    void watch(SDL_Window* window);

    /// An X11 window is being watched.
    bool isWatching() const;
    /// True once an X error said that the watched window no longer exists.
    bool windowLost() const;

private:
    bool installed = false;  // false for a second watch, which leaves the handler alone
};

}  // namespace orka
