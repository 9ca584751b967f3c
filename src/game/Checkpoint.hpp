#pragma once

#include <optional>

#include "game/TouchTrigger.hpp"
#include "orka/Sprite.hpp"

/// A place to come back to: the first touch of whatever has a `ReturnPoint` (the player) makes
/// this tile's position its return point for the rest of the level, cues the checkpoint sound
/// and from then on shows `reachedSprite`, when there is one. Later touches change nothing, so
/// the player returns to the checkpoint it reached last.
///
/// Needs a sibling `PhysicsBody` (a sensor, so that it stops nothing), added first, and, for the
/// reached sprite, a sibling `SpriteRenderer`.
class Checkpoint : public TouchTrigger {
public:
    explicit Checkpoint(GameObject* owner);

    bool IsReached() const { return reached; }

    /// Shown once the checkpoint is reached; its atlas texture must outlive this component.
    std::optional<orka::Sprite> reachedSprite;

private:
    void OnTouch(GameObject& other) override;

    bool reached = false;
};
