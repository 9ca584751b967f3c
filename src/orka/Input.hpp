#pragma once

#include <SDL_gamecontroller.h>
#include <SDL_scancode.h>

#include <bitset>
#include <cstdint>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <string>

#include "orka/GameControllers.hpp"

struct SDL_Window;
union SDL_Event;

namespace orka {

class Camera;

/// Keys by place on the keyboard (SDL scancodes), named as a US layout labels them: `Key::W` is
/// the key left of E whatever the layout prints on it, which is what movement keys want.
enum class Key : int {
    A = SDL_SCANCODE_A, B = SDL_SCANCODE_B, C = SDL_SCANCODE_C, D = SDL_SCANCODE_D,
    E = SDL_SCANCODE_E, F = SDL_SCANCODE_F, G = SDL_SCANCODE_G, H = SDL_SCANCODE_H,
    I = SDL_SCANCODE_I, J = SDL_SCANCODE_J, K = SDL_SCANCODE_K, L = SDL_SCANCODE_L,
    M = SDL_SCANCODE_M, N = SDL_SCANCODE_N, O = SDL_SCANCODE_O, P = SDL_SCANCODE_P,
    Q = SDL_SCANCODE_Q, R = SDL_SCANCODE_R, S = SDL_SCANCODE_S, T = SDL_SCANCODE_T,
    U = SDL_SCANCODE_U, V = SDL_SCANCODE_V, W = SDL_SCANCODE_W, X = SDL_SCANCODE_X,
    Y = SDL_SCANCODE_Y, Z = SDL_SCANCODE_Z,
    Num1 = SDL_SCANCODE_1, Num2 = SDL_SCANCODE_2, Num3 = SDL_SCANCODE_3, Num4 = SDL_SCANCODE_4,
    Num5 = SDL_SCANCODE_5, Num6 = SDL_SCANCODE_6, Num7 = SDL_SCANCODE_7, Num8 = SDL_SCANCODE_8,
    Num9 = SDL_SCANCODE_9, Num0 = SDL_SCANCODE_0,
    Return = SDL_SCANCODE_RETURN, Escape = SDL_SCANCODE_ESCAPE,
    Backspace = SDL_SCANCODE_BACKSPACE, Tab = SDL_SCANCODE_TAB, Space = SDL_SCANCODE_SPACE,
    F1 = SDL_SCANCODE_F1, F2 = SDL_SCANCODE_F2, F3 = SDL_SCANCODE_F3, F4 = SDL_SCANCODE_F4,
    F5 = SDL_SCANCODE_F5, F6 = SDL_SCANCODE_F6, F7 = SDL_SCANCODE_F7, F8 = SDL_SCANCODE_F8,
    F9 = SDL_SCANCODE_F9, F10 = SDL_SCANCODE_F10, F11 = SDL_SCANCODE_F11, F12 = SDL_SCANCODE_F12,
    Right = SDL_SCANCODE_RIGHT, Left = SDL_SCANCODE_LEFT, Down = SDL_SCANCODE_DOWN,
    Up = SDL_SCANCODE_UP,
    LeftCtrl = SDL_SCANCODE_LCTRL, LeftShift = SDL_SCANCODE_LSHIFT, LeftAlt = SDL_SCANCODE_LALT,
    RightCtrl = SDL_SCANCODE_RCTRL, RightShift = SDL_SCANCODE_RSHIFT,
    RightAlt = SDL_SCANCODE_RALT,
};

/// Mouse buttons, numbered as SDL numbers them.
enum class MouseButton : int { Left = 1, Middle = 2, Right = 3, Back = 4, Forward = 5 };

/// Game-controller buttons in the common layout (south is A on an Xbox pad, cross on a
/// PlayStation one).
enum class PadButton : int {
    South = SDL_CONTROLLER_BUTTON_A, East = SDL_CONTROLLER_BUTTON_B,
    West = SDL_CONTROLLER_BUTTON_X, North = SDL_CONTROLLER_BUTTON_Y,
    Back = SDL_CONTROLLER_BUTTON_BACK, Start = SDL_CONTROLLER_BUTTON_START,
    LeftStick = SDL_CONTROLLER_BUTTON_LEFTSTICK, RightStick = SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    LeftShoulder = SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    RightShoulder = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    DpadUp = SDL_CONTROLLER_BUTTON_DPAD_UP, DpadDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    DpadLeft = SDL_CONTROLLER_BUTTON_DPAD_LEFT, DpadRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};

/// Game-controller axes; sticks read -1 (left, up) to 1 (right, down), triggers 0 to 1.
enum class PadAxis : int {
    LeftX = SDL_CONTROLLER_AXIS_LEFTX, LeftY = SDL_CONTROLLER_AXIS_LEFTY,
    RightX = SDL_CONTROLLER_AXIS_RIGHTX, RightY = SDL_CONTROLLER_AXIS_RIGHTY,
    LeftTrigger = SDL_CONTROLLER_AXIS_TRIGGERLEFT,
    RightTrigger = SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

/// Keyboard, mouse and game controllers in one place, as they stand this frame: what is held,
/// and what was pressed or released since the frame before. `SDLRenderer` keeps one
/// (`SDLRenderer::getInput`), starts each frame on it and hands it every event before the
/// event callbacks run, so it is up to date in `frameUpdate`; the callbacks stay for those who
/// want the events themselves.
///
/// Mouse positions are window pixels from the lower-left corner, y up, as the rest of the
/// engine counts (a camera's `screenPointToRay`); on a high-DPI display, drawable pixels.
/// Controllers are opened when they are plugged in and let go when they are pulled out; their
/// buttons and axes read the same whichever of them is used. Main thread only.
class Input {
public:
    Input() = default;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    /// The key is held now, by the engine's name or by SDL scancode.
    ///@{
    bool isDown(Key key) const { return isDown(static_cast<SDL_Scancode>(key)); }
    bool isDown(SDL_Scancode key) const;
    ///@}
    /// The key went down since the last frame began (a key repeat does not count).
    ///@{
    bool wasPressed(Key key) const { return wasPressed(static_cast<SDL_Scancode>(key)); }
    bool wasPressed(SDL_Scancode key) const;
    ///@}
    /// The key went up since the last frame began.
    ///@{
    bool wasReleased(Key key) const { return wasReleased(static_cast<SDL_Scancode>(key)); }
    bool wasReleased(SDL_Scancode key) const;
    ///@}
    /// The text typed since the last frame began (UTF-8), as the keyboard layout and any input
    /// method make it; empty unless SDL's text input is on (it is by default on desktops).
    const std::string& getText() const { return text; }

