#include "game/MovingPlatform.hpp"

#include <box2d/box2d.h>

#include <cmath>

#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"
#include "game/Scene.hpp"

namespace {

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

MovingPlatform::MovingPlatform(GameObject* owner) : Behaviour(owner) {}

MovingPlatform::~MovingPlatform() = default;

void MovingPlatform::InitialiseSelf() {
    physicsBody = gameObject->GetComponent<PhysicsBody>();
}

glm::vec2 MovingPlatform::OffsetAt(double time) const {
    // 0 at the start, 1 at the far end half a period later, 0 again after a whole one, with no
    // speed at either end.
    const double share = (1.0 - std::cos(kTwoPi * time / period)) / 2.0;
    return {static_cast<float>(share * travel.x), static_cast<float>(share * travel.y)};
}

void MovingPlatform::Initialise() {
    // The first step moves already.
    Steer(Scene::timeStep);
}

void MovingPlatform::Update(float deltaTime) {
    if (deltaTime <= 0.0f) return;
    elapsed += deltaTime;
    Steer(deltaTime);
}

void MovingPlatform::Steer(float deltaTime) {
    if (physicsBody == nullptr || physicsBody->GetBody() == nullptr) return;
    const glm::vec2 next = physicsBody->GetStartPosition() + OffsetAt(elapsed + deltaTime);
    const b2Vec2& now = physicsBody->GetBody()->GetPosition();
    const glm::vec2 velocity = (next - glm::vec2(now.x, now.y)) / deltaTime;
    Carry(velocity - physicsBody->GetLinearVelocity());
    physicsBody->GetBody()->SetLinearVelocity(b2Vec2(velocity.x, velocity.y));
}

// Friction alone would let a rider slide while the platform speeds up or slows down.
void MovingPlatform::Carry(const glm::vec2& change) const {
    b2Body* platform = physicsBody->GetBody();
    for (b2ContactEdge* edge = platform->GetContactList(); edge != nullptr; edge = edge->next) {
        b2Body* rider = edge->other;
        // A rider on two platform tiles is carried by the first it stands on only.
        if (rider->GetType() != b2_dynamicBody || PhysicsBody::MovingGroundOf(*rider) != platform) {
            continue;
        }
        rider->SetLinearVelocity(rider->GetLinearVelocity() + b2Vec2(change.x, change.y));
    }
}
