#include "game/OneWayPlatform.hpp"

#include <algorithm>

#include "game/Scene.hpp"

namespace {

/// The fixture's bounds where its body is now (the fixture's own box spans the last step).
b2AABB CurrentBounds(const b2Fixture& fixture) {
    b2AABB bounds;
    fixture.GetShape()->ComputeAABB(&bounds, fixture.GetBody()->GetTransform(), 0);
    return bounds;
}

}  // namespace

OneWayPlatform::OneWayPlatform(GameObject* owner) : Component(owner) {}

bool OneWayPlatform::Holds(const b2Fixture& platform, const b2Fixture& other) {
    const float upward = other.GetBody()->GetLinearVelocity().y;
    if (upward > risingSpeed) return false;
    const float top = CurrentBounds(platform).upperBound.y;
    // A falling body moves into the platform during the step before its contact is seen.
    const float fallenThisStep = std::max(-upward, 0.0f) * Scene::timeStep;
    const float lowestBefore = CurrentBounds(other).lowerBound.y + fallenThisStep;
    return lowestBefore >= top - landingTolerance;
}
