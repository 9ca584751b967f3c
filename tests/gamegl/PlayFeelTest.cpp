// The feel keys in a scene driven by hand: the meadow world's tiles, given a grip, a walk, a jump,
// feet to land on and a camera that leads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/CameraComponent.hpp"
#include "game/ReturnPoint.hpp"
#include "gamegl/MeadowScene.hpp"

namespace {

using game::test::MeadowScene;

constexpr float kLead = 70.0f;
constexpr float kBand = 80.0f;

class PlayFeel : public MeadowScene {
protected:
    void SetUp() override {
        ASSERT_NE(manager.spriteAtlas, nullptr);
        folder.Write("tile1.json", R"({"id": 1, "name": "Ground", "sprite": 1,
                                       "physics": {"type": "static", "friction": 0.6}})");
        folder.Write("tile5.json", R"({"id": 5, "name": "Player Character", "sprite": 10,
            "physics": {"type": "dynamic", "density": 2}, "characterController": true,
            "animation": [10, 11, 12, 13, 14, 15],
            "walk": {"speed": 180, "accelerate": 0.1, "stop": 0.04},
            "jump": {"height": 76, "airTime": 0.75, "releasedHeight": 20},
            "landOnFeet": true})");
    }

    /// Ground from column 0 to `lastGround` and the player at column `start`, row 1, with the
    /// camera keys; death line -300.
    void Play(int lastGround, int start) {
        std::string entries = "[5, " + std::to_string(start) + ", 1]";
        for (int column = 0; column <= lastGround; ++column) {
            entries += ", [1, " + std::to_string(column) + ", 0]";
        }
        folder.Write("feel1.json", R"({"id": 1, "name": "feel", "deathLevelInY": -300,
            "camera": {"lead": 70, "band": 80, "ease": 0.25}, "arrayOfTiles": [[)" +
                                       entries + "]]}");
        scene.LoadLevel("feel");
        Frames(30);
    }
    glm::vec2 View() const { return scene.GetLevelData().cameraObject->GetTransform()->position; }
};

TEST_F(PlayFeel, TheKeysReachTheBodiesTheControllerTheCameraAndTheStep) {
    Play(20, 2);
    const b2Body* ground = Find("Ground")->GetComponent<PhysicsBody>()->GetBody();
    EXPECT_FLOAT_EQ(ground->GetFixtureList()->GetFriction(), 0.6f);
    const b2Body* fox = Player()->GetComponent<PhysicsBody>()->GetBody();
    EXPECT_FLOAT_EQ(fox->GetFixtureList()->GetFriction(), 0.2f) << "the usual grip by default";
    // Falling 76 units and back in 0.75 s takes 8 * 76 / 0.75^2 units/s^2.
    EXPECT_NEAR(fox->GetGravityScale() * 98.0f, 8.0f * 76.0f / (0.75f * 0.75f), 0.1f);
    // A jump starts at 4 * 76 / 0.75 = 405 units/s; Box2D moves 120 units/s a step at most.
    EXPECT_EQ(scene.GetLevelData().physicsSubsteps, 5);
    const auto controller = Player()->GetComponent<CharacterController>();
    ASSERT_TRUE(controller->walk && controller->jump);
    EXPECT_TRUE(controller->landOnFeet);
    const auto camera = scene.GetLevelData().cameraObject->GetComponent<CameraComponent>();
    ASSERT_TRUE(camera->feel.has_value());
    EXPECT_EQ(camera->feel->band, kBand);
}

TEST_F(PlayFeel, TheFoxStopsAtOnceAndAJumpLetGoEarlyIsLower) {
    Play(40, 2);
    Press(SDLK_RIGHT);
    Frames(60);
    EXPECT_NEAR(PlayerVelocity().x, 180.0f, 10.0f) << "at full speed";
    const float released = PlayerPosition().x;
    Release(SDLK_RIGHT);
    Frames(60);
    EXPECT_LT(PlayerPosition().x - released, 7.0f) << "at rest within a third of a tile";
    EXPECT_EQ(PlayerVelocity().x, 0.0f);

    const auto rise = [this](int heldFrames) {
        const float start = PlayerPosition().y;
        float highest = start;
        Press(SDLK_SPACE);
        for (int frame = 0; frame < 120; ++frame) {
            if (frame == heldFrames) Release(SDLK_SPACE);
            Frame();
            highest = std::max(highest, PlayerPosition().y);
        }
        Release(SDLK_SPACE);
        return highest - start;
    };
    const float held = rise(120);
    const float tapped = rise(2);
    EXPECT_NEAR(held, 76.0f, 2.0f);
    EXPECT_LT(tapped, held * 0.6f) << "tapped " << tapped << ", held " << held;
}

TEST_F(PlayFeel, TheCameraLeadsTurnsSmoothlyKeepsStillThroughAJumpAndFollowsAFallAtOnce) {
    Play(30, 10);
    Press(SDLK_RIGHT);
    Frames(90);
    EXPECT_NEAR(View().x - PlayerPosition().x, kLead, 1.0f) << "ahead of a fox walking right";
    Release(SDLK_RIGHT);

    // Turning round: the lead swings over to the left without a jolt.
    Press(SDLK_LEFT);
    float largestShift = 0.0f;
    float lead = View().x - PlayerPosition().x;
    for (int frame = 0; frame < 90; ++frame) {
        Frame();
        const float now = View().x - PlayerPosition().x;
        largestShift = std::max(largestShift, std::fabs(now - lead));
        lead = now;
    }
    Release(SDLK_LEFT);
    EXPECT_NEAR(lead, -kLead, 1.0f) << "ahead of a fox walking left";
    EXPECT_LT(largestShift, 2.0f * kLead / 15.0f) << "eased over a quarter of a second or more";

    // A jump stays inside the band: the view keeps its height.
    const float height = View().y;
    Press(SDLK_SPACE);
    for (int frame = 0; frame < 60; ++frame) {
        Frame();
        EXPECT_EQ(View().y, height) << "frame " << frame;
    }
    Release(SDLK_SPACE);

    // Off the left end of the ground: the view drops with the fox, never leaving it below.
    Press(SDLK_LEFT);
    float lowestBelow = 0.0f;
    float lowestView = height;
    for (int frame = 0; frame < 240 && Player()->GetComponent<ReturnPoint>()->GetReturns() == 0;
         ++frame) {
        Frame();
        lowestBelow = std::min(lowestBelow, PlayerPosition().y - View().y);
        lowestView = std::min(lowestView, View().y);
    }
    Release(SDLK_LEFT);
    EXPECT_GE(lowestBelow, -kBand - 0.01f) << "the fall is followed at once";
    EXPECT_LT(lowestView, height - 100.0f) << "the view went down with the fall";
    EXPECT_NEAR(View().y, height, 0.05f) << "and is back with the fox put back at its start";
}

}  // namespace
