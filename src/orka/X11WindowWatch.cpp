#include "orka/X11WindowWatch.hpp"

#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

#include "orka/Log.hpp"

namespace orka {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

// Xlib calls its error handler as a plain function, so what it needs is process-wide.
struct WatchState {
    XErrorHandler previous = nullptr;
    XID window = 0;
    int glxFirstError = -1;  // GLX's first error code; -1 without GLX
    bool lost = false;
};
WatchState state;

// GLX reports a window that is gone as one of these (offsets from its first error code).
constexpr int kGlxBadDrawable = 2;
constexpr int kGlxBadCurrentWindow = 5;
constexpr int kGlxBadCurrentDrawable = 11;
constexpr int kGlxBadWindow = 12;

bool saysWindowIsMissing(int code) {
    if (code == BadWindow || code == BadDrawable) return true;
    if (state.glxFirstError < 0) return false;
    const int glxCode = code - state.glxFirstError;
    return glxCode == kGlxBadDrawable || glxCode == kGlxBadCurrentWindow ||
           glxCode == kGlxBadCurrentDrawable || glxCode == kGlxBadWindow;
}

int onXError(Display* display, XErrorEvent* error) {
    if (error->resourceid == state.window && saysWindowIsMissing(error->error_code)) {
        state.lost = true;
        return 0;
    }
    return state.previous != nullptr ? state.previous(display, error) : 0;
}

int glxFirstError(Display* display) {
    int opcode = 0, firstEvent = 0, firstError = 0;
    return XQueryExtension(display, "GLX", &opcode, &firstEvent, &firstError) ? firstError : -1;
}

/// The X11 display and window of `window`, or false when it is not an X11 window.
bool x11Parts(SDL_Window* window, Display*& display, XID& id) {
    if (window == nullptr) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    display = info.info.x11.display;
    id = info.info.x11.window;
    return display != nullptr;
}

}  // namespace

X11WindowWatch::X11WindowWatch(SDL_Window* window) {
    Display* x11Display = nullptr;
    XID id = 0;
    if (!x11Parts(window, x11Display, id)) return;
    if (state.window != 0) {
        ORKA_LOG_ERROR("Another X11 window is already watched; window 0x%lx is not", id);
        return;
    }
    display = x11Display;
    state = WatchState{XSetErrorHandler(onXError), id, glxFirstError(x11Display), false};
}

X11WindowWatch::~X11WindowWatch() {
    if (display == nullptr) return;
    XSync(static_cast<Display*>(display), False);
    // Someone who replaced the handler meanwhile keeps theirs.
    const XErrorHandler current = XSetErrorHandler(state.previous);
    if (current != onXError) XSetErrorHandler(current);
    state = WatchState{};
}

bool X11WindowWatch::windowLost() const {
    return display != nullptr && state.lost;
}

#else  // SDL without X11: there is nothing to watch.

X11WindowWatch::X11WindowWatch(SDL_Window*) {}
X11WindowWatch::~X11WindowWatch() = default;
bool X11WindowWatch::windowLost() const {
    return false;
}

#endif

}  // namespace orka
