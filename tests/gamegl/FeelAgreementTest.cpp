// levelcheck --feel against the game: the walking speed it reports is the one the default world's
// fox and a fast fox cover in the scene, driven with the uneven frame times a window gives (the
// distance covered, not the body's velocity, which the physics may not deliver).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "game/GameObject.hpp"
#include "game/Scene.hpp"
#include "game/SceneManager.hpp"
#include "levelcheck/FeelMeter.hpp"
#include "levelcheck/InputScript.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/Renderer.hpp"
#include "orka/SpriteAtlas.hpp"
#include "support/ScratchFolder.hpp"

namespace {

namespace fs = std::filesystem;
using game::test::ScratchFolder;

const fs::path kDataFolder = fs::path(ORKA_TEST_DATA_DIR) / ".." / ".." / "data";

/// Frame times of a window whose frames come unevenly (a late frame runs several steps at once,
/// a quick one none), seconds; they add up to six steps of 1/60 s.
constexpr float kFrameTimes[] = {1.0f / 144.0f, 1.0f / 30.0f, 0.0f,
                                 0.5f / 60.0f,  2.5f / 60.0f, 1.0f / 60.0f - 1.0f / 144.0f};

/// The default world in the working directory, its player's "speed" replaced by `speed`.
void CopyWorld(const fs::path& into, const std::string& speed) {
    for (const auto& entry : fs::directory_iterator(kDataFolder)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), into / entry.path().filename());
    }
    std::ifstream in(into / "tile50.json");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::string key = R"("speed": 180)";
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos) << "the fox's walk speed";
    text.replace(at, key.size(), R"("speed": )" + speed);
    std::ofstream(into / "tile50.json") << text;
}

/// A level "flat1.json" of the fox on a long floor of the default world's grass.
void WriteFlatLevel(const fs::path& into) {
    std::ofstream level(into / "flat1.json");
    level
        << R"({"id": 1, "name": "Flat", "deathLevelInY": -1000, "arrayOfTiles": [[[50, 0, 1]], [)";
    for (int column = -10; column < 200; ++column) {
        level << (column == -10 ? "" : ", ") << "[1, " << column << ", 0]";
    }
    level << "]]}\n";
}

/// Units per second of game time the fox covers on the flat level between 0.5 s and 1 s after Right
/// goes down, frames of `kFrameTimes` after each other.
float WalkedSpeed(const std::shared_ptr<orka::SpriteAtlas>& atlas) {
    SceneManager manager{SceneManager::WithoutWindow{}};
    manager.spriteAtlas = atlas;
    Scene& scene = *manager.GetScene();
    scene.LoadLevel("flat");
    const auto run = [&scene](double untilSeconds) {
        for (std::size_t frame = 0; scene.GetLevelClock().Seconds() < untilSeconds; ++frame) {
            scene.Update(kFrameTimes[frame % std::size(kFrameTimes)]);
        }
    };
    run(0.5);
    InputScript::SendKey(scene, SDLK_RIGHT, true);
    run(1.0);
    const double startTime = scene.GetLevelClock().Seconds();
    const float start = scene.GetLevelData().player->GetTransform()->position.x;
    run(1.5);
    const float distance = scene.GetLevelData().player->GetTransform()->position.x - start;
    return distance / static_cast<float>(scene.GetLevelClock().Seconds() - startTime);
}

TEST(FeelAgreement, LevelcheckFeelReportsTheSpeedTheGameWalksAtForTheDefaultAndAFastFox) {
    orka::test::testRenderer();  // the GL context the atlas needs
    struct Row {
        const char* speed;
        float asked;
    };
    for (const Row& row : {Row{"180", 180.0f}, Row{"600", 600.0f}}) {
        SCOPED_TRACE(row.speed);
        ScratchFolder folder;
        CopyWorld(folder.path, row.speed);
        WriteFlatLevel(folder.path);
        const auto atlas = orka::SpriteAtlas::create("platformer-art-deluxe.json",
                                                     "platformer-art-deluxe.png", true);
        ASSERT_NE(atlas, nullptr);
        const FeelMeter::Feel feel = FeelMeter::Measure("1level", atlas);
        const float walked = WalkedSpeed(atlas);
        EXPECT_NEAR(feel.walkSpeed, walked, 0.01f * walked) << "--feel and the game disagree";
        // The ground's grip takes a little of each step's speed; the physics delivers the rest.
        EXPECT_GT(walked, 0.95f * row.asked);
        EXPECT_LE(walked, row.asked);
    }
}

}  // namespace
