#include "orka/Sprite.hpp"

#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"

namespace orka {
namespace {

using test::atlasPath;
using test::LogCapture;

constexpr float tolerance = 1e-4f;

void expectNear(const glm::vec2& actual, const glm::vec2& expected) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

// page.json on a 256 x 128 page; anchors from the bottom.
class SpriteOnPage : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        texture = Texture::create().withWhiteData(256, 128).build();
        atlas = SpriteAtlas::create(atlasPath("page.json"), texture, false);
        ASSERT_NE(atlas, nullptr);
    }
    std::shared_ptr<Texture> texture;
    std::shared_ptr<SpriteAtlas> atlas;
};

TEST(Sprite, DefaultSpriteHasNoTextureAndCollapsesOnItsPosition) {
    Sprite sprite;
    EXPECT_EQ(sprite.getTexture(), nullptr);
    sprite.setPosition({3.0f, 4.0f});
    for (const glm::vec2& corner : sprite.getCorners()) expectNear(corner, {3.0f, 4.0f});
    // Without a texture there is no size to measure texture coordinates with.
    for (const glm::vec2& uv : sprite.getUVs()) EXPECT_EQ(uv, glm::vec2(0.0f));
}

TEST(Sprite, NegativeScaleWarnsAndBecomesZero) {
    LogCapture log;
    Sprite sprite;
    sprite.setScale({-1.0f, -2.0f});
    EXPECT_EQ(sprite.getScale(), glm::vec2(0.0f));
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(log.records[0].type, LogType::Warning);
    EXPECT_EQ(log.records[0].message, "Sprite.scale.x must be larger or equal to 0");
    EXPECT_EQ(log.records[1].message, "Sprite.scale.y must be larger or equal to 0");
    EXPECT_EQ(log.records[0].function, "setScale");
    EXPECT_EQ(log.records[0].file, "src/orka/Sprite");

    log.records.clear();
    sprite.setScale({2.0f, -0.5f});
    EXPECT_EQ(sprite.getScale(), glm::vec2(2.0f, 0.0f));
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].message, "Sprite.scale.y must be larger or equal to 0");
}

TEST_F(SpriteOnPage, CornersRunCounterClockwiseFromTheLowerRightAroundTheAnchor) {
    Sprite sprite = atlas->get("box.png");  // 30 x 40, anchor (0.5, 0)
    sprite.setPosition({100.0f, 50.0f});
    const auto corners = sprite.getCorners();
    expectNear(corners[0], {115.0f, 50.0f});
    expectNear(corners[1], {115.0f, 90.0f});
    expectNear(corners[2], {85.0f, 90.0f});
    expectNear(corners[3], {85.0f, 50.0f});
}

TEST_F(SpriteOnPage, CornersAreScaledThenRotatedAboutTheAnchorThenMoved) {
    Sprite sprite = atlas->get("centre.png");  // 30 x 40, anchor (0.5, 0.5)
    sprite.setPosition({100.0f, 50.0f});
    sprite.setScale({2.0f, 1.0f});
    sprite.setRotation(90.0f);
    const auto corners = sprite.getCorners();
    // (15, -20) scaled to (30, -20), turned a quarter to (20, 30), moved by (100, 50).
    expectNear(corners[0], {120.0f, 80.0f});
    expectNear(corners[1], {80.0f, 80.0f});
    expectNear(corners[2], {80.0f, 20.0f});
    expectNear(corners[3], {120.0f, 20.0f});
}

TEST_F(SpriteOnPage, TextureCoordinatesFollowTheCornersAndTheFlips) {
    Sprite sprite = atlas->get("box.png");  // spritePos (10, 68), size (30, 40)
    const float uLeft = 10.0f / 256.0f, uRight = 40.0f / 256.0f;
    const float vBottom = 68.0f / 128.0f, vTop = 108.0f / 128.0f;
    auto uvs = sprite.getUVs();
    expectNear(uvs[0], {uRight, vBottom});
    expectNear(uvs[1], {uRight, vTop});
    expectNear(uvs[2], {uLeft, vTop});
    expectNear(uvs[3], {uLeft, vBottom});

    sprite.setFlip({true, false});
    uvs = sprite.getUVs();
    expectNear(uvs[0], {uLeft, vBottom});
    expectNear(uvs[2], {uRight, vTop});

    sprite.setFlip({false, true});
    uvs = sprite.getUVs();
    expectNear(uvs[0], {uRight, vTop});
    expectNear(uvs[1], {uRight, vBottom});

    // Flipping changes the texture coordinates, never the corners.
    Sprite unflipped = atlas->get("box.png");
    for (int i = 0; i < 4; i++) expectNear(sprite.getCorners()[i], unflipped.getCorners()[i]);
}

