// A level whose tiles overlap, drawn by the game in the shared GL window. The scene's draw event
// calls its renderers newest first, so a level's earlier entries are drawn over its later ones;
// tiles keep that stacking also when the sprite batch has to sort because a sprite of a lower
// order came after them.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/GameObject.hpp"
#include "game/SpriteRenderer.hpp"
#include "gamegl/MeadowScene.hpp"

namespace {

using game::test::BackBufferPixel;
using game::test::MeadowScene;


// The meadow atlas's colours (blocks.png) as the window shows them.
const glm::ivec3 kGround(0x8B, 0x5A, 0x2B);
const glm::ivec3 kCrate(0xE0, 0x80, 0x20);
const glm::ivec3 kWater(0x30, 0x60, 0xE0);
const glm::ivec3 kFlower(0x30, 0xB0, 0x30);

constexpr int kGroundColumns = 30;
constexpr int kPlayerColumn = 3;
constexpr int kBareColumn = 7;
constexpr int kSignColumn = 12;
// 2 pixels a unit; the camera stands 800/6 units right of the player (see SceneDrawTest).
constexpr int kPixelsPerUnit = 2;
constexpr int kLastColumnInView = 18;
constexpr int kPlayerPixelX = 400 - 266;
constexpr int kPlayerPixelY = 300;

std::string Entry(int type, int column, int row) {
    return "[" + std::to_string(type) + ", " + std::to_string(column) + ", " + std::to_string(row) +
           "]";
}

/// A flower over the ground tile of this column.
bool HasFlower(int column) {
    return column != kBareColumn && column != kSignColumn;
}

/// Listed first, so drawn over the rest: a sign (type 8, the crate's sprite, no body) and the
/// flowers (7) over the ground tiles but two and over the player; then the player (5), the ground
/// (1) from column 0 and the goal (6) at the far end. Water (sprite 4) is the backdrop.
std::string LayeredLevel() {
    std::string ground, flowers;
    for (int column = 0; column < kGroundColumns; ++column) {
        ground += (column > 0 ? ", " : "") + Entry(1, column, 0);
    }
    for (int column = 0; column < kGroundColumns; ++column) {
        if (HasFlower(column)) flowers += Entry(7, column, 0) + ", ";
    }
    flowers += Entry(7, kPlayerColumn, 1);
    return R"({"id": 1, "name": "Layers", "deathLevelInY": -100,)"
           R"( "backdrop": [{"sprite": 4, "parallax": 0}], "arrayOfTiles": [[)" +
           Entry(8, kSignColumn, 0) + "], [" + flowers + "], [" + Entry(5, kPlayerColumn, 1) +
           "], [" + ground + "], [" + Entry(6, kGroundColumns - 1, 1) + "]]}";
}

class LayeredLevelDraw : public MeadowScene {
protected:
    void SetUp() override {
        ASSERT_NE(manager.spriteAtlas, nullptr);
        folder.Write("tile8.json", R"({"id": 8, "name": "Sign", "sprite": 3})");
        folder.Write("layers1.json", LayeredLevel());
        scene.LoadLevel("layers");
        LandPlayer();
    }
    /// The window pixel at the centre of a grid cell, plus `up` units, as the camera shows it.
    glm::ivec2 CellPixel(int column, int row, float up = 0.0f) const {
        const glm::vec2 player = PlayerPosition();
        const float x = static_cast<float>(column) * kGrid - player.x;
        const float y = static_cast<float>(row) * kGrid + up - player.y;
        return {kPlayerPixelX + static_cast<int>(x * kPixelsPerUnit),
                kPlayerPixelY + static_cast<int>(y * kPixelsPerUnit)};
    }
    glm::ivec3 At(glm::ivec2 pixel) const { return BackBufferPixel(pixel.x, pixel.y); }

    /// The sign, given order -1 (behind the tiles, before the backdrop) and lifted half a tile:
    /// its lower half over a ground tile, its upper half in the sky. As the level's first entry
    /// it is drawn last, so the batch must sort.
    void SinkTheSign() {
        const std::shared_ptr<GameObject> sign = Find("Sign");
        ASSERT_NE(sign, nullptr);
        const auto renderer = sign->GetComponent<SpriteRenderer>();
        orka::Sprite sprite = renderer->GetSprite();
        sprite.setOrderInBatch(-1);
        renderer->SetSprite(sprite);
        sign->GetTransform()->position.y += kGrid / 2.0f;
    }
};

TEST_F(LayeredLevelDraw, EarlierTilesStayOverLaterOnesWhenALowerOrderedSpriteMakesTheBatchSort) {
    SinkTheSign();
    ASSERT_GT(scene.spriteDrawEvent.GetCount(), 17) << "enough sprites that sorting reorders";
    scene.Draw();
    for (int column = 0; column <= kLastColumnInView; ++column) {
        if (!HasFlower(column)) continue;
        EXPECT_EQ(At(CellPixel(column, 0)), kFlower) << "flower over the ground, column " << column;
    }
    EXPECT_EQ(At(CellPixel(kBareColumn, 0)), kGround);
    EXPECT_EQ(At(CellPixel(kPlayerColumn, 1)), kFlower) << "flower over the player";
    EXPECT_EQ(At(CellPixel(kBareColumn, 3)), kWater) << "the backdrop fills the sky";
    EXPECT_EQ(At(CellPixel(kSignColumn, 0, 4.0f)), kGround) << "the ground over the sunk sign";
    EXPECT_EQ(At(CellPixel(kSignColumn, 1, -2.0f)), kCrate) << "the sign over the backdrop";
    renderer.swapWindow();
    EXPECT_EQ(renderer.getRenderStats().drawCalls, 1) << "one batch: one atlas";
}

}  // namespace
