#pragma once

#include "game/TouchTrigger.hpp"

/// A tile that hurts: whatever has a `ReturnPoint` (the player) and begins to touch this tile's
/// body is put back at its return point. Needs a sibling `PhysicsBody`, solid or sensor, added
/// first.
class Hazard : public TouchTrigger {
public:
    explicit Hazard(GameObject* owner);

private:
    void OnTouch(GameObject& other) override;
};
