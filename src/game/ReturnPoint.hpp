#pragma once

#include <glm/vec2.hpp>
#include <optional>

#include "game/Component.hpp"

class GameObject;

/// Where the player is put back when a hazard touches it or it falls below the level's death
/// line: the place of the last checkpoint it reached in this level, or else where its body
/// started. Counts how often that happened.
///
/// Needs a sibling `PhysicsBody`, added first; while the owner is active it takes over that
/// body's fall below the death line. Positions are in game units. The state lasts as long as
/// the level's objects: a level built again starts without checkpoint and count.
class ReturnPoint : public Component {
public:
    explicit ReturnPoint(GameObject* owner);
    ~ReturnPoint() override;

    /// Makes `position` the point to return to, from now on.
    void SetPoint(glm::vec2 position) { point = position; }
    /// The point to return to: the last one set, or else the body's start.
    glm::vec2 GetPoint() const;
    /// Puts the owner's body back at the point, at rest, tells its character controller (when it
    /// has one), counts the return and cues its sound. Called from inside the physics step, the
    /// move waits for its end, and further calls in that step change nothing.
    void Return();
    /// How often the owner was put back.
    int GetReturns() const { return returns; }

private:
    void OnEnable();
    void OnDisable();

    std::optional<glm::vec2> point;
    int returns = 0;
};
