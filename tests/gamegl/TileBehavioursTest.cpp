// The five tile behaviours in a scene driven by hand: the meadow world's ground and player with
// the tile types of the test world "trail" (spikes 8, flag 9, coin 10, ledge 11, lift 12).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/Checkpoint.hpp"
#include "game/GameSounds.hpp"
#include "game/LevelProgress.hpp"
#include "gamegl/MeadowScene.hpp"

namespace {

using game::test::MeadowScene;

constexpr float kRestHeight = 20.0f;  // the player's centre on ground whose top is at 10

class TileBehaviours : public MeadowScene {
protected:
    TileBehaviours() {
        folder.CopyFrom(std::string(ORKA_TEST_DATA_DIR) + "/worlds/trail");
        sounds.ToggleMute();  // counted all the same
    }

    /// Loads a level of ground from column 0 to `lastGround` and the entries `tiles` ("[type,
    /// column, row], ...", the player 5 among them); death line -100.
    void Play(int lastGround, const std::string& tiles) {
        std::string entries;
        for (int column = 0; column <= lastGround; ++column) {
            entries += "[1, " + std::to_string(column) + ", 0], ";
        }
        const std::string level = R"({"id": 1, "name": "course", "deathLevelInY": -100,
                                      "arrayOfTiles": [[)";
        folder.Write("course1.json", level + entries + tiles + "]]}");
        scene.LoadLevel("course");
    }
    LevelProgress Progress() const { return LevelProgress::Of(scene.GetLevelData().objects); }
    glm::vec2 Position(const std::string& name) const {
        return Find(name)->GetTransform()->position;
    }
    /// Holds `key` until `done` or for at most `limit` frames.
    template <typename Done>
    void HoldUntil(SDL_Keycode key, Done done, int limit = 600) {
        Press(key);
        for (int frames = 0; !done() && frames < limit; ++frames) Frame();
        Release(key);
    }

    GameSounds sounds;
};

TEST_F(TileBehaviours, SpikesPutThePlayerBackAtItsStartOncePerTouch) {
    // A wall of spikes at column 5, and a floor of them from column 7 on.
    Play(6, "[5, 1, 1], [8, 5, 1], [8, 7, 0], [8, 8, 0], [8, 9, 0], [8, 10, 0]");
    LandPlayer();
    const glm::vec2 start = Player()->GetComponent<PhysicsBody>()->GetStartPosition();
    HoldUntil(SDLK_RIGHT, [&] { return Progress().returns > 0; });
    ASSERT_EQ(Progress().returns, 1);
    EXPECT_EQ(PlayerPosition(), start) << "back in the frame of the touch";
    EXPECT_EQ(PlayerVelocity(), glm::vec2(0.0f, 0.0f)) << "and at rest: no speed carried back";
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Fall), 1);

    // Over the wall and down onto two tiles of the floor at once.
    LandPlayer();
    Press(SDLK_RIGHT);
    Frames(25);
    Press(SDLK_SPACE);
    const auto returnedAgain = [&] { return Progress().returns > 1; };
    HoldUntil(SDLK_RIGHT, returnedAgain, 200);
    Release(SDLK_SPACE);
    EXPECT_EQ(Progress().returns, 2) << "one return however many spikes it touched";
    EXPECT_EQ(PlayerPosition(), start);
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Fall), 2);
}

TEST_F(TileBehaviours, AFlagReachedIsWhereAFallBelowTheDeathLineComesBackTo) {
    Play(6, "[5, 1, 1], [9, 3, 1]");
    LandPlayer();
    const std::shared_ptr<GameObject> flag = Find("Flag");
    const orka::Sprite reached = manager.spriteAtlas->get("3.png");
    HoldUntil(SDLK_RIGHT, [&] { return flag->GetComponent<Checkpoint>()->IsReached(); });
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Checkpoint), 1);
    EXPECT_EQ(flag->GetComponent<SpriteRenderer>()->GetSprite().getSpritePos(),
              reached.getSpritePos())
        << "the reached sprite is shown";

    // Off the right end of the ground and below the death line.
    HoldUntil(SDLK_RIGHT, [&] { return Progress().returns > 0; });
    ASSERT_EQ(Progress().returns, 1);
    EXPECT_EQ(PlayerPosition(), glm::vec2(3.0f * kGrid, kGrid));
    EXPECT_EQ(PlayerVelocity(), glm::vec2(0.0f, 0.0f)) << "the fall's speed is not kept";
    const int landings = sounds.GetCueCount(SoundCue::Land);
    LandPlayer();
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Land), landings)
        << "settling onto the ground at the flag is no landing to hear";
    HoldUntil(
        SDLK_LEFT, [&] { return PlayerPosition().x < kGrid; }, 120);
    HoldUntil(SDLK_RIGHT, [&] { return Progress().returns > 1; });
    EXPECT_EQ(PlayerPosition(), glm::vec2(3.0f * kGrid, kGrid)) << "the flag, not the start";
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Checkpoint), 1) << "reached once";
}

