// Scene::Draw in the shared GL window: what the level looks like through its camera.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/Scene.hpp"
#include "gamegl/MeadowScene.hpp"
#include "orka/Camera.hpp"

namespace {

using game::test::BackBufferPixel;
using game::test::MeadowScene;


class SceneDraw : public MeadowScene {
protected:
    /// Updates, then draws without presenting, so the back buffer can be read.
    void DrawFrame() {
        scene.Update(kFrame);
        scene.Draw();
    }
    /// The pixels of one row of the back buffer, left to right.
    static std::vector<glm::ivec3> Row(int y) {
        std::vector<glm::ivec3> row;
        for (int x = 0; x < kWidth; ++x) row.push_back(BackBufferPixel(x, y));
        return row;
    }
    /// Rewrites meadow1.json with `backdrop` (the JSON of the key) and loads the world again.
    void LoadMeadowWithBackdrop(const std::string& backdrop) {
        std::stringstream level;
        level << std::ifstream(folder.path / "meadow1.json").rdbuf();
        std::string text = level.str();
        text.insert(1, "\"backdrop\": " + backdrop + ", ");
        folder.Write("meadow1.json", text);
        scene.LoadLevel("meadow");
    }

    static constexpr int kWidth = 800;
};

TEST_F(SceneDraw, TheLevelIsSeenThroughItsCameraWithThePlayerLeftOfTheCentre) {
    LandPlayer();
    DrawFrame();
    // 150 units above and below the centre fill 600 pixels: 2 pixels per unit. The camera stands
    // 800/6 units right of the player, so the player is 266 pixels left of the centre (400, 300).
    const glm::ivec3 player = BackBufferPixel(400 - 266, 300);
    EXPECT_GT(player.r, 200);
    EXPECT_LT(player.g, 100);
    EXPECT_LT(player.b, 100);
    const glm::ivec3 ground = BackBufferPixel(400 - 266, 300 - 40);  // one tile (20 units) lower
    EXPECT_GT(ground.r, ground.b + 40) << "brown";
    EXPECT_GT(ground.g, ground.b);
    EXPECT_EQ(BackBufferPixel(700, 500), glm::ivec3(0, 0, 0)) << "empty sky is cleared to black";
    renderer.swapWindow();
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 1) << "every sprite from one atlas";
}

// Sprite 3 of the test atlas is 21 units wide: an orange square with a dark brown middle
// (texels 4 to 16 across and down). Stretched to the view's 300 units, its middle band crosses
// the centre row, which then shows the 42-pixel pattern orange, brown, orange.
TEST_F(SceneDraw, ABackdropLayerRepeatsAcrossTheViewAndScrollsByItsParallax) {
    // Camera moves of 5 units, 10 pixels; a layer moves with p times that.
    const struct {
        float parallax;
        int shiftPixels;
    } layers[] = {{0.0f, 0}, {0.5f, 5}, {1.0f, 10}};
    for (const auto& layer : layers) {
        SCOPED_TRACE("parallax " + std::to_string(layer.parallax));
        // No player: nothing moves the camera but the test.
        folder.Write("sky1.json", R"({"name": "sky", "backdrop": [{"sprite": 3, "parallax": )" +
                                      std::to_string(layer.parallax) + "}]}");
        scene.LoadLevel("sky");
        orka::Camera& camera = *scene.GetLevelData().camera;
        camera.lookAt({100.0f, 40.0f, 0.0f}, {100.0f, 40.0f, -1.0f});
        scene.Draw();
        const std::vector<glm::ivec3> before = Row(300);
        camera.lookAt({105.0f, 70.0f, 0.0f}, {105.0f, 70.0f, -1.0f});
        scene.Draw();
        const std::vector<glm::ivec3> after = Row(300);
        renderer.swapWindow();

        int brown = 0;
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_NE(before[x], glm::ivec3(0, 0, 0)) << "a gap at x " << x;
            if (before[x].r < 0x90) ++brown;
            if (x + 42 < kWidth) {
                ASSERT_EQ(before[x], before[x + 42]) << "no repeat at x " << x;
            }
            if (x >= layer.shiftPixels) {
                ASSERT_EQ(after[x - layer.shiftPixels], before[x]) << "moved wrongly at x " << x;
            }
        }
        EXPECT_GT(brown, 400) << "the middle band fills the row: stretched to the view's height";
        EXPECT_LT(brown, 600);
    }
}

TEST_F(SceneDraw, TheBackdropIsDrawnBehindTheTilesInTheSameBatch) {
    LoadMeadowWithBackdrop(R"([{"sprite": 7, "parallax": 0}, {"sprite": 4, "parallax": 0.5}])");
    LandPlayer();
    DrawFrame();
    const glm::ivec3 player = BackBufferPixel(400 - 266, 300);
    EXPECT_GT(player.r, 200);
    EXPECT_LT(player.g, 100);
    EXPECT_EQ(BackBufferPixel(700, 500), glm::ivec3(0x30, 0x60, 0xE0)) << "the front layer, water blue";
    renderer.swapWindow();
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 1);
}

}  // namespace
