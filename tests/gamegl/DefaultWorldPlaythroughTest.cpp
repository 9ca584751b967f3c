// The default world of data/ played through the real scene with the recorded input scripts of
// data/scripts: every level reaches its goal, and after the sixth the world starts over.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/CharacterController.hpp"
#include "game/GameObject.hpp"
#include "game/GameSounds.hpp"
#include "game/PhysicsBody.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "game/SpriteRenderer.hpp"
#include "levelcheck/InputScript.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/Renderer.hpp"
#include "orka/SpriteAtlas.hpp"
#include "support/ScratchFolder.hpp"

namespace {

namespace fs = std::filesystem;
using game::test::ScratchFolder;

const fs::path kDataFolder = fs::path(ORKA_TEST_DATA_DIR) / ".." / ".." / "data";
constexpr int kLevelCount = 6;
constexpr float kGrid = 21.0f;
/// How long a replay may run on after its last key event before it counts as stuck.
constexpr int kFramesAfterLastEvent = 60 * 30;

std::string ScriptFile(int level) {
    return (kDataFolder / "scripts" / ("1level" + std::to_string(level) + ".txt")).string();
}

/// The default world loaded as a normal run loads it (world "1level", atlas
/// "platformer-art-deluxe", files of data/ in the working directory), driven by hand in the
/// shared GL window at fixed 1/60 s frames.
class DefaultWorld : public ::testing::Test {
protected:
    DefaultWorld() {
        for (const auto& entry : fs::directory_iterator(kDataFolder)) {
            if (entry.is_regular_file()) {
                fs::copy_file(entry.path(), folder.path / entry.path().filename());
            }
        }
        manager.spriteAtlas = orka::SpriteAtlas::create("platformer-art-deluxe.json",
                                                        "platformer-art-deluxe.png", true);
    }
    void SetUp() override {
        ASSERT_NE(manager.spriteAtlas, nullptr);
        scene.LoadLevel("1level");
    }

    int LevelId() const { return scene.GetLevelData().level->GetId(); }
    std::shared_ptr<GameObject> Player() const { return scene.GetLevelData().player; }
    glm::vec2 PlayerPosition() const { return Player()->GetTransform()->position; }
    void Key(SDL_EventType type, SDL_Keycode key) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        scene.keyInputEvent.Invoke(event);
    }

    /// Replays the level's script; fails when the goal is not reached or when the player falls
    /// below the death line on the way. Returns the frame in which the level changed.
    int PlayLevel(int level) {
        const InputScript script = InputScript::Load(ScriptFile(level));
        const std::shared_ptr<GameObject> root = scene.GetLevelData().level;
        const glm::vec2 start = Player()->GetComponent<PhysicsBody>()->GetStartPosition();
        int falls = 0;
        const auto countFalls = [&](int) {
            // A fallen body is put back exactly at its start, where it stands only then.
            if (scene.GetLevelData().level == root && PlayerPosition() == start) ++falls;
        };
        const InputScript::Result result =
            script.Replay(scene, script.GetLastFrame() + kFramesAfterLastEvent, countFalls);
        EXPECT_TRUE(result.goalReached)
            << "level " << level << ": no goal within " << result.frame << " frames; player at ("
            << PlayerPosition().x / kGrid << ", " << PlayerPosition().y / kGrid << ") in cells";
        EXPECT_EQ(falls, 0) << "level " << level << ": the script relies on falling";
        return result.frame;
    }

    orka::Renderer& renderer = orka::test::testRenderer();
    ScratchFolder folder;
    SceneManager manager{SceneManager::WithoutWindow{}};
    Scene& scene = *manager.GetScene();
};

/// Level N is reached the way a player reaches it: by playing levels 1 to N - 1 first.
class DefaultWorldPlaythrough : public DefaultWorld, public ::testing::WithParamInterface<int> {};

