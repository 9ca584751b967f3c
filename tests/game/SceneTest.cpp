#include "game/Scene.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/LevelOverOnHitByCharacter.hpp"
#include "game/PhysicsBody.hpp"
#include "game/SceneManager.hpp"
#include "orka/Camera.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;

constexpr float kStep = 1.0f / 60.0f;

/// Records the delta times of the updates it receives.
struct UpdateProbe {
    std::vector<float> deltas;
    static void Record(void* target, float deltaTime) {
        static_cast<UpdateProbe*>(target)->deltas.push_back(deltaTime);
    }
};

/// Counts the contacts reported to the body it listens to.
struct HitProbe {
    int hits = 0;
    static void Count(void* target, GameObject*) { ++static_cast<HitProbe*>(target)->hits; }
};

/// The world "drop": in each level a body named "Player Character" (a plain crate, no
/// controller) falls from row 3 onto the goal, a static sensor at row 0, and a crate stands on a
/// block far away. The ids are 1 and 2, so level 2 is followed by level 1.
class SceneTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    SceneManager manager{SceneManager::WithoutWindow{}};
    Scene& scene = *manager.GetScene();

    SceneTest() {
        folder.Write("tile1.json", R"({"name": "Goal", "leveloverbox": true,
                                       "physics": {"type": "static", "sensor": true}})");
        folder.Write("tile2.json", R"({"name": "Player Character",
                                       "physics": {"type": "dynamic", "density": 2}})");
        folder.Write("tile3.json", R"({"name": "crate",
                                       "physics": {"type": "dynamic", "density": 1}})");
        folder.Write("tile4.json", R"({"name": "block", "physics": {"type": "static"}})");
        for (const char* id : {"1", "2"}) {
            folder.Write(std::string("drop") + id + ".json",
                         std::string(R"({"id": )") + id + R"(, "name": "drop )" + id +
                             R"(", "deathLevelInY": -200, "arrayOfTiles": [
                             [[1, 0, 0], [2, 0, 3]], [[4, 20, 0], [3, 20, 1]]]})");
        }
    }

    int LevelId() const { return scene.GetLevelData().level->GetId(); }
    std::shared_ptr<GameObject> Object(std::size_t i) const {
        return scene.GetLevelData().objects.at(i);
    }
};

/// The game at different frame rates: updates `interval` seconds apart on a level where the
/// player box falls twelve rows onto the goal.
struct FrameRate {
    const char* name;
    float interval;
};

void PrintTo(const FrameRate& rate, std::ostream* out) {
    *out << rate.name;
}

class SceneFrameRateTest : public SceneTest, public ::testing::WithParamInterface<FrameRate> {
protected:
    SceneFrameRateTest() {
        folder.Write("fall1.json", R"({"id": 1, "name": "fall", "deathLevelInY": -200,
                                       "arrayOfTiles": [[[1, 0, 0], [2, 0, 12]]]})");
    }

    /// What a run of updates `interval` seconds apart on a fresh "fall" level shows.
    struct Run {
        std::vector<float> deltas;     ///< given to the behaviours in the first half second
        b2Vec2 position, velocity;     ///< the player's after half a second
        float goalTime = 0.0f;         ///< game time of the update that reached the goal
    };
    Run Play(float interval) {
        scene.LoadLevel("fall");
        const std::shared_ptr<GameObject> start = scene.GetLevelData().level;
        const b2Body* body = Object(1)->GetComponent<PhysicsBody>()->GetBody();
        Run run;
        UpdateProbe probe;
        scene.updateEvent.Subscribe(&probe, &UpdateProbe::Record);
        const int halfSecond = static_cast<int>(std::lround(0.5f / interval));
        for (int i = 0; i < halfSecond; ++i) scene.Update(interval);
        scene.updateEvent.Unsubscribe(&probe, &UpdateProbe::Record);
        run.deltas = probe.deltas;
        run.position = body->GetPosition();
        run.velocity = body->GetLinearVelocity();
        int updates = halfSecond;
        for (; scene.GetLevelData().level == start && updates < 1200; ++updates) {
            scene.Update(interval);
        }
        run.goalTime = static_cast<float>(updates) * interval;
        return run;
    }
};

