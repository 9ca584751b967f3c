// What the window watch is for: another X client destroys the window, and X errors that follow,
// up to SDL closing its display, must not end the process. Each case runs in a child process,
// since Xlib's default answer to an error is exit(1).
#include "orka/X11WindowWatch.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "orka/Log.hpp"
#include "orka/SDLRenderer.hpp"

#include <SDL_syswm.h>  // last: Xlib defines short macro names
#include <X11/Xlib.h>

namespace orka {
namespace {

// Frames the loop may run before the loss must have been noticed; it takes one or two.
constexpr int kFrameLimit = 600;

int fail(const char* why) {
    std::cerr << "FAILED: " << why << std::endl;
    return 1;
}

constexpr const char* kIgnoredErrorLine = "X error after the window was lost";
/// Lines of the log that tell of an X error ignored after the loss, written out at the exit.
int ignoredErrorLines = 0;

/// The log on standard error; at the exit, how many ignored X errors it told of: SDL's own
/// requests for the gone window may fail before or after the loss is seen, so the order of the
/// lines varies, but each loss is told of once.
void logToStandardError() {
    Log::logHandler = [](const char*, const char*, int, LogType, std::string message) {
        if (message.rfind(kIgnoredErrorLine, 0) == 0) ++ignoredErrorLines;
        std::cerr << message << "\n";
    };
    std::atexit([] { std::cerr << "ignored X error lines: " << ignoredErrorLines << "\n"; });
}

struct X11Window {
    Display* display = nullptr;
    Window id = 0;
};

X11Window x11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11) {
        return {};
    }
    return {info.info.x11.display, info.info.x11.window};
}

/// As `xdotool windowclose` does: through a connection of its own.
bool destroyFromOutside(Window id) {
    Display* other = XOpenDisplay(nullptr);
    if (other == nullptr) return false;
    XDestroyWindow(other, id);
    XCloseDisplay(other);  // waits until the server has done it
    return true;
}

/// Frees a pixmap that was never made, on the window's connection, without waiting for the
/// answer: the error comes when SDL closes the display, as the GL driver's errors about a
/// window it could not draw into do.
void sendFailingRequest(Display* display) {
    XFreePixmap(display, XAllocID(display));
}

int errorAfterTheWindowIsDestroyedFromOutside() {
    logToStandardError();
    SDLRenderer sdl;
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    const X11Window x11 = x11Window(sdl.getSDLWindow());
    if (x11.display == nullptr) return fail("no X11 window");
    if (!destroyFromOutside(x11.id)) return fail("no second connection");
    int frames = 0;
    sdl.frameUpdate = [&](float) {
        if (++frames == kFrameLimit) sdl.stopEventLoop();
    };
    sdl.startEventLoop();
    if (frames == kFrameLimit) return fail("the loop ran on without its window");
    sendFailingRequest(x11.display);
    return 0;  // the renderer goes now, closing the display
}

int errorWhileTheWindowLives() {
    SDLRenderer sdl;
    sdl.init(SDL_INIT_VIDEO, SDL_WINDOW_OPENGL, false);
    const X11Window x11 = x11Window(sdl.getSDLWindow());
    if (x11.display == nullptr) return fail("no X11 window");
    sendFailingRequest(x11.display);
    XSync(x11.display, False);
    return 0;
}

TEST(X11WindowWatchDeathTest, XErrorsAfterTheWindowIsDestroyedFromOutsideAreLoggedOnceAndIgnored) {
    EXPECT_EXIT(std::exit(errorAfterTheWindowIsDestroyedFromOutside()),
                ::testing::ExitedWithCode(0),
                "(The window was destroyed from outside.*\nX error after the window was lost, "
                "ignored like any that follow|X error after the window was lost, ignored like any "
                "that follow.*\nThe window was destroyed from outside).*\nignored X error "
                "lines: 1\n$");
}

TEST(X11WindowWatchDeathTest, AnXErrorWhileTheWindowLivesStillEndsTheProcess) {
    // Only the aftermath of a loss is ignored: other errors are faults worth stopping for.
    EXPECT_EXIT(std::exit(errorWhileTheWindowLives()), ::testing::ExitedWithCode(1),
                "X Error of failed request: +BadPixmap");
}

}  // namespace
}  // namespace orka