TEST_P(DefaultWorldPlaythrough, TheLevelsScriptReachesTheGoal) {
    const int target = GetParam();
    std::vector<int> goalFrames;
    for (int level = 1; level <= target; ++level) {
        ASSERT_EQ(LevelId(), level);
        goalFrames.push_back(PlayLevel(level));
        if (HasFailure()) return;
    }
    EXPECT_EQ(LevelId(), target % kLevelCount + 1)
        << "the level after " << target << " (the world starts over after level 6)";
    // Later levels take longer to play.
    for (std::size_t i = 1; i < goalFrames.size(); ++i) {
        EXPECT_GT(goalFrames[i], goalFrames[i - 1]) << "level " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, DefaultWorldPlaythrough, ::testing::Range(1, kLevelCount + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

// Every level of the world puts its player one cell above the ground: it starts resting there
// rather than dropping the unit between the cells, so no landing is heard.
TEST_F(DefaultWorld, EveryLevelsPlayerStartsRestingOnTheGroundWithoutALandingSound) {
    GameSounds sounds;
    sounds.ToggleMute();  // counted all the same
    for (int level = 1; level <= kLevelCount; ++level) {
        // Each level on its own, as the first of a world of one.
        fs::copy_file(kDataFolder / ("1level" + std::to_string(level) + ".json"),
                      folder.path / "solo1.json", fs::copy_options::overwrite_existing);
        scene.LoadLevel("solo");
        const glm::vec2 start = PlayerPosition();
        for (int step = 1; step <= 30; ++step) {
            scene.Update(Scene::timeStep);
            const std::string where =
                "level " + std::to_string(level) + ", step " + std::to_string(step);
            EXPECT_NEAR(PlayerPosition().y, start.y, 0.05f) << where;
            EXPECT_EQ(PlayerPosition().x, start.x) << where;
        }
        EXPECT_TRUE(Player()->GetComponent<CharacterController>()->IsGrounded()) << level;
        EXPECT_EQ(sounds.GetCueCount(SoundCue::Land), 0) << "level " << level;
    }
}

// The default fox needs a fresh press per jump: Space held for 2.5 s jumps once, not on every
// landing. It faces the way it last walked while it jumps, falls and stands.
TEST_F(DefaultWorld, HeldSpaceJumpsOnceAndTheFoxFacesTheWayItLastWalked) {
    const auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) scene.Update(Scene::timeStep);
    };
    const auto mirrored = [&] {
        return Player()->GetComponent<SpriteRenderer>()->GetSprite().getFlip().x;
    };
    frames(30);
    Key(SDL_KEYDOWN, SDLK_RIGHT);
    frames(30);
    Key(SDL_KEYUP, SDLK_RIGHT);
    Key(SDL_KEYDOWN, SDLK_LEFT);
    frames(8);
    Key(SDL_KEYUP, SDLK_LEFT);
    frames(30);
    EXPECT_TRUE(mirrored()) << "standing after a walk to the left";

    Key(SDL_KEYDOWN, SDLK_SPACE);
    int takeOffs = 0;
    bool rising = false;
    bool facedLeftInTheAir = true;
    for (int frame = 0; frame < 150; ++frame) {
        scene.Update(Scene::timeStep);
        const float upward = Player()->GetComponent<PhysicsBody>()->GetLinearVelocity().y;
        const bool nowRising = upward > 100.0f;
        takeOffs += nowRising && !rising;
        rising = nowRising;
        if (!Player()->GetComponent<CharacterController>()->IsGrounded()) {
            facedLeftInTheAir = facedLeftInTheAir && mirrored();
        }
    }
    Key(SDL_KEYUP, SDLK_SPACE);
    EXPECT_EQ(takeOffs, 1);
    EXPECT_TRUE(facedLeftInTheAir);
    frames(60);
    EXPECT_TRUE(mirrored()) << "standing after the jump";
}

// Ground tiles are separate 20 x 20 boxes with one unit between them; a walking player must glide
// over those seams in both directions without catching on a corner.
TEST_F(DefaultWorld, WalkingOverTheSeamsOfTheGroundNeverSlowsThePlayer) {
    constexpr int kSettleFrames = 30;
    constexpr float kSlowestStep = 0.8f;  // units per frame; the fox walks 180 units a second
    constexpr float kStepStart = 18.0f * kGrid;  // level 1's first step, where the flat part ends
    for (int i = 0; i < kSettleFrames; ++i) scene.Update(Scene::timeStep);
    const float groundY = PlayerPosition().y;

    // Walks until the player is within a tile of `until`; returns the tiles covered.
    const auto walk = [&](SDL_Keycode key, float direction, float until) {
        const float from = PlayerPosition().x;
        Key(SDL_KEYDOWN, key);
        for (int i = 0; i < kSettleFrames; ++i) scene.Update(Scene::timeStep);  // up to speed
        while ((until - PlayerPosition().x) * direction > kGrid) {
            const float before = PlayerPosition().x;
            scene.Update(Scene::timeStep);
            EXPECT_GT((PlayerPosition().x - before) * direction, kSlowestStep)
                << "caught at x = " << before;
            EXPECT_NEAR(PlayerPosition().y, groundY, 0.01f) << "lifted at x = " << before;
            if (HasFailure()) break;
        }
        Key(SDL_KEYUP, key);
        return std::abs(PlayerPosition().x - from) / kGrid;
    };
    EXPECT_GT(walk(SDLK_RIGHT, 1.0f, kStepStart - kGrid), 10.0f);
    for (int i = 0; i < kSettleFrames; ++i) scene.Update(Scene::timeStep);
    EXPECT_GT(walk(SDLK_LEFT, -1.0f, 2.0f * kGrid), 10.0f);
}

}  // namespace