TEST_P(SceneFrameRateTest, TheSameGameTimeGivesTheSameStateAndTheSameGoalTime) {
    const float interval = GetParam().interval;
    const Run reference = Play(kStep);
    const Run run = Play(interval);
    EXPECT_EQ(run.deltas, std::vector<float>(30, kStep)) << "30 steps of 1/60 s each";
    EXPECT_EQ(run.position, reference.position);
    EXPECT_EQ(run.velocity, reference.velocity);
    RecordProperty("goalTime", std::to_string(run.goalTime));
    EXPECT_LT(reference.goalTime, 3.0f) << "the goal was reached";
    // Reached in the update that runs the step reaching it: at most one interval later.
    EXPECT_GT(run.goalTime, reference.goalTime - 1e-4f);
    EXPECT_LT(run.goalTime, reference.goalTime + interval);
}

INSTANTIATE_TEST_SUITE_P(Intervals, SceneFrameRateTest,
                         ::testing::Values(FrameRate{"Hz60", 1.0f / 60.0f},
                                           FrameRate{"Hz30", 1.0f / 30.0f},
                                           FrameRate{"Hz144", 1.0f / 144.0f}),
                         [](const ::testing::TestParamInfo<FrameRate>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SceneTest, AHitchRunsAHandfulOfStepsAndDropsTheRest) {
    scene.LoadLevel("drop");
    UpdateProbe probe;
    scene.updateEvent.Subscribe(&probe, &UpdateProbe::Record);
    const b2Body* falling = Object(1)->GetComponent<PhysicsBody>()->GetBody();

    scene.Update(0.5f);
    EXPECT_EQ(probe.deltas, std::vector<float>(Scene::maxStepsPerUpdate, kStep));
    EXPECT_FLOAT_EQ(falling->GetLinearVelocity().y, -98.0f * 5.0f * kStep);
    EXPECT_EQ(scene.GetStepFraction(), 0.0f) << "nor is the dropped time drawn";
    // The dropped time does not come back: the next frames run one step each.
    scene.Update(kStep);
    EXPECT_EQ(probe.deltas.size(), 6u);
    scene.Update(0.0f);
    EXPECT_EQ(probe.deltas.size(), 6u) << "no time, no step";
    scene.Update(kStep / 2.0f);
    EXPECT_NEAR(scene.GetStepFraction(), 0.5f, 1e-4f) << "drawn half way to the next step";
    scene.Update(kStep / 2.0f);
    EXPECT_EQ(probe.deltas.size(), 7u) << "two half frames make one step";
    EXPECT_FLOAT_EQ(falling->GetLinearVelocity().y, -98.0f * 7.0f * kStep);
    EXPECT_EQ(Object(1)->GetTransform()->position.y, falling->GetPosition().y);
    scene.updateEvent.Unsubscribe(&probe, &UpdateProbe::Record);
}

TEST_F(SceneTest, WithoutSubscribersTheWorldStillSteps) {
    scene.LoadLevel("drop");
    scene.physicsStepEvent.Clear();
    scene.updateEvent.Clear();
    const b2Body* falling = Object(1)->GetComponent<PhysicsBody>()->GetBody();
    scene.Update(kStep);
    EXPECT_LT(falling->GetPosition().y, 63.0f);
    EXPECT_EQ(Object(1)->GetTransform()->position.y, 63.0f) << "no step event, no copy";
}

TEST_F(SceneTest, LoadingBuildsTheFirstLevelAndInitialisesIt) {
    scene.LoadLevel("drop");
    EXPECT_EQ(LevelId(), 1);
    EXPECT_EQ(scene.GetDeathLevelInY(), -200.0f);
    EXPECT_EQ(scene.GetWorld()->GetBodyCount(), 4);
    EXPECT_EQ(scene.GetWorld()->GetContactManager().m_contactListener, &scene);
    // The goal's trigger found its body in the first initialisation phase.
    EXPECT_EQ(Object(0)->GetComponent<PhysicsBody>()->collisionEnterEvent.GetCount(), 1);
    EXPECT_TRUE(scene.IsLevelRunning());
}

TEST_F(SceneTest, ContactsReachBodyAFirstThenBodyB) {
    scene.LoadLevel("drop");
    std::vector<GameObject*> order;
    struct Tagged {
        std::vector<GameObject*>* order;
        GameObject* self;
        static void Record(void* target, GameObject*) {
            auto* tagged = static_cast<Tagged*>(target);
            tagged->order->push_back(tagged->self);
        }
    };
    Tagged block{&order, Object(2).get()}, crate{&order, Object(3).get()};
    Object(2)->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&block, &Tagged::Record);
    Object(3)->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&crate, &Tagged::Record);

    for (int i = 0; i < 30 && order.empty(); ++i) scene.Update(kStep);
    ASSERT_EQ(order.size(), 2u);
    b2Contact* contact = scene.GetWorld()->GetContactList();
    for (; contact != nullptr; contact = contact->GetNext()) {
        const auto* a = reinterpret_cast<PhysicsBody*>(
            contact->GetFixtureA()->GetBody()->GetUserData().pointer);
        if (a->gameObject == Object(2).get() || a->gameObject == Object(3).get()) break;
    }
    ASSERT_NE(contact, nullptr);
    const auto* first =
        reinterpret_cast<PhysicsBody*>(contact->GetFixtureA()->GetBody()->GetUserData().pointer);
    EXPECT_EQ(order[0], first->gameObject);
    EXPECT_NE(order[1], order[0]);
}

