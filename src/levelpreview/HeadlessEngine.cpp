#include "levelpreview/HeadlessEngine.hpp"

#include <SDL.h>

#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "orka/Log.hpp"
#include "orka/SDLRenderer.hpp"

namespace {

// The window that holds the context is never shown.
constexpr unsigned int kWindowFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
constexpr bool kVSync = false;

}  // namespace

std::unique_ptr<orka::SDLRenderer> OpenHiddenWindow() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    auto window = std::make_unique<orka::SDLRenderer>();
    window->init(SDL_INIT_VIDEO, kWindowFlags, kVSync);
    if (window->getSDLWindow() != nullptr) return window;
    window.reset();
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    window = std::make_unique<orka::SDLRenderer>();
    window->init(SDL_INIT_VIDEO, kWindowFlags, kVSync);
    if (window->getSDLWindow() != nullptr) return window;
    throw std::runtime_error(std::string("cannot open a hidden window: ") + SDL_GetError());
}

void QuietEngineLog(const char* program) {
    const std::string prefix = std::string(program) + ": ";
    orka::Log::logHandler = [prefix](const char*, const char*, int, orka::LogType type,
                                     std::string message) {
        if (type == orka::LogType::Fatal) throw std::runtime_error(message);
        if (type == orka::LogType::Error) std::cerr << prefix << message << "\n";
    };
}
