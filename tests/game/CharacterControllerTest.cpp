#include "game/CharacterController.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "game/CharacterAnimator.hpp"
#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"

namespace {

constexpr float kMass = 800.0f;  // a 20 x 20 box of density 2

SDL_Event Key(SDL_EventType type, SDL_Keycode key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    return event;
}

/// A character (body, controller) in a world without gravity, and a second object to touch.
class CharacterControllerTest : public ::testing::Test {
protected:
    std::shared_ptr<b2World> world = std::make_shared<b2World>(b2Vec2(0.0f, 0.0f));
    UpdateEvent update;
    PhysicsStepEvent physicsStep;
    KeyInputEvent keys;
    std::shared_ptr<GameObject> character = std::make_shared<GameObject>();
    std::shared_ptr<PhysicsBody> body = character->AddComponent<PhysicsBody>();
    std::shared_ptr<CharacterController> controller =
        character->AddComponent<CharacterController>();
    std::shared_ptr<CharacterAnimator> animator = character->AddComponent<CharacterAnimator>();
    GameObject below, above;

    CharacterControllerTest() {
        character->GetTransform()->position = {0.0f, 21.0f};
        below.GetTransform()->position = {0.0f, 0.0f};
        above.GetTransform()->position = {0.0f, 42.0f};
        body->world = world;
        body->physicsStepEvent = &physicsStep;
        body->bodyDef.type = b2_dynamicBody;
        b2PolygonShape box;
        box.SetAsBox(10.0f, 10.0f);
        b2FixtureDef fixture;
        fixture.density = 2.0f;
        body->AddFixture(fixture, box);
        controller->updateEvent = &update;
        animator->updateEvent = &update;
        controller->keyInputEvent = &keys;
        character->ToggleActive();
        character->InitialiseSelf();
    }

    void Send(SDL_EventType type, SDL_Keycode key) {
        SDL_Event event = Key(type, key);
        keys.Invoke(event);
    }
    glm::vec2 Velocity() const { return body->GetLinearVelocity(); }
    void Frame() { update.Invoke(1.0f / 60.0f); }
};

TEST_F(CharacterControllerTest, ActivationSubscribesKeysAndCollisionsAndDeactivationRemovesThem) {
    EXPECT_EQ(keys.GetCount(), 1);
    EXPECT_EQ(body->collisionEnterEvent.GetCount(), 1);
    EXPECT_EQ(body->collisionExitEvent.GetCount(), 1);
    EXPECT_EQ(update.GetCount(), 2);
    character->ToggleActive();
    EXPECT_EQ(keys.GetCount(), 0);
    EXPECT_EQ(body->collisionEnterEvent.GetCount(), 0);
    EXPECT_EQ(body->collisionExitEvent.GetCount(), 0);
    EXPECT_EQ(update.GetCount(), 0);
}

TEST_F(CharacterControllerTest, ArrowKeysPushOnceAFrameAndRightWinsOverLeft) {
    Send(SDL_KEYDOWN, SDLK_LEFT);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, -10000.0f / kMass);
    Send(SDL_KEYDOWN, SDLK_RIGHT);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, 0.0f);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, 10000.0f / kMass);
    EXPECT_EQ(Velocity().y, 0.0f);

    Send(SDL_KEYUP, SDLK_RIGHT);
    Send(SDL_KEYUP, SDLK_LEFT);
    Send(SDL_KEYDOWN, SDLK_a);  // other keys change nothing
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, 10000.0f / kMass) << "no key, no push";
}

TEST_F(CharacterControllerTest, TheSpeedIsCutToTheCapBeforeEachPush) {
    body->SetLinearVelocity(60.0f, -3.0f);
    Send(SDL_KEYDOWN, SDLK_RIGHT);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, 50.0f + 10000.0f / kMass);
    EXPECT_FLOAT_EQ(Velocity().y, -3.0f);

    body->SetLinearVelocity(-80.0f, 0.0f);
    Send(SDL_KEYUP, SDLK_RIGHT);
    Send(SDL_KEYDOWN, SDLK_LEFT);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, -50.0f - 10000.0f / kMass);

    body->SetLinearVelocity(-80.0f, 0.0f);
    Send(SDL_KEYUP, SDLK_LEFT);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, -80.0f) << "without a push there is no cut";
}

TEST_F(CharacterControllerTest, OneJumpPerContactWithSomethingBelow) {
    Send(SDL_KEYDOWN, SDLK_SPACE);
    Frame();
    EXPECT_EQ(Velocity().y, 0.0f) << "no jump before the first landing";
    EXPECT_FALSE(controller->IsGrounded());

    body->OnCollision(&above, false);
    EXPECT_FALSE(controller->IsGrounded()) << "a contact above is no ground";
    body->OnCollision(&below, false);
    EXPECT_TRUE(controller->IsGrounded());
    Frame();
    EXPECT_FLOAT_EQ(Velocity().y, 100000.0f / kMass);
    EXPECT_FALSE(controller->IsGrounded());

    body->SetLinearVelocity(0.0f, 0.0f);
    Frame();
    Frame();
    EXPECT_EQ(Velocity().y, 0.0f) << "holding space does not jump again in the air";

    body->OnCollision(&below, true);
    EXPECT_FALSE(controller->IsGrounded()) << "the end of a contact changes nothing";
    body->OnCollision(&below, false);
    Send(SDL_KEYUP, SDLK_SPACE);
    Frame();
    EXPECT_EQ(Velocity().y, 0.0f);
    EXPECT_TRUE(controller->IsGrounded()) << "the landing is kept until the next jump";
    Send(SDL_KEYDOWN, SDLK_SPACE);
    Frame();
    EXPECT_FLOAT_EQ(Velocity().y, 100000.0f / kMass);
}

TEST_F(CharacterControllerTest, KeysOfAnInactiveCharacterAreNotHeard) {
    character->ToggleActive();
    SDL_Event right = Key(SDL_KEYDOWN, SDLK_RIGHT);
    keys.Invoke(right);
    character->ToggleActive();
    update.Invoke(1.0f / 60.0f);
    EXPECT_EQ(Velocity().x, 0.0f);
}

TEST_F(CharacterControllerTest, TheAnimatorIsToldWhatTheCharacterDoes) {
    Frame();
    EXPECT_EQ(animator->GetState(), -1) << "still in the air, not falling: nothing requested";
    body->SetLinearVelocity(0.0f, -5.0f);
    Frame();
    EXPECT_EQ(animator->GetState(), CharacterAnimator::Fall);

    body->OnCollision(&below, false);
    body->SetLinearVelocity(0.0f, 0.0f);
    Frame();
    EXPECT_EQ(animator->GetState(), CharacterAnimator::Idle);
    Send(SDL_KEYDOWN, SDLK_LEFT);
    Frame();
    EXPECT_EQ(animator->GetState(), CharacterAnimator::WalkLeft);
    Send(SDL_KEYDOWN, SDLK_RIGHT);
    body->SetLinearVelocity(0.0f, 0.0f);
    Frame();
    EXPECT_EQ(animator->GetState(), CharacterAnimator::WalkRight) << "right wins";
    Send(SDL_KEYUP, SDLK_RIGHT);
    Send(SDL_KEYUP, SDLK_LEFT);
    body->SetLinearVelocity(0.0f, 0.0f);
    Send(SDL_KEYDOWN, SDLK_SPACE);
    Frame();
    EXPECT_EQ(animator->GetState(), CharacterAnimator::Jump);
}

}  // namespace
