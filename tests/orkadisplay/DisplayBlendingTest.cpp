// Drawing when colours are mixed in the display's values, as paint programs and most 2D
// libraries do: this binary's window is made for that space (see GLTestEnvironment.cpp).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "orka/Color.hpp"
#include "orka/Framebuffer.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/Image.hpp"
#include "orka/PixelBytes.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Shape.hpp"
#include "orka/Sprite.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/Texture.hpp"
#include "support/ScratchFolder.hpp"

namespace orka {
namespace {

constexpr BlendingSpace display = BlendingSpace::Display;

using test::bytesOf;
using test::expectBytesNear;
using test::windowPass;

TEST(DisplayBlending, TheWindowIsMadeForTheDisplaysValues) {
    EXPECT_EQ(test::testSDLRenderer().getBlendingSpace(), display);
    EXPECT_EQ(test::testRenderer().getBlendingSpace(), display);
}

// A 0.6-alpha black overlay on (231, 58, 58), as paint programs and the other libraries give it.
TEST(DisplayBlending, ABlackOverlayDarkensAsPaintProgramsDo) {
    test::testRenderer();
    RenderPass pass = windowPass(Color::fromBytes(231, 58, 58, 255, display));
    pass.draw(Shape::rectangle({0, 0}, {20, 20}).withColor({0, 0, 0, 0.6f}));
    expectBytesNear(bytesOf(pass.readPixels(10, 10, 1, 1).at(0)), {92, 23, 23}, "overlay");
    expectBytesNear(bytesOf(pass.readPixels(30, 30, 1, 1).at(0)), {231, 58, 58}, "clear colour");
}

// Image files and raw bytes of either encoding keep their bytes, and tints scale them.
TEST(DisplayBlending, TextureBytesAreUsedAsTheyAre) {
    test::testRenderer();
    game::test::ScratchFolder folder;
    std::vector<std::uint8_t> grey(4 * 4 * 4, 128);
    for (size_t alpha = 3; alpha < grey.size(); alpha += 4) grey[alpha] = 255;
    ASSERT_TRUE(Image(4, 4, grey).savePng("grey.png"));
    const char* bytes = reinterpret_cast<const char*>(grey.data());
    struct Case {
        const char* name;
        std::shared_ptr<Texture> texture;
    };
    const Case cases[] = {
        {"a PNG file", Texture::create().withFile("grey.png").build()},
        {"sRGB bytes",
         Texture::create().withRGBAData(bytes, 4, 4, Texture::ByteEncoding::Srgb).build()},
        {"linear bytes",
         Texture::create().withRGBAData(bytes, 4, 4, Texture::ByteEncoding::Linear).build()},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.texture, nullptr) << c.name;
        Sprite plain(*c.texture);
        plain.setScale({5, 5});
        Sprite tinted = plain;
        tinted.setPosition({20, 0});
        tinted.setColor({0.5f, 0.5f, 0.5f, 1.0f});
        RenderPass pass = windowPass({0, 0, 0, 1});
        pass.draw(SpriteBatch::create().addSprite(plain).addSprite(tinted).build());
        expectBytesNear(bytesOf(pass.readPixels(10, 10, 1, 1).at(0)), {128, 128, 128}, c.name);
        expectBytesNear(bytesOf(pass.readPixels(30, 10, 1, 1).at(0)), {64, 64, 64},
                        std::string(c.name) + ", tinted by half");
    }
}

// Screenshots of the window and of a framebuffer hold what was drawn, not re-encoded.
TEST(DisplayBlending, CapturesHoldTheDrawnValues) {
    test::testRenderer();
    const auto framebuffer = Framebuffer::create().withSize(16, 16).build();
    ASSERT_NE(framebuffer, nullptr);
    const glm::vec4 grey = Color::fromBytes(128, 64, 32, 255, display);
    for (const bool offscreen : {false, true}) {
        Camera camera;
        camera.setWindowCoordinates();
        auto builder = RenderPass::create().withCamera(camera).withClearColor(true, grey);
        if (offscreen) builder.withFramebuffer(framebuffer);
        RenderPass pass = builder.build();
        const Image shot = pass.readImage();
        ASSERT_GT(shot.getWidth(), 0);
        const glm::u8vec4 pixel = shot.getPixel(1, 1);
        expectBytesNear(glm::ivec4(pixel), {128, 64, 32}, offscreen ? "framebuffer" : "window");
    }
}

// Every blend mode, on one background, through a batch's setting and through a single draw;
// a circle's box outside its disc leaves the pixel as it was in every mode but opaque.
TEST(DisplayBlending, BlendModesCombineAsTheirFormulasSay) {
    test::testRenderer();
    const glm::vec4 under(0.4f, 0.6f, 0.2f, 1.0f);
    const glm::vec4 over(0.5f, 0.25f, 1.0f, 0.5f);
    const glm::vec4 premultipliedOver(0.25f, 0.125f, 0.5f, 0.5f);
    struct Case {
        const char* name;
        BlendType blend;
        glm::vec4 color;
        glm::vec3 expected;
    };
    const Case cases[] = {
        {"alpha", BlendType::AlphaBlending, over, {0.45f, 0.425f, 0.6f}},
        {"additive", BlendType::AdditiveBlending, over, {0.65f, 0.725f, 0.7f}},
        {"multiply", BlendType::MultiplyBlending, over, {0.3f, 0.375f, 0.2f}},
        {"premultiplied alpha",
         BlendType::PremultipliedAlphaBlending,
         premultipliedOver,
         {0.45f, 0.425f, 0.6f}},
        {"opaque", BlendType::Disabled, over, {0.5f, 0.25f, 1.0f}},
    };
    const auto expected = [](glm::vec3 v) { return glm::ivec3(glm::round(v * 255.0f)); };
    for (const Case& c : cases) {
        const Shape box = Shape::rectangle({0, 0}, {20, 20}).withColor(c.color);
        const Shape disc = Shape::circle({60, 60}, 20).withColor(c.color);
        {
            RenderPass pass = windowPass(under);
            pass.draw(SpriteBatch::create().withBlendMode(c.blend).addShape(box).build());
            expectBytesNear(bytesOf(pass.readPixels(10, 10, 1, 1).at(0)), expected(c.expected),
                            std::string(c.name) + " in a batch");
        }
        RenderPass pass = windowPass(under);
        pass.draw(box, c.blend);
        pass.draw(disc, c.blend);
        expectBytesNear(bytesOf(pass.readPixels(10, 10, 1, 1).at(0)), expected(c.expected),
                        std::string(c.name) + " drawn alone");
        expectBytesNear(bytesOf(pass.readPixels(60, 60, 1, 1).at(0)), expected(c.expected),
                        std::string(c.name) + " inside the disc");
        if (c.blend == BlendType::Disabled) continue;
        expectBytesNear(bytesOf(pass.readPixels(42, 42, 1, 1).at(0)), expected(under),
                        std::string(c.name) + " outside the disc, inside its box");
    }
}

// One batch, blend changed between adds: each part blends its own way, a run each.
TEST(DisplayBlending, BlendModesChangeBetweenRunsOfOneBatch) {
    test::testRenderer();
    const glm::vec4 half(0.5f, 0.5f, 0.5f, 1.0f);
    auto builder = SpriteBatch::create();
    builder.addShape(Shape::rectangle({0, 0}, {20, 20}).withColor(half));
    builder.withBlendMode(BlendType::AdditiveBlending);
    builder.addShape(Shape::rectangle({20, 0}, {20, 20}).withColor(half));
    builder.withBlendMode(BlendType::MultiplyBlending);
    builder.addShape(Shape::rectangle({40, 0}, {20, 20}).withColor(half));
    const auto batch = builder.build();
    EXPECT_EQ(batch->getRuns().size(), 3u);
    RenderPass pass = windowPass({0.4f, 0.4f, 0.4f, 1});
    pass.draw(batch);
    const auto row = pass.readPixels(0, 10, 60, 1);
    expectBytesNear(bytesOf(row[10]), {128, 128, 128}, "alpha");
    expectBytesNear(bytesOf(row[30]), {230, 230, 230}, "additive");
    expectBytesNear(bytesOf(row[50]), {51, 51, 51}, "multiply");
}

}  // namespace
}  // namespace orka
