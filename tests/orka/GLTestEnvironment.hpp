#pragma once

#include <SDL.h>

namespace orka {
class Renderer;
}

namespace orka::test {

/// The window and renderer shared by every GL test of the binary (made once, in main).
SDL_Window* testWindow();
Renderer& testRenderer();

}  // namespace orka::test
