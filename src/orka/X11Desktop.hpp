#pragma once

#include <SDL.h>

namespace orka {

/// What desktop fullscreen needs of X11 beyond SDL. SDL asks the window manager to make a
/// window fullscreen and takes it as done; on an X server without a window manager nobody
/// carries the request out, and the window keeps its size while SDL reports the display's.
class X11Desktop {
public:
    /// True when `window` is an X11 window on a server without a window manager (nobody owns
    /// the ICCCM selection WM_S<screen>). False for other video drivers.
    static bool lacksWindowManager(SDL_Window* window);
    /// Moves and resizes the X11 window itself to `area` (screen coordinates), as a window
    /// manager would; nothing for other video drivers.
    static void place(SDL_Window* window, const SDL_Rect& area);
};

}  // namespace orka
