#pragma once

#include "game/TouchTrigger.hpp"

/// A thing to pick up, such as a coin: when the player (an object with a `CharacterController`)
/// begins to touch it, it is taken: the collect sound is cued and the tile leaves play (its
/// owner is deactivated, so it is neither drawn nor touched again). The level's tally counts the
/// taken ones (`LevelProgress`).
///
/// Needs a sibling `PhysicsBody` (a sensor, so that it stops nothing), added first.
class Collectible : public TouchTrigger {
public:
    explicit Collectible(GameObject* owner);

    bool IsTaken() const { return taken; }

private:
    void OnTouch(GameObject& other) override;

    bool taken = false;
};