TEST_F(SceneTest, TouchingTheGoalLoadsTheNextLevelAtTheEndOfThatUpdate) {
    scene.LoadLevel("drop");
    HitProbe goalHits;
    Object(0)->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&goalHits,
                                                                          &HitProbe::Count);
    const std::vector<std::shared_ptr<GameObject>> oldObjects = scene.GetLevelData().objects;
    int frames = 0;
    while (goalHits.hits == 0 && frames < 120) {
        EXPECT_EQ(LevelId(), 1) << "no change before the touch";
        scene.Update(kStep);
        ++frames;
    }
    ASSERT_EQ(goalHits.hits, 1);
    EXPECT_EQ(LevelId(), 2) << "changed in the update of the touch";
    EXPECT_TRUE(scene.IsLevelRunning());
    // The old level is out of play: no body, no subscription, no update.
    for (const auto& old : oldObjects) {
        EXPECT_FALSE(old->IsActive());
        EXPECT_EQ(old->GetComponent<PhysicsBody>()->GetBody(), nullptr);
    }
    EXPECT_EQ(scene.GetWorld()->GetBodyCount(), 4);
    EXPECT_EQ(scene.physicsStepEvent.GetCount(), 4);
    EXPECT_EQ(scene.updateEvent.GetCount(), 2) << "the new goal and the camera object";
    const glm::vec2 oldCrate = oldObjects[3]->GetTransform()->position;
    scene.Update(kStep);
    EXPECT_EQ(oldObjects[3]->GetTransform()->position, oldCrate);
    EXPECT_EQ(Object(0)->GetComponent<PhysicsBody>()->collisionEnterEvent.GetCount(), 1)
        << "the new goal was initialised";

    // The same fall in level 2 leads back to level 1: the world starts over.
    for (int i = 0; i < 120 && LevelId() == 2; ++i) scene.Update(kStep);
    EXPECT_EQ(LevelId(), 1);
}

TEST_F(SceneTest, SeveralLevelOversBeforeAnUpdateMoveOnOneLevel) {
    scene.LoadLevel("drop");
    manager.LevelOver();
    manager.LevelOver();
    EXPECT_FALSE(scene.IsLevelRunning());
    const glm::vec2 before = Object(1)->GetTransform()->position;
    const std::shared_ptr<GameObject> oldFaller = Object(1);
    scene.Update(kStep);
    EXPECT_LT(oldFaller->GetTransform()->position.y, before.y) << "old level stepped first";
    EXPECT_EQ(LevelId(), 2);
    EXPECT_EQ(Object(1)->GetTransform()->position, glm::vec2(0.0f, 63.0f)) << "new, not stepped";
    scene.Update(kStep);
    EXPECT_EQ(LevelId(), 2);
}

TEST_F(SceneTest, LoadingAgainReplacesTheLevelAndTheWorld) {
    scene.LoadLevel("drop");
    const std::weak_ptr<GameObject> old = Object(0);
    scene.Update(kStep);
    scene.LoadLevel("drop");
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(LevelId(), 1);
    EXPECT_EQ(scene.GetWorld()->GetBodyCount(), 4);
    EXPECT_EQ(scene.physicsStepEvent.GetCount(), 4);
}

TEST_F(SceneTest, ReloadingStartsTheLevelInPlayAfreshFromItsFilesReadAgain) {
    scene.LoadLevel("drop");
    manager.LevelOver();
    scene.Update(kStep);
    for (int i = 0; i < 10; ++i) scene.Update(kStep);
    const std::weak_ptr<GameObject> oldFaller = Object(1);
    folder.Write("tile3.json", R"({"name": "crate", "physics": {"type": "static"}})");

    scene.ReloadLevel();
    EXPECT_EQ(LevelId(), 2) << "the level in play, not the first";
    EXPECT_TRUE(oldFaller.expired());
    EXPECT_EQ(Object(1)->GetTransform()->position, glm::vec2(0.0f, 63.0f)) << "from the start";
    EXPECT_EQ(Object(3)->GetComponent<PhysicsBody>()->GetBody()->GetType(), b2_staticBody)
        << "its tile-type file was read again";
    EXPECT_EQ(scene.GetWorld()->GetBodyCount(), 4);
    EXPECT_EQ(scene.physicsStepEvent.GetCount(), 4);
    EXPECT_EQ(scene.updateEvent.GetCount(), 2) << "the new goal and the camera object";
    EXPECT_EQ(Object(0)->GetComponent<PhysicsBody>()->collisionEnterEvent.GetCount(), 1)
        << "the new goal was initialised";
    // The goal still ends the reloaded level.
    for (int i = 0; i < 120 && LevelId() == 2; ++i) scene.Update(kStep);
    EXPECT_EQ(LevelId(), 1);
}

