// Deterministic playthroughs of the test world "meadow": the scene is driven frame by frame with
// fixed 1/60 s steps and keys sent through its key-input event, so every run is the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "game/GameSounds.hpp"
#include "game/LevelOverOnHitByCharacter.hpp"
#include "game/ReturnPoint.hpp"
#include "gamegl/MeadowScene.hpp"
#include "levelcheck/InputScript.hpp"

namespace {

using game::test::MeadowScene;

constexpr float kRestHeight = 20.0f;  // a 20-unit box on ground whose top is at 10
constexpr float kMass = 800.0f;       // the player: 20 x 20 units, density 2
constexpr float kStart = 2.0f * 21.0f;

/// Counts the contacts reported to a body, with the frame of the first.
struct HitProbe {
    int hits = 0;
    int firstFrame = -1;
    const int* frame = nullptr;
    static void Count(void* target, GameObject*) {
        auto* probe = static_cast<HitProbe*>(target);
        if (probe->hits++ == 0) probe->firstFrame = *probe->frame;
    }
};

class Playthrough : public MeadowScene {
protected:
    int AnimatorState() const { return Player()->GetComponent<CharacterAnimator>()->GetState(); }
    /// Which of the atlas's player sprites (10 to 15) the player shows.
    int ShownSprite() const {
        const orka::Sprite& sprite = Player()->GetComponent<SpriteRenderer>()->GetSprite();
        return 10 + sprite.getSpritePos().x / 21;
    }
    bool ShownMirrored() const {
        return Player()->GetComponent<SpriteRenderer>()->GetSprite().getFlip().x;
    }
};

TEST_F(Playthrough, ThePlayerFallsThenLandsOnTheGround) {
    EXPECT_EQ(PlayerPosition(), glm::vec2(kStart, 63.0f));
    EXPECT_EQ(ShownSprite(), 10) << "the tile's own sprite until the animator is told";
    float previous = PlayerPosition().y;
    int frames = 0;
    while (!Player()->GetComponent<CharacterController>()->IsGrounded() && frames < 120) {
        Frame();
        ++frames;
        EXPECT_LT(PlayerPosition().y, previous) << "frame " << frames;
        EXPECT_EQ(PlayerPosition().x, kStart);
        previous = PlayerPosition().y;
        if (!Player()->GetComponent<CharacterController>()->IsGrounded()) {
            EXPECT_EQ(AnimatorState(), CharacterAnimator::Fall);
            EXPECT_EQ(ShownSprite(), 15);
        }
    }
    EXPECT_GT(frames, 10);
    ASSERT_TRUE(Player()->GetComponent<CharacterController>()->IsGrounded());
    Frames(30);
    EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f);
    EXPECT_EQ(PlayerPosition().x, kStart);
    EXPECT_EQ(PlayerVelocity().x, 0.0f);
    EXPECT_EQ(AnimatorState(), CharacterAnimator::Idle);
    EXPECT_EQ(ShownSprite(), 10);
}

TEST_F(Playthrough, WalkingStaysWithinTheSpeedCapAndChangesFrameEveryQuarterSecond) {
    LandPlayer();
    // The number of 1/60 s frames whose sum first exceeds a quarter second.
    int framesPerWalkFrame = 0;
    for (float sum = 0.0f; !(sum > 0.25f); sum += kFrame) ++framesPerWalkFrame;

    Press(SDLK_RIGHT);
    const float startX = PlayerPosition().x;
    std::vector<int> switches;
    int shown = ShownSprite();
    for (int frame = 1; frame <= 120; ++frame) {
        Frame();
        EXPECT_LE(PlayerVelocity().x, 50.0f + 10000.0f / kMass + 1e-3f) << "frame " << frame;
        EXPECT_GT(PlayerVelocity().x, 0.0f);
        EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f);
        EXPECT_EQ(AnimatorState(), CharacterAnimator::WalkRight);
        EXPECT_FALSE(ShownMirrored());
        if (ShownSprite() != shown) switches.push_back(frame);
        shown = ShownSprite();
        EXPECT_TRUE(shown == 11 || shown == 12) << shown;
    }
    ASSERT_GE(switches.size(), 5u);
    EXPECT_EQ(switches[0], 1) << "a walk frame at once";
    for (std::size_t i = 1; i < switches.size(); ++i) {
        EXPECT_EQ(switches[i] - switches[i - 1], framesPerWalkFrame);
    }
    EXPECT_GT(PlayerPosition().x - startX, 100.0f) << "two seconds of walking";

    Release(SDLK_RIGHT);
    Press(SDLK_LEFT);
    Frame();
    EXPECT_EQ(AnimatorState(), CharacterAnimator::WalkLeft);
    EXPECT_TRUE(ShownMirrored());
    Release(SDLK_LEFT);
    int frames = 0;
    while (PlayerVelocity().x != 0.0f && frames < 300) {
        Frame();
        ++frames;
    }
    EXPECT_LT(frames, 300) << "friction stops the player";
    Frame();
    EXPECT_EQ(AnimatorState(), CharacterAnimator::Idle);
    EXPECT_EQ(ShownSprite(), 10);
    EXPECT_FALSE(ShownMirrored()) << "the idle sprite always faces right";
}

