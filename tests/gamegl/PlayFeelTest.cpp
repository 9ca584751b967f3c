// The feel keys in a scene driven by hand: the meadow world's tiles, given a grip, a walk, a jump,
// feet to land on and a camera that leads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/CameraComponent.hpp"
#include "game/CharacterAnimator.hpp"
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
            "landOnFeet": true, "faceLastWalk": true})");
    }

    /// Ground from column 0 to `lastGround` and the player at column `start`, row 1, with the
    /// camera keys and any `more` entries; death line -300.
    void Play(int lastGround, int start, const std::string& more = "") {
        folder.Write("tile7.json", R"({"id": 7, "name": "Lift", "sprite": 1,
            "physics": {"type": "static", "friction": 0.6},
            "moving": {"dx": 147, "dy": 0, "period": 8}})");
        std::string entries = "[5, " + std::to_string(start) + ", 1]" + more;
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
    float Lead() const { return View().x - PlayerPosition().x; }
    b2Body* Body(const std::string& name) const {
        return Find(name)->GetComponent<PhysicsBody>()->GetBody();
    }
    /// Frames while `holds` (five seconds at most).
    template <typename Holds>
    void FramesWhile(Holds holds) {
        for (int frame = 0; frame < 300 && holds(); ++frame) Frame();
    }
    /// Holds Space for `frames`, then lets go.
    void Jump(int frames) {
        Press(SDLK_SPACE);
        Frames(frames);
        Release(SDLK_SPACE);
    }
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
    EXPECT_TRUE(Player()->GetComponent<CharacterAnimator>()->faceLastWalk);
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
    for (int frame = 0; frame < 150; ++frame) {
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

TEST_F(PlayFeel, AShortTapTheOtherWayHardlyMovesTheView) {
    Play(40, 10);
    Press(SDLK_RIGHT);
    Frames(90);
    Release(SDLK_RIGHT);
    Frames(30);
    // Quick corrections: a tap of 0.1 s the other way, and left-right-left taps.
    for (const int tap : {6, 4, 4}) {
        SCOPED_TRACE(tap);
        const float before = View().x;
        Press(SDLK_LEFT);
        float farthest = 0.0f;
        for (int frame = 0; frame < 120; ++frame) {
            if (frame == tap) Release(SDLK_LEFT);
            Frame();
            farthest = std::max(farthest, std::fabs(View().x - before));
        }
        EXPECT_LE(farthest, 20.0f) << "the view swung";
        Press(SDLK_RIGHT);
        Frames(tap);
        Release(SDLK_RIGHT);
        Frames(30);
    }
}

TEST_F(PlayFeel, ALiftCarriesTheFoxThroughAJumpAndItsTurnsLeaveTheLeadAlone) {
    // Ground for the start, then the lift at column 5 with the fox on it.
    Play(2, 5, ", [7, 5, 0]");
    b2Body* lift = Body("Lift");
    ASSERT_NE(lift, nullptr);
    // Riding a whole trip there and back: the lift turns twice, the fox never walks.
    float leastLead = Lead();
    float mostLead = Lead();
    bool jumped = false;
    for (int frame = 0; frame < 8 * 60; ++frame) {
        Frame();
        leastLead = std::min(leastLead, Lead());
        mostLead = std::max(mostLead, Lead());
        // At the lift's full speed, a jump straight up comes down on the lift where it left.
        if (!jumped && lift->GetLinearVelocity().x > 50.0f) {
            jumped = true;
            const float offset = PlayerPosition().x - lift->GetPosition().x;
            Jump(20);
            EXPECT_GT(PlayerPosition().y - lift->GetPosition().y, 30.0f) << "in the air";
            Frames(40);
            // The lift speeds up a little more while the fox is in the air; a fox that kept
            // none of its speed would be 40 units behind.
            EXPECT_NEAR(PlayerPosition().x - lift->GetPosition().x, offset, 8.0f)
                << "left behind by the lift";
            EXPECT_NEAR(PlayerPosition().y - lift->GetPosition().y, 21.0f, 1.5f)
                << "not back on the lift";
            frame += 60;
        }
    }
    EXPECT_TRUE(jumped);
    EXPECT_GT(leastLead, kLead - 1.0f) << "the lead flipped with the lift";
    EXPECT_LT(mostLead, kLead + 1.0f);
}

TEST_F(PlayFeel, LandingAgainAndAgainOnALedgesCornerThrowsTheFoxNowhere) {
    // Slow to stop in the air, as the default world's fox is.
    folder.Write("tile5.json", R"({"id": 5, "name": "Player Character", "sprite": 10,
        "physics": {"type": "dynamic", "density": 2}, "characterController": true,
        "animation": [10, 11, 12, 13, 14, 15],
        "walk": {"speed": 180, "accelerate": 0.1, "stop": 0.04, "airAccelerate": 0.2,
                 "airStop": 0.3},
        "jump": {"height": 76, "airTime": 0.75, "releasedHeight": 20}, "landOnFeet": true})");
    Play(10, 9);
    LandPlayer();
    // Its centre 2 units past the ledge's right edge (the last tile reaches 10 past its centre).
    b2Body* fox = Player()->GetComponent<PhysicsBody>()->GetBody();
    const float past = 10 * 21.0f + 10.0f + 2.0f;
    fox->SetTransform(b2Vec2(past, fox->GetPosition().y), 0.0f);
    LandPlayer();
    ASSERT_NEAR(PlayerPosition().x, past, 0.5f) << "it does not stand there";
    for (int jump = 0; jump < 8; ++jump) {
        SCOPED_TRACE(jump);
        Press(SDLK_SPACE);
        float fastest = 0.0f;
        for (int frame = 0; frame < 70; ++frame) {
            if (frame == 40 + jump % 3) Release(SDLK_SPACE);
            Frame();
            fastest = std::max(fastest, std::fabs(PlayerVelocity().x));
        }
        EXPECT_LT(fastest, 1.0f) << "thrown sideways";
    }
    EXPECT_NEAR(PlayerPosition().x, past, 1.0f);
    EXPECT_EQ(Player()->GetComponent<ReturnPoint>()->GetReturns(), 0) << "fell into the pit";
}

