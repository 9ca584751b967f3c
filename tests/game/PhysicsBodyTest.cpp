#include "game/PhysicsBody.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "support/ScratchFolder.hpp"

namespace {

constexpr float kStep = 1.0f / 60.0f;

/// Records the game objects it is raised with.
struct Hits {
    std::vector<GameObject*> others;
    static void Record(void* target, GameObject* other) {
        static_cast<Hits*>(target)->others.push_back(other);
    }
};

class PhysicsBodyTest : public ::testing::Test {
protected:
    std::shared_ptr<b2World> world = std::make_shared<b2World>(b2Vec2(0.0f, -98.0f));
    PhysicsStepEvent physicsStep;

    /// An inactive object with a 20 x 20 box body of the given type at `position`.
    std::shared_ptr<GameObject> MakeBox(b2BodyType type, glm::vec2 position, float density = 1.0f) {
        auto object = std::make_shared<GameObject>();
        object->GetTransform()->position = position;
        auto body = object->AddComponent<PhysicsBody>();
        body->world = world;
        body->physicsStepEvent = &physicsStep;
        body->bodyDef.type = type;
        b2PolygonShape box;
        box.SetAsBox(10.0f, 10.0f);
        b2FixtureDef fixture;
        fixture.density = density;
        body->AddFixture(fixture, box);
        return object;
    }

