#include "game/PlayerInput.hpp"

#include "game/SceneManager.hpp"
#include "orka/GameControllers.hpp"

namespace {

constexpr int kLeft = -1;
constexpr int kRight = 1;

}  // namespace

PlayerInput ControllerInput(const orka::GameControllers& controllers) {
    PlayerInput input;
    input.left = controllers.isButtonHeld(SDL_CONTROLLER_BUTTON_DPAD_LEFT) ||
                 controllers.isAxisPushed(SDL_CONTROLLER_AXIS_LEFTX, kLeft, kStickDeadZone);
    input.right = controllers.isButtonHeld(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) ||
                  controllers.isAxisPushed(SDL_CONTROLLER_AXIS_LEFTX, kRight, kStickDeadZone);
    input.jump = controllers.isButtonHeld(SDL_CONTROLLER_BUTTON_A) ||
                 controllers.isButtonHeld(SDL_CONTROLLER_BUTTON_B);
    return input;
}

const KeyBindings& CurrentKeyBindings() {
    static const KeyBindings defaults;
    const SceneManager* manager = SceneManager::GetInstance();
    return manager != nullptr ? manager->GetSettings().keys : defaults;
}

PlayerInput WithControllers(PlayerInput keys) {
    const SceneManager* manager = SceneManager::GetInstance();
    if (manager == nullptr) return keys;
    const PlayerInput pads = ControllerInput(manager->GetControllers());
    return {keys.left || pads.left, keys.right || pads.right, keys.jump || pads.jump};
}
