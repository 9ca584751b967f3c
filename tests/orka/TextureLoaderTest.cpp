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
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string pngDir = std::string(ORKA_TEST_DATA_DIR) + "/png/";
const std::string formatsDir = std::string(ORKA_TEST_DATA_DIR) + "/formats/";
const std::string unsupported =
    "Cannot load texture. IMG_Load_RW returned Unsupported image format";

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

// The pixel at column x, row y (from the top) of the 4 x 4 pictures in data/formats: a first
// row of red, green, blue and white, a second of black, grey 128, yellow and cyan, and magenta
// below. The "rgba" files have the bottom-right pixel transparent.
std::array<int, 4> formatPixel(int x, int y, bool lastTransparent) {
    static const std::array<std::array<int, 3>, 8> rows = {{{255, 0, 0},
                                                            {0, 255, 0},
                                                            {0, 0, 255},
                                                            {255, 255, 255},
                                                            {0, 0, 0},
                                                            {128, 128, 128},
                                                            {255, 255, 0},
                                                            {0, 255, 255}}};
    const std::array<int, 3> rgb = y < 2 ? rows[y * 4 + x] : std::array<int, 3>{255, 0, 255};
    const int alpha = lastTransparent && x == 3 && y == 3 ? 0 : 255;
    return {rgb[0], rgb[1], rgb[2], alpha};
}

TEST(TextureLoader, DecodesEveryImageFormatSdlImageReads) {
    struct Case {
        const char* file;
        bool transparent;
        int tolerance;  // JPEG is lossy, even at full quality
    };
    const Case cases[] = {{"rgb.bmp", false, 0},  {"rgb.tga", false, 0},  {"rgba.tga", true, 0},
                          {"rgb.webp", false, 0}, {"rgba.webp", true, 0}, {"rgb.jpg", false, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        LogCapture log;
        const std::vector<char> bytes = texture_loader::readAllBytes(formatsDir + c.file);
        const auto image =
            texture_loader::loadFileFromMemory(bytes.data(), static_cast<int>(bytes.size()), false);
        ASSERT_TRUE(image.valid);
        EXPECT_TRUE(log.records.empty());
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.height, 4);
        EXPECT_EQ(image.transparent, c.transparent);
        ASSERT_EQ(image.pixels.size(), static_cast<size_t>(16 * image.bytesPerPixel));
        for (int y = 0; y < 4; y++) {
            for (int x = 0; x < 4; x++) {
                const std::array<int, 4> expected = formatPixel(x, y, c.transparent);
                // A transparent pixel's colour is whatever the writer kept: only alpha counts.
                const int firstChannel = expected[3] == 0 ? 3 : 0;
                for (int channel = firstChannel; channel < image.bytesPerPixel; channel++) {
                    const auto value = static_cast<unsigned char>(image.pixels[static_cast<size_t>(
                        (y * 4 + x) * image.bytesPerPixel + channel)]);
                    EXPECT_NEAR(value, expected[channel], c.tolerance)
                        << "pixel " << x << ", " << y << " channel " << channel;
                }
            }
        }
    }
}

