#include "orka/GameControllers.hpp"

#include <algorithm>
#include <filesystem>

#include "orka/Log.hpp"

namespace orka {

namespace {

constexpr float kAxisRange = 32767.0f;

const char* NameOf(SDL_GameController* controller) {
    const char* name = SDL_GameControllerName(controller);
    return name != nullptr ? name : "(unnamed)";
}

}  // namespace

GameControllers::~GameControllers() {
    for (const Opened& opened : controllers) SDL_GameControllerClose(opened.controller);
}

int GameControllers::addMappingsFromFile(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) return 0;
    const int added = SDL_GameControllerAddMappingsFromFile(path.c_str());
    if (added < 0) {
        ORKA_LOG_ERROR("Cannot read the controller mappings \"%s\": %s", path.c_str(),
                       SDL_GetError());
        return 0;
    }
    return added;
}

void GameControllers::openConnected() {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_IsGameController(index)) open(index);
    }
}

void GameControllers::handleEvent(const SDL_Event& event) {
    // An added device is named by its index, a removed one by its instance id.
    if (event.type == SDL_CONTROLLERDEVICEADDED) open(event.cdevice.which);
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) close(event.cdevice.which);
}

bool GameControllers::isButtonHeld(SDL_GameControllerButton button) const {
    return std::any_of(controllers.begin(), controllers.end(), [button](const Opened& opened) {
        return SDL_GameControllerGetButton(opened.controller, button) != 0;
    });
}

bool GameControllers::isAxisPushed(SDL_GameControllerAxis axis, int direction,
                                   float deadZone) const {
    const float threshold = deadZone * kAxisRange;
    return std::any_of(controllers.begin(), controllers.end(), [&](const Opened& opened) {
        const float value = SDL_GameControllerGetAxis(opened.controller, axis);
        return direction < 0 ? value < -threshold : value > threshold;
    });
}

float GameControllers::axisValue(SDL_GameControllerAxis axis) const {
    for (const Opened& opened : controllers) {
        const Sint16 value = SDL_GameControllerGetAxis(opened.controller, axis);
        if (value != 0) return std::max(-1.0f, static_cast<float>(value) / kAxisRange);
    }
    return 0.0f;
}

void GameControllers::open(int deviceIndex) {
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    // Controllers plugged in at start are announced by an event as well as found by a scan.
    const auto known = [instance](const Opened& opened) { return opened.instance == instance; };
    if (instance < 0 || std::any_of(controllers.begin(), controllers.end(), known)) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    // Unplugged again before its event came: nothing to open.
    if (controller == nullptr) return;
    controllers.push_back({instance, controller});
    ORKA_LOG_INFO("Game controller connected: %s", NameOf(controller));
}

void GameControllers::close(SDL_JoystickID instance) {
    const auto found = std::find_if(controllers.begin(), controllers.end(),
                                    [instance](const Opened& o) { return o.instance == instance; });
    if (found == controllers.end()) return;
    ORKA_LOG_INFO("Game controller disconnected: %s", NameOf(found->controller));
    SDL_GameControllerClose(found->controller);
    controllers.erase(found);
}

}  // namespace orka