TEST_F(Playthrough, HoldingSpaceJumpsOncePerLanding) {
    LandPlayer();
    Press(SDLK_SPACE);
    std::vector<int> jumpStarts;
    float previousVy = PlayerVelocity().y;
    float highest = 0.0f;
    for (int frame = 1; frame <= 300; ++frame) {
        Frame();
        const float vy = PlayerVelocity().y;
        // Only the jump impulse can make the player rise this fast.
        if (vy > 100.0f && previousVy <= 100.0f) {
            jumpStarts.push_back(frame);
            // The landing is reported during the step and the jump follows in the same frame.
            EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f) << "jumps start on the ground";
            EXPECT_NEAR(vy, 100000.0f / kMass, 0.01f);
            EXPECT_EQ(AnimatorState(), CharacterAnimator::Jump);
        } else if (PlayerPosition().y > kRestHeight + 1.0f) {
            EXPECT_LT(vy, previousVy) << "no push in the air, frame " << frame;
        }
        highest = std::max(highest, PlayerPosition().y);
        previousVy = vy;
    }
    // Standing at rest, the first frame jumps; every flight then lasts the same, and the next
    // jump comes in the frame of the landing.
    ASSERT_EQ(jumpStarts.size(), 3u);
    EXPECT_EQ(jumpStarts[0], 1);
    EXPECT_GT(jumpStarts[1] - jumpStarts[0], 120) << "a flight of about two seconds";
    EXPECT_EQ(jumpStarts[2] - jumpStarts[1], jumpStarts[1] - jumpStarts[0]);
    EXPECT_GT(highest, kRestHeight + 60.0f);
}

TEST_F(Playthrough, ASpacePressShortlyBeforeLandingJumpsOnLanding) {
    LandPlayer();
    float previousVy = 0.0f;
    int frame = 0;  // frames since the last jump started
    // One frame; true when a jump started in it (only the jump makes the player rise this fast).
    const auto jumped = [&] {
        Frame();
        ++frame;
        const bool started = PlayerVelocity().y > 100.0f && previousVy <= 100.0f;
        previousVy = PlayerVelocity().y;
        if (started) frame = 0;
        return started;
    };
    // Space pressed for one frame: the press is over long before any landing.
    const auto tap = [&] {
        Press(SDLK_SPACE);
        const bool started = jumped();
        Release(SDLK_SPACE);
        return started;
    };
    // A jump from rest, and the frame of its landing.
    ASSERT_TRUE(tap());
    while (!Player()->GetComponent<CharacterController>()->IsGrounded() && frame < 300) {
        ASSERT_FALSE(jumped());
    }
    const int flight = frame;
    ASSERT_LT(flight, 300);
    Frames(30);
    previousVy = PlayerVelocity().y;

    // The same jump, with space tapped four frames before it lands: it jumps on landing.
    ASSERT_TRUE(tap());
    while (frame < flight - 5) ASSERT_FALSE(jumped());
    ASSERT_FALSE(tap());
    int landingJump = -1;
    while (frame < flight + 2 && landingJump < 0) {
        const int next = frame + 1;
        if (jumped()) landingJump = next;
    }
    EXPECT_EQ(landingJump, flight) << "jumps in the frame of the landing";
    EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.5f) << "from the ground";

    // Tapped a fifth of a second before landing, the press is forgotten: one landing, no jump.
    while (frame < flight - 13) ASSERT_FALSE(jumped());
    ASSERT_FALSE(tap());
    while (frame < flight + 60) EXPECT_FALSE(jumped()) << "frame " << frame;
    EXPECT_TRUE(Player()->GetComponent<CharacterController>()->IsGrounded());
    EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f);
}

