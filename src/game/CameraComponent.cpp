#include "game/CameraComponent.hpp"

#include <cmath>
#include <glm/geometric.hpp>

#include "game/GameObject.hpp"
#include "game/SceneManager.hpp"

namespace {

constexpr float kDefaultWindowWidth = 800.0f;  // when no scene manager tells the width
constexpr float kOffsetFraction = 6.0f;        // the offset is a sixth of the window width

/// Speed, units per second, above which the player counts as walking one way.
constexpr float kTurnSpeed = 30.0f;
/// A move of the target in one step longer than this (game units) is a put-back, not a walk.
constexpr float kJumpDistance = 40.0f;

float WindowWidth() {
    const SceneManager* manager = SceneManager::GetInstance();
    return manager != nullptr ? manager->windowWidth : kDefaultWindowWidth;
}

}  // namespace

CameraComponent::CameraComponent(GameObject* owner)
    : Behaviour(owner), horizontalOffset(WindowWidth() / kOffsetFraction) {}

CameraComponent::~CameraComponent() = default;

void CameraComponent::Update(float deltaTime) {
    if (target == nullptr) return;
    if (!feel) {
        LookAt(target->GetTransform()->position);
        return;
    }
    Track(deltaTime);
    Show({target->GetTransform()->position.x + view.lead, view.centreY});
}

void CameraComponent::Follow(float stepFraction) {
    if (target == nullptr) return;
    const glm::vec2 drawn = target->GetTransform()->DrawnPosition(stepFraction);
    if (!feel) {
        LookAt(drawn);
        return;
    }
    const auto blend = [stepFraction](float from, float to) {
        return from + (to - from) * stepFraction;
    };
    Show(
        {drawn.x + blend(previousView.lead, view.lead), blend(previousView.centreY, view.centreY)});
}

void CameraComponent::Track(float deltaTime) {
    const glm::vec2 at = target->GetTransform()->position;
    const glm::vec2 moved = at - lastTarget;
    lastTarget = at;
    if (!tracking || glm::length(moved) > kJumpDistance) {
        // The first step, or a put-back: the view is where it should be at once.
        tracking = true;
        view = {feel->lead * facing, at.y};
        previousView = view;
        return;
    }
    previousView = view;
    if (deltaTime > 0.0f) {
        const float speed = moved.x / deltaTime;
        if (speed > kTurnSpeed) facing = 1.0f;
        if (speed < -kTurnSpeed) facing = -1.0f;
    }
    // The share of the gap closed in this step: two thirds of it in `ease` seconds.
    const float closed = feel->ease <= 0.0f ? 1.0f : 1.0f - std::exp(-deltaTime / feel->ease);
    view.lead += (feel->lead * facing - view.lead) * closed;
    if (at.y > view.centreY + feel->band) {
        view.centreY += (at.y - feel->band - view.centreY) * closed;
    } else if (at.y < view.centreY - feel->band) {
        // Falling is followed at once: what the player falls towards must be seen.
        view.centreY = at.y + feel->band;
    }
}

void CameraComponent::LookAt(glm::vec2 followed) {
    Show({followed.x + horizontalOffset, followed.y});
}

void CameraComponent::Show(glm::vec2 centre) {
    gameObject->GetTransform()->position = centre;
    camera.lookAt(glm::vec3(centre, 0.0f), glm::vec3(centre, -1.0f), glm::vec3(0, 1, 0));
}