TEST(TextureLoader, UnknownDataIsRefusedAndBrokenFilesOfKnownFormatsFailCleanly) {
    // SDL_image's SVG reader leaked on such input; it must not be reached at all.
    const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="2" height="2">)"
                            R"(<rect width="2" height="2" fill="red"/></svg>)";
    const std::string gif = "GIF89a\x04\0\x04\0";  // SDL_image reads it; textures do not
    for (const std::string& text : {svg, gif}) {
        LogCapture log;
        const auto image =
            texture_loader::loadFileFromMemory(text.data(), static_cast<int>(text.size()), true);
        EXPECT_FALSE(image.valid);
        EXPECT_TRUE(image.pixels.empty());
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].type, LogType::Error);
        EXPECT_EQ(log.records[0].message, unsupported);
    }
    // Each format cut after its header, and with its size claimed far beyond the largest.
    struct Broken {
        const char* file;
        size_t keep;                 // bytes kept
        std::vector<size_t> hugeAt;  // offsets of size fields set to 0xFFFF (or 0x7FFFFFFF)
        const char* reason;          // what the log names when the size is huge
    };
    const Broken broken[] = {{"rgb.bmp", 60, {18, 22}, "BMP image of 2147483647 x 2147483647"},
                             {"rgb.tga", 20, {12, 14}, "TGA image of 65535 x 65535"},
                             {"rgb.jpg", 200, {}, nullptr},
                             {"rgb.webp", 30, {}, nullptr}};
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.file);
        std::vector<char> bytes = texture_loader::readAllBytes(formatsDir + b.file);
        std::vector<char> cut(bytes.begin(), bytes.begin() + static_cast<long>(b.keep));
        LogCapture log;
        EXPECT_FALSE(
            texture_loader::loadFileFromMemory(cut.data(), static_cast<int>(cut.size()), true)
                .valid);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_THAT(log.records[0].message,
                    StartsWith("Cannot load texture. IMG_Load_RW returned"));
        if (b.reason == nullptr) continue;
        const bool bmp = std::string(b.file) == "rgb.bmp";
        for (size_t at : b.hugeAt) {
            bytes[at] = bytes[at + 1] = static_cast<char>(0xFF);
            if (bmp) bytes[at + 2] = static_cast<char>(0xFF), bytes[at + 3] = 0x7F;
        }
        LogCapture hugeLog;
        EXPECT_FALSE(
            texture_loader::loadFileFromMemory(bytes.data(), static_cast<int>(bytes.size()), true)
                .valid);
        ASSERT_EQ(hugeLog.records.size(), 1u);
        EXPECT_THAT(hugeLog.records[0].message, HasSubstr(b.reason));
    }
}

// A few bytes claiming a huge picture: decoders make the whole picture first (a gigabyte), and
// run-length TGA and cut JPEG data are then decoded to the end. The fuzzer found the TGA: 18
// bytes read as 16,128 x 16,191 texels that took seconds before failing.
TEST(TextureLoader, FarTooFewBytesForTheSizeTheHeaderClaimsAreRefusedBeforeDecoding) {
    const unsigned char tga[] = {6, 0, 10, 0, 0, 5, 0x41, 0, 0, 0x8D, 0x10, 2,
                                 0, 0x3F, 0x3F, 0x3F, 0x10, 2};
    std::vector<char> bmp = texture_loader::readAllBytes(formatsDir + "rgb.bmp");
    std::vector<char> jpeg = texture_loader::readAllBytes(formatsDir + "rgb.jpg");
    ASSERT_GT(bmp.size(), 26u);
    ASSERT_GT(jpeg.size(), 200u);
    // 16,000 x 16,000: BMP sizes are 32-bit little-endian; the JPEG's frame header holds
    // height, then width, 16-bit big-endian.
    const char sixteenThousandLE[] = {static_cast<char>(0x80), 0x3E, 0, 0};
    std::copy_n(sixteenThousandLE, 4, bmp.begin() + 18);
    std::copy_n(sixteenThousandLE, 4, bmp.begin() + 22);
    for (size_t at = 2; at + 9 < jpeg.size(); ++at) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        if (static_cast<unsigned char>(jpeg[at]) != 0xFF || (marker != 0xC0 && marker != 0xC2)) {
            continue;
        }
        jpeg[at + 5] = jpeg[at + 7] = 0x3E;
        jpeg[at + 6] = jpeg[at + 8] = static_cast<char>(0x80);
        break;
    }
    const std::vector<std::pair<std::string, std::vector<char>>> cases = {
        {"TGA", {tga, tga + sizeof tga}}, {"BMP", bmp}, {"JPEG", jpeg}};
    for (const auto& [format, bytes] : cases) {
        SCOPED_TRACE(format);
        LogCapture log;
        const auto image = texture_loader::loadFileFromMemory(bytes.data(),
                                                              static_cast<int>(bytes.size()), true);
        EXPECT_FALSE(image.valid);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_THAT(log.records[0].message, HasSubstr("Truncated " + format + " data"));
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
