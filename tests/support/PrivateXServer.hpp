#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "support/OnScreenLine.hpp"
#include "support/Patience.hpp"

namespace game::test {

/// An Xvfb server of its own (1024 x 768) for one test, so that the game's window is the only
/// window on it and keys sent with xdotool reach it whatever other tests do. Stopped when the
/// object goes.
class PrivateXServer {
public:
    PrivateXServer() {
        int ends[2];
        if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
        pid = fork();
        if (pid == 0) {
            close(ends[0]);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            const std::string fd = std::to_string(ends[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ends[1]);
        display = ":" + ReadLine(ends[0]);
        close(ends[0]);
        if (display == ":") throw std::runtime_error("Xvfb did not start");
        connection = XOpenDisplay(display.c_str());
        if (connection == nullptr) throw std::runtime_error("cannot connect to " + display);
        // A window can go between listing it and asking about it (SDL makes short-lived
        // windows while it starts); Xlib's default handler would end the test process then.
        // The failed request returns a failure status instead, which the callers handle.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~PrivateXServer() {
        if (connection != nullptr) XCloseDisplay(connection);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    /// The first mapped top-level window, waiting up to `limit` for one; 0 when none came.
    Window WaitForWindow(std::chrono::milliseconds limit = test_support::kPatience) {
        Window found = 0;
        test_support::WaitUntil([&] { return (found = MappedWindow()) != 0; }, limit);
        return found;
    }
    /// Waits up to `limit` until no top-level window is mapped; true when that came.
    bool WaitUntilNoWindow(std::chrono::milliseconds limit = test_support::kPatience) {
        return test_support::WaitUntil([&] { return MappedWindow() == 0; }, limit);
    }
    XWindowAttributes Attributes(Window window) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(connection, window, &attributes) == 0) return {};
        return attributes;
    }
    /// The window's title (WM_NAME); empty when it has none.
    std::string Title(Window window) {
        char* name = nullptr;
        if (XFetchName(connection, window, &name) == 0 || name == nullptr) return "";
        std::string title(name);
        XFree(name);
        return title;
    }
    /// The size hints the window gives a window manager (WM_NORMAL_HINTS); no flags when none.
    XSizeHints SizeHints(Window window) {
        XSizeHints hints{};
        long supplied = 0;
        if (XGetWMNormalHints(connection, window, &hints, &supplied) == 0) hints.flags = 0;
        return hints;
    }
    /// Where the window's top-left pixel lies on the screen.
    std::pair<int, int> Origin(Window window) {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &x, &y,
                              &child);
        return {x, y};
    }
    /// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
    void RequestClose(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(connection, window, False, NoEventMask, &event);
        XFlush(connection);
    }
    /// Runs xdotool with `arguments` on this server (the pointer decides which window has the
    /// keyboard, so move it onto the window first). True when xdotool succeeded.
    bool Xdotool(const std::string& arguments) const {
        return std::system(("DISPLAY=" + display + " xdotool " + arguments).c_str()) == 0;
    }
    /// Runs xdotool's `actions` with the pointer first moved to (`x`, `y`) inside `window`, which
    /// gives that window the keyboard.
    bool XdotoolOver(Window window, int x, int y, const std::string& actions) {
        const auto [left, top] = Origin(window);
        return Xdotool("mousemove " + std::to_string(left + x) + " " + std::to_string(top + y) +
                       " " + actions);
    }
    /// The window's pixels as X delivers them (row by row from the top), with the rows of the
    /// game's on-screen line black: the level's picture, which comes to rest when the level
    /// does although the line's clock runs on.
    std::string Pixels(Window window) { return Grab(window, true); }
    /// All of the window's pixels, the on-screen line included.
    std::string AllPixels(Window window) { return Grab(window, false); }

    /// The window's pixels once two grabs 300 ms apart are the same, the game has drawn in it
    /// and the level's name shown at a level start has gone (everything on it has come to
    /// rest); empty when that did not come within `limit`.
    std::string StillPixels(Window window, std::chrono::milliseconds limit = test_support::kPatience) {
        constexpr std::chrono::milliseconds kStillFor(300);
        // The first look only takes the picture the next one, a pause later, is compared with.
        std::string previous;
        const bool still = test_support::WaitUntil(
            [&] {
                std::string next = Pixels(window);
                // Blue, green, red, unused on a 24-bit screen.
                const bool same = !previous.empty() && next == previous && !OneColour(next) &&
                                  !ShowsLevelName(next, 4, 2, 1, 0);
                previous = std::move(next);
                return same;
            },
            limit, kStillFor);
        return still ? previous : "";
    }

    std::string display;

private:
    /// True for a window the game has not drawn in yet: under load it can stay black for
    /// longer than the still period.
    static bool OneColour(const std::string& pixels) {
        for (std::size_t i = 4; i + 3 < pixels.size(); i += 4) {
            if (pixels.compare(i, 3, pixels, 0, 3) != 0) return false;
        }
        return true;
    }

    std::string Grab(Window window, bool withoutLine) {
        const XWindowAttributes attributes = Attributes(window);
        XImage* image = XGetImage(connection, window, 0, 0, attributes.width, attributes.height,
                                  AllPlanes, ZPixmap);
        if (image == nullptr) return "";
        const auto bytesPerRow = static_cast<std::size_t>(image->bytes_per_line);
        std::string pixels(image->data, bytesPerRow * image->height);
        XDestroyImage(image);
        if (withoutLine) BlankOnScreenLine(pixels, attributes.width, attributes.height, bytesPerRow);
        return pixels;
    }

    static std::string ReadLine(int fd) {
        std::string line;
        pollfd waiting{fd, POLLIN, 0};
        char c;
        const int waitMs = static_cast<int>(test_support::kPatience.count());
        while (poll(&waiting, 1, waitMs) > 0 && read(fd, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    Window MappedWindow() {
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children,
                       &count) == 0) {
            return 0;
        }
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            if (Attributes(children[i]).map_state == IsViewable) found = children[i];
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    pid_t pid = -1;
    Display* connection = nullptr;
};

}  // namespace game::test
