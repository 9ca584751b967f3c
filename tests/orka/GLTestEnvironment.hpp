#pragma once

#include <SDL.h>

#include "orka/SDLRenderer.hpp"

namespace orka::test {

/// The SDLRenderer shared by the GL tests of this binary: made on first use with the game's
/// settings (800 x 600, "Orkaview 0.9.20", SDL_INIT_EVERYTHING, vsync requested) and destroyed
/// after the last test. Throws when no window can be made (no X display), failing the test.
/// Tests that replace its callbacks must put them back (see CallbackReset).
SDLRenderer& testSDLRenderer();
SDL_Window* testWindow();
/// The renderer the shared SDLRenderer made.
Renderer& testRenderer();

/// Puts the shared SDLRenderer's callbacks and frame cap back when it goes out of scope.
class CallbackReset {
public:
    CallbackReset() : renderer(testSDLRenderer()), saved(capture(renderer)) {}
    ~CallbackReset() {
        renderer.frameUpdate = saved.frameUpdate;
        renderer.frameRender = saved.frameRender;
        renderer.keyEvent = saved.keyEvent;
        renderer.mouseEvent = saved.mouseEvent;
        renderer.controllerEvent = saved.controllerEvent;
        renderer.joystickEvent = saved.joystickEvent;
        renderer.touchEvent = saved.touchEvent;
        renderer.otherEvent = saved.otherEvent;
        renderer.timePerFrame = saved.timePerFrame;
    }
    CallbackReset(const CallbackReset&) = delete;
    CallbackReset& operator=(const CallbackReset&) = delete;

private:
    struct Saved {
        decltype(SDLRenderer::frameUpdate) frameUpdate;
        decltype(SDLRenderer::frameRender) frameRender;
        decltype(SDLRenderer::keyEvent) keyEvent, mouseEvent, controllerEvent, joystickEvent,
            touchEvent, otherEvent;
        float timePerFrame;
    };
    static Saved capture(const SDLRenderer& r) {
        return {r.frameUpdate,   r.frameRender, r.keyEvent,   r.mouseEvent,  r.controllerEvent,
                r.joystickEvent, r.touchEvent,  r.otherEvent, r.timePerFrame};
    }
    SDLRenderer& renderer;
    Saved saved;
};

}  // namespace orka::test
