#pragma once

#include <memory>

#include "game/Component.hpp"

class GameObject;
class PhysicsBody;

/// The part of a tile that acts when something begins to touch the tile's body: what hazards,
/// checkpoints and collectibles have in common.
///
/// Listens to the sibling `PhysicsBody`'s `collisionEnterEvent` while the owner is active, so the
/// body must be added to the owner first. The touches arrive from inside the physics step, while
/// Box2D's world is locked: what a touch changes in the world must wait for the step's end.
class TouchTrigger : public Component {
public:
    explicit TouchTrigger(GameObject* owner);
    ~TouchTrigger() override;

protected:
    /// Called with the other game object of every contact that begins.
    virtual void OnTouch(GameObject& other) = 0;

private:
    void OnEnable();
    void OnDisable();
    void OnHit(GameObject* other);

    std::shared_ptr<PhysicsBody> body;
};
