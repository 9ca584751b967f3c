#include "game/TouchTrigger.hpp"

#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"

TouchTrigger::TouchTrigger(GameObject* owner) : Component(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&TouchTrigger::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&TouchTrigger::OnDisable>);
}

TouchTrigger::~TouchTrigger() = default;

void TouchTrigger::OnEnable() {
    body = gameObject->GetComponent<PhysicsBody>();
    if (body != nullptr)
        body->collisionEnterEvent.Subscribe(this, &CallMember<&TouchTrigger::OnHit>);
}

void TouchTrigger::OnDisable() {
    if (body == nullptr) return;
    body->collisionEnterEvent.Unsubscribe(this, &CallMember<&TouchTrigger::OnHit>);
    body.reset();
}

void TouchTrigger::OnHit(GameObject* other) {
    if (other != nullptr) OnTouch(*other);
}