    void Step() {
        world->Step(kStep, 12, 4);
        if (physicsStep.GetCount() >= 1) physicsStep.Invoke();
    }
};

TEST_F(PhysicsBodyTest, ActivationBuildsTheBodyAtTheTransformAndDeactivationDestroysIt) {
    auto object = MakeBox(b2_dynamicBody, {21.0f, 42.0f});
    auto body = object->GetComponent<PhysicsBody>();
    EXPECT_EQ(body->GetBody(), nullptr);
    EXPECT_EQ(world->GetBodyCount(), 0);

    object->ToggleActive();
    b2Body* live = body->GetBody();
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(world->GetBodyCount(), 1);
    EXPECT_EQ(live->GetPosition(), b2Vec2(21.0f, 42.0f));
    EXPECT_TRUE(live->IsFixedRotation());
    EXPECT_EQ(live->GetType(), b2_dynamicBody);
    EXPECT_EQ(live->GetUserData().pointer, reinterpret_cast<uintptr_t>(body.get()));
    ASSERT_NE(live->GetFixtureList(), nullptr);
    EXPECT_EQ(live->GetFixtureList()->GetShape()->GetType(), b2Shape::e_polygon);
    EXPECT_EQ(physicsStep.GetCount(), 1);
    EXPECT_EQ(body->GetStartPosition(), glm::vec2(21.0f, 42.0f));

    object->ToggleActive();
    EXPECT_EQ(body->GetBody(), nullptr);
    EXPECT_EQ(world->GetBodyCount(), 0);
    EXPECT_EQ(physicsStep.GetCount(), 0);
}

TEST_F(PhysicsBodyTest, ReactivationStartsAfreshWhereTheTransformStands) {
    auto object = MakeBox(b2_dynamicBody, {0.0f, 0.0f});
    auto body = object->GetComponent<PhysicsBody>();
    object->ToggleActive();
    for (int i = 0; i < 10; ++i) Step();
    const glm::vec2 fallen = object->GetTransform()->position;
    EXPECT_LT(fallen.y, 0.0f);
    EXPECT_LT(body->GetLinearVelocity().y, 0.0f);

    object->ToggleActive();
    object->ToggleActive();
    EXPECT_EQ(world->GetBodyCount(), 1);
    EXPECT_EQ(physicsStep.GetCount(), 1) << "one subscription, never two";
    EXPECT_EQ(body->GetLinearVelocity(), glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(body->GetStartPosition(), fallen);
}

TEST_F(PhysicsBodyTest, StepCopiesMovingBodiesIntoTheTransformButNeverStaticOnes) {
    auto dynamic = MakeBox(b2_dynamicBody, {0.0f, 0.0f});
    auto kinematic = MakeBox(b2_kinematicBody, {100.0f, 0.0f});
    auto still = MakeBox(b2_staticBody, {200.0f, 0.0f});
    for (auto* object : {dynamic.get(), kinematic.get(), still.get()}) object->ToggleActive();
    kinematic->GetComponent<PhysicsBody>()->SetLinearVelocity(60.0f, 0.0f);
    still->GetTransform()->position = {5.0f, 5.0f};  // must survive every step

    Step();
    const b2Vec2 fallen = dynamic->GetComponent<PhysicsBody>()->GetBody()->GetPosition();
    EXPECT_EQ(dynamic->GetTransform()->position, glm::vec2(fallen.x, fallen.y));
    EXPECT_LT(fallen.y, 0.0f);
    EXPECT_FLOAT_EQ(kinematic->GetTransform()->position.x, 101.0f);
    EXPECT_EQ(still->GetTransform()->position, glm::vec2(5.0f, 5.0f));
}

TEST_F(PhysicsBodyTest, ImpulsesAndForcesPushOnlyDynamicBodies) {
    world->SetGravity(b2Vec2(0.0f, 0.0f));
    auto dynamic = MakeBox(b2_dynamicBody, {0.0f, 0.0f}, 2.0f);
    auto kinematic = MakeBox(b2_kinematicBody, {100.0f, 0.0f});
    auto still = MakeBox(b2_staticBody, {200.0f, 0.0f});
    for (auto* object : {dynamic.get(), kinematic.get(), still.get()}) object->ToggleActive();
    auto body = dynamic->GetComponent<PhysicsBody>();
    const float mass = body->GetBody()->GetMass();
    EXPECT_FLOAT_EQ(mass, 800.0f);  // 20 x 20 x density 2

    body->AddForce(10000.0f, 0.0f, /*impulse=*/true);
    EXPECT_FLOAT_EQ(body->GetLinearVelocity().x, 10000.0f / mass);
    body->SetLinearVelocity(0.0f, 0.0f);
    // A force acts only through the next step.
    body->AddForce(0.0f, 800.0f * 60.0f, /*impulse=*/false);
    EXPECT_EQ(body->GetLinearVelocity(), glm::vec2(0.0f, 0.0f));
    Step();
    EXPECT_FLOAT_EQ(body->GetLinearVelocity().y, 1.0f);

    for (auto* other : {kinematic.get(), still.get()}) {
        auto otherBody = other->GetComponent<PhysicsBody>();
        otherBody->AddForce(10000.0f, 10000.0f, /*impulse=*/true);
        EXPECT_EQ(otherBody->GetLinearVelocity(), glm::vec2(0.0f, 0.0f));
    }
    still->GetComponent<PhysicsBody>()->SetLinearVelocity(5.0f, 5.0f);
    EXPECT_EQ(still->GetComponent<PhysicsBody>()->GetLinearVelocity(), glm::vec2(0.0f, 0.0f));
}

TEST_F(PhysicsBodyTest, WithoutBodyVelocityIsZeroAndPushesChangeNothing) {
    auto object = MakeBox(b2_dynamicBody, {0.0f, 0.0f});
    auto body = object->GetComponent<PhysicsBody>();
    body->AddForce(1.0f, 1.0f, /*impulse=*/true);
    body->SetLinearVelocity(3.0f, 4.0f);
    EXPECT_EQ(body->GetLinearVelocity(), glm::vec2(0.0f, 0.0f));
}

TEST_F(PhysicsBodyTest, CollisionsRaiseTheMatchingEventOnlyWhileTheBodyExists) {
    auto object = MakeBox(b2_dynamicBody, {0.0f, 0.0f});
    auto body = object->GetComponent<PhysicsBody>();
    GameObject other;
    Hits entered, exited;
    body->collisionEnterEvent.Subscribe(&entered, &Hits::Record);
    body->collisionExitEvent.Subscribe(&exited, &Hits::Record);

    body->OnCollision(&other, false);
    EXPECT_TRUE(entered.others.empty()) << "no body yet";

    object->ToggleActive();
    body->OnCollision(&other, false);
    EXPECT_EQ(entered.others, std::vector<GameObject*>{&other});
    EXPECT_TRUE(exited.others.empty());
    body->OnCollision(&other, true);
    EXPECT_EQ(exited.others, std::vector<GameObject*>{&other});
    EXPECT_EQ(entered.others.size(), 1u);
}

TEST_F(PhysicsBodyTest, TouchingBodiesReportEachOtherThroughTheScene) {
    Scene scene;  // the contact listener
    world->SetContactListener(&scene);
    auto floor = MakeBox(b2_staticBody, {0.0f, 0.0f});
    auto crate = MakeBox(b2_dynamicBody, {0.0f, 25.0f});
    floor->ToggleActive();
    crate->ToggleActive();
    Hits floorHits, crateHits, crateExits;
    floor->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&floorHits, &Hits::Record);
    crate->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&crateHits, &Hits::Record);
    crate->GetComponent<PhysicsBody>()->collisionExitEvent.Subscribe(&crateExits, &Hits::Record);

