#include "game/GameObject.hpp"

GameObject::GameObject() : transform(std::make_shared<Transform>(this)) {
    components.push_back(transform);
}

GameObject::~GameObject() {
    // Components unsubscribe from everything in their disable handlers, so they must hear of
    // the end even when the object was never activated.
    if (deactivatedEvent.GetCount() >= 1) deactivatedEvent.Invoke();
    components.clear();
    children.clear();
    transform.reset();
}

void GameObject::ToggleActive() {
    active = !active;
    Event<>& raised = active ? activatedEvent : deactivatedEvent;
    if (raised.GetCount() >= 1) raised.Invoke();
}

void GameObject::AddChild(std::shared_ptr<GameObject> child) {
    if (child == nullptr) return;
    children.push_back(std::move(child));
}

void GameObject::InitialiseSelf() {
    RunPhase(initialiseSelfEvent, &GameObject::InitialiseSelf);
}

void GameObject::Initialise() {
    RunPhase(initialiseEvent, &GameObject::Initialise);
}

void GameObject::RunPhase(Event<>& phaseEvent, void (GameObject::*childPhase)()) {
    if (!active || phaseEvent.GetCount() < 1) return;
    phaseEvent.Invoke();
    // Indexed, and each child held, so a handler that changes the children breaks nothing.
    for (std::size_t i = 0; i < children.size(); ++i) {
        const std::shared_ptr<GameObject> child = children[i];
        (child.get()->*childPhase)();
    }
}
