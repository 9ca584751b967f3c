#include "game/CharacterController.hpp"

#include <algorithm>
#include <cmath>

#include "game/CharacterAnimator.hpp"
#include "game/GameObject.hpp"
#include "game/GameSounds.hpp"
#include "game/Logger.hpp"
#include "game/PhysicsBody.hpp"
#include "game/PlayerInput.hpp"

namespace {

/// Downward speed, in units per second, above which touching ground is heard as a landing: a
/// drop of half a unit or more (a level's start drops the player by about one). Stepping from
/// tile to tile while walking touches new ground too, at almost no downward speed.
constexpr float kLandingSpeed = 10.0f;

/// Sideways speed against the ground, units per second, up to which the character stands still.
constexpr float kStillSpeed = 1e-3f;

/// Change of the ground's speed between two updates, units per second, up to which it is the
/// same ground (a lift eases its speed far more gently).
constexpr float kSameGroundSpeed = 5.0f;

/// Less than this much of a remembered press counts as none (float rounding of the steps).
constexpr float kBufferTolerance = 1e-4f;

}  // namespace

CharacterController::CharacterController(GameObject* owner) : Behaviour(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&CharacterController::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&CharacterController::OnDisable>);
}

CharacterController::~CharacterController() = default;

void CharacterController::InitialiseSelf() {
    physicsBody = gameObject->GetComponent<PhysicsBody>();
    animator = gameObject->GetComponent<CharacterAnimator>();
}

void CharacterController::Update(float deltaTime) {
    Logger::Verbose("CharacterController::Update");
    if (justPutBack) {
        // The step that put it back leaves it at rest, whatever is held.
        justPutBack = false;
        heldDirection = 0;
        return;
    }
    const PlayerInput input = ReadInput();
    heldDirection = input.right ? 1 : input.left ? -1 : 0;
    const float push = walk ? 0.0f : moveImpulse;
    if (input.right) {
        pendingImpulse.x = push;
        RequestState(CharacterAnimator::WalkRight);
    } else if (input.left) {
        pendingImpulse.x = -push;
        RequestState(CharacterAnimator::WalkLeft);
    }
    if (landOnFeet) FeelTheGround();
    KeepEdgeGrace(deltaTime);
    // With fresh presses only a press (remembered for a moment) jumps, not a key held down.
    Jump(input.jump && !(jump && jump->freshPress));
    jumpBuffered -= deltaTime;
    if (jumpBuffered < kBufferTolerance) jumpBuffered = 0.0f;
    if (physicsBody == nullptr) return;
    // Falling again: the next touch of the ground is a new landing.
    if (physicsBody->GetLinearVelocity().y < -kLandingSpeed) landingHeard = false;
    if (walk) Steer(input, deltaTime);
    const bool pushedByKeysOnly = landOnFeet && !walk;
    if (pushedByKeysOnly) KeepUnshoved();
    if (jump) Launch(input.jump);
    if (jump) FallFaster(deltaTime);
    ApplyPendingImpulse();
    if (pushedByKeysOnly) lastSteered = SpeedAgainstGround();
    AnimateFromMotion();
    lastFallSpeed = -physicsBody->GetLinearVelocity().y;
}

// Held through a landing or pressed shortly before it; either way once per landing.
void CharacterController::Jump(bool jumpPressed) {
    if (!grounded || !(jumpPressed || jumpBuffered > 0.0f)) return;
    if (jump) {
        launchPending = true;
    } else {
        pendingImpulse.y = jumpImpulse;
    }
    RequestState(CharacterAnimator::Jump);
    grounded = false;
    jumpBuffered = 0.0f;
    GameSounds::Cue(SoundCue::Jump);
}

namespace {

/// `value` moved towards `target` by at most `step` (not less than 0).
float MoveTowards(float value, float target, float step) {
    if (std::fabs(target - value) <= step) return target;
    return value + std::copysign(step, target - value);
}

}  // namespace

