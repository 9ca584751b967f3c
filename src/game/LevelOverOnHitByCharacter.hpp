#pragma once

#include <memory>

#include "game/Behaviour.hpp"

class GameObject;
class PhysicsBody;

/// The goal: when the player character begins to touch this object's physics body, the level is
/// over (`SceneManager::LevelOver`) and the scene moves on to the next level at the end of the
/// running update. The player is the object named "Player Character" or any object with a
/// `CharacterController`; every other contact is ignored, and so is the end of a contact.
///
/// Needs a sibling `PhysicsBody`, found and listened to in `InitialiseSelf`; deactivation stops
/// listening, and only a new `InitialiseSelf` listens again.
class LevelOverOnHitByCharacter : public Behaviour {
public:
    explicit LevelOverOnHitByCharacter(GameObject* owner);
    ~LevelOverOnHitByCharacter() override;

    void InitialiseSelf() override;
    void Initialise() override {}
    void Update(float) override {}

private:
    void OnEnable() {}
    void OnDisable();
    void OnHit(GameObject* other);

    std::shared_ptr<PhysicsBody> physicsBody;
};
