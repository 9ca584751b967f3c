#include "game/LevelOverOnHitByCharacter.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/PhysicsBody.hpp"
#include "game/SceneManager.hpp"

namespace {

/// A goal (physics body and trigger, initialised) under a scene manager without window.
class LevelOverTest : public ::testing::Test {
protected:
    SceneManager manager{SceneManager::WithoutWindow{}};
    UpdateEvent update;  // outlives the objects subscribed to it
    std::shared_ptr<GameObject> goal = std::make_shared<GameObject>();
    std::shared_ptr<PhysicsBody> body = goal->AddComponent<PhysicsBody>();

    LevelOverTest() {
        body->world = std::make_shared<b2World>(b2Vec2(0.0f, 0.0f));
        auto trigger = goal->AddComponent<LevelOverOnHitByCharacter>();
        trigger->updateEvent = &update;
        goal->ToggleActive();
        goal->InitialiseSelf();
    }
    bool Over() { return !manager.GetScene()->IsLevelRunning(); }
};

TEST_F(LevelOverTest, TheNamedPlayerEndsTheLevel) {
    GameObject player;
    player.SetName("Player Character");
    body->OnCollision(&player, true);
    EXPECT_FALSE(Over()) << "the end of a contact does nothing";
    body->OnCollision(&player, false);
    EXPECT_TRUE(Over());
}

TEST_F(LevelOverTest, AnyObjectWithACharacterControllerEndsTheLevel) {
    GameObject hero;
    hero.SetName("Hero");
    hero.AddComponent<CharacterController>();
    body->OnCollision(&hero, false);
    EXPECT_TRUE(Over());
}

TEST_F(LevelOverTest, OtherObjectsAreIgnored) {
    GameObject crate;
    crate.SetName("player character");
    body->OnCollision(&crate, false);
    EXPECT_FALSE(Over());
}

TEST_F(LevelOverTest, AfterDeactivationTheGoalStaysInertUntilInitialisedAgain) {
    goal->ToggleActive();
    goal->ToggleActive();
    GameObject player;
    player.SetName("Player Character");
    body->OnCollision(&player, false);
    EXPECT_FALSE(Over());
    goal->InitialiseSelf();
    body->OnCollision(&player, false);
    EXPECT_TRUE(Over());
}

}  // namespace
