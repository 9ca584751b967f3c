// Blending in linear light (this binary's window) and the drawing of single items; the
// display's blending space has a window of its own in tests/orkadisplay.
#include <gtest/gtest.h>

#include <string>

#include "orka/Color.hpp"
#include "orka/Font.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/LogCapture.hpp"
#include "orka/PixelBytes.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Shape.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"
#include "orka/Text.hpp"

namespace orka {
namespace {

using test::bytesOf;
using test::expectBytesNear;
using test::windowPass;

TEST(BlendingSpace, IsChosenBeforeTheWindowOpensAndLaterChoicesAreRefused) {
    SDLRenderer& window = test::testSDLRenderer();
    test::LogCapture capture;
    window.setBlendingSpace(BlendingSpace::Display);
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].type, LogType::Error);
    EXPECT_NE(capture.records[0].message.find("before the window opens"), std::string::npos);
    EXPECT_EQ(window.getBlendingSpace(), BlendingSpace::Linear);
    EXPECT_EQ(test::testRenderer().getBlendingSpace(), BlendingSpace::Linear);
}

// A 0.6-alpha black overlay on (231, 58, 58): in linear light the veil lets through 40 % of
// the light, which the sRGB window shows much brighter than paint programs do.
TEST(BlendingSpace, LinearLightMixesAnOverlayAsLightDoes) {
    test::testRenderer();
    RenderPass pass = windowPass(Color::fromBytes(231, 58, 58));
    pass.draw(Shape::rectangle({0, 0}, {20, 20}).withColor({0, 0, 0, 0.6f}));
    expectBytesNear(bytesOf(pass.readPixels(10, 10, 1, 1).at(0)), {153, 35, 35}, "overlay");
}

// Single items land in call order with batches, each blended as asked, a draw call each.
TEST(OneItemDraw, SpritesShapesAndTextDrawInCallOrderWithBatches) {
    test::testRenderer();
    const auto atlas = test::makeCellAtlas();
    ASSERT_NE(atlas, nullptr);
    const auto font =
        Font::load(std::string(ORKA_TEST_DATA_DIR) + "/../../data/fonts/DejaVuSans.ttf", 64);
    ASSERT_NE(font, nullptr);
    Sprite red = atlas->get("red");
    red.setPosition({0, 0});
    red.setScale({10, 10});  // 40 x 40
    const RenderStats before = test::testRenderer().renderStats;
    RenderPass pass = windowPass({0, 0, 0, 1});
    pass.draw(red);
    pass.draw(Shape::rectangle({20, 0}, {40, 40}).withColor({0, 0, 1, 1}));
    pass.draw(SpriteBatch::create()
                  .addShape(Shape::rectangle({50, 0}, {20, 40}).withColor({0, 1, 0, 1}))
                  .build());
    pass.draw(Shape::rectangle({60, 0}, {20, 40}).withColor({1, 1, 1, 1}),
              BlendType::AdditiveBlending);
    pass.draw(Text(font, "I", {100, 80}));
    const int drawCalls = test::testRenderer().renderStats.drawCalls - before.drawCalls;
    const auto row = pass.readPixels(0, 20, 120, 1);
    EXPECT_EQ(bytesOf(row[10]), glm::ivec4(255, 0, 0, 255)) << "the sprite";
    EXPECT_EQ(bytesOf(row[30]), glm::ivec4(0, 0, 255, 255)) << "the rectangle over the sprite";
    EXPECT_EQ(bytesOf(row[55]), glm::ivec4(0, 255, 0, 255)) << "the batch over the rectangle";
    EXPECT_EQ(bytesOf(row[65]), glm::ivec4(255, 255, 255, 255)) << "added to the batch's green";
    EXPECT_EQ(bytesOf(row[75]), glm::ivec4(255, 255, 255, 255)) << "added to black";
    const auto text = pass.readPixels(100, 20, 20, 60);
    EXPECT_NE(std::find(text.begin(), text.end(), glm::vec4(1, 1, 1, 1)), text.end())
        << "the glyph";
    EXPECT_EQ(drawCalls, 5);
}

}  // namespace
}  // namespace orka
