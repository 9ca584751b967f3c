#include "orka/X11Desktop.hpp"

#include <SDL_syswm.h>

#include <string>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace orka {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

struct X11Window {
    Display* display = nullptr;
    Window id = 0;
};

X11Window x11Window(SDL_Window* window) {
    if (window == nullptr) return {};
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return {};
    }
    return {info.info.x11.display, info.info.x11.window};
}

}  // namespace

bool X11Desktop::lacksWindowManager(SDL_Window* window) {
    const X11Window x11 = x11Window(window);
    if (x11.display == nullptr) return false;
    // A window manager announces itself by owning this selection for its screen.
    const std::string selection = "WM_S" + std::to_string(DefaultScreen(x11.display));
    const Atom atom = XInternAtom(x11.display, selection.c_str(), False);
    return XGetSelectionOwner(x11.display, atom) == None;
}

void X11Desktop::place(SDL_Window* window, const SDL_Rect& area) {
    const X11Window x11 = x11Window(window);
    if (x11.display == nullptr || area.w <= 0 || area.h <= 0) return;
    XMoveResizeWindow(x11.display, x11.id, area.x, area.y, static_cast<unsigned>(area.w),
                      static_cast<unsigned>(area.h));
    XFlush(x11.display);
}

#else  // SDL without X11: SDL's own fullscreen is all there is.

bool X11Desktop::lacksWindowManager(SDL_Window*) {
    return false;
}
void X11Desktop::place(SDL_Window*, const SDL_Rect&) {}

#endif

}  // namespace orka