TEST_F(PlayFeel, ComingDownOnALedgesCornerThrowsNoFoxSideways) {
    struct Row {
        const char* what;
        const char* keys;  // the player's feel keys
    };
    const Row rows[] = {
        {"walk and jump", R"("walk": {"speed": 180, "accelerate": 0.1, "stop": 0.04,
                                      "airAccelerate": 0.2, "airStop": 0.3},
                             "jump": {"height": 76, "airTime": 0.75, "releasedHeight": 20},)"},
        {"feet only", ""},
        {"jump without walk", R"("jump": {"height": 76, "airTime": 0.75},)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        folder.Write("tile5.json", std::string(R"({"id": 5, "name": "Player Character",
            "sprite": 10, "physics": {"type": "dynamic", "density": 2},
            "characterController": true, "animation": [10, 11, 12, 13, 14, 15], )") +
                                       row.keys + R"( "landOnFeet": true})");
        Play(10, 9);
        LandPlayer();
        // Dropped with its centre 8.5 units past the ledge's right edge: only its cut corner
        // meets the ledge's corner, whose slant turned the fall sideways.
        b2Body* fox = Player()->GetComponent<PhysicsBody>()->GetBody();
        const float past = 10 * kGrid + 10.0f + 8.5f;
        fox->SetTransform(b2Vec2(past, fox->GetPosition().y + 40.0f), 0.0f);
        fox->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        fox->SetAwake(true);
        float fastest = 0.0f;
        for (int frame = 0; frame < 60; ++frame) {
            Frame();
            fastest = std::max(fastest, std::fabs(PlayerVelocity().x));
        }
        EXPECT_LT(fastest, 1.0f) << "thrown sideways with no arrow held";
        EXPECT_NEAR(PlayerPosition().x, past, 2.0f) << "slid off sideways";
    }
}

/// The player's tile with `jumpKeys` added to its jump.
std::string FoxWithJump(const std::string& jumpKeys) {
    return R"({"id": 5, "name": "Player Character", "sprite": 10,
        "physics": {"type": "dynamic", "density": 2}, "characterController": true,
        "animation": [10, 11, 12, 13, 14, 15],
        "walk": {"speed": 180, "accelerate": 0.1, "stop": 0.04},
        "jump": {"height": 76, "airTime": 0.75, "releasedHeight": 20)" +
           jumpKeys + R"(}, "landOnFeet": true})";
}