TEST_F(Playthrough, APlayerPushingAgainstAWallSlidesDownIt) {
    // A one-tile pit at column 4 between a step at column 3 and a wall of eight tiles.
    std::string tiles = "[[1, 0, 0], [1, 1, 0], [1, 2, 0], [1, 3, 0], [1, 4, 0], [1, 5, 0], "
                        "[1, 3, 1], [5, 4, 1]";
    for (int row = 1; row <= 8; ++row) tiles += ", [1, 5, " + std::to_string(row) + "]";
    folder.Write("pit1.json", R"({"id": 1, "name": "pit", "deathLevelInY": -100,
                                  "arrayOfTiles": [)" + tiles + "]]}");
    scene.LoadLevel("pit");
    // Jump at the wall and keep pushing against it for five seconds.
    const InputScript script = InputScript::Parse(
        "0 down Right\n"
        "30 down Space\n"
        "31 up Space\n"
        "330 up Right\n",
        "pit.txt");
    float highest = 0.0f;
    std::vector<float> heights;
    script.Replay(scene, 330, [&](int) {
        highest = std::max(highest, PlayerPosition().y);
        heights.push_back(PlayerPosition().y);
    });
    ASSERT_EQ(heights.size(), 330u);
    EXPECT_GT(highest, kRestHeight + 40.0f) << "the jump went up along the wall";
    EXPECT_NEAR(PlayerPosition().x, 4.0f * kGrid, 1.0f) << "still in the pit, against the wall";
    EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f) << "slid back down while pushing";
    // Back down well before the key went up: no hanging on the wall on the way.
    EXPECT_NEAR(heights[240], kRestHeight, 0.05f);
}

TEST_F(Playthrough, FallingBelowTheDeathLinePutsThePlayerBackInTheSameFrame) {
    LandPlayer();
    auto camera = scene.GetLevelData().cameraObject;
    Press(SDLK_LEFT);
    float previousY = PlayerPosition().y;
    int frames = 0;
    bool fell = false;
    for (; frames < 600; ++frames) {
        Frame();
        if (PlayerPosition().y < 0.0f) fell = true;
        if (fell && PlayerPosition().y > previousY) break;
        previousY = PlayerPosition().y;
    }
    ASSERT_TRUE(fell) << "never walked off the left edge";
    ASSERT_LT(frames, 600) << "never put back";
    EXPECT_GE(previousY, -100.0f) << "shown below the death line before it was put back";
    EXPECT_EQ(PlayerPosition(), glm::vec2(kStart, 63.0f));
    EXPECT_EQ(PlayerVelocity(), glm::vec2(0.0f, 0.0f)) << "at rest, whatever the fall's speed";
    // The view came back with the player in the same frame.
    EXPECT_FLOAT_EQ(camera->GetTransform()->position.x, kStart + 800.0f / 6.0f);
    EXPECT_FLOAT_EQ(camera->GetTransform()->position.y, 63.0f);
}

// On a 144 Hz display most frames fall between two steps of 1/60 s: each is drawn part of the way
// between them, and the view follows the player as drawn.
class HighRefreshRate : public Playthrough {
protected:
    static constexpr float kDisplayFrame = 1.0f / 144.0f;
    void DisplayFrame() {
        scene.Update(kDisplayFrame);
        scene.Draw();
        renderer.swapWindow();
    }
    glm::vec2 DrawnPlayer() const {
        return Player()->GetComponent<SpriteRenderer>()->GetSprite().getPosition();
    }
    glm::vec2 DrawnCamera() const {
        return scene.GetLevelData().cameraObject->GetTransform()->position;
    }
};

TEST_F(HighRefreshRate, AWalkingPlayerIsDrawnFurtherOnInNearlyEqualStepsEveryFrame) {
    LandPlayer();
    Press(SDLK_RIGHT);
    Frames(30);  // up to speed
    DisplayFrame();
    std::vector<float> advances;
    for (int frame = 0; frame < 144; ++frame) {
        const float before = DrawnPlayer().x;
        DisplayFrame();
        advances.push_back(DrawnPlayer().x - before);
        EXPECT_FLOAT_EQ(DrawnCamera().x - DrawnPlayer().x, 800.0f / 6.0f)
            << "the player keeps its place in the view, frame " << frame;
    }
    float mean = 0.0f;
    for (const float advance : advances) mean += advance / static_cast<float>(advances.size());
    EXPECT_NEAR(mean, 62.5f / 144.0f, 0.05f) << "walking speed";
    for (std::size_t frame = 0; frame < advances.size(); ++frame) {
        EXPECT_GT(advances[frame], 0.0f) << "frame " << frame;
        EXPECT_NEAR(advances[frame], mean, 0.02f * mean) << "frame " << frame;
    }
}

