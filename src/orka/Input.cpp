#include "orka/Input.hpp"

#include <SDL.h>

#include <array>

#include "orka/Camera.hpp"

namespace orka {

namespace {

bool InRange(SDL_Scancode key) {
    return key > SDL_SCANCODE_UNKNOWN && key < SDL_NUM_SCANCODES;
}

/// Window pixels per SDL window coordinate (more than 1 on a high-DPI display).
glm::vec2 PixelScale(SDL_Window* window) {
    if (window == nullptr) return {1.0f, 1.0f};
    int width = 0, height = 0, pixelWidth = 0, pixelHeight = 0;
    SDL_GetWindowSize(window, &width, &height);
    SDL_GL_GetDrawableSize(window, &pixelWidth, &pixelHeight);
    if (width <= 0 || height <= 0 || pixelWidth <= 0 || pixelHeight <= 0) return {1.0f, 1.0f};
    return {static_cast<float>(pixelWidth) / static_cast<float>(width),
            static_cast<float>(pixelHeight) / static_cast<float>(height)};
}

/// Height of the window in pixels; 0 without a window.
float PixelHeight(SDL_Window* window) {
    if (window == nullptr) return 0.0f;
    int pixelWidth = 0, pixelHeight = 0;
    SDL_GL_GetDrawableSize(window, &pixelWidth, &pixelHeight);
    return static_cast<float>(pixelHeight);
}

}  // namespace

bool Input::isDown(SDL_Scancode key) const {
    return InRange(key) && keysDown.test(key);
}

bool Input::wasPressed(SDL_Scancode key) const {
    return InRange(key) && keysPressed.test(key);
}

bool Input::wasReleased(SDL_Scancode key) const {
    return InRange(key) && keysReleased.test(key);
}

bool Input::isDown(MouseButton button) const {
    return mouseDown.test(static_cast<std::size_t>(button));
}

bool Input::wasPressed(MouseButton button) const {
    return mousePressed.test(static_cast<std::size_t>(button));
}

bool Input::wasReleased(MouseButton button) const {
    return mouseReleased.test(static_cast<std::size_t>(button));
}

glm::vec3 Input::getMouseWorldPosition(const Camera& camera, float depth) const {
    // {origin on the near plane, unit direction}.
    const std::array<glm::vec3, 2> ray = camera.screenPointToRay(mousePosition);
    // A ray along the plane never meets it: its start is as near as it gets.
    if (ray[1].z == 0.0f) return ray[0];
    return ray[0] + ray[1] * ((depth - ray[0].z) / ray[1].z);
}

bool Input::isDown(PadButton button) const {
    return pads.isButtonHeld(static_cast<SDL_GameControllerButton>(button));
}

bool Input::wasPressed(PadButton button) const {
    return padPressed.test(static_cast<std::size_t>(button));
}

bool Input::wasReleased(PadButton button) const {
    return padReleased.test(static_cast<std::size_t>(button));
}

float Input::getAxis(PadAxis axis) const {
    return pads.axisValue(static_cast<SDL_GameControllerAxis>(axis));
}

bool Input::isPushed(PadAxis axis, int direction, float deadZone) const {
    return pads.isAxisPushed(static_cast<SDL_GameControllerAxis>(axis), direction, deadZone);
}

void Input::beginFrame() {
    ++frame;
    keysPressed.reset();
    keysReleased.reset();
    mousePressed.reset();
    mouseReleased.reset();
    padPressed.reset();
    padReleased.reset();
    text.clear();
    wheel = {0.0f, 0.0f};
}

void Input::handleEvent(const SDL_Event& event, SDL_Window* window) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const SDL_Scancode key = event.key.keysym.scancode;
            if (!InRange(key)) return;
            const bool down = event.type == SDL_KEYDOWN;
            // A held key repeats its press; only the first one is news.
            if (down && !keysDown.test(key)) keysPressed.set(key);
            if (!down && keysDown.test(key)) keysReleased.set(key);
            keysDown.set(key, down);
            return;
        }
        case SDL_TEXTINPUT:
            text += event.text.text;
            return;
        case SDL_WINDOWEVENT:
            // Keys let go while another window had the keyboard send no release.
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keysDown.reset();
            return;
        default:
            handleMouse(event, window);
            handlePad(event);
    }
}

void Input::handleMouse(const SDL_Event& event, SDL_Window* window) {
    const auto place = [this, window](int x, int y) {
        const glm::vec2 scale = PixelScale(window);
        const float height = PixelHeight(window);
        // SDL counts from the top; the engine from the bottom, in pixels.
        mousePosition = {static_cast<float>(x) * scale.x,
                         height - (static_cast<float>(y) + 1.0f) * scale.y};
    };
    switch (event.type) {
        case SDL_MOUSEMOTION:
            place(event.motion.x, event.motion.y);
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            place(event.button.x, event.button.y);
            const std::size_t button = event.button.button;
            if (button >= kMouseButtons) return;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            (down ? mousePressed : mouseReleased).set(button);
            mouseDown.set(button, down);
            return;
        }
        case SDL_MOUSEWHEEL: {
            const float flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
            wheel += glm::vec2(event.wheel.preciseX, event.wheel.preciseY) * flip;
            return;
        }
        default:
            return;
    }
}

void Input::handlePad(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
            pads.handleEvent(event);
            return;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const std::size_t button = event.cbutton.button;
            if (button >= kPadButtons) return;
            (event.type == SDL_CONTROLLERBUTTONDOWN ? padPressed : padReleased).set(button);
            return;
        }
        default:
            return;
    }
}

}  // namespace orka
