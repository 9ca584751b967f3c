#include "game/PlayerInput.hpp"

namespace {

/// Where the US layout has the keys a key code names by their character.
SDL_Scancode UsScancodeOf(SDL_Keycode key) {
    // Keys without a character are named by their place.
    if ((key & SDLK_SCANCODE_MASK) != 0)
        return static_cast<SDL_Scancode>(key & ~SDLK_SCANCODE_MASK);
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (key - SDLK_a));
    if (key >= SDLK_1 && key <= SDLK_9)
        return static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (key - SDLK_1));
    switch (key) {
        case SDLK_0:
            return SDL_SCANCODE_0;
        case SDLK_SPACE:
            return SDL_SCANCODE_SPACE;
        case SDLK_RETURN:
            return SDL_SCANCODE_RETURN;
        case SDLK_ESCAPE:
            return SDL_SCANCODE_ESCAPE;
        case SDLK_BACKSPACE:
            return SDL_SCANCODE_BACKSPACE;
        case SDLK_TAB:
            return SDL_SCANCODE_TAB;
        default:
            return SDL_SCANCODE_UNKNOWN;
    }
}

}  // namespace

SDL_Scancode ScancodeOf(SDL_Keycode key) {
    // SDL learns the layout when its video starts.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        const SDL_Scancode placed = SDL_GetScancodeFromKey(key);
        if (placed != SDL_SCANCODE_UNKNOWN) return placed;
    }
    return UsScancodeOf(key);
}

PlayerInput ControllerInput(const orka::Input& input) {
    using orka::PadAxis;
    using orka::PadButton;
    PlayerInput wish;
    wish.left =
        input.isDown(PadButton::DpadLeft) || input.isPushed(PadAxis::LeftX, -1, kStickDeadZone);
    wish.right =
        input.isDown(PadButton::DpadRight) || input.isPushed(PadAxis::LeftX, 1, kStickDeadZone);
    wish.jump = input.isDown(PadButton::South) || input.isDown(PadButton::East);
    return wish;
}

bool PlayerControls::IsDown(SDL_Keycode key) const {
    const SDL_Scancode place = ScancodeOf(key);
    return Steers(place) && Get().isDown(place);
}

bool PlayerControls::WasPressed(SDL_Keycode key) const {
    const SDL_Scancode place = ScancodeOf(key);
    return Steers(place) && Get().wasPressed(place);
}

PlayerInput PlayerControls::Held() const {
    const PlayerInput pads = ControllerInput(Get());
    return {IsDown(keys.left) || pads.left, IsDown(keys.right) || pads.right,
            IsDown(keys.jump) || pads.jump};
}

SDL_Scancode PlayerControls::PlaceOf(const SDL_Event& event) const {
    // Drivers name keys by code; the input keeps them by place, as the bindings are looked up.
    return window != nullptr ? event.key.keysym.scancode : ScancodeOf(event.key.keysym.sym);
}

void PlayerControls::OnEvent(SDL_Event& event) {
    const bool key = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
    if (event.type == SDL_KEYUP && PlaceOf(event) != SDL_SCANCODE_UNKNOWN) {
        withheld.reset(PlaceOf(event));
    }
    // The window's input has had the event already.
    if (window != nullptr) return;
    if (!key) {
        own.handleEvent(event, nullptr);
        return;
    }
    SDL_Event placed = event;
    placed.key.keysym.scancode = PlaceOf(event);
    own.handleEvent(placed, nullptr);
}

void PlayerControls::Withhold(const SDL_Event& keyDown) {
    const SDL_Scancode place = PlaceOf(keyDown);
    if (place > SDL_SCANCODE_UNKNOWN && place < SDL_NUM_SCANCODES) withheld.set(place);
}

void PlayerControls::EndFrame() {
    own.beginFrame();
    if (withheld.none()) return;
    for (int key = SDL_SCANCODE_UNKNOWN + 1; key < SDL_NUM_SCANCODES; ++key) {
        if (!Get().isDown(static_cast<SDL_Scancode>(key))) withheld.reset(key);
    }
}

void PlayerControls::StartLevel() {
    orka::Input& input = own;
    for (int key = SDL_SCANCODE_UNKNOWN + 1; key < SDL_NUM_SCANCODES; ++key) {
        const auto code = static_cast<SDL_Scancode>(key);
        if (!input.isDown(code)) continue;
        SDL_Event release{};
        release.type = SDL_KEYUP;
        release.key.keysym.scancode = code;
        input.handleEvent(release, nullptr);
    }
    input.beginFrame();
    if (window == nullptr) withheld.reset();
}
