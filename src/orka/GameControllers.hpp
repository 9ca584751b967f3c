#pragma once

#include <SDL.h>

#include <string>
#include <vector>

namespace orka {

/// The game controllers plugged in (SDL's GameController API), opened as they come and let go as
/// they go, read as one: a button counts as held when it is held on any of them. Fed by the
/// owner with SDL's controller device events (`handleEvent`); needs SDL's game-controller
/// subsystem started (SDL_INIT_GAMECONTROLLER) before any call but the constructor. Closes its
/// controllers when it goes, so release it before SDL_Quit. Main thread only.
class GameControllers {
public:
    GameControllers() = default;
    ~GameControllers();
    GameControllers(const GameControllers&) = delete;
    GameControllers& operator=(const GameControllers&) = delete;

    /// Adds the mappings of a file in the format of SDL's controller database
    /// ("gamecontrollerdb.txt"), for controllers SDL does not know. A file that does not exist
    /// adds none and is no error; one that SDL cannot read logs an error naming it. Returns the
    /// number of mappings added. Call `openConnected` afterwards for controllers plugged in before.
    int addMappingsFromFile(const std::string& path);

    /// Opens every joystick plugged in that SDL knows as a game controller and that is not open
    /// yet (those plugged in before this object existed, or mapped only now).
    void openConnected();

    /// SDL_CONTROLLERDEVICEADDED opens the new controller, SDL_CONTROLLERDEVICEREMOVED lets the
    /// unplugged one go (it counts as released from then on); other events change nothing.
    void handleEvent(const SDL_Event& event);

    /// Number of open controllers.
    std::size_t count() const { return controllers.size(); }

    /// True when `button` is held on any open controller.
    bool isButtonHeld(SDL_GameControllerButton button) const;

    /// True when `axis` of any open controller is pushed beyond `deadZone` towards `direction`.
    /// `deadZone` is a share of the axis's range from its centre (0 to 1); a negative
    /// `direction` means left (or up), a positive one right (or down).
    bool isAxisPushed(SDL_GameControllerAxis axis, int direction, float deadZone) const;
    /// `axis` of the first open controller that reads it off its rest, from -1 to 1; 0 when
    /// none does.
    float axisValue(SDL_GameControllerAxis axis) const;

private:
    void open(int deviceIndex);
    void close(SDL_JoystickID instance);

    struct Opened {
        SDL_JoystickID instance;
        SDL_GameController* controller;
    };
    std::vector<Opened> controllers;
};

}  // namespace orka
