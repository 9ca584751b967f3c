#include "game/Transform.hpp"

Transform::Transform(GameObject* owner) : Component(owner) {}

void Transform::StepTo(glm::vec2 next) {
    stepStart = position;
    position = next;
}

void Transform::PlaceAt(glm::vec2 place) {
    stepStart.reset();
    position = place;
}

glm::vec2 Transform::DrawnPosition(float stepFraction) const {
    if (!stepStart) return position;
    // Exactly `position` for an object that stood still, which a weighted sum is not.
    return *stepStart + (position - *stepStart) * stepFraction;
}
