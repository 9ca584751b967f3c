#include "game/Hazard.hpp"

#include "game/GameObject.hpp"
#include "game/ReturnPoint.hpp"

Hazard::Hazard(GameObject* owner) : TouchTrigger(owner) {}

void Hazard::OnTouch(GameObject& other) {
    if (const auto returnPoint = other.GetComponent<ReturnPoint>()) returnPoint->Return();
}
