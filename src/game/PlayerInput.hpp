#pragma once

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

/// How far the left stick must be pushed to walk: a share of its range from the centre, so a
/// stick resting a little off centre does not creep.
constexpr float kStickDeadZone = 0.25f;

/// What the controllers ask: the d-pad, or the left stick pushed past the dead zone, walks; the
/// south (A, cross) and east (B, circle) buttons jump.
PlayerInput ControllerInput(const orka::GameControllers& controllers);

/// `keys` together with what the running game's controllers ask (the scene manager's; just
/// `keys` without a scene manager).
PlayerInput WithControllers(PlayerInput keys);
