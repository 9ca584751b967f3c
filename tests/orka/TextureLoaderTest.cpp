#include "orka/TextureLoader.hpp"

#include <SDL.h>
#include <SDL_image.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "orka/LogCapture.hpp"

namespace orka {
namespace {

using test::LogCapture;

const std::string pngDir = std::string(ORKA_TEST_DATA_DIR) + "/png/";
const std::string unsupported =
    "Cannot load texture. IMG_Load_RW returned Unsupported image format";

// A 2 x 2 RGB picture as the bytes of a BMP file, which SDL_image could decode.
std::vector<char> bmpBytes() {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24);
    std::array<char, 256> buffer{};
    SDL_RWops* target = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    const bool saved = surface != nullptr && SDL_SaveBMP_RW(surface, target, 0) == 0;
    const auto size = static_cast<size_t>(saved ? SDL_RWtell(target) : 0);
    SDL_RWclose(target);
    SDL_FreeSurface(surface);
    return std::vector<char>(buffer.begin(), buffer.begin() + size);
}

// A white RGB picture as the bytes of a PNG file.
std::vector<char> pngBytes(int width, int height) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
    if (surface == nullptr) return {};
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    std::vector<char> buffer(1 << 20);
    SDL_RWops* target = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    const bool saved = IMG_SavePNG_RW(surface, target, 0) == 0;
    buffer.resize(saved ? static_cast<size_t>(SDL_RWtell(target)) : 0);
    SDL_RWclose(target);
    SDL_FreeSurface(surface);
    return buffer;
}

TEST(TextureLoader, DecodesPngOnlyOtherImageFormatsAreRefused) {
    const std::vector<char> png = texture_loader::readAllBytes(pngDir + "rgb8.png");
    const auto decoded =
        texture_loader::loadFileFromMemory(png.data(), static_cast<int>(png.size()), true);
    EXPECT_TRUE(decoded.valid);
    EXPECT_EQ(decoded.width, 6);

    // SDL_image's SVG reader leaked on such input; it must not be reached at all.
    const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="2" height="2">)"
                            R"(<rect width="2" height="2" fill="red"/></svg>)";
    const std::vector<char> bmp = bmpBytes();
    ASSERT_FALSE(bmp.empty()) << SDL_GetError();
    const std::vector<std::vector<char>> others = {std::vector<char>(svg.begin(), svg.end()), bmp};
    for (const auto& bytes : others) {
        LogCapture log;
        const auto image =
            texture_loader::loadFileFromMemory(bytes.data(), static_cast<int>(bytes.size()), true);
        EXPECT_FALSE(image.valid);
        EXPECT_TRUE(image.pixels.empty());
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].type, LogType::Error);
        EXPECT_EQ(log.records[0].message, unsupported);
    }
}

TEST(TextureLoader, PngWithAChunkRunningPastTheEndIsRefusedBeforeDecoding) {
    const std::vector<char> png = texture_loader::readAllBytes(pngDir + "rgb8.png");
    ASSERT_GT(png.size(), 45u);
    // The chunk after IHDR (at byte 33) claims almost 2 GiB; without the check libpng read on
    // past the end for many seconds.
    std::vector<char> hugeChunk = png;
    const char hugeLength[] = {0x7F, -1, -1, -16};
    std::copy(std::begin(hugeLength), std::end(hugeLength), hugeChunk.begin() + 33);
    const std::vector<char> withoutEnd(png.begin(), png.end() - 12);  // IEND cut off
    for (const std::vector<char>& bytes : {hugeChunk, withoutEnd}) {
        LogCapture log;
        const auto image =
            texture_loader::loadFileFromMemory(bytes.data(), static_cast<int>(bytes.size()), true);
        EXPECT_FALSE(image.valid);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].message,
                  "Cannot load texture. IMG_Load_RW returned Truncated PNG data: a chunk runs "
                  "past the end");
    }
}

TEST(TextureLoader, ImagesWiderOrTallerThan16384TexelsAreRefusedBeforeDecoding) {
    for (const auto& [width, height] : {std::pair{16385, 1}, std::pair{1, 16385}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const std::vector<char> png = pngBytes(width, height);
        ASSERT_FALSE(png.empty()) << SDL_GetError();
        LogCapture log;
        const auto image =
            texture_loader::loadFileFromMemory(png.data(), static_cast<int>(png.size()), false);
        EXPECT_FALSE(image.valid);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].message,
                  "Cannot load texture. IMG_Load_RW returned PNG image of " +
                      std::to_string(width) + " x " + std::to_string(height) +
                      " texels is larger than 16384 x 16384");
    }
    const std::vector<char> largest = pngBytes(16384, 1);
    const auto image =
        texture_loader::loadFileFromMemory(largest.data(), static_cast<int>(largest.size()), false);
    EXPECT_TRUE(image.valid);
    EXPECT_EQ(image.width, 16384);
}

}  // namespace
}  // namespace orka
