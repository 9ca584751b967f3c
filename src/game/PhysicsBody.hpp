#pragma once

#include <box2d/box2d.h>

#include <glm/vec2.hpp>
#include <memory>
#include <optional>
#include <vector>

#include "game/Component.hpp"
#include "game/Event.hpp"

class GameObject;

/// Puts its game object into the scene's Box2D world.
///
/// While the owner is active there is exactly one live body, built from `bodyDef` and
/// `fixtureDefs` at the transform's position; deactivation (and the owner's destruction, which
/// raises `deactivatedEvent`) destroys it. Box2D changes no bodies while it steps: an
/// activation from inside a contact callback gets its body right after the step, and a body
/// deactivated there is left in the world, detached and touching nothing. After every physics step
/// the body's position and angle are copied into the owner's `Transform` (as a step's move, which
/// drawing blends; a put-back as a teleport, drawn at the new place at once), and a dynamic or
/// kinematic body that fell below the level's death line raises `fallEvent`; without listeners it
/// is put back where it was created.
///
/// Units are game units (one unit is one sprite pixel), seconds and radians; y points up.
/// The body's user data is this component, which is how the scene's contact listener finds it.
class PhysicsBody : public Component {
public:
    explicit PhysicsBody(GameObject* owner);
    ~PhysicsBody() override;

    /// The body's linear velocity in units per second; (0, 0) without a body.
    glm::vec2 GetLinearVelocity() const;
    /// Wakes the body when the velocity is not zero; a static body keeps its zero velocity.
    void SetLinearVelocity(float x, float y);
    /// Pushes a dynamic body at its centre of mass: as an impulse (velocity changes at once by
    /// the vector over the mass) or as a force for the next step. Other bodies are left alone.
    /// Despite the name, `AddForce(x, y, true)` is an impulse: call it with `/*impulse=*/true`.
    void AddForce(float x, float y, bool impulse);
    /// Moves the body to `position` (game units) and stops it. From inside a contact callback,
    /// while Box2D steps, the move is made right after the step.
    void PutBack(glm::vec2 position);
    /// A `PutBack` asked for inside the running step waits for its end.
    bool IsPuttingBack() const { return pendingPutBack.has_value(); }

    /// The kinematic body `body` stands on: the first of its touching contacts whose other body
    /// is kinematic and below it. Null when there is none.
    static const b2Body* MovingGroundOf(const b2Body& body);
    /// True while the body stands on something solid: a touching contact, not with a sensor and
    /// not left out of the step, that pushes it up from below, and that it is not rising from.
    /// False without a body.
    bool IsStanding() const;
    /// True when the body's fixtures are sensors: they report touches but stop nothing.
    bool IsSensor() const;
    /// The velocity of the kinematic body this one stands on, units per second; (0, 0) on
    /// ground that does not move, in the air and without a body.
    glm::vec2 GetGroundVelocity() const;

    /// Called by the scene's contact listener with the other body's game object when a contact
    /// begins (`exit` false) or ends (`exit` true); ignored while there is no body.
    void OnCollision(GameObject* other, bool exit);

    /// Adds a fixture made from `fixture` with a copy of `shape`; the copy is owned here so it
    /// outlives every body built from the definition. Takes effect at the next activation.
    void AddFixture(b2FixtureDef fixture, const b2PolygonShape& shape);

    /// The live body (owned by the world), or null while the owner is inactive.
    b2Body* GetBody() const { return body; }
    /// Where a fallen body is put back: the body's position right after its creation.
    glm::vec2 GetStartPosition() const { return startPosition; }

    /// Raised with the other game object when a contact begins / ends.
    Event<GameObject*> collisionEnterEvent;
    Event<GameObject*> collisionExitEvent;
    /// Raised after the physics step in which a dynamic or kinematic body fell below the level's
    /// death line; its listener puts the body back (`PutBack`). Without one it goes back to its
    /// start.
    Event<> fallEvent;

    /// The scene's physics-step event (not owned); the step handler is subscribed to it while
    /// the body exists. Set before the owner is first activated.
    Event<>* physicsStepEvent = nullptr;
    /// What the body is built from; its position and angle are taken from the transform.
    b2BodyDef bodyDef;
    /// One entry per fixture; the shapes they point to are owned by this component.
    std::vector<b2FixtureDef> fixtureDefs;
    /// The scene's world, shared with the scene and every other physics body. Without a world
    /// activation creates no body.
    std::shared_ptr<b2World> world;

private:
    void OnEnable();
    void OnDisable();
    void OnPhysicsStep();
    void CreateBody();
    void DestroyBody();
    void RetireBody();
    void MoveTo(glm::vec2 position);

    std::vector<std::unique_ptr<b2PolygonShape>> shapes;
    b2Body* body = nullptr;
    bool bodyCreated = false;
    glm::vec2 startPosition{0.0f, 0.0f};
    /// Where `PutBack` asked from inside the step moves the body once the step is over.
    std::optional<glm::vec2> pendingPutBack;
};
