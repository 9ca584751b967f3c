#pragma once

#include <SDL.h>

#include <cstdint>
#include <glm/vec2.hpp>
#include <memory>
#include <optional>

#include "game/Behaviour.hpp"
#include "game/PlayFeel.hpp"
#include "game/SceneEvents.hpp"

class CharacterAnimator;
class GameObject;
class PhysicsBody;
struct PlayerInput;
class PlayerControls;

/// Lets the player steer the player character: the left and right keys (arrows unless the
/// settings say otherwise, see `PlayerControls::Keys`) push it sideways, the jump key (space)
/// makes it jump once per landing, and its horizontal speed against the ground (a moving platform
/// moves along) is cut back to `maxSpeed` before every push. A press of the jump key is remembered
/// for `jumpBufferTime`: landing within that time jumps at once.
///
/// A tile type may ask for a better feel (see `PlayFeel.hpp`): with `walk` the speed is steered
/// towards the held direction's top speed, or towards rest, instead of pushed; with `jump` a
/// jump starts at the speed that reaches its height, and letting the key go while rising cuts
/// the rise short; with `landOnFeet` only standing on something counts as landing. Touching a
/// sensor never counts as landing.
///
/// Tells the sibling `CharacterAnimator` which animation to show. Needs a sibling `PhysicsBody`
/// (both found in `InitialiseSelf`). Reads the keys and controllers from `*controls` at every
/// update; the collision handlers are subscribed to the sibling body while the owner is active.
/// Impulses are in game units times mass per second, speeds in units per second.
class CharacterController : public Behaviour {
public:
    explicit CharacterController(GameObject* owner);
    ~CharacterController() override;

    void InitialiseSelf() override;
    void Initialise() override {}
    /// Turns the held keys into impulses (right wins over left) and a jump when grounded;
    /// `deltaTime` (seconds) runs down the remembered jump press.
    void Update(float deltaTime) override;

    /// True once the character landed (touched something solid whose centre is lower than its
    /// own, or stood on something with `landOnFeet`), until its next jump.
    bool IsGrounded() const { return grounded; }
    /// The way the keys steer the character at its last update: +1 right, -1 left, 0 neither.
    int HeldDirection() const { return heldDirection; }
    /// The character was put back at its return point: what it was doing is forgotten, the keys
    /// held do not move it in the step of the put-back, and the touch of the ground it comes
    /// down on is not heard as a landing.
    void OnPutBack();

    /// Horizontal impulse per frame while an arrow key is held.
    float moveImpulse = 10000.0f;
    /// Upward impulse of a jump.
    float jumpImpulse = 100000.0f;
    /// Horizontal speed above which the velocity is cut back before a push.
    float maxSpeed = 50.0f;
    /// How long a jump-key press still makes a jump when the character lands, seconds.
    float jumpBufferTime = 0.1f;

    /// Walking by steered speed instead of pushes; empty for pushes.
    std::optional<WalkFeel> walk;
    /// Jumps of a given height and time in the air; empty for the plain impulse.
    std::optional<JumpFeel> jump;
    /// Only standing on something lands the character.
    bool landOnFeet = false;

    /// The scene's keyboard and controllers (not owned); none steer while it is null. Set before
    /// the owner is first activated.
    const PlayerControls* controls = nullptr;

private:
    /// Jumps when grounded and a key or button is held (`jumpPressed`) or a press is remembered.
    void Jump(bool jumpPressed);
    void ApplyPendingImpulse();
    /// With a `jump` that has an edge grace: ends the air jump that long after leaving the ground.
    void KeepEdgeGrace(float deltaTime);
    /// With `walk`: steers the speed against the ground towards the wished one.
    void Steer(const PlayerInput& input, float deltaTime);
    /// With `landOnFeet` and no `walk`: takes back the sideways speed a contact gave since the
    /// last update (its cut corner coming down on a ledge's edge throws it sideways); friction
    /// and walls, which only slow it, act as before.
    void KeepUnshoved();
    /// `speed` (against the ground) kept between 0 and the speed the keys left it with at the
    /// last update: a contact may slow the character or stop it, never speed it up or turn it.
    float KeptSpeed(float speed) const;
    /// Sideways speed against the ground stood on (or 0 when none moves), units per second.
    float SpeedAgainstGround() const;
    /// With `jump`: starts a jump asked for, and ends the rise when the key is let go.
    void Launch(bool jumpHeldNow);
    /// With a `jump` that has its own fall time: the gravity of the way up or down for the next
    /// step of `deltaTime` seconds.
    void FallFaster(float deltaTime);
    /// With `landOnFeet`: lands when the character has come to stand on something.
    void FeelTheGround();
    void OnEnable();
    /// Starts with the keys held now: a jump key held through a level change is no new press.
    void TakeHeldKeys();
    /// What the keys and controllers ask now; remembers a new press of the jump key.
    PlayerInput ReadInput();
    void OnDisable();
    void OnCollisionEnter(GameObject* other);
    void OnCollisionExit(GameObject* other);
    /// True for the first touch of the ground after a fall (heard as a landing).
    bool IsNewLanding();

    bool jumpHeld = false;  // at the last update
    int heldDirection = 0;  // at the last update
    /// The input's frame whose jump press was taken: a frame of several steps takes it once.
    std::uint64_t jumpPressFrame = UINT64_MAX;
    bool grounded = false;
    /// Time left in which the last jump-key press may still jump, seconds.
    float jumpBuffered = 0.0f;
    bool landingHeard = false;   // this fall's landing has been heard
    bool quietLanding = false;   // the next landing follows a put-back: not heard
    bool justPutBack = false;    // put back in this step: no input acts until the next
    bool launchPending = false;  // with `jump`: a jump starts in this update
    bool rising = false;         // with `jump`: rising from a jump whose key is still held
    bool standing = false;       // with `landOnFeet`: stood on something at the last update
    float lastFallSpeed = 0.0f;  // downward speed at the last update, units per second
    float airborneFor = 0.0f;    // seconds since it last stood on something
    // Units per second: with `walk`, the sideways speed of the ground stood on last (in the
    // air: the ground left); with `walk` or `landOnFeet`, that ground's speed at the last update
    // and the speed against it that the keys asked for (or left) then.
    float groundSpeed = 0.0f;
    float lastGroundSpeed = 0.0f;
    float lastSteered = 0.0f;
    void RequestState(int state);
    void AnimateFromMotion();

    std::shared_ptr<PhysicsBody> physicsBody;
    std::shared_ptr<CharacterAnimator> animator;
    glm::vec2 pendingImpulse{0.0f, 0.0f};
};