TEST_F(PlayFeel, WithFreshPressesAHeldSpaceJumpsOnceAndAPressJustBeforeLandingStillCounts) {
    struct Row {
        const char* keys;
        int heldJumps;  // take-offs while Space is held for 2.5 s
    };
    for (const Row& row :
         {Row{"", 3}, Row{R"(, "freshPress": false)", 3}, Row{R"(, "freshPress": true)", 1}}) {
        SCOPED_TRACE(row.keys);
        folder.Write("tile5.json", FoxWithJump(row.keys));
        Play(20, 5);
        LandPlayer();
        Press(SDLK_SPACE);
        int takeOffs = 0;
        bool rising = false;
        for (int frame = 0; frame < 150; ++frame) {
            Frame();
            const bool nowRising = PlayerVelocity().y > 100.0f;
            takeOffs += nowRising && !rising;
            rising = nowRising;
        }
        Release(SDLK_SPACE);
        if (row.heldJumps == 1) {
            EXPECT_EQ(takeOffs, 1);
        } else {
            EXPECT_GE(takeOffs, row.heldJumps);
        }
        LandPlayer();
        // A press a few updates before landing jumps on landing.
        const float floor = PlayerPosition().y;
        Jump(2);
        Frames(5);
        FramesWhile([&] { return PlayerVelocity().y > -1.0f; });
        FramesWhile([&] { return PlayerPosition().y > floor + 6.0f; });
        Press(SDLK_SPACE);
        int frames = 0;
        while (PlayerVelocity().y < 100.0f && frames < 20) {
            Frame();
            ++frames;
        }
        Release(SDLK_SPACE);
        EXPECT_LT(frames, 20) << "the press just before landing was lost";
        LandPlayer();
    }
}

TEST_F(PlayFeel, AFallTimeSplitsTheAirTimeIntoAQuickFallAndTheRise) {
    struct Row {
        const char* keys;
        float riseSeconds;  // of a held jump, to its top
        float fallSeconds;  // from its top back to the height it left
    };
    for (const Row& row : {Row{"", 0.375f, 0.375f}, Row{R"(, "fallTime": 0.27)", 0.48f, 0.27f},
                           Row{R"(, "fallTime": 0.5)", 0.25f, 0.5f}}) {
        SCOPED_TRACE(row.keys);
        folder.Write("tile5.json", FoxWithJump(row.keys));
        Play(20, 5);
        LandPlayer();
        const float floor = PlayerPosition().y;
        Press(SDLK_SPACE);
        int riseFrames = 0;
        int fallFrames = 0;
        float top = floor;
        for (; riseFrames < 120 && (riseFrames < 2 || PlayerVelocity().y > 0.0f); ++riseFrames) {
            Frame();
            top = std::max(top, PlayerPosition().y);
        }
        for (; fallFrames < 120 && PlayerPosition().y > floor + 0.5f; ++fallFrames) Frame();
        Release(SDLK_SPACE);
        EXPECT_NEAR(top - floor, 76.0f, 2.0f) << "the height stays the jump's";
        EXPECT_NEAR(riseFrames * kFrame, row.riseSeconds, 2.5f * kFrame);
        EXPECT_NEAR(fallFrames * kFrame, row.fallSeconds, 2.5f * kFrame);
        EXPECT_NEAR((riseFrames + fallFrames) * kFrame, 0.75f, 3.5f * kFrame)
            << "the air time stays the whole flight";
    }
}

TEST_F(PlayFeel, AnEdgeGraceEndsTheAirJumpThatLongAfterWalkingOffAnEdge) {
    struct Row {
        const char* keys;
        int waitFrames;  // after leaving the edge, before Space
        bool jumps;
    };
    for (const Row& row :
         {Row{"", 20, true}, Row{R"(, "edgeGrace": 0.1)", 3, true},
          Row{R"(, "edgeGrace": 0.1)", 12, false}, Row{R"(, "edgeGrace": 0)", 3, false}}) {
        SCOPED_TRACE(std::string(row.keys) + " after " + std::to_string(row.waitFrames));
        folder.Write("tile5.json", FoxWithJump(row.keys));
        Play(6, 5);
        LandPlayer();
        Press(SDLK_RIGHT);
        const float ground = PlayerPosition().y;
        FramesWhile([&] { return PlayerPosition().y > ground - 0.5f; });
        Release(SDLK_RIGHT);
        Frames(row.waitFrames - 1);
        Press(SDLK_SPACE);
        Frames(3);
        Release(SDLK_SPACE);
        EXPECT_EQ(PlayerVelocity().y > 100.0f, row.jumps);
    }
}

}  // namespace
