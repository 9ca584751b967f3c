#include "game/LevelOverOnHitByCharacter.hpp"

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/Logger.hpp"
#include "game/PhysicsBody.hpp"
#include "game/SceneManager.hpp"

namespace {

constexpr const char* kPlayerName = "Player Character";

bool IsCharacter(const GameObject& other) {
    return other.GetName() == kPlayerName || !other.GetComponents<CharacterController>().empty();
}

}  // namespace

LevelOverOnHitByCharacter::LevelOverOnHitByCharacter(GameObject* owner) : Behaviour(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&LevelOverOnHitByCharacter::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&LevelOverOnHitByCharacter::OnDisable>);
}

LevelOverOnHitByCharacter::~LevelOverOnHitByCharacter() = default;

void LevelOverOnHitByCharacter::InitialiseSelf() {
    physicsBody = gameObject->GetComponent<PhysicsBody>();
    if (physicsBody == nullptr) return;
    physicsBody->collisionEnterEvent.Subscribe(this,
                                               &CallMember<&LevelOverOnHitByCharacter::OnHit>);
}

void LevelOverOnHitByCharacter::OnDisable() {
    if (physicsBody == nullptr) return;
    physicsBody->collisionEnterEvent.Unsubscribe(this,
                                                 &CallMember<&LevelOverOnHitByCharacter::OnHit>);
}

void LevelOverOnHitByCharacter::OnHit(GameObject* other) {
    if (other == nullptr || !IsCharacter(*other)) return;
    Logger::Debug("Character hit the level over block");
    if (SceneManager* manager = SceneManager::GetInstance()) manager->LevelOver();
}