void CharacterController::Steer(const PlayerInput& input, float deltaTime) {
    const float direction = input.right ? 1.0f : input.left ? -1.0f : 0.0f;
    const glm::vec2 velocity = physicsBody->GetLinearVelocity();
    const bool onGround = physicsBody->IsStanding();
    // Against the ground, which may be a lift that carries the character; in the air, against
    // the ground it left, so a jump from a lift keeps going with the lift.
    if (onGround) groundSpeed = physicsBody->GetGroundVelocity().x;
    float speed = velocity.x - groundSpeed;
    // A contact may throw the character sideways (its cut corner landing on a ledge's edge);
    // only the keys give it speed, so it keeps at most what they asked for. A wall that stops
    // it still does.
    if (std::fabs(groundSpeed - lastGroundSpeed) <= kSameGroundSpeed) speed = KeptSpeed(speed);
    lastGroundSpeed = groundSpeed;
    const float target = direction * walk->speed;
    const bool speedingUp =
        target != 0.0f && speed * target >= 0.0f && std::fabs(speed) < std::fabs(target);
    const float seconds = speedingUp ? (onGround ? walk->accelerateTime : walk->airAccelerateTime)
                                     : (onGround ? walk->stopTime : walk->airStopTime);
    const float next =
        seconds <= 0.0f ? target : MoveTowards(speed, target, walk->speed / seconds * deltaTime);
    lastSteered = next;
    if (groundSpeed + next == velocity.x) return;
    physicsBody->SetLinearVelocity(groundSpeed + next, velocity.y);
}

float CharacterController::SpeedAgainstGround() const {
    return physicsBody->GetLinearVelocity().x - physicsBody->GetGroundVelocity().x;
}

float CharacterController::KeptSpeed(float speed) const {
    return lastSteered >= 0.0f ? std::clamp(speed, 0.0f, lastSteered)
                               : std::clamp(speed, lastSteered, 0.0f);
}

void CharacterController::KeepUnshoved() {
    const float ground = physicsBody->GetGroundVelocity().x;
    const bool sameGround = std::fabs(ground - lastGroundSpeed) <= kSameGroundSpeed;
    lastGroundSpeed = ground;
    // Stepping onto or off a lift changes the speed against the ground: nothing to compare.
    if (!sameGround) return;
    const float speed = SpeedAgainstGround();
    const float kept = KeptSpeed(speed);
    if (kept == speed) return;
    physicsBody->SetLinearVelocity(ground + kept, physicsBody->GetLinearVelocity().y);
}

void CharacterController::Launch(bool jumpHeldNow) {
    const glm::vec2 velocity = physicsBody->GetLinearVelocity();
    if (launchPending) {
        launchPending = false;
        rising = true;
        physicsBody->SetLinearVelocity(velocity.x,
                                       physicsBody->GetGroundVelocity().y + jump->StartSpeed());
        return;
    }
    if (!rising) return;
    if (velocity.y <= 0.0f) {
        rising = false;
        return;
    }
    if (jumpHeldNow) return;
    // Let go early: the rise ends `releasedHeight` higher, as if thrown that high from here.
    rising = false;
    const float cutSpeed = std::sqrt(2.0f * jump->Gravity() * jump->releasedHeight);
    if (velocity.y > cutSpeed) physicsBody->SetLinearVelocity(velocity.x, cutSpeed);
}

void CharacterController::FallFaster(float deltaTime) {
    b2Body* body = physicsBody->GetBody();
    if (jump->fallTime < 0.0f || body == nullptr || deltaTime <= 0.0f) return;
    // Rising (from a jump or carried up by a lift) under the rise's gravity, else the fall's. The
    // step that passes the top has each for its share of the step, so the fall starts at the
    // speed it would have had: a whole step of the wrong gravity would shift the landing by
    // frames.
    const float upward = physicsBody->GetLinearVelocity().y;
    const float rise = jump->Gravity();
    const float fall = jump->FallGravity();
    float gravity = fall;
    if (upward > 0.0f) {
        const float toTop = upward / rise;
        gravity =
            toTop >= deltaTime ? rise : (rise * toTop + fall * (deltaTime - toTop)) / deltaTime;
    }
    body->SetGravityScale(gravity / -body->GetWorld()->GetGravity().y);
}

void CharacterController::FeelTheGround() {
    const bool nowStanding = physicsBody != nullptr && physicsBody->IsStanding();
    const bool landed = nowStanding && !standing;
    standing = nowStanding;
    if (!landed) return;
    grounded = true;
    if (quietLanding) {
        quietLanding = false;
        return;
    }
    if (lastFallSpeed > kLandingSpeed) GameSounds::Cue(SoundCue::Land);
}

void CharacterController::KeepEdgeGrace(float deltaTime) {
    if (!jump || jump->edgeGrace < 0.0f || physicsBody == nullptr) return;
    if (physicsBody->IsStanding()) {
        airborneFor = 0.0f;
        return;
    }
    airborneFor += deltaTime;
    // Walked off an edge too long ago: the air jump is gone.
    if (airborneFor > jump->edgeGrace + kBufferTolerance) grounded = false;
}

void CharacterController::OnPutBack() {
    pendingImpulse = {0.0f, 0.0f};
    groundSpeed = 0.0f;
    lastGroundSpeed = 0.0f;
    lastSteered = 0.0f;
    jumpBuffered = 0.0f;
    launchPending = false;
    rising = false;
    quietLanding = true;
    justPutBack = true;
}