TEST_F(TileBehaviours, ACoinTouchedIsTakenOnceAndComesBackWithTheReloadedLevel) {
    Play(8, "[5, 1, 1], [10, 3, 1], [10, 6, 3]");
    LandPlayer();
    EXPECT_EQ(Progress().collectibles, 2);
    const std::shared_ptr<GameObject> coin = Find("Coin");
    HoldUntil(SDLK_RIGHT, [&] { return PlayerPosition().x > 5.0f * kGrid; });
    EXPECT_EQ(Progress().collected, 1) << "the coin above the way is left";
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Collect), 1);
    EXPECT_FALSE(coin->IsActive()) << "out of play: neither drawn nor touched";
    EXPECT_EQ(coin->GetComponent<PhysicsBody>()->GetBody(), nullptr);

    scene.ReloadLevel();
    EXPECT_EQ(Progress().collected, 0);
    EXPECT_EQ(Progress().collectibles, 2);
    EXPECT_TRUE(Find("Coin")->IsActive());
}

TEST_F(TileBehaviours, CoinsAndFlagsHoldNobodyUpSoNoSecondJumpInTheAir) {
    // A row of coins, with a flag among them, across the flight of a running jump.
    Play(16, "[5, 1, 1], [10, 5, 3], [10, 6, 3], [9, 7, 3], [10, 8, 3], [10, 9, 3], [10, 10, 3]");
    LandPlayer();
    HoldUntil(SDLK_RIGHT, [&] { return PlayerPosition().x > 3.0f * kGrid; });
    Press(SDLK_RIGHT);
    // Space pressed again and again through the flight, as a player trying to jump off a coin.
    float highest = 0.0f;
    bool airborne = false;
    Press(SDLK_SPACE);
    for (int frame = 1; frame < 600; ++frame) {
        // Only high up, so that no press is left over for the landing.
        const bool high = PlayerPosition().y > kRestHeight + 40.0f;
        if (frame % 6 == 3 || !high) Release(SDLK_SPACE);
        if (frame % 6 == 0 && high) Press(SDLK_SPACE);
        Frame();
        highest = std::max(highest, PlayerPosition().y);
        airborne = airborne || PlayerPosition().y > kRestHeight + 5.0f;
        if (airborne && PlayerPosition().y <= kRestHeight + 0.5f) break;
    }
    Release(SDLK_SPACE);
    Release(SDLK_RIGHT);
    EXPECT_GE(Progress().collected, 2) << "the flight goes through the coins";
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Checkpoint), 1) << "and the flag";
    EXPECT_EQ(sounds.GetCueCount(SoundCue::Jump), 1) << "no jump off a coin or the flag";
    EXPECT_LT(highest, kRestHeight + 76.0f) << "no higher than one jump";
}

TEST_F(TileBehaviours, ALedgeIsPassedFromBelowAndFromTheSideAndStoodOnFromAbove) {
    // The player under a ledge from column 2 to 4, and a ledge in the way at column 12.
    Play(14, "[5, 3, 1], [11, 2, 2], [11, 3, 2], [11, 4, 2], [11, 12, 1]");
    LandPlayer();
    Press(SDLK_SPACE);
    Frame();
    Release(SDLK_SPACE);
    Frames(150);
    EXPECT_NEAR(PlayerPosition().y, 3.0f * kGrid - 1.0f, 0.05f) << "up through it, and on top";
    EXPECT_EQ(PlayerPosition().x, 3.0f * kGrid);

    HoldUntil(SDLK_RIGHT, [&] { return PlayerPosition().x > 13.0f * kGrid; });
    EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f) << "down again and through the other";
}

TEST_F(TileBehaviours, ALiftEasesThereAndBackInItsPeriodCarryingThePlayer) {
    folder.Write("tile13.json", R"({"name": "Lift", "sprite": 2, "physics": {"type": "static"},
                                    "moving": {"dx": 84, "dy": 42, "period": 4}})");
    Play(1, "[13, 4, 1], [5, 4, 2]");
    const b2Body* lift = Find("Lift")->GetComponent<PhysicsBody>()->GetBody();
    EXPECT_EQ(lift->GetType(), b2_kinematicBody) << "moving makes any body kinematic";
    const glm::vec2 start = Position("Lift");
    // The cosine's largest change of velocity in one step: (2 pi / period)^2 times half the
    // way (47 units, rounded up) times the step.
    const float angularSpeed = 2.0f * 3.14159f / 4.0f;
    const float easedChange = angularSpeed * angularSpeed * 47.0f * kFrame;
    glm::vec2 riding{0.0f, 0.0f};  // the player's place on the lift
    float drift = 0.0f;
    b2Vec2 previousVelocity = lift->GetLinearVelocity();
    for (int frame = 1; frame <= 480; ++frame) {
        Frame();
        const b2Vec2 change = lift->GetLinearVelocity() - previousVelocity;
        EXPECT_LT(change.Length(), easedChange) << "frame " << frame;
        previousVelocity = lift->GetLinearVelocity();
        if (frame % 240 == 120) {
            EXPECT_LT(glm::distance(Position("Lift"), start + glm::vec2(84, 42)), 0.01f);
        }
        if (frame % 240 == 0) {
            EXPECT_LT(glm::distance(Position("Lift"), start), 0.01f);
        }
        if (frame == 60) {
            ASSERT_TRUE(Player()->GetComponent<CharacterController>()->IsGrounded());
            riding = PlayerPosition() - Position("Lift");
        }
        if (frame > 60) {
            drift = std::max(drift, glm::distance(PlayerPosition() - Position("Lift"), riding));
        }
    }
    EXPECT_LT(drift, 0.5f) << "carried without sliding";
}

}  // namespace