TEST_F(HighRefreshRate, APutBackAndTheNextLevelAreDrawnAtTheirPlaceInTheNextFrame) {
    LandPlayer();
    const auto returns = Player()->GetComponent<ReturnPoint>();
    Press(SDLK_LEFT);
    for (int frame = 0; frame < 1500 && returns->GetReturns() == 0; ++frame) DisplayFrame();
    Release(SDLK_LEFT);
    ASSERT_EQ(returns->GetReturns(), 1) << "never walked off the left edge";
    EXPECT_EQ(DrawnPlayer(), glm::vec2(kStart, 63.0f)) << "no streak up from below the level";
    EXPECT_EQ(DrawnCamera(), glm::vec2(kStart + 800.0f / 6.0f, 63.0f));

    Press(SDLK_RIGHT);
    for (int frame = 0; frame < 2500 && LevelId() == 1; ++frame) DisplayFrame();
    ASSERT_EQ(LevelId(), 2);
    EXPECT_EQ(DrawnPlayer(), PlayerPosition()) << "at the new level's start";
    EXPECT_EQ(DrawnCamera().x - DrawnPlayer().x, 800.0f / 6.0f);
}

TEST_F(Playthrough, EachMomentOfPlayAsksForItsSoundOnce) {
    GameSounds sounds;
    sounds.ToggleMute();  // counted all the same, and quiet on a machine with a sound card
    const auto count = [&](SoundCue cue) { return sounds.GetCueCount(cue); };
    LandPlayer();
    EXPECT_EQ(count(SoundCue::Land), 1) << "dropped onto the ground at the start";
    Press(SDLK_RIGHT);
    Frames(60);
    Release(SDLK_RIGHT);
    EXPECT_EQ(count(SoundCue::Land), 1) << "walking from tile to tile is no landing";

    Press(SDLK_SPACE);
    Frame();
    Release(SDLK_SPACE);
    EXPECT_EQ(count(SoundCue::Jump), 1);
    LandPlayer();
    EXPECT_EQ(count(SoundCue::Land), 2);

    Press(SDLK_LEFT);
    for (int i = 0; i < 600 && count(SoundCue::Fall) == 0; ++i) Frame();
    Release(SDLK_LEFT);
    EXPECT_EQ(count(SoundCue::Fall), 1) << "walked off the left edge";
    EXPECT_EQ(count(SoundCue::Goal), 0);

    Press(SDLK_RIGHT);
    for (int i = 0; i < 900 && LevelId() == 1; ++i) Frame();
    Release(SDLK_RIGHT);
    ASSERT_EQ(LevelId(), 2);
    EXPECT_EQ(count(SoundCue::Goal), 1) << "one level change, one sound";
    EXPECT_EQ(count(SoundCue::Jump), 1);
    EXPECT_EQ(count(SoundCue::Fall), 1) << "only the player's fall is heard";
}

TEST_F(Playthrough, EveryTileTypeKeyTakesEffect) {
    auto crate = Find("Crate");
    auto platform = Find("Platform");
    auto water = Find("Water");
    auto flower = Find("Flower");
    ASSERT_TRUE(crate && platform && water && flower);
    EXPECT_EQ(platform->GetComponent<PhysicsBody>()->GetBody()->GetType(), b2_kinematicBody);
    EXPECT_TRUE(water->GetComponent<PhysicsBody>()->GetBody()->GetFixtureList()->IsSensor());
    EXPECT_EQ(flower->GetComponent<PhysicsBody>(), nullptr);
    EXPECT_NE(flower->GetComponent<SpriteRenderer>(), nullptr);
    EXPECT_NE(Find("Goal")->GetComponent<LevelOverOnHitByCharacter>(), nullptr);
    EXPECT_EQ(Player()->GetName(), "Player Character");

    Frames(180);
    // The crate fell onto the kinematic platform, which stays where it was built.
    EXPECT_EQ(crate->GetTransform()->position.x, 8.0f * kGrid);
    EXPECT_NEAR(crate->GetTransform()->position.y, 4.0f * kGrid + kRestHeight, 0.05f);
    EXPECT_EQ(platform->GetTransform()->position, glm::vec2(8.0f * kGrid, 4.0f * kGrid));
    // The player walks through the water: a sensor does not stop it.
    Press(SDLK_RIGHT);
    for (int i = 0; i < 600 && PlayerPosition().x < 13.0f * kGrid; ++i) Frame();
    EXPECT_GE(PlayerPosition().x, 13.0f * kGrid);
    EXPECT_NEAR(PlayerPosition().y, kRestHeight, 0.05f);
}

