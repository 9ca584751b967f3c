#include "game/CameraComponent.hpp"

#include "game/GameObject.hpp"
#include "game/SceneManager.hpp"

namespace {

constexpr float kDefaultWindowWidth = 800.0f;  // when no scene manager tells the width
constexpr float kOffsetFraction = 6.0f;        // the offset is a sixth of the window width

float WindowWidth() {
    const SceneManager* manager = SceneManager::GetInstance();
    return manager != nullptr ? manager->windowWidth : kDefaultWindowWidth;
}

}  // namespace

CameraComponent::CameraComponent(GameObject* owner)
    : Behaviour(owner), horizontalOffset(WindowWidth() / kOffsetFraction) {}

CameraComponent::~CameraComponent() = default;

void CameraComponent::Update(float) {
    if (target != nullptr) LookAt(target->GetTransform()->position);
}

void CameraComponent::Follow(float stepFraction) {
    if (target != nullptr) LookAt(target->GetTransform()->DrawnPosition(stepFraction));
}

void CameraComponent::LookAt(glm::vec2 followed) {
    const glm::vec2 position(followed.x + horizontalOffset, followed.y);
    gameObject->GetTransform()->position = position;
    camera.lookAt(glm::vec3(position, 0.0f), glm::vec3(position, -1.0f), glm::vec3(0, 1, 0));
}
