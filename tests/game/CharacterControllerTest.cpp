#include "game/CharacterController.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "game/CharacterAnimator.hpp"
#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"
#include "game/PlayerInput.hpp"

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
    PlayerControls controls;
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
        controller->controls = &controls;
        character->ToggleActive();
        character->InitialiseSelf();
    }

    void Send(SDL_EventType type, SDL_Keycode key) {
        SDL_Event event = Key(type, key);
        controls.OnEvent(event);
    }
    glm::vec2 Velocity() const { return body->GetLinearVelocity(); }
    /// One step of a frame; the frame ends with it unless more steps follow.
    void Frame(bool lastStep = true) {
        update.Invoke(1.0f / 60.0f);
        if (lastStep) controls.EndFrame();
    }
};

TEST_F(CharacterControllerTest,
       ActivationSubscribesUpdatesAndCollisionsAndDeactivationRemovesThem) {
    EXPECT_EQ(body->collisionEnterEvent.GetCount(), 1);
    EXPECT_EQ(body->collisionExitEvent.GetCount(), 1);
    EXPECT_EQ(update.GetCount(), 2);
    character->ToggleActive();
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

// As after a level change, whose new character is activated with the keys held.
TEST_F(CharacterControllerTest, KeysHeldWhileInactiveSteerOnceActiveButAreNoNewJump) {
    character->ToggleActive();
    Send(SDL_KEYDOWN, SDLK_RIGHT);
    Send(SDL_KEYDOWN, SDLK_SPACE);
    update.Invoke(1.0f / 60.0f);
    EXPECT_EQ(Velocity().x, 0.0f) << "an inactive character does not move";
    character->ToggleActive();
    Frame();
    EXPECT_FLOAT_EQ(Velocity().x, 10000.0f / kMass) << "the held key walks";

    Send(SDL_KEYUP, SDLK_SPACE);
    body->OnCollision(&below, false);
    Frame();
    EXPECT_EQ(Velocity().y, 0.0f) << "the jump key held on activation left no press to remember";
}

// A press is remembered once per press however the frames fall: a press and release within a
// frame counts, and a frame of several steps takes its press once.
TEST_F(CharacterControllerTest, AJumpPressIsRememberedOncePerPress) {
    controller->jumpBufferTime = 2.5f / 60.0f;  // two and a half steps
    struct Case {
        const char* what;
        bool tap;          // released in the frame of its press
        int stepsInFrame;  // steps of the frame of the press
        int stepsBeforeLanding;
        bool jumps;
    };
    const Case cases[] = {
        {"tap, landing in the buffer", true, 1, 1, true},
        {"tap, landing after the buffer", true, 1, 3, false},
        {"press in a three-step frame takes the buffer once", false, 3, 0, false},
        {"press in a two-step frame, landing in time", false, 2, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Send(SDL_KEYDOWN, SDLK_SPACE);
        if (c.tap) Send(SDL_KEYUP, SDLK_SPACE);
        for (int step = 1; step <= c.stepsInFrame; ++step) Frame(step == c.stepsInFrame);
        // Held keys jump on landing anyway: only the remembered press is tried.
        Send(SDL_KEYUP, SDLK_SPACE);
        for (int step = 1; step < c.stepsBeforeLanding; ++step) Frame();
        body->SetLinearVelocity(0.0f, 0.0f);
        body->OnCollision(&below, false);
        Frame();
        EXPECT_EQ(Velocity().y > 0.0f, c.jumps);
        // Ready for the next case: in the air, with nothing remembered.
        if (controller->IsGrounded()) {
            Send(SDL_KEYDOWN, SDLK_SPACE);
            Frame();
            Send(SDL_KEYUP, SDLK_SPACE);
        }
        for (int i = 0; i < 4; ++i) Frame();
        body->SetLinearVelocity(0.0f, 0.0f);
        ASSERT_FALSE(controller->IsGrounded());
    }
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