void CharacterController::ApplyPendingImpulse() {
    if (pendingImpulse.x == 0.0f && pendingImpulse.y == 0.0f) return;
    // The cap acts before the push, so within a frame the speed may exceed it by the push. It
    // holds against the ground, which may be a moving platform.
    const glm::vec2 velocity = physicsBody->GetLinearVelocity();
    const float groundSpeed = physicsBody->GetGroundVelocity().x;
    const float speed = velocity.x - groundSpeed;
    // A steered walk keeps its own top speed.
    if (!walk && std::fabs(speed) > maxSpeed) {
        physicsBody->SetLinearVelocity(groundSpeed + std::copysign(maxSpeed, speed), velocity.y);
    }
    physicsBody->AddForce(pendingImpulse.x, pendingImpulse.y, /*impulse=*/true);
    pendingImpulse = {0.0f, 0.0f};
}

void CharacterController::AnimateFromMotion() {
    const glm::vec2 velocity = physicsBody->GetLinearVelocity();
    // Riding a platform is standing still, give or take the rounding of its carrying.
    const float speed = velocity.x - physicsBody->GetGroundVelocity().x;
    if (grounded && std::fabs(speed) <= kStillSpeed) {
        RequestState(CharacterAnimator::Idle);
    } else if (!grounded && velocity.y < 0.0f) {
        RequestState(CharacterAnimator::Fall);
    }
}

void CharacterController::RequestState(int state) {
    if (animator != nullptr) animator->SetState(state);
}

void CharacterController::OnEnable() {
    TakeHeldKeys();
    if (const auto body = gameObject->GetComponent<PhysicsBody>()) {
        body->collisionEnterEvent.Subscribe(this,
                                            &CallMember<&CharacterController::OnCollisionEnter>);
        body->collisionExitEvent.Subscribe(this,
                                           &CallMember<&CharacterController::OnCollisionExit>);
    }
}

// A key held through a level change is held in the next level too, but is no new jump.
void CharacterController::TakeHeldKeys() {
    if (controls == nullptr) return;
    const SDL_Keycode jumpKey = controls->Keys().jump;
    jumpHeld = controls->Held().jump;
    // A press of this frame came before the character: it was the last level's.
    if (controls->WasPressed(jumpKey)) jumpPressFrame = controls->Get().getFrame();
}

PlayerInput CharacterController::ReadInput() {
    if (controls == nullptr) return {};
    const std::uint64_t frame = controls->Get().getFrame();
    const PlayerInput held = controls->Held();
    // A press of the jump key or a controller's button is remembered. A key pressed and
    // released within one frame counts, once however many steps the frame runs; a press in a
    // frame without a step shows as held now and not at the last update.
    const bool pressedThisFrame =
        controls->WasPressed(controls->Keys().jump) && frame != jumpPressFrame;
    if (pressedThisFrame || (held.jump && !jumpHeld)) {
        jumpBuffered = jumpBufferTime;
        jumpPressFrame = frame;
    }
    jumpHeld = held.jump;
    return held;
}

void CharacterController::OnDisable() {
    if (const auto body = gameObject->GetComponent<PhysicsBody>()) {
        body->collisionEnterEvent.Unsubscribe(this,
                                              &CallMember<&CharacterController::OnCollisionEnter>);
        body->collisionExitEvent.Unsubscribe(this,
                                             &CallMember<&CharacterController::OnCollisionExit>);
    }
}

void CharacterController::OnCollisionEnter(GameObject* other) {
    Logger::Debug("Collision Enter");
    // A coin, a flag or the goal holds nobody up.
    const auto otherBody = other->GetComponent<PhysicsBody>();
    if (landOnFeet || (otherBody != nullptr && otherBody->IsSensor())) return;
    // Only centres are compared: the side of a lower wall tile counts as ground too.
    if (gameObject->GetTransform()->position.y > other->GetTransform()->position.y) {
        grounded = true;
        if (IsNewLanding()) GameSounds::Cue(SoundCue::Land);
    }
}

bool CharacterController::IsNewLanding() {
    // Contacts begin before the step resolves them: the velocity is still the fall's.
    const bool falling =
        physicsBody != nullptr && physicsBody->GetLinearVelocity().y < -kLandingSpeed;
    // Coming down on two tiles at once is one landing.
    if (!falling || landingHeard) return false;
    landingHeard = true;
    if (quietLanding) {
        quietLanding = false;
        return false;
    }
    return true;
}

void CharacterController::OnCollisionExit(GameObject*) {
    Logger::Debug("Collision Exit");
}
