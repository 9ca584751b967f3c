#pragma once

#include <box2d/box2d.h>

#include "game/Component.hpp"

/// Marks a tile as a platform that is stood on from above and passed through from below and from
/// the sides. The scene's contact listener asks it, before every step, whether a touching body
/// is held (`Holds`); a contact it does not hold is left out of that step.
///
/// Needs a static, solid sibling `PhysicsBody`. Game units and seconds.
class OneWayPlatform : public Component {
public:
    explicit OneWayPlatform(GameObject* owner);

    /// True when `other` (a fixture touching `platform`, a fixture of this tile's body) came
    /// down onto the platform's top: it is not moving up, and a step ago its lowest point was
    /// not below the top. Everything else passes through.
    static bool Holds(const b2Fixture& platform, const b2Fixture& other);

    /// Upward speed from which a body passes through even with its feet above the top.
    static constexpr float risingSpeed = 1.0f;
    /// How far a body landing on the top may have sunk below it and still be held.
    static constexpr float landingTolerance = 0.5f;
};
