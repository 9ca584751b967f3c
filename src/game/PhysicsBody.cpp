#include "game/PhysicsBody.hpp"

#include <cstdint>
#include <limits>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"

namespace {

/// Least upward part of a contact's unit normal for the upper body to stand on the lower one:
/// a floor, not a wall.
constexpr float kStandingNormal = 0.7f;
/// Upward speed against the ground, units per second, above which a body is leaving it.
constexpr float kLeavingSpeed = 1.0f;

/// How much the contact of `edge` pushes its body up: the upward part of the unit normal from
/// the other body towards it; 0 for a contact not touching, left out of the step, or with a
/// sensor.
float Upward(const b2ContactEdge& edge) {
    const b2Contact& contact = *edge.contact;
    if (!contact.IsTouching() || !contact.IsEnabled() || contact.GetFixtureA()->IsSensor() ||
        contact.GetFixtureB()->IsSensor()) {
        return 0.0f;
    }
    b2WorldManifold manifold;
    contact.GetWorldManifold(&manifold);
    // The normal points from fixture A to fixture B.
    const bool otherIsA = contact.GetFixtureA()->GetBody() == edge.other;
    return otherIsA ? manifold.normal.y : -manifold.normal.y;
}

/// The current level's death line; without a scene manager nothing counts as fallen.
float DeathLevelInY() {
    SceneManager* manager = SceneManager::GetInstance();
    if (manager == nullptr) return std::numeric_limits<float>::lowest();
    return manager->GetScene()->GetDeathLevelInY();
}

}  // namespace

PhysicsBody::PhysicsBody(GameObject* owner) : Component(owner) {
    owner->activatedEvent.Subscribe(this, &CallMember<&PhysicsBody::OnEnable>);
    owner->deactivatedEvent.Subscribe(this, &CallMember<&PhysicsBody::OnDisable>);
}

PhysicsBody::~PhysicsBody() {
    // The owner's deactivation has normally destroyed the body already. When it has not, the
    // end-of-contact reports of the destruction must not reach this half-destroyed component,
    // nor hand its owner, which may be gone, to the listeners of the other body.
    if (body != nullptr) body->GetUserData().pointer = 0;
    bodyCreated = false;
    DestroyBody();
}

glm::vec2 PhysicsBody::GetLinearVelocity() const {
    if (body == nullptr) return {0.0f, 0.0f};
    const b2Vec2& velocity = body->GetLinearVelocity();
    return {velocity.x, velocity.y};
}

void PhysicsBody::SetLinearVelocity(float x, float y) {
    if (body == nullptr) return;
    if (x != 0.0f || y != 0.0f) body->SetAwake(true);
    body->SetLinearVelocity(b2Vec2(x, y));
}

void PhysicsBody::AddForce(float x, float y, bool impulse) {
    if (body == nullptr || body->GetType() != b2_dynamicBody) return;
    body->SetAwake(true);
    if (impulse) {
        body->ApplyLinearImpulse(b2Vec2(x, y), body->GetWorldCenter(), true);
    } else {
        body->ApplyForce(b2Vec2(x, y), body->GetWorldCenter(), true);
    }
}

void PhysicsBody::PutBack(glm::vec2 position) {
    if (body == nullptr) return;
    if (world->IsLocked()) {
        pendingPutBack = position;
        return;
    }
    MoveTo(position);
}

void PhysicsBody::MoveTo(glm::vec2 position) {
    body->SetTransform(b2Vec2(position.x, position.y), 0.0f);
    body->SetAwake(true);
    // At rest: no speed from the fall or the slide is carried to the return point.
    body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
    // Not a step's move: seen at the new place at once, with no streak from the old one.
    gameObject->GetTransform()->PlaceAt(position);
}

const b2Body* PhysicsBody::MovingGroundOf(const b2Body& body) {
    for (const b2ContactEdge* edge = body.GetContactList(); edge != nullptr; edge = edge->next) {
        if (edge->other->GetType() == b2_kinematicBody && Upward(*edge) > kStandingNormal) {
            return edge->other;
        }
    }
    return nullptr;
}

bool PhysicsBody::IsStanding() const {
    if (body == nullptr) return false;
    for (const b2ContactEdge* edge = body->GetContactList(); edge != nullptr; edge = edge->next) {
        if (Upward(*edge) <= kStandingNormal) continue;
        // Rising away from the ground is leaving it, even while the contact lasts this step.
        const float rising = body->GetLinearVelocity().y - edge->other->GetLinearVelocity().y;
        if (rising <= kLeavingSpeed) return true;
    }
    return false;
}

