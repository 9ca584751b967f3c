// Calls a game developer may get wrong, made through the engine's public API: each gives one
// log line saying what went wrong and a harmless result, never an exception, abort or a read
// of freed memory (the sanitize stage runs these under ASan and UBSan).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "orka/Camera.hpp"
#include "orka/FileBytes.hpp"
#include "orka/Font.hpp"
#include "orka/GLTestEnvironment.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/Renderer.hpp"
#include "orka/Sprite.hpp"
#include "orka/SpriteAtlas.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"
#include "orka/Texture.hpp"
#include "support/ScratchFolder.hpp"

namespace orka {
namespace {

const std::string folder = std::string(ORKA_TEST_DATA_DIR) + "/png";
const std::string endless = "/dev/zero";
const std::string tooLarge = "it is larger than " + std::to_string(largestFileBytes) + " bytes";

struct BadCall {
    const char* what;
    std::function<bool()> call;  // true when the result is the harmless one expected
    LogType type;
    std::string message;  // the whole line
};

void expectOneLine(const BadCall& row) {
    SCOPED_TRACE(row.what);
    test::LogCapture log;
    bool harmless = false;
    EXPECT_NO_THROW(harmless = row.call());
    EXPECT_TRUE(harmless) << "the result is empty or a placeholder";
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].type, row.type);
    EXPECT_EQ(log.records[0].message, row.message);
}

bool failedTexture(const std::shared_ptr<Texture>& texture) {
    return texture != nullptr && texture->loadFailed() && texture->getWidth() >= 1;
}

TEST(BadCalls, FilesThatAreNoFilesGiveOneLineNamingThemAndAnEmptyResult) {
    test::testRenderer();
    const game::test::ScratchFolder scratch;
    const std::string pipe = (scratch.path / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<BadCall> rows = {
        {"font from a folder", [] { return Font::load(folder, 20) == nullptr; }, LogType::Error,
         "Cannot load font '" + folder + "': the file cannot be read (it is a folder)"},
        {"font from a device without end", [] { return Font::load(endless, 20) == nullptr; },
         LogType::Error,
         "Cannot load font '" + endless + "': the file cannot be read (" + tooLarge + ")"},
        // Opening a pipe nobody writes to must not wait for a writer.
        {"font from a pipe", [&] { return Font::load(pipe, 20) == nullptr; }, LogType::Error,
         "Cannot load font '" + pipe + "': the file is empty"},
        {"image from a folder",
         [] { return failedTexture(Texture::create().withFile(folder).build()); }, LogType::Error,
         "Cannot read texture from " + folder + ": it is a folder"},
        {"image from a device without end",
         [] { return failedTexture(Texture::create().withFile(endless).build()); }, LogType::Error,
         "Cannot read texture from " + endless + ": " + tooLarge},
        {"cube face from a folder",
         [] {
             return failedTexture(
                 Texture::create()
                     .withFileCubemap(folder, Texture::TextureCubemapSide::NegativeY)
                     .build());
         },
         LogType::Error, "Cannot read texture from " + folder + ": it is a folder"},
        {"atlas from a folder",
         [] { return SpriteAtlas::create(folder, Texture::getWhiteTexture(), false) == nullptr; },
         LogType::Error, "SpriteAtlas json not found " + folder + " (it is a folder)"},
        {"atlas from a device without end",
         [] { return SpriteAtlas::create(endless, Texture::getWhiteTexture(), false) == nullptr; },
         LogType::Error, "SpriteAtlas json not found " + endless + " (" + tooLarge + ")"},
    };
    for (const BadCall& row : rows) expectOneLine(row);
}

TEST(BadCalls, TextureDataThatCannotBeUsedGivesOneErrorAndThePlaceholder) {
    test::testRenderer();
    const char bytes[16] = {};
    // Just over the largest side: refused before anything is allocated (under ASan a
    // gigabyte-sized allocation would end the test).
    const std::vector<BadCall> rows = {
        {"white data of 100000 x 100000",
         [] { return failedTexture(Texture::create().withWhiteData(100000, 100000).build()); },
         LogType::Error, "Texture size 100000 x 100000 is larger than the largest, 16384 x 16384"},
        {"white data one texel too wide",
         [] { return failedTexture(Texture::create().withWhiteData(16385, 1).build()); },
         LogType::Error, "Texture size 16385 x 1 is larger than the largest, 16384 x 16384"},
        {"a cube map one texel too large",
         [] {
             auto cube = Texture::create().withWhiteCubemapData(16385, 16385).build();
             return failedTexture(cube) && cube->isCubemap();
         },
         LogType::Error, "Texture size 16385 x 16385 is larger than the largest, 16384 x 16384"},
        {"RGBA data of no size",
         [&] { return failedTexture(Texture::create().withRGBAData(bytes, 0, 0).build()); },
         LogType::Error, "Invalid texture size 0 x 0"},
        {"RGBA data of a negative size",
         [&] { return failedTexture(Texture::create().withRGBAData(bytes, -2, 2).build()); },
         LogType::Error, "Invalid texture size -2 x 2"},
    };
    for (const BadCall& row : rows) expectOneLine(row);
}

// A sprite shares its texture: a caller that lets the texture go, before or after the sprite
// joins a batch, still sees it drawn, and nothing reads freed memory.
TEST(BadCalls, ASpriteWhoseTextureTheCallerReleasedStillDraws) {
    test::testRenderer();
    Camera camera;
    camera.setWindowCoordinates();
    for (const bool releaseBeforeAdding : {true, false}) {
        SCOPED_TRACE(releaseBeforeAdding ? "released before adding" : "released after adding");
        std::shared_ptr<Texture> texture = test::makeCellTexture();
        ASSERT_NE(texture, nullptr);
        Sprite sprite(*texture, {0, 0}, {test::cellSize, test::cellSize});  // the red cell
        sprite.setPosition({10.0f, 10.0f});
        sprite.setScale({4.0f, 4.0f});
        auto builder = SpriteBatch::create();
        if (releaseBeforeAdding) texture.reset();
        builder.addSprite(sprite);
        if (!releaseBeforeAdding) texture.reset();
        sprite = Sprite();
        auto batch = builder.build();
        RenderPass pass =
            RenderPass::create().withCamera(camera).withClearColor(true, {0, 0, 0, 1}).build();
        pass.draw(batch);
        const std::vector<glm::vec4> pixels = pass.readPixels(12, 12, 1, 1);
        ASSERT_EQ(pixels.size(), 1u);
        EXPECT_EQ(pixels[0], glm::vec4(1.0f, 0.0f, 0.0f, 1.0f)) << "the red cell is drawn";
    }
}

}  // namespace
}  // namespace orka
