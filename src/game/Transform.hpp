#pragma once

#include <glm/vec2.hpp>

#include "game/Component.hpp"

/// Where a game object is: plain data written by its physics body and read by its sprite
/// renderer. Every game object has exactly one, created with the object.
class Transform : public Component {
public:
    explicit Transform(GameObject* owner);

    glm::vec2 position{0.0f, 0.0f};  // game units (one unit is one sprite pixel), y up
    float rotation = 0.0f;           // radians
    glm::vec2 scale{1.0f, 1.0f};
};