    for (int i = 0; i < 60 && floorHits.others.empty(); ++i) Step();
    EXPECT_EQ(floorHits.others, std::vector<GameObject*>{crate.get()});
    EXPECT_EQ(crateHits.others, std::vector<GameObject*>{floor.get()});

    // Destroying a body ends its contacts from inside the call.
    floor->ToggleActive();
    EXPECT_EQ(crateExits.others, std::vector<GameObject*>{floor.get()});
    world->SetContactListener(nullptr);
}

TEST_F(PhysicsBodyTest, AComponentGoingWithALiveBodyHearsAndTellsNothing) {
    Scene scene;  // the contact listener
    world->SetContactListener(&scene);
    auto floor = MakeBox(b2_staticBody, {0.0f, 0.0f});
    floor->ToggleActive();
    // A component held apart from its owner, as a shared reference may hold one: it goes while
    // its body still rests on the floor.
    auto owner = std::make_shared<GameObject>();
    owner->GetTransform()->position = {0.0f, 25.0f};
    auto crate = std::make_shared<PhysicsBody>(owner.get());
    crate->world = world;
    crate->bodyDef.type = b2_dynamicBody;
    b2PolygonShape box;
    box.SetAsBox(10.0f, 10.0f);
    b2FixtureDef fixture;
    fixture.density = 1.0f;
    crate->AddFixture(fixture, box);
    owner->ToggleActive();
    Hits landed, floorExits, crateExits;
    crate->collisionEnterEvent.Subscribe(&landed, &Hits::Record);
    floor->GetComponent<PhysicsBody>()->collisionExitEvent.Subscribe(&floorExits, &Hits::Record);
    crate->collisionExitEvent.Subscribe(&crateExits, &Hits::Record);
    for (int i = 0; i < 60 && landed.others.empty(); ++i) Step();
    ASSERT_FALSE(landed.others.empty()) << "never landed";

    // The owner outlives the component here: it must not call it afterwards.
    owner->activatedEvent.Clear();
    owner->deactivatedEvent.Clear();
    crate.reset();
    EXPECT_EQ(world->GetBodyCount(), 1);
    EXPECT_TRUE(crateExits.others.empty()) << "raised from a component being destroyed";
    EXPECT_TRUE(floorExits.others.empty()) << "handed on the owner of a component that went";
    world->SetContactListener(nullptr);
}

/// Toggles an object from inside a contact callback, while Box2D steps.
struct Toggler {
    std::shared_ptr<GameObject> object;
    static void Toggle(void* target, GameObject*) {
        auto* toggler = static_cast<Toggler*>(target);
        if (toggler->object != nullptr) toggler->object->ToggleActive();
    }
    static void Destroy(void* target, GameObject*) { static_cast<Toggler*>(target)->object.reset(); }
};