/// Plays the world through while drawing every frame: walk to the goal of level 1, drop onto
/// the goals of levels 2 and 3, and arrive in level 1 again.
class WorldPlaythrough : public Playthrough {
protected:
    /// Runs frames until the level changes (at most `limit`); checks that the change happened in
    /// the frame in which the goal was touched, and that the old level is out of play.
    void PlayUntilTheLevelChanges(int limit) {
        const int before = LevelId();
        const std::vector<std::shared_ptr<GameObject>> old = scene.GetLevelData().objects;
        const std::shared_ptr<GameObject> oldCamera = scene.GetLevelData().cameraObject;
        int frame = 0;
        HitProbe goal;
        goal.frame = &frame;
        Find("Goal")->GetComponent<PhysicsBody>()->collisionEnterEvent.Subscribe(&goal,
                                                                                 &HitProbe::Count);
        while (LevelId() == before && frame < limit) {
            ++frame;
            Frame(true);
        }
        ASSERT_NE(LevelId(), before) << "the goal was never reached";
        EXPECT_EQ(goal.firstFrame, frame) << "the level changes in the frame of the touch";
        EXPECT_EQ(PlayerPosition(), Player()->GetComponent<PhysicsBody>()->GetStartPosition())
            << "the new level is drawn before its first step";
        ExpectOnlyTheNewLevelInPlay(old, oldCamera);
    }

    void ExpectOnlyTheNewLevelInPlay(const std::vector<std::shared_ptr<GameObject>>& old,
                                     const std::shared_ptr<GameObject>& oldCamera) {
        for (const auto& object : old) {
            EXPECT_FALSE(object->IsActive());
            if (auto body = object->GetComponent<PhysicsBody>()) {
                EXPECT_EQ(body->GetBody(), nullptr);
            }
        }
        EXPECT_FALSE(oldCamera->IsActive());
        // The scene's events hold exactly the new level's subscriptions.
        std::size_t renderers = 0, bodies = 0, behaviours = 1;  // + camera
        for (const auto& object : scene.GetLevelData().objects) {
            renderers += object->GetComponents<SpriteRenderer>().size();
            bodies += object->GetComponents<PhysicsBody>().size();
            behaviours += object->GetComponents<Behaviour>().size();
        }
        EXPECT_EQ(scene.spriteDrawEvent.GetCount(), static_cast<int>(renderers));
        EXPECT_EQ(scene.physicsStepEvent.GetCount(), static_cast<int>(bodies));
        EXPECT_EQ(scene.keyInputEvent.GetCount(), 1) << "only the scene's controls hear keys";
        EXPECT_EQ(scene.updateEvent.GetCount(), static_cast<int>(behaviours));
        EXPECT_EQ(scene.GetWorld()->GetBodyCount(), static_cast<int>(bodies));
        // Keys and frames leave the old objects where they were.
        std::vector<glm::vec2> positions;
        for (const auto& object : old) positions.push_back(object->GetTransform()->position);
        Press(SDLK_LEFT);
        Frame(true);
        Release(SDLK_LEFT);
        for (std::size_t i = 0; i < old.size(); ++i) {
            EXPECT_EQ(old[i]->GetTransform()->position, positions[i]) << old[i]->GetName();
        }
    }

    /// The renderer's running mesh and texture counts after a drawn frame.
    std::pair<int, int> Resources() {
        Frame(true);
        const orka::RenderStats& stats = renderer.renderStats;
        return {stats.meshCount, stats.textureCount};
    }
};

TEST_F(WorldPlaythrough, TheGoalsLeadThroughEveryLevelAndBackToTheFirst) {
    LandPlayer();
    const std::pair<int, int> resources = Resources();
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 1) << "one atlas, one draw call";

    Press(SDLK_RIGHT);
    PlayUntilTheLevelChanges(600);
    Release(SDLK_RIGHT);
    EXPECT_EQ(LevelId(), 2);
    EXPECT_EQ(Resources(), resources) << "no mesh or texture left over by level 1";

    PlayUntilTheLevelChanges(300);
    EXPECT_EQ(LevelId(), 3);
    EXPECT_EQ(Resources(), resources);

    PlayUntilTheLevelChanges(300);
    EXPECT_EQ(LevelId(), 1) << "after the last level the world starts over";
    EXPECT_EQ(Resources(), resources);
}

}  // namespace