TEST_F(SceneTest, ReloadingABrokenFileThrowsAndTheLevelInPlayGoesOn) {
    scene.LoadLevel("drop");
    for (int i = 0; i < 10; ++i) scene.Update(kStep);
    const std::vector<std::shared_ptr<GameObject>> objects = scene.GetLevelData().objects;
    const b2World* world = scene.GetWorld();
    const auto reloadError = [&] {
        try {
            scene.ReloadLevel();
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("(no error)");
    };

    folder.Write("drop1.json", "{\"id\": 1,\n  \"name\" \"drop 1\"}");
    EXPECT_EQ(reloadError(),
              "drop1.json:2:10: invalid JSON: Missing a colon after a name of object member.");
    folder.Write("drop1.json", R"({"id": 1, "name": "drop 1", "arrayOfTiles": [[[3, 1, 1]]]})");
    folder.Write("tile3.json", R"({"name": "crate", "physics": {"density": 1}})");
    EXPECT_EQ(reloadError(), R"(tile3.json: "physics" has no "type")");

    EXPECT_EQ(scene.GetLevelData().objects, objects);
    EXPECT_EQ(scene.GetWorld(), world);
    EXPECT_EQ(world->GetBodyCount(), 4);
    EXPECT_EQ(scene.physicsStepEvent.GetCount(), 4);
    EXPECT_EQ(scene.updateEvent.GetCount(), 2);
    const float height = Object(1)->GetTransform()->position.y;
    scene.Update(kStep);
    EXPECT_LT(Object(1)->GetTransform()->position.y, height) << "the faller falls on";
}

TEST_F(SceneTest, ABrokenNextLevelRestartsTheFinishedOneAndAReloadTriesItAgain) {
    const std::string sound = game::test::FileContents(folder.path / "drop2.json");
    folder.Write("drop2.json", "{\"id\": 2,");
    scene.LoadLevel("drop");
    std::vector<std::string> heard;
    scene.levelLoadFailed = [&heard](const std::string& problem) { heard.push_back(problem); };
    const std::weak_ptr<GameObject> oldFaller = Object(1);
    for (int i = 0; i < 120 && heard.empty(); ++i) scene.Update(kStep);
    ASSERT_EQ(heard.size(), 1u) << "the goal was not reached";
    EXPECT_EQ(heard[0], "drop2.json:1:10: invalid JSON: Missing a name for object member.");
    EXPECT_EQ(LevelId(), 1) << "the finished level stays in play";
    EXPECT_TRUE(scene.IsLevelRunning());
    EXPECT_TRUE(oldFaller.expired()) << "restarted, from its files";
    EXPECT_EQ(Object(1)->GetTransform()->position, glm::vec2(0.0f, 63.0f));
    EXPECT_EQ(scene.GetLevelClock().Seconds(), 0.0);

    // Mended, the next level is what a reload (F5) gives.
    folder.Write("drop2.json", sound);
    scene.ReloadLevel();
    EXPECT_EQ(LevelId(), 2);
    scene.ReloadLevel();
    EXPECT_EQ(LevelId(), 2) << "and from then on a reload restarts the level in play";
}

TEST_F(SceneTest, ALevelWithoutPlayerKeepsTheCameraStill) {
    scene.LoadLevel("drop");
    EXPECT_EQ(scene.GetLevelData().player, nullptr) << "a crate named like the player is none";
    const auto camera = scene.GetLevelData().cameraObject;
    const glm::mat4 view = scene.GetLevelData().camera->getViewTransform();
    for (int i = 0; i < 30; ++i) scene.Update(kStep);
    EXPECT_EQ(camera->GetTransform()->position, glm::vec2(231.5f, 300.0f));
    EXPECT_EQ(scene.GetLevelData().camera->getViewTransform(), view);
}

}  // namespace
