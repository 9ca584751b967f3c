#include "game/ReturnPoint.hpp"

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/GameSounds.hpp"
#include "game/PhysicsBody.hpp"

ReturnPoint::ReturnPoint(GameObject* owner) : Component(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&ReturnPoint::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&ReturnPoint::OnDisable>);
}

ReturnPoint::~ReturnPoint() = default;

glm::vec2 ReturnPoint::GetPoint() const {
    if (point) return *point;
    const auto body = gameObject->GetComponent<PhysicsBody>();
    return body != nullptr ? body->GetStartPosition() : gameObject->GetTransform()->position;
}

void ReturnPoint::Return() {
    const auto body = gameObject->GetComponent<PhysicsBody>();
    // Landing on two spikes at once is one return.
    if (body == nullptr || body->IsPuttingBack()) return;
    body->PutBack(GetPoint());
    if (const auto controller = gameObject->GetComponent<CharacterController>()) {
        controller->OnPutBack();
    }
    ++returns;
    GameSounds::Cue(SoundCue::Fall);
}

void ReturnPoint::OnEnable() {
    if (const auto body = gameObject->GetComponent<PhysicsBody>()) {
        body->fallEvent.Subscribe(this, &CallMember<&ReturnPoint::Return>);
    }
}

void ReturnPoint::OnDisable() {
    if (const auto body = gameObject->GetComponent<PhysicsBody>()) {
        body->fallEvent.Unsubscribe(this, &CallMember<&ReturnPoint::Return>);
    }
}
