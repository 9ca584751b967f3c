#pragma once

#include <glm/vec2.hpp>
#include <optional>

#include "game/Component.hpp"

/// Where a game object is: plain data written by its physics body and read by its sprite
/// renderer and the camera. Every game object has exactly one, created with the object.
///
/// The game steps at a fixed rate and the display may refresh at another, so a moving object is
/// drawn between where its last two steps left it. Its physics body moves it through `StepTo`
/// and `PlaceAt`; an object whose `position` is only ever set by hand is drawn right there.
class Transform : public Component {
public:
    explicit Transform(GameObject* owner);

    /// Records the move of one fixed step to `next`: drawing blends from the present position.
    void StepTo(glm::vec2 next);
    /// Puts the object at `place` with nothing to blend from (a teleport): it is drawn there at
    /// once, without a streak from where it was.
    void PlaceAt(glm::vec2 place);
    /// Where the object is seen `stepFraction` (0 to 1) of a step after the last step: that far
    /// from the place before that step towards `position`. `position` itself when nothing moved
    /// the object by a step since it was placed.
    glm::vec2 DrawnPosition(float stepFraction) const;

    glm::vec2 position{0.0f, 0.0f};  // game units (one unit is one sprite pixel), y up
    float rotation = 0.0f;           // radians
    glm::vec2 scale{1.0f, 1.0f};

private:
    /// The position before the last step; empty until the first step and after a teleport.
    std::optional<glm::vec2> stepStart;
};
