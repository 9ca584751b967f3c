#pragma once

#include <SDL.h>

namespace orka {
class Renderer;
class SDLRenderer;
}  // namespace orka

namespace orka::test {

/// The SDLRenderer shared by the GL tests of this binary: made on first use with the game's
/// settings (800 x 600, "Orkaview 0.9.20", SDL_INIT_EVERYTHING, vsync requested) and destroyed
/// after the last test. Throws when no window can be made (no X display), failing the test.
/// Tests that replace its callbacks must put them back (see CallbackReset).
SDLRenderer& testSDLRenderer();
SDL_Window* testWindow();
/// The renderer the shared SDLRenderer made.
Renderer& testRenderer();

}  // namespace orka::test