// The cell page is 32 x 4 texels of 4 x 4 cells: red, green, blue, white, translucent white,
// red | green, red under blue, black. Drawn 4 times enlarged into the window.
class SpriteFromTexture : public ::testing::Test {
protected:
    void SetUp() override {
        texture = test::makeCellTexture();
        camera.setWindowCoordinates();
    }
    // The window's pixel, rounded to bytes.
    glm::ivec4 drawnAt(const Sprite& sprite, int x, int y) {
        Sprite scaled = sprite;
        scaled.setScale({4.0f, 4.0f});
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(SpriteBatch::create().addSprite(scaled).build());
        return glm::ivec4(glm::round(pass.readPixels(x, y, 1, 1).at(0) * 255.0f));
    }
    std::shared_ptr<Texture> texture;
    Camera camera;
};

TEST_F(SpriteFromTexture, TheWholeImageIsOneTexelPerUnitFromItsAnchor) {
    Sprite whole(*texture);
    EXPECT_EQ(whole.getTexture(), texture.get());
    EXPECT_EQ(whole.getSpriteSize(), glm::ivec2(32, 4));
    whole.setPosition({10.0f, 10.0f});
    EXPECT_EQ(drawnAt(whole, 11, 11), glm::ivec4(255, 0, 0, 255));       // first cell
    EXPECT_EQ(drawnAt(whole, 10 + 17, 11), glm::ivec4(0, 255, 0, 255));  // second
    EXPECT_EQ(drawnAt(whole, 10 + 127, 25), glm::ivec4(0, 0, 0, 255));   // last (black)
    EXPECT_EQ(drawnAt(whole, 10 + 129, 11), glm::ivec4(0, 0, 0, 255));   // beyond: background

    Sprite centred(*texture, {0.5f, 0.5f});
    centred.setPosition({200.0f, 100.0f});  // spans 136..264 x 92..108
    EXPECT_EQ(drawnAt(centred, 137, 93), glm::ivec4(255, 0, 0, 255));
    EXPECT_EQ(drawnAt(centred, 135, 93), glm::ivec4(0, 0, 0, 255));
}

TEST_F(SpriteFromTexture, ARectangleShowsOnlyItsTexels) {
    // The top half of the red-under-blue cell: blue only.
    Sprite top(*texture, {24, 2}, {4, 2});
    top.setPosition({10.0f, 10.0f});  // 16 x 8 pixels
    for (const glm::ivec2 at : {glm::ivec2(10, 10), glm::ivec2(25, 17), glm::ivec2(17, 13)}) {
        EXPECT_EQ(drawnAt(top, at.x, at.y), glm::ivec4(0, 0, 255, 255)) << at.x << "," << at.y;
    }
    EXPECT_EQ(drawnAt(top, 17, 18), glm::ivec4(0, 0, 0, 255));

    LogCapture log;
    const Sprite negative(*texture, {0, 0}, {-3, 4});
    EXPECT_EQ(negative.getSpriteSize(), glm::ivec2(0, 4));
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].type, LogType::Warning);
}

// Rectangles counted from the image's top, as atlas files and image editors count, and frames
// of a grid numbered from the top-left, row by row.
TEST_F(SpriteFromTexture, RectanglesFromTheTopLeftAndSheetFrames) {
    const glm::ivec4 red(255, 0, 0, 255), green(0, 255, 0, 255), blue(0, 0, 255, 255);
    struct Case {
        const char* name;
        Sprite sprite;
        glm::ivec4 shows;
    };
    const Case cases[] = {
        {"upper half of the red-under-blue cell", Sprite::fromTopLeft(*texture, {24, 0}, {4, 2}),
         blue},
        {"lower half of it", Sprite::fromTopLeft(*texture, {24, 2}, {4, 2}), red},
        {"frame 1 of 4 x 4 frames", Sprite::sheetFrame(*texture, {4, 4}, 1), green},
        {"frame 6 of 4 x 2 frames: top row", Sprite::sheetFrame(*texture, {4, 2}, 6), blue},
        {"frame 14 of 4 x 2 frames: bottom row", Sprite::sheetFrame(*texture, {4, 2}, 14), red},
    };
    for (const Case& c : cases) {
        Sprite sprite = c.sprite;
        sprite.setPosition({10.0f, 10.0f});
        EXPECT_EQ(drawnAt(sprite, 11, 11), c.shows) << c.name;
        EXPECT_EQ(drawnAt(sprite, 10 + 4 * sprite.getSpriteSize().x - 1,
                          10 + 4 * sprite.getSpriteSize().y - 1),
                  c.shows)
            << c.name;
    }
    for (const auto& [frameSize, frame] :
         {std::pair{glm::ivec2(4, 4), 8}, std::pair{glm::ivec2(4, 4), -1},
          std::pair{glm::ivec2(0, 4), 0}, std::pair{glm::ivec2(4, 5), 0}}) {
        LogCapture log;
        const Sprite outside = Sprite::sheetFrame(*texture, frameSize, frame);
        EXPECT_EQ(outside.getTexture(), nullptr) << frame;
        ASSERT_EQ(log.records.size(), 1u) << frame;
        EXPECT_EQ(log.records[0].type, LogType::Warning);
    }
}

}  // namespace
}  // namespace orka
