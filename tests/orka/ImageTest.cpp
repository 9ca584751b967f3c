#include "orka/Image.hpp"

#include <SDL_image.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "orka/Framebuffer.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"
#include "support/ScratchFolder.hpp"

namespace orka {
namespace {

using ::testing::HasSubstr;

// The file's pixels as SDL_image reads them back, rows from the top.
std::vector<std::uint8_t> readBack(const std::string& path, int& width, int& height) {
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> loaded(IMG_Load(path.c_str()),
                                                                SDL_FreeSurface);
    if (loaded == nullptr) return {};
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> rgba(
        SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0), SDL_FreeSurface);
    width = rgba->w;
    height = rgba->h;
    std::vector<std::uint8_t> bytes;
    for (int row = 0; row < rgba->h; row++) {
        const auto* start = static_cast<const std::uint8_t*>(rgba->pixels) + row * rgba->pitch;
        bytes.insert(bytes.end(), start, start + rgba->w * 4);
    }
    return bytes;
}

TEST(Image, PngFilesHoldThePixelsTopRowFirst) {
    game::test::ScratchFolder folder;
    // 3 x 2: the top row red, green, blue; the bottom row translucent grey, black, white.
    const std::vector<std::uint8_t> pixels = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0,   255, 255,
                                              128, 128, 128, 64,  0, 0,   0, 255, 255, 255, 255, 255};
    const Image image(3, 2, pixels);
    EXPECT_EQ(image.getPixel(2, 0), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(image.getPixel(0, 1), glm::u8vec4(128, 128, 128, 64));
    EXPECT_EQ(image.getPixel(3, 0), glm::u8vec4(0));
    ASSERT_TRUE(image.savePng("shot.png"));
    int width = 0, height = 0;
    EXPECT_EQ(readBack("shot.png", width, height), pixels);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
}

TEST(Image, WrongSizesAndUnwritableFilesAreErrorsNamingThem) {
    test::LogCapture log;
    EXPECT_TRUE(Image(2, 2, std::vector<std::uint8_t>(15)).isEmpty());
    EXPECT_TRUE(Image(0, 4, {}).isEmpty());
    EXPECT_EQ(log.records.size(), 2u);
    log.records.clear();

    EXPECT_FALSE(Image().savePng("empty.png"));
    const Image one(1, 1, {1, 2, 3, 4});
    EXPECT_FALSE(one.savePng("/no/such/folder/shot.png"));
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_THAT(log.records[0].message, HasSubstr("empty.png"));
    EXPECT_THAT(log.records[1].message, HasSubstr("/no/such/folder/shot.png"));
    EXPECT_EQ(log.records[1].type, LogType::Error);
}

// A white cell tinted (0.2, 1, 0) over 10..30 x 20..40 pixels from the lower left. Linear 0.2
// is 51 as a byte and shows as 124 on the sRGB screen.
class Screenshot : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        atlas = test::makeCellAtlas();
        ASSERT_NE(atlas, nullptr);
        camera.setWindowCoordinates();
    }
    void drawSquare(RenderPass& pass) {
        Sprite sprite = atlas->get("white");
        sprite.setPosition({10.0f, 20.0f});
        sprite.setScale({5.0f, 5.0f});
        sprite.setColor({0.2f, 1.0f, 0.0f, 1.0f});
        pass.draw(SpriteBatch::create().addSprite(sprite).build());
    }
    // The square's pixels in a picture `height` rows tall, counted from the top.
    static void expectSquare(const Image& image) {
        const int top = image.getHeight() - 40;
        const glm::u8vec4 seen(124, 255, 0, 255);
        EXPECT_EQ(image.getPixel(10, top), seen);
        EXPECT_EQ(image.getPixel(29, top + 19), seen);
        EXPECT_EQ(image.getPixel(9, top + 10), glm::u8vec4(0, 0, 0, 255));
        EXPECT_EQ(image.getPixel(20, top - 1), glm::u8vec4(0, 0, 0, 255));
        EXPECT_EQ(image.getPixel(20, top + 20), glm::u8vec4(0, 0, 0, 255));
    }
    std::shared_ptr<SpriteAtlas> atlas;
    Camera camera;
};

TEST_F(Screenshot, OfTheWindowIsTheDrawableTopRowFirstInScreenColours) {
    RenderPass pass = RenderPass::create().withCamera(camera).build();
    drawSquare(pass);
    const Image image = pass.readImage();
    EXPECT_EQ(glm::ivec2(image.getWidth(), image.getHeight()),
              test::testRenderer().getDrawableSize());
    expectSquare(image);
}

// The framebuffer holds linear colour: 51, which the screen would show as 124.
TEST_F(Screenshot, OfAFramebufferIsEncodedAsTheWindowWouldShowIt) {
    auto framebuffer = Framebuffer::create().withSize(64, 48).build();
    ASSERT_NE(framebuffer, nullptr);
    RenderPass pass =
        RenderPass::create().withCamera(camera).withFramebuffer(framebuffer).build();
    drawSquare(pass);
    EXPECT_NEAR(pass.readPixels(15, 25, 1, 1).at(0).r, 0.2f, 0.5f / 255.0f);
    const Image image = pass.readImage();
    EXPECT_EQ(image.getWidth(), 64);
    EXPECT_EQ(image.getHeight(), 48);
    expectSquare(image);
}

TEST_F(Screenshot, CapturedWindowComesOnceWhenTheFrameIsComplete) {
    Renderer& renderer = test::testRenderer();
    std::vector<Image> captured;
    {
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        drawSquare(pass);
        // Through the window, which needs no global renderer.
        test::testSDLRenderer().captureWindow(
            [&](const Image& image) { captured.push_back(image); });
        EXPECT_TRUE(captured.empty()) << "not before the frame is complete";
    }
    renderer.swapWindow();
    ASSERT_EQ(captured.size(), 1u);
    expectSquare(captured[0]);
    renderer.swapWindow();
    EXPECT_EQ(captured.size(), 1u);
}

}  // namespace
}  // namespace orka
