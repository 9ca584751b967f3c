#include "game/Transform.hpp"

Transform::Transform(GameObject* owner) : Component(owner) {}
