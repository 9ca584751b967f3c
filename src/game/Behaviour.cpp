#include "game/Behaviour.hpp"

#include "game/GameObject.hpp"

Behaviour::Behaviour(GameObject* owner) : Component(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&Behaviour::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&Behaviour::OnDisable>);
}

Behaviour::~Behaviour() = default;

void Behaviour::OnEnable() {
    gameObject->initialiseSelfEvent.Subscribe(this, &CallMember<&Behaviour::InitialiseSelf>);
    gameObject->initialiseEvent.Subscribe(this, &CallMember<&Behaviour::Initialise>);
    if (updateEvent != nullptr) {
        updateEvent->Subscribe(this, &CallMember<&Behaviour::Update>);
    }
    enabled = true;
}

void Behaviour::OnDisable() {
    gameObject->initialiseSelfEvent.Unsubscribe(this, &CallMember<&Behaviour::InitialiseSelf>);
    gameObject->initialiseEvent.Unsubscribe(this, &CallMember<&Behaviour::Initialise>);
    if (updateEvent != nullptr) {
        updateEvent->Unsubscribe(this, &CallMember<&Behaviour::Update>);
    }
    enabled = false;
}
