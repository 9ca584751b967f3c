#pragma once

#include <SDL.h>

namespace orka {

/// Keeps the process alive when its X11 window is destroyed from outside (by
/// `xdotool windowclose`, say, or a window manager that kills windows) instead of being closed
/// through the window manager's close request. Every later request about the window then fails,
/// and Xlib's default answer to such an error is to end the process. While a watch lives, X
/// errors saying the watched window does not exist are recorded instead and `windowLost` turns
/// true; every other X error goes to the handler that was installed before.
///
/// Does nothing for a window that is not an X11 window (another video driver). One watch at a
/// time, since Xlib's error handler is process-wide; main thread only.
class X11WindowWatch {
public:
    explicit X11WindowWatch(SDL_Window* window);
    /// Waits for the X server's answers to the requests made so far, so that their errors still
    /// come here, then puts the previous error handler back.
    ~X11WindowWatch();
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    /// The window is an X11 window and its errors are being watched.
    bool isWatching() const { return display != nullptr; }
    /// True once an X error said that the watched window no longer exists.
    bool windowLost() const;

private:
    void* display = nullptr;  // the window's Display*; Xlib's macros are kept out of this header
};

}  // namespace orka