    /// The mouse button is held now / went down / went up since the last frame began.
    ///@{
    bool isDown(MouseButton button) const;
    bool wasPressed(MouseButton button) const;
    bool wasReleased(MouseButton button) const;
    ///@}
    /// Where the pointer was last seen over the window: pixels from its lower-left corner.
    glm::vec2 getMousePosition() const { return mousePosition; }
    /// Wheel turns since the last frame began: y positive away from the user, x to the right.
    glm::vec2 getMouseWheel() const { return wheel; }
    /// The point under the pointer on the plane z = `depth` of `camera`'s world (world units),
    /// for a camera drawing into the whole window.
    glm::vec3 getMouseWorldPosition(const Camera& camera, float depth = 0.0f) const;

    /// Number of game controllers open now.
    int getPadCount() const { return static_cast<int>(pads.count()); }
    /// Held now on any open controller / went down or up on any since the last frame began.
    ///@{
    bool isDown(PadButton button) const;
    bool wasPressed(PadButton button) const;
    bool wasReleased(PadButton button) const;
    ///@}
    /// The axis of the first open controller that reads it off its rest, from -1 to 1 (0 to 1
    /// for triggers); 0 when none does.
    float getAxis(PadAxis axis) const;
    /// True when `axis` of any open controller is pushed beyond `deadZone` (a share of its range
    /// from the centre, 0 to 1) towards `direction`: negative left (or up), positive right (or
    /// down). Unlike `getAxis`, a controller resting off centre does not hide another one pushed.
    bool isPushed(PadAxis axis, int direction, float deadZone) const;
    /// The controllers themselves (mappings from a file, each one's state).
    ///@{
    GameControllers& getControllers() { return pads; }
    const GameControllers& getControllers() const { return pads; }
    ///@}

    /// Number of frames begun so far (`beginFrame` calls): a caller that runs several steps a
    /// frame takes a press once by remembering the frame it took it in.
    std::uint64_t getFrame() const { return frame; }
    /// Forgets what happened in the last frame (presses, releases, text, wheel); the loop calls
    /// it before the frame's events.
    void beginFrame();
    /// Takes in one SDL event of the window `window` (null: no window, positions unscaled).
    void handleEvent(const SDL_Event& event, SDL_Window* window);

private:
    static constexpr int kMouseButtons = 8;
    static constexpr int kPadButtons = SDL_CONTROLLER_BUTTON_MAX;
    void handleMouse(const SDL_Event& event, SDL_Window* window);
    void handlePad(const SDL_Event& event);

    std::bitset<SDL_NUM_SCANCODES> keysDown, keysPressed, keysReleased;
    std::bitset<kMouseButtons> mouseDown, mousePressed, mouseReleased;
    std::bitset<kPadButtons> padPressed, padReleased;
    std::string text;
    glm::vec2 mousePosition{0.0f, 0.0f};
    glm::vec2 wheel{0.0f, 0.0f};
    std::uint64_t frame = 0;
    GameControllers pads;
};

}  // namespace orka
