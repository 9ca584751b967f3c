#pragma once

#include <SDL.h>

#include <bitset>

#include "orka/Input.hpp"

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

/// The place on the keyboard of the key that types `key`: by the keyboard layout in use once
/// SDL's video runs, by the US layout before (a scene driven without window); UNKNOWN for a
/// key neither knows.
SDL_Scancode ScancodeOf(SDL_Keycode key);

/// How far the left stick must be pushed to walk: a share of its range from the centre, so a
/// stick resting a little off centre does not creep.
constexpr float kStickDeadZone = 0.25f;

/// What the controllers of `input` ask: the d-pad, or the left stick pushed past the dead zone,
/// walks; the south (A, cross) and east (B, circle) buttons jump.
PlayerInput ControllerInput(const orka::Input& input);

/// The keyboard and controllers a scene's character reads: the window's `orka::Input` in the
/// game; for a scene driven by hand (the level checker, tests), an input of its own that takes
/// the driver's synthetic events (key events need only their key code). The own input starts
/// every level with nothing held, as those drivers expect, and forgets a frame's presses at its
/// end (`EndFrame`); the window's forgets them as the window's loop begins a frame, and keys
/// held through a level change stay held.
///
/// A key whose press went to something else (the pause menu) steers nothing until it is let go:
/// pressed while paused and still held after, it leaves the character at rest. Main thread only.
///
/// It steers with the keys it is given (the player's settings, handed down by whoever owns the
/// scene), so input knows nothing of the scene or its manager.
class PlayerControls {
public:
    /// Steered by `keys`: the defaults unless the player's settings name others.
    explicit PlayerControls(const KeyBindings& keys = {}) : keys(keys) {}
    /// The keys that steer from now on (settings read after the controls were made).
    void UseKeys(const KeyBindings& bindings) { keys = bindings; }
    /// The keys that steer.
    const KeyBindings& Keys() const { return keys; }
    /// Reads the window's input from now on (not owned: it outlives this); null goes back to
    /// the own input.
    void Follow(orka::Input* windowInput) { window = windowInput; }
    /// The input read now.
    ///@{
    orka::Input& Get() { return window != nullptr ? *window : own; }
    const orka::Input& Get() const { return window != nullptr ? *window : own; }
    ///@}
    /// The key is held now and steers (see `Withhold`).
    bool IsDown(SDL_Keycode key) const;
    /// The key went down in the input's present frame and steers.
    bool WasPressed(SDL_Keycode key) const;
    /// What the steering keys held and the controllers ask.
    PlayerInput Held() const;

    /// A key or controller event of the scene's: a release lets a withheld key steer again;
    /// without a window, the event goes into the own input (key events need only their code).
    void OnEvent(SDL_Event& event);
    /// The press of `keyDown` went to something else: its key steers nothing until released.
    void Withhold(const SDL_Event& keyDown);
    /// The frame's steps are over: the own input forgets its presses and releases, and keys no
    /// longer held steer again (their release may have gone unseen, as when the window lost the
    /// keyboard).
    void EndFrame();
    /// A level starts: the own input holds no key (controllers stay open).
    void StartLevel();

private:
    /// Where the key of a key event is: as the window saw it; by its code for a driver's.
    SDL_Scancode PlaceOf(const SDL_Event& event) const;
    bool Steers(SDL_Scancode key) const {
        return key > SDL_SCANCODE_UNKNOWN && key < SDL_NUM_SCANCODES && !withheld.test(key);
    }

    KeyBindings keys;
    std::bitset<SDL_NUM_SCANCODES> withheld;
    orka::Input* window = nullptr;
    orka::Input own;
};
