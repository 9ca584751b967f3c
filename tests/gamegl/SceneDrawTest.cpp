// Scene::Draw in the shared GL window: what the level looks like through its camera.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

#include "game/Scene.hpp"
#include "gamegl/MeadowScene.hpp"

namespace {

using game::test::MeadowScene;

/// One pixel of the back buffer, RGB in 0 to 255, with (0, 0) at the lower-left corner.
glm::ivec3 Pixel(int x, int y) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

class SceneDraw : public MeadowScene {
protected:
    /// Updates, then draws without presenting, so the back buffer can be read.
    void DrawFrame() {
        scene.Update(kFrame);
        scene.Draw();
    }
};

TEST_F(SceneDraw, TheLevelIsSeenThroughItsCameraWithThePlayerLeftOfTheCentre) {
    LandPlayer();
    DrawFrame();
    // 150 units above and below the centre fill 600 pixels: 2 pixels per unit. The camera stands
    // 800/6 units right of the player, so the player is 266 pixels left of the centre (400, 300).
    const glm::ivec3 player = Pixel(400 - 266, 300);
    EXPECT_GT(player.r, 200);
    EXPECT_LT(player.g, 100);
    EXPECT_LT(player.b, 100);
    const glm::ivec3 ground = Pixel(400 - 266, 300 - 40);  // one tile (20 units) lower
    EXPECT_GT(ground.r, ground.b + 40) << "brown";
    EXPECT_GT(ground.g, ground.b);
    EXPECT_EQ(Pixel(700, 500), glm::ivec3(0, 0, 0)) << "empty sky is cleared to black";
    renderer.swapWindow();
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 1) << "every sprite from one atlas";
}

}  // namespace