bool PhysicsBody::IsSensor() const {
    if (body != nullptr) {
        const b2Fixture* fixture = body->GetFixtureList();
        return fixture != nullptr && fixture->IsSensor();
    }
    return !fixtureDefs.empty() && fixtureDefs.front().isSensor;
}

glm::vec2 PhysicsBody::GetGroundVelocity() const {
    if (body == nullptr) return {0.0f, 0.0f};
    const b2Body* ground = MovingGroundOf(*body);
    if (ground == nullptr) return {0.0f, 0.0f};
    return {ground->GetLinearVelocity().x, ground->GetLinearVelocity().y};
}

void PhysicsBody::OnCollision(GameObject* other, bool exit) {
    if (!bodyCreated) return;
    Event<GameObject*>& raised = exit ? collisionExitEvent : collisionEnterEvent;
    if (raised.GetCount() >= 1) raised.Invoke(other);
}

void PhysicsBody::AddFixture(b2FixtureDef fixture, const b2PolygonShape& shape) {
    shapes.push_back(std::make_unique<b2PolygonShape>(shape));
    fixture.shape = shapes.back().get();
    fixtureDefs.push_back(fixture);
}

void PhysicsBody::OnEnable() {
    if (world == nullptr || body != nullptr) return;
    if (physicsStepEvent != nullptr) {
        physicsStepEvent->Subscribe(this, &CallMember<&PhysicsBody::OnPhysicsStep>);
    }
    // Box2D makes no body while it steps (an activation from a contact callback): the step
    // handler makes it once the step is over.
    if (!world->IsLocked()) CreateBody();
}

void PhysicsBody::CreateBody() {
    const auto transform = gameObject->GetTransform();
    bodyDef.position.Set(transform->position.x, transform->position.y);
    bodyDef.angle = transform->rotation;
    body = world->CreateBody(&bodyDef);
    if (body == nullptr) return;
    // No body of the game ever turns.
    body->SetFixedRotation(true);
    body->GetUserData().pointer = reinterpret_cast<std::uintptr_t>(this);
    for (const b2FixtureDef& fixture : fixtureDefs) body->CreateFixture(&fixture);
    bodyCreated = true;
    const b2Vec2& created = body->GetPosition();
    startPosition = {created.x, created.y};
}

void PhysicsBody::OnDisable() {
    if (physicsStepEvent != nullptr) {
        physicsStepEvent->Unsubscribe(this, &CallMember<&PhysicsBody::OnPhysicsStep>);
    }
    DestroyBody();
}

void PhysicsBody::DestroyBody() {
    if (body == nullptr) return;
    if (world->IsLocked()) {
        RetireBody();
        return;
    }
    // Box2D reports the end of every touching contact from inside DestroyBody, so the body
    // still counts as created during the call.
    world->DestroyBody(body);
    body = nullptr;
    bodyCreated = false;
}

// Box2D cannot destroy a body while it steps (a deactivation from a contact callback). The body
// is left to the world instead, cut off from this component, touching nothing and at rest.
void PhysicsBody::RetireBody() {
    body->GetUserData().pointer = 0;
    b2Filter nothing;
    nothing.categoryBits = 0;
    nothing.maskBits = 0;
    for (b2Fixture* fixture = body->GetFixtureList(); fixture != nullptr;
         fixture = fixture->GetNext()) {
        fixture->SetFilterData(nothing);
    }
    body->SetGravityScale(0.0f);
    body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
    body->SetAwake(false);
    body = nullptr;
    bodyCreated = false;
}

void PhysicsBody::OnPhysicsStep() {
    if (body == nullptr) {
        CreateBody();
        return;
    }
    if (body->GetType() == b2_staticBody) return;
    if (pendingPutBack) {
        MoveTo(*pendingPutBack);
        pendingPutBack.reset();
    }
    if (DeathLevelInY() > body->GetPosition().y) {
        // Fell out of the level: the player goes to its return point (and is heard), crates
        // and the like quietly back to their start.
        if (fallEvent.GetCount() >= 1) {
            fallEvent.Invoke();
        } else {
            MoveTo(startPosition);
        }
    }

    const b2Vec2& position = body->GetPosition();
    const auto transform = gameObject->GetTransform();
    transform->StepTo({position.x, position.y});
    transform->rotation = body->GetAngle();
}
