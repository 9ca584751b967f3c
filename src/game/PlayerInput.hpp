#pragma once

#include <SDL_keycode.h>

namespace orka {
class GameControllers;
}

/// What the player asks of the character in a frame. The keyboard and every game controller
/// steer together: each source adds its wishes, none overrides another.
struct PlayerInput {
    bool left = false;
    bool right = false;
    bool jump = false;
};

/// The keys that steer the player and pause the game (SDL key codes; the settings file may
/// change them).
struct KeyBindings {
    SDL_Keycode left = SDLK_LEFT;
    SDL_Keycode right = SDLK_RIGHT;
    SDL_Keycode jump = SDLK_SPACE;
    SDL_Keycode pause = SDLK_p;
};

/// The running game's keys (from its settings); the defaults without a scene manager.
const KeyBindings& CurrentKeyBindings();

/// How far the left stick must be pushed to walk: a share of its range from the centre, so a
/// stick resting a little off centre does not creep.
constexpr float kStickDeadZone = 0.25f;

/// What the controllers ask: the d-pad, or the left stick pushed past the dead zone, walks; the
/// south (A, cross) and east (B, circle) buttons jump.
PlayerInput ControllerInput(const orka::GameControllers& controllers);

/// `keys` together with what the running game's controllers ask (the scene manager's; just
/// `keys` without a scene manager).
PlayerInput WithControllers(PlayerInput keys);
