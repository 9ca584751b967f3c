#include "orka/SDLRenderer.hpp"

#include <algorithm>

#include <GL/glew.h>

#include <chrono>
#include <utility>

#include "orka/GuiBinding.hpp"
#include "orka/Log.hpp"
#include "orka/Version.hpp"
#include "orka/X11Desktop.hpp"
#include "orka/X11WindowWatch.hpp"

namespace orka {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int glMajorVersion = 3;
constexpr int glMinorVersion = 3;
// SDL_WINDOW_FULLSCREEN_DESKTOP contains SDL_WINDOW_FULLSCREEN.
constexpr Uint32 fullscreenFlags = SDL_WINDOW_FULLSCREEN_DESKTOP;
constexpr float millisecondsPerSecond = 1000.0f;

enum class EventClass { Quit, Key, Mouse, Joystick, Controller, Touch, Other };

// Classes follow SDL's numbering blocks, so newer events of a device class (joystick battery,
// controller touchpad and sensor) reach that class's callback.
EventClass classify(Uint32 type) {
    if (type == SDL_QUIT) return EventClass::Quit;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) return EventClass::Key;
    if (type >= SDL_MOUSEMOTION && type <= SDL_MOUSEWHEEL) return EventClass::Mouse;
    if (type >= SDL_JOYAXISMOTION && type < SDL_CONTROLLERAXISMOTION) return EventClass::Joystick;
    if (type >= SDL_CONTROLLERAXISMOTION && type < SDL_FINGERDOWN) return EventClass::Controller;
    if (type >= SDL_FINGERDOWN && type <= SDL_FINGERMOTION) return EventClass::Touch;
    return EventClass::Other;
}

float secondsBetween(SteadyClock::time_point from, SteadyClock::time_point to) {
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(to - from);
    return static_cast<float>(nanoseconds.count() / 1e9);
}

void requestGLContext(BlendingSpace space) {
    // Blending in the display's values wants a plain window that stores what it is given.
    SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, space == BlendingSpace::Linear ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, glMajorVersion);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, glMinorVersion);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
}

}  // namespace

SDLRenderer::SDLRenderer()
    : frameUpdate([](float) {}),
      frameRender([] {}),
      keyEvent([](SDL_Event&) {}),
      mouseEvent([](SDL_Event&) {}),
      controllerEvent([](SDL_Event&) {}),
      joystickEvent([](SDL_Event&) {}),
      touchEvent([](SDL_Event&) {}),
      otherEvent([](SDL_Event&) {}),
      windowTitle(kEngineTitle) {}

SDLRenderer::~SDLRenderer() {
    input.reset();
    renderer.reset();
    if (window != nullptr) SDL_DestroyWindow(window);
    SDL_Quit();
    windowWatch.reset();
}

void SDLRenderer::init(unsigned int sdlInitFlags, unsigned int sdlWindowFlags, bool vsync) {
    if (running || window != nullptr) return;
    // The watch's error handler goes in before SDL's video starts: SDL keeps the handler it
    // finds then and puts it back to close its display, when the GL driver may still free
    // things it could not make for a window destroyed from outside.
    if (windowWatch == nullptr) windowWatch = std::make_unique<X11WindowWatch>();
    if (SDL_Init(sdlInitFlags) != 0) {
        ORKA_LOG_ERROR("Cannot initialise SDL: %s", SDL_GetError());
        return;
    }
    requestGLContext(blendingSpace);
    // Shown only once its GL context exists: SDL reads the window's attributes to make the
    // context and crashes when another client has destroyed the window by then.
    const bool shown = (sdlWindowFlags & SDL_WINDOW_HIDDEN) == 0;
    window = SDL_CreateWindow(windowTitle.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                              windowWidth, windowHeight, sdlWindowFlags | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        ORKA_LOG_ERROR("Cannot create the window \"%s\": %s", windowTitle.c_str(), SDL_GetError());
        return;
    }
    windowWatch->watch(window);
    renderer = std::make_unique<Renderer>(window, vsync, blendingSpace);
    renderer->setLogicalSize(logicalSize);
    // In linear light, rendering into the window is gamma-corrected by the hardware.
    if (blendingSpace == BlendingSpace::Linear) {
        glEnable(GL_FRAMEBUFFER_SRGB);
    } else {
        glDisable(GL_FRAMEBUFFER_SRGB);
    }
    if (shown) SDL_ShowWindow(window);
}

void SDLRenderer::startEventLoop() {
    if (window == nullptr) ORKA_LOG_INFO("SDLRenderer::init() not called");
    running = true;
    SteadyClock::time_point lastTick = SteadyClock::now();
    float deltaTime = 0.0f;
    loopClock.restart();
    loopStarted = true;
    try {
        while (running) {
            lastFrameSeconds = deltaTime;
            frame(deltaTime);
            SteadyClock::time_point tick = SteadyClock::now();
            deltaTime = secondsBetween(lastTick, tick);
            // The wait counts toward the next frame's delta.
            while (timePerFrame > deltaTime) {
                SDL_Delay(static_cast<Uint32>((timePerFrame - deltaTime) * millisecondsPerSecond));
                tick = SteadyClock::now();
                deltaTime = secondsBetween(lastTick, tick);
            }
            lastTick = tick;
        }
    } catch (...) {
        running = false;
        throw;
    }
}

