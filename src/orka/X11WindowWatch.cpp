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
    bool installed = false;
    XErrorHandler previous = nullptr;
    XID window = 0;
    int glxFirstError = -1;  // GLX's first error code; -1 without GLX
    bool lost = false;
    bool aftermathLogged = false;
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

void logFirstAftermathError(Display* display, const XErrorEvent& error) {
    if (state.aftermathLogged) return;
    state.aftermathLogged = true;
    // Xlib's own default handler names the error this way too.
    char name[128] = "";
    XGetErrorText(display, error.error_code, name, sizeof(name));
    ORKA_LOG_WARNING(
        "X error after the window was lost, ignored like any that follow: %s (request %d.%d, "
        "resource 0x%lx)",
        name, error.request_code, error.minor_code, error.resourceid);
}

int onXError(Display* display, XErrorEvent* error) {
    if (state.window != 0 && error->resourceid == state.window &&
        saysWindowIsMissing(error->error_code)) {
        state.lost = true;
        return 0;
    }
    if (state.lost) {
        logFirstAftermathError(display, *error);
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

X11WindowWatch::X11WindowWatch() {
    if (state.installed) {
        ORKA_LOG_ERROR("Another X11 window watch is active; this one watches nothing");
        return;
    }
    installed = true;
    state = WatchState{};
    state.installed = true;
    state.previous = XSetErrorHandler(onXError);
}

X11WindowWatch::~X11WindowWatch() {
    if (!installed) return;
    // Someone who replaced the handler meanwhile keeps theirs.
    const XErrorHandler current = XSetErrorHandler(state.previous);
    if (current != onXError) XSetErrorHandler(current);
    state = WatchState{};
}

void X11WindowWatch::watch(SDL_Window* window) {
    Display* display = nullptr;
    XID id = 0;
    if (!installed || !x11Parts(window, display, id)) return;
    state.window = id;
    state.glxFirstError = glxFirstError(display);
    state.lost = false;
}

bool X11WindowWatch::isWatching() const {
    return installed && state.window != 0;
}

bool X11WindowWatch::windowLost() const {
    return installed && state.lost;
}

#else  // SDL without X11: there is nothing to watch.

X11WindowWatch::X11WindowWatch() = default;
X11WindowWatch::~X11WindowWatch() = default;
void X11WindowWatch::watch(SDL_Window*) {}
bool X11WindowWatch::isWatching() const {
    return false;
}
bool X11WindowWatch::windowLost() const {
    return false;
}

#endif

}  // namespace orka
