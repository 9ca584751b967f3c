#pragma once

#include <glm/vec2.hpp>
#include <memory>

#include "game/Behaviour.hpp"

class PhysicsBody;

/// Moves its tile from its place to (x + dx, y + dy) and back, one whole trip in `period`
/// seconds, easing in and out at both ends (a cosine), and carries what stands on it.
///
/// Driven at every fixed step through the velocity of its kinematic body, so that contacts and
/// friction see the motion: after each step the velocity is set that brings the body to where
/// it belongs after the next one, which keeps it on its path whatever the rounding. Bodies
/// standing on it get the platform's change of velocity as well, so that neither the ends of the
/// trip nor the player's pushes make them slide off. The trip's clock counts the level's steps
/// from the body's creation, so every play of a level moves the same.
///
/// Needs a sibling kinematic `PhysicsBody`, found in `InitialiseSelf`. Game units, seconds.
class MovingPlatform : public Behaviour {
public:
    explicit MovingPlatform(GameObject* owner);
    ~MovingPlatform() override;

    void InitialiseSelf() override;
    /// Sets the velocity for the level's first step.
    void Initialise() override;
    /// One fixed step of `deltaTime` seconds has passed: sets the velocity for the next one.
    void Update(float deltaTime) override;

    /// Where the platform is, relative to its place, `time` seconds after the trip began.
    glm::vec2 OffsetAt(double time) const;

    /// The far end of the trip, relative to the tile's place, game units.
    glm::vec2 travel{0.0f, 0.0f};
    /// Seconds for the way there and back; more than 0.
    float period = 1.0f;

private:
    /// Sets the velocity that brings the body where it belongs `deltaTime` seconds from now.
    void Steer(float deltaTime);
    void Carry(const glm::vec2& change) const;

    std::shared_ptr<PhysicsBody> physicsBody;
    double elapsed = 0.0;  // seconds of the trip: the steps run since the level began
};