TEST_F(PhysicsBodyTest, BodiesMadeOrUnmadeInsideAContactCallbackWaitForTheStepToEnd) {
    Scene scene;  // the contact listener
    world->SetContactListener(&scene);
    auto floor = MakeBox(b2_staticBody, {0.0f, 0.0f});
    auto crate = MakeBox(b2_dynamicBody, {0.0f, 60.0f});
    auto resting = MakeBox(b2_dynamicBody, {100.0f, 20.5f});
    auto ledge = MakeBox(b2_staticBody, {100.0f, 0.0f});
    for (auto* object : {floor.get(), crate.get(), resting.get(), ledge.get()}) {
        object->ToggleActive();
    }
    Hits rested;
    ledge->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&rested, &Hits::Record);
    for (int i = 0; i < 10 && rested.others.empty(); ++i) Step();
    ASSERT_FALSE(rested.others.empty()) << "the resting box never touched its ledge";
    // When the crate lands: a new box appears, and the resting one is destroyed.
    Toggler appear{MakeBox(b2_dynamicBody, {200.0f, 0.0f})};
    Toggler vanish{resting};
    const std::shared_ptr<GameObject> late = appear.object;
    resting.reset();
    auto floorBody = floor->GetComponent<PhysicsBody>();
    floorBody->collisionEnterEvent.Subscribe(&appear, &Toggler::Toggle);
    floorBody->collisionEnterEvent.Subscribe(&vanish, &Toggler::Destroy);
    Hits ledgeHits;
    ledge->GetComponent<PhysicsBody>()->collisionExitEvent.Subscribe(&ledgeHits, &Hits::Record);

    int steps = 0;
    for (; steps < 60 && vanish.object != nullptr; ++steps) Step();
    ASSERT_EQ(vanish.object, nullptr) << "the crate never landed";
    // Made as soon as the step was over, where the transform stood.
    ASSERT_NE(late->GetComponent<PhysicsBody>()->GetBody(), nullptr);
    EXPECT_EQ(late->GetComponent<PhysicsBody>()->GetBody()->GetPosition(), b2Vec2(200.0f, 0.0f));
    EXPECT_EQ(physicsStep.GetCount(), 4) << "floor, crate, ledge and the new box";
    // The destroyed box's body stays in the world, but nothing hears of it again.
    for (int i = 0; i < 30; ++i) Step();
    EXPECT_TRUE(ledgeHits.others.empty());
    int touching = 0;
    for (b2Contact* contact = world->GetContactList(); contact; contact = contact->GetNext()) {
        touching += contact->IsTouching() ? 1 : 0;
    }
    EXPECT_EQ(touching, 1) << "only the crate on the floor";
    world->SetContactListener(nullptr);
}

/// A scene whose level is a dynamic crate without floor and a kinematic block, death line -100.
class DeathLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("fall1.json",
                     R"({"id": 1, "name": "fall", "deathLevelInY": -100,
                         "arrayOfTiles": [[[1, 0, 0], [2, 10, 0]]]})");
        folder.Write("tile1.json", R"({"name": "crate", "physics": {"type": "dynamic",
                                       "density": 1}})");
        folder.Write("tile2.json", R"({"name": "lift", "physics": {"type": "kinematic"}})");
        manager.GetScene()->LoadLevel("fall");
        crate = manager.GetScene()->GetLevelData().objects.at(0);
        lift = manager.GetScene()->GetLevelData().objects.at(1);
    }

    game::test::ScratchFolder folder;
    SceneManager manager{SceneManager::WithoutWindow{}};
    std::shared_ptr<GameObject> crate, lift;
};

TEST_F(DeathLineTest, ABodyBelowTheLineIsPutBackInTheSameStep) {
    auto body = crate->GetComponent<PhysicsBody>();
    Scene& scene = *manager.GetScene();
    int steps = 0;
    float lowest = 0.0f;
    // Falls until the step that takes it below the line puts it back at once.
    while (steps < 600) {
        scene.Update(kStep);
        ++steps;
        const float y = crate->GetTransform()->position.y;
        if (y == 0.0f) break;
        lowest = y;
    }
    EXPECT_LT(steps, 600) << "never put back";
    EXPECT_GE(lowest, -100.0f) << "the transform never showed a fallen position";
    EXPECT_EQ(crate->GetTransform()->position, glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(body->GetBody()->GetPosition(), b2Vec2(0.0f, 0.0f));
    EXPECT_EQ(body->GetLinearVelocity(), glm::vec2(0.0f, 0.0f)) << "put back at rest";
}

TEST_F(DeathLineTest, ABodyExactlyOnTheLineStays) {
    b2Body* body = lift->GetComponent<PhysicsBody>()->GetBody();
    body->SetTransform(b2Vec2(210.0f, -100.0f), 0.0f);
    manager.GetScene()->Update(kStep);
    EXPECT_EQ(lift->GetTransform()->position, glm::vec2(210.0f, -100.0f));

    body->SetTransform(b2Vec2(210.0f, -100.5f), 0.0f);
    manager.GetScene()->Update(kStep);
    EXPECT_EQ(lift->GetTransform()->position, glm::vec2(210.0f, 0.0f)) << "kinematic is reset too";
}

}  // namespace