void SDLRenderer::captureWindow(std::function<void(const Image&)> receive) {
    if (renderer == nullptr) {
        ORKA_LOG_ERROR("Cannot capture the window: SDLRenderer::init() not called");
        return;
    }
    renderer->captureWindow(std::move(receive));
}

void SDLRenderer::setBlendingSpace(BlendingSpace space) {
    if (window != nullptr) {
        ORKA_LOG_ERROR(
            "The blending space is chosen before the window opens; it stays as it was "
            "(call setBlendingSpace before init)");
        return;
    }
    blendingSpace = space;
}

void SDLRenderer::stopEventLoop() {
    running = false;
}

void SDLRenderer::frame(float deltaTimeSec) {
    input->beginFrame();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        GuiBinding::processEvent(&event);
        input->handleEvent(event, window);
        dispatch(event);
    }
    if (windowWatch != nullptr && windowWatch->windowLost()) {
        ORKA_LOG_INFO("The window was destroyed from outside; the loop ends as if it was closed");
        running = false;
        return;
    }
    if (fixedUpdate) runFixedSteps(deltaTimeSec);
    frameUpdate(deltaTimeSec);
    frameRender();
    // Without a window (init failed or never ran) there is nothing to present.
    if (renderer != nullptr) renderer->swapWindow();
}

void SDLRenderer::runFixedSteps(float deltaTimeSec) {
    // Settings changed since the last frame take effect now.
    if (clock.getStepSeconds() != fixedStep || clock.getMaxSteps() != maxStepsPerFrame) {
        clock = FixedStepClock(fixedStep, maxStepsPerFrame);
    }
    const int steps = clock.advance(deltaTimeSec);
    for (int i = 0; i < steps; ++i) fixedUpdate(clock.getStepSeconds());
}

float SDLRenderer::getStepFraction() const {
    return clock.fraction();
}

void SDLRenderer::dispatch(SDL_Event& event) {
    switch (classify(event.type)) {
        case EventClass::Quit:
            running = false;
            return;
        case EventClass::Key:
            keyEvent(event);
            return;
        case EventClass::Mouse:
            mouseEvent(event);
            return;
        case EventClass::Joystick:
            joystickEvent(event);
            return;
        case EventClass::Controller:
            controllerEvent(event);
            return;
        case EventClass::Touch:
            touchEvent(event);
            return;
        case EventClass::Other:
            otherEvent(event);
            return;
    }
}

void SDLRenderer::setWindowSize(glm::ivec2 size) {
    windowWidth = size.x;
    windowHeight = size.y;
    if (window != nullptr) SDL_SetWindowSize(window, windowWidth, windowHeight);
}

void SDLRenderer::setWindowTitle(std::string title) {
    windowTitle = std::move(title);
    if (window != nullptr) SDL_SetWindowTitle(window, windowTitle.c_str());
}

bool SDLRenderer::isFullscreen() const {
    return (SDL_GetWindowFlags(window) & fullscreenFlags) != 0;
}

void SDLRenderer::setLogicalSize(glm::ivec2 size) {
    logicalSize = size;
    if (renderer != nullptr) renderer->setLogicalSize(size);
}

void SDLRenderer::setFullscreen(bool enabled) {
    if (isFullscreen() == enabled) return;
    if (enabled && window != nullptr) {
        SDL_GetWindowPosition(window, &windowedArea.x, &windowedArea.y);
        SDL_GetWindowSize(window, &windowedArea.w, &windowedArea.h);
    }
    const Uint32 flags = SDL_GetWindowFlags(window) ^ fullscreenFlags;
    if (SDL_SetWindowFullscreen(window, flags) < 0) {
        ORKA_LOG_ERROR("Toggling fullscreen mode failed: %s", SDL_GetError());
        return;
    }
    // SDL leaves moving the window to the window manager; without one, do what it would do.
    const bool unmanaged = X11Desktop::lacksWindowManager(window);
    if (enabled) {
        SDL_Rect display{0, 0, 0, 0};
        if (unmanaged && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &display) == 0) {
            X11Desktop::place(window, display);
        }
        return;
    }
    // Some window managers, and a server without one, leave the window at the display's size.
    if (windowedArea.w <= 0 || windowedArea.h <= 0) return;
    SDL_SetWindowSize(window, windowedArea.w, windowedArea.h);
    if (unmanaged) SDL_SetWindowPosition(window, windowedArea.x, windowedArea.y);
}

bool SDLRenderer::isMouseCursorVisible() const {
    return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

void SDLRenderer::setMouseCursorVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SDLRenderer::isMouseCursorLocked() const {
    return SDL_GetRelativeMouseMode() == SDL_TRUE;
}

bool SDLRenderer::setMouseCursorLocked(bool locked) {
    if (locked) SDL_ShowCursor(SDL_DISABLE);
    return SDL_SetRelativeMouseMode(locked ? SDL_TRUE : SDL_FALSE) == 0;
}

}  // namespace orka
