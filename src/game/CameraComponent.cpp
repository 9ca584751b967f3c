#include "game/CameraComponent.hpp"

#include <algorithm>
#include <cmath>
#include <glm/geometric.hpp>

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"
#include "game/SceneManager.hpp"

namespace {

constexpr float kDefaultWindowWidth = 800.0f;  // when no scene manager tells the width
constexpr float kOffsetFraction = 6.0f;        // the offset is a sixth of the window width

/// Speed against the ground, units per second, above which the player counts as walking.
constexpr float kTurnSpeed = 30.0f;
/// Less than this is rounding of the steps' times, seconds.
constexpr float kTimeTolerance = 1e-4f;
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
    WatchWalking(deltaTime);
    // The share of the gap closed in this step: two thirds of it in `ease` seconds.
    const float closed = feel->ease <= 0.0f ? 1.0f : 1.0f - std::exp(-deltaTime / feel->ease);
    // A turn swings the view slowly, however short the easing.
    const float mostLeadChange = 2.0f * feel->lead / turnSeconds * deltaTime;
    view.lead +=
        std::clamp((feel->lead * facing - view.lead) * closed, -mostLeadChange, mostLeadChange);
    if (at.y > view.centreY + feel->band) {
        view.centreY += (at.y - feel->band - view.centreY) * closed;
    } else if (at.y < view.centreY - feel->band) {
        // Falling is followed at once: what the player falls towards must be seen.
        view.centreY = at.y + feel->band;
    }
}

void CameraComponent::WatchWalking(float deltaTime) {
    const int now = WalkingDirection();
    if (now == 0 || now != walking) {
        walking = now;
        walkedFor = 0.0f;
        return;
    }
    walkedFor += deltaTime;
    if (walkedFor >= turnAfter - kTimeTolerance) facing = static_cast<float>(now);
}

int CameraComponent::WalkingDirection() const {
    const auto body = target->GetComponent<PhysicsBody>();
    if (body == nullptr) return 0;
    // Against the ground: riding a lift is standing still.
    const float speed = body->GetLinearVelocity().x - body->GetGroundVelocity().x;
    const int moving = speed > kTurnSpeed ? 1 : speed < -kTurnSpeed ? -1 : 0;
    const auto controller = target->GetComponent<CharacterController>();
    // Pushed or carried without the keys asking is no walk.
    if (controller != nullptr && controller->HeldDirection() != moving) return 0;
    return moving;
}

void CameraComponent::LookAt(glm::vec2 followed) {
    Show({followed.x + horizontalOffset, followed.y});
}

void CameraComponent::Show(glm::vec2 centre) {
    gameObject->GetTransform()->position = centre;
    camera.lookAt(glm::vec3(centre, 0.0f), glm::vec3(centre, -1.0f), glm::vec3(0, 1, 0));
}
