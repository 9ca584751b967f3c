#include "game/Component.hpp"

Component::Component(GameObject* owner) : gameObject(owner) {}

Component::~Component() = default;
