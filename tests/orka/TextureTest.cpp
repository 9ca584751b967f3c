#include "orka/Texture.hpp"

#include <GL/glew.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

#include "orka/Camera.hpp"
#include "orka/GpuTestAccess.hpp"
#include "orka/Image.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/RendererResources.hpp"
#include "orka/SpriteAtlas.hpp"
#include "orka/SpriteBatch.hpp"
#include "support/ScratchFolder.hpp"

namespace orka {
namespace {

using test::LogCapture;
using test::takeGLError;
using ::testing::ElementsAre;
using ::testing::StartsWith;

const std::string pngDir = std::string(ORKA_TEST_DATA_DIR) + "/png/";

// The pixel formulas of tools/make-png-fixtures.sh; x from the left, y from the top.
using Rgba = std::array<int, 4>;
Rgba colour(int x, int y) {
    return {(x * 40 + y * 10) % 256, (y * 50 + x * 3) % 256, (x * y * 9 + 17) % 256, 255};
}
int alpha(int x, int y) {
    return (x * 60 + y * 20 + 15) % 256;
}
int grey(int x, int y) {
    return (x * 37 + y * 71) % 256;
}
std::function<Rgba(int, int)> greyLevels(int levels) {
    return [levels](int x, int y) {
        const int v = (x + 2 * y) % levels * (255 / (levels - 1));
        return Rgba{v, v, v, 255};
    };
}
Rgba rgbPixel(int x, int y) {
    return colour(x, y);
}
Rgba rgbaPixel(int x, int y) {
    Rgba c = colour(x, y);
    c[3] = alpha(x, y);
    return c;
}
Rgba greyPixel(int x, int y) {
    const int v = grey(x, y);
    return {v, v, v, 255};
}
Rgba greyAlphaPixel(int x, int y) {
    const int v = grey(x, y);
    return {v, v, v, alpha(x, y)};
}
// Palette strip red, lime, blue, then white (or fully transparent), by (x + y) % 4.
Rgba palettePixel(int x, int y) {
    static const Rgba colours[4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    return colours[(x + y) % 4];
}

struct Fixture {
    std::string file;
    int width;
    int height;
    bool transparent;
    std::function<Rgba(int, int)> pixel;
};

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        takeGLError();
    }
    void TearDown() override { EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR)); }
};

GLint texParameter(const Texture& texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GpuTestAccess::target(texture), GpuTestAccess::textureId(texture));
    glGetTexParameteriv(GpuTestAccess::target(texture), name, &value);
    return value;
}

// GL may report the internal format as given (GL_SRGB) or as the sized format it chose.
bool isSrgb(GLint format, bool alpha) {
    return alpha ? format == GL_SRGB_ALPHA || format == GL_SRGB8_ALPHA8
                 : format == GL_SRGB || format == GL_SRGB8;
}

GLint levelParameter(const Texture& texture, GLenum face, int level, GLenum name) {
    GLint value = 0;
    glBindTexture(GpuTestAccess::target(texture), GpuTestAccess::textureId(texture));
    glGetTexLevelParameteriv(face, level, name, &value);
    return value;
}

// Level 0 of a face as RGBA bytes, rows in GL order (row 0 first).
std::vector<unsigned char> readTexels(const Texture& texture, GLenum face = GL_TEXTURE_2D) {
    std::vector<unsigned char> texels(static_cast<size_t>(texture.getWidth()) *
                                      texture.getHeight() * 4);
    glBindTexture(GpuTestAccess::target(texture), GpuTestAccess::textureId(texture));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(face, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Compares every texel; GL row r holds picture row height - 1 - r when the image was flipped.
void expectPixels(const Texture& texture, const std::function<Rgba(int, int)>& pixel, bool flipped,
                  GLenum face = GL_TEXTURE_2D, bool checkAlpha = true) {
    const auto texels = readTexels(texture, face);
    const int w = texture.getWidth();
    const int h = texture.getHeight();
    int mismatches = 0;
    for (int row = 0; row < h; row++) {
        for (int x = 0; x < w; x++) {
            const int y = flipped ? h - 1 - row : row;
            const Rgba expected = pixel(x, y);
            const unsigned char* actual = &texels[(static_cast<size_t>(row) * w + x) * 4];
            for (int c = 0; c < (checkAlpha ? 4 : 3); c++) {
                if (actual[c] == expected[c] || ++mismatches > 5) continue;
                ADD_FAILURE() << texture.getName() << " pixel (" << x << ", " << y << ") channel "
                              << c << ": " << int(actual[c]) << " instead of " << expected[c];
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << texture.getName();
}

TEST_F(TextureTest, EveryPngColourTypeLoadsWithSizeColoursAndTransparency) {
    const std::vector<Fixture> fixtures = {
        {"grey1.png", 7, 3, false, greyLevels(2)},
        {"grey2.png", 7, 3, false, greyLevels(4)},
        {"grey4.png", 7, 3, false, greyLevels(16)},
        {"grey8.png", 7, 3, false, greyPixel},
        {"grey16.png", 7, 3, false, greyPixel},
        {"greyalpha8.png", 5, 4, true, greyAlphaPixel},
        {"greyalpha16.png", 5, 4, true, greyAlphaPixel},
        {"rgb8.png", 6, 5, false, rgbPixel},
        {"rgb16.png", 6, 5, false, rgbPixel},
        {"rgba8.png", 3, 7, true, rgbaPixel},
        {"rgba16.png", 3, 7, true, rgbaPixel},
        {"rgb8-interlaced.png", 13, 11, false, rgbPixel},
        {"rgba8-interlaced.png", 13, 11, true, rgbaPixel},
        {"rgb8-21x21.png", 21, 21, false, rgbPixel},
        {"palette.png", 5, 3, false, palettePixel},
    };
    for (const Fixture& fixture : fixtures) {
        SCOPED_TRACE(fixture.file);
        LogCapture capture;
        auto texture = Texture::create().withFile(pngDir + fixture.file).build();
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->getWidth(), fixture.width);
        EXPECT_EQ(texture->getHeight(), fixture.height);
        EXPECT_EQ(texture->isTransparent(), fixture.transparent);
        EXPECT_TRUE(isSrgb(levelParameter(*texture, GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT),
                           fixture.transparent));
        expectPixels(*texture, fixture.pixel, true);
        EXPECT_FALSE(texture->loadFailed());
        for (const auto& record : capture.records) {
            EXPECT_EQ(record.type, LogType::Warning) << record.message;
        }
    }
}

TEST_F(TextureTest, PaletteWithATransparentEntryIsTransparent) {
    LogCapture capture;  // the size warning
    auto texture = Texture::create().withFile(pngDir + "palette-trns.png").build();
    EXPECT_TRUE(texture->isTransparent());
    EXPECT_TRUE(
        isSrgb(levelParameter(*texture, GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT), true));
    const auto texels = readTexels(*texture);
    for (int row = 0; row < 3; row++) {
        for (int x = 0; x < 5; x++) {
            const int y = 2 - row;
            const unsigned char* texel = &texels[(row * 5 + x) * 4];
            if ((x + y) % 4 == 3) {
                EXPECT_EQ(texel[3], 0) << "transparent entry at " << x << ", " << y;
            } else {
                EXPECT_THAT(std::vector<int>(texel, texel + 4),
                            ElementsAre(palettePixel(x, y)[0], palettePixel(x, y)[1],
                                        palettePixel(x, y)[2], 255));
            }
        }
    }
}

TEST_F(TextureTest, RawRgbRowsOfOddLengthAreNotSkewed) {
    std::vector<char> data;
    for (int y = 0; y < 21; y++) {
        for (int x = 0; x < 21; x++) {
            const Rgba c = colour(x, y);
            data.insert(data.end(), {char(c[0]), char(c[1]), char(c[2])});
        }
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    auto texture = Texture::create().withRGBData(data.data(), 21, 21).build();
    expectPixels(*texture, rgbPixel, false);
    GLint after = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
    EXPECT_EQ(after, alignment) << "the unpack alignment is put back";
    EXPECT_FALSE(texture->isTransparent());
    EXPECT_EQ(texture->getName(), "Unnamed Texture");
    const GLint format = levelParameter(*texture, GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT);
    EXPECT_TRUE(format == GL_RGB || format == GL_RGB8) << format;
}

TEST_F(TextureTest, BrokenFilesLogAnErrorAndLeaveAWhitePlaceholder) {
    // The file is named, the decoder's reason follows.
    const auto decodeError = [](const std::string& file) {
        return "Cannot load texture " + pngDir + file + ". IMG_Load_RW returned ";
    };
    struct Case {
        std::string file;
        std::string message;  // the whole message, or its start when it ends with SDL's reason
        bool exact;
    };
    const std::vector<Case> cases = {
        {"missing.png",
         "Cannot read texture from " + pngDir + "missing.png: No such file or directory", true},
        {"", "Cannot read texture from " + pngDir + ": it is a folder", true},
        {"empty.png", decodeError("empty.png"), false},
        {"truncated.png", decodeError("truncated.png"), false},
        {"not-an-image.png", decodeError("not-an-image.png"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        LogCapture capture;
        auto texture = Texture::create().withFile(pngDir + c.file).build();
        ASSERT_EQ(capture.records.size(), 1u);
        EXPECT_EQ(capture.records[0].type, LogType::Error);
        if (c.exact) {
            EXPECT_EQ(capture.records[0].message, c.message);
        } else {
            EXPECT_THAT(capture.records[0].message, StartsWith(c.message));
            EXPECT_GT(capture.records[0].message.size(), c.message.size()) << "SDL's reason";
        }
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->getName(), pngDir + c.file);
        EXPECT_EQ(texture->getWidth(), 1);
        EXPECT_EQ(texture->getHeight(), 1);
        EXPECT_EQ(texture->getDataSize(), 4);
        EXPECT_FALSE(texture->isTransparent());
        EXPECT_EQ(readTexels(*texture), std::vector<unsigned char>(4, 255));
        EXPECT_TRUE(texture->loadFailed());
        EXPECT_EQ(takeGLError(), static_cast<GLenum>(GL_NO_ERROR)) << "no negative size reached GL";
    }
}

TEST_F(TextureTest, JpegBmpTgaAndWebpFilesLoadAsTexturesWithTheirFirstRowOnTop) {
    const std::string formatsDir = std::string(ORKA_TEST_DATA_DIR) + "/formats/";
    for (const char* file : {"rgb.jpg", "rgb.bmp", "rgba.tga", "rgba.webp"}) {
        SCOPED_TRACE(file);
        LogCapture capture;
        auto texture = Texture::create().withFile(formatsDir + file).build();
        EXPECT_TRUE(capture.records.empty());
        EXPECT_FALSE(texture->loadFailed());
        EXPECT_EQ(texture->getWidth(), 4);
        // v = 0 is the image's bottom: the first texel row is magenta, the last starts red.
        const auto texels = readTexels(*texture);
        ASSERT_EQ(texels.size(), 64u);
        EXPECT_NEAR(texels[0], 255, 12);
        EXPECT_NEAR(texels[1], 0, 12);
        EXPECT_NEAR(texels[2], 255, 12);
        EXPECT_NEAR(texels[48], 255, 12);
        EXPECT_NEAR(texels[49], 0, 12);
        EXPECT_NEAR(texels[50], 0, 12);
    }
}

TEST_F(TextureTest, AFailedLoadKeepsTheImageLoadedBefore) {
    LogCapture capture;
    auto texture =
        Texture::create().withFile(pngDir + "rgb8.png").withFile(pngDir + "missing.png").build();
    EXPECT_EQ(std::count_if(capture.records.begin(), capture.records.end(),
                            [](const auto& record) { return record.type == LogType::Error; }),
              1);
    EXPECT_EQ(texture->getName(), pngDir + "rgb8.png");
    EXPECT_TRUE(texture->loadFailed()) << "the second file was asked for and is not there";
    EXPECT_EQ(texture->getWidth(), 6);
    EXPECT_EQ(texture->getHeight(), 5);
    expectPixels(*texture, rgbPixel, true);
}

TEST_F(TextureTest, NonPowerOfTwoFilesFallBackToNearestWithoutMipmaps) {
    const std::string file = pngDir + "rgb8-100x64.png";
    {
        LogCapture capture;
        auto texture = Texture::create().withFile(file).build();
        ASSERT_EQ(capture.records.size(), 1u);
        EXPECT_EQ(capture.records[0].type, LogType::Warning);
        EXPECT_EQ(capture.records[0].message,
                  "Texture " + file + " is not power of two (was 100 x 64 ). filter sampling ");
        EXPECT_EQ(capture.records[0].function, "build");
        EXPECT_FALSE(texture->isFilterSampling());
        EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
        EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
        EXPECT_EQ(texture->getDataSize(), 100 * 64 * 4);
    }
}

// Filtering and mipmaps asked for are kept for any size, whether asked before or after the file.
TEST_F(TextureTest, NonPowerOfTwoFilesKeepTheFilteringAskedForInAnyCallOrder) {
    const std::string file = pngDir + "rgb8-100x64.png";
    for (bool askFirst : {true, false}) {
        LogCapture capture;
        auto builder = Texture::create();
        if (askFirst) builder.withFilterSampling(true).withGenerateMipmaps(true);
        builder.withFile(file);
        if (!askFirst) builder.withFilterSampling(true).withGenerateMipmaps(true);
        auto texture = builder.build();
        EXPECT_TRUE(capture.records.empty()) << "asked first: " << askFirst;
        EXPECT_TRUE(texture->isFilterSampling()) << "asked first: " << askFirst;
        EXPECT_TRUE(texture->isMipmapped()) << "asked first: " << askFirst;
        EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(levelParameter(*texture, GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH), 1) << "full chain";
    }
    LogCapture capture;
    auto nearest = Texture::create().withFilterSampling(false).withFile(file).build();
    EXPECT_TRUE(capture.records.empty()) << "nearest was asked for: nothing to warn of";
    EXPECT_EQ(texParameter(*nearest, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
}

// The game's atlas pages are not powers of two and rely on staying sharp: an atlas left at its
// defaults leaves filtering unasked, so its page is sampled nearest. edges-6x4.png is three
// columns of red, then three of blue; drawn 16 times enlarged, the last red column shows no blue.
TEST_F(TextureTest, NonPowerOfTwoAtlasPageAtItsDefaultsStaysSampledNearest) {
    const std::string atlasDir = std::string(ORKA_TEST_DATA_DIR) + "/atlas/";
    LogCapture capture;
    auto atlas =
        SpriteAtlas::create(atlasDir + "edges-6x4.json", atlasDir + "edges-6x4.png", false);
    ASSERT_NE(atlas, nullptr);
    Camera camera;
    camera.setWindowCoordinates();
    Sprite sprite = atlas->get("red-blue");
    sprite.setPosition({100.0f, 100.0f});
    sprite.setScale({16.0f, 16.0f});
    RenderPass pass = RenderPass::create().withCamera(camera).build();
    pass.draw(SpriteBatch::create().addSprite(sprite).build());
    const glm::vec4 lastRed = pass.readPixels(147, 120, 1, 1).at(0);
    const glm::vec4 firstBlue = pass.readPixels(148, 120, 1, 1).at(0);
    EXPECT_EQ(lastRed, glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(firstBlue, glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_THAT(capture.records[0].message,
                StartsWith("Texture " + atlasDir + "edges-6x4.png is not power of two"));
    EXPECT_EQ(texParameter(*atlas->getTexture(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(*atlas->getTexture(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

TEST_F(TextureTest, PowerOfTwoFileWithMipmaps) {
    LogCapture capture;
    auto texture =
        Texture::create().withFile(pngDir + "rgb8-64x64.png").withGenerateMipmaps(true).build();
    EXPECT_TRUE(capture.records.empty());
    EXPECT_TRUE(texture->isMipmapped());
    EXPECT_TRUE(texture->isFilterSampling());
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(levelParameter(*texture, GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH), 1) << "full chain";
    EXPECT_EQ(texture->getDataSize(), 16384 + 5461);
    expectPixels(*texture, rgbPixel, true);
}

TEST_F(TextureTest, SamplerParametersFollowTheBuilder) {
    auto texture = Texture::create().withWhiteData(4, 4).build();
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_TRUE(texture->isWrapTextureCoordinates());

    auto clamped = Texture::create()
                       .withWhiteData(4, 4)
                       .withWrappedTextureCoordinates(false)
                       .withFilterSampling(false)
                       .build();
    EXPECT_EQ(texParameter(*clamped, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(*clamped, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(*clamped, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(*clamped, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_FALSE(clamped->isWrapTextureCoordinates());
    EXPECT_FALSE(clamped->isFilterSampling());
}

TEST_F(TextureTest, RawDataWithMipmapsOfNonPowerOfTwoSize) {
    const std::vector<char> data(3 * 2 * 4, 0x40);
    LogCapture capture;
    auto texture =
        Texture::create().withRGBAData(data.data(), 3, 2).withGenerateMipmaps(true).build();
    EXPECT_TRUE(capture.records.empty());
    EXPECT_TRUE(texture->isMipmapped());
    EXPECT_TRUE(texture->isFilterSampling());
    EXPECT_EQ(texParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(levelParameter(*texture, GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(readTexels(*texture), std::vector<unsigned char>(24, 0x40));
}

TEST_F(TextureTest, DefaultTextures) {
    auto white = Texture::getWhiteTexture();
    EXPECT_EQ(white, Texture::getWhiteTexture()) << "made once";
    EXPECT_EQ(white->getName(), "ORKA Default White");
    EXPECT_EQ(white->getDataSize(), 16);
    EXPECT_FALSE(white->isFilterSampling());
    EXPECT_EQ(readTexels(*white), std::vector<unsigned char>(16, 255));

    auto cube = Texture::getDefaultCubemapTexture();
    EXPECT_EQ(cube->getName(), "ORKA Default Cubemap");
    EXPECT_TRUE(cube->isCubemap());
    EXPECT_EQ(cube->getDataSize(), 96);
    EXPECT_EQ(texParameter(*cube, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    for (int face = 0; face < 6; face++) {
        EXPECT_EQ(readTexels(*cube, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face),
                  std::vector<unsigned char>(16, 255));
    }

    auto sphere = Texture::getSphereTexture();
    EXPECT_EQ(sphere->getName(), "ORKA Default Sphere");
    EXPECT_EQ(sphere->getWidth(), 128);
    EXPECT_TRUE(sphere->isMipmapped());
    EXPECT_TRUE(sphere->isWrapTextureCoordinates());
    EXPECT_EQ(sphere->getDataSize(), 65536 + 21845);
    expectPixels(
        *sphere,
        [](int x, int y) {
            const float dy = (y + 0.5f) * 0.0078125f - 0.5f;
            const float dx = (x + 0.5f) * 0.0078125f - 0.5f;
            const float value = std::clamp(1.0f - 2.0f * std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
            const int v = static_cast<int>(value * 255.0f);
            return Rgba{v, v, v, 255};
        },
        false);
    EXPECT_EQ(readTexels(*sphere)[0], 0) << "black corner";
}

TEST_F(TextureTest, CubemapFromFilesKeepsRowsUnflipped) {
    auto builder = Texture::create();
    for (int side = 0; side < 6; side++) {
        builder.withFileCubemap(pngDir + "rgb8-64x64.png",
                                static_cast<Texture::TextureCubemapSide>(side));
    }
    auto cube = builder.build();
    EXPECT_TRUE(cube->isCubemap());
    EXPECT_FALSE(cube->loadFailed());
    EXPECT_EQ(cube->getName(), "Unnamed Texture");
    EXPECT_EQ(cube->getDataSize(), 64 * 64 * 4 * 6);
    expectPixels(*cube, rgbPixel, false, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z);
    EXPECT_EQ(texParameter(*cube, GL_TEXTURE_WRAP_S), GL_REPEAT);
}

TEST_F(TextureTest, ACubemapFaceThatCannotBeLoadedIsWhiteAndReported) {
    LogCapture capture;
    auto builder = Texture::create();
    for (int side = 0; side < 6; side++) {
        const std::string file = side == 2 ? "missing.png" : "rgb8-64x64.png";
        builder.withFileCubemap(pngDir + file, static_cast<Texture::TextureCubemapSide>(side));
    }
    auto cube = builder.build();
    EXPECT_TRUE(cube->loadFailed());
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].message,
              "Cannot read texture from " + pngDir + "missing.png: No such file or directory");
    const auto face = readTexels(*cube, GL_TEXTURE_CUBE_MAP_POSITIVE_Y);
    EXPECT_EQ(face, std::vector<unsigned char>(face.size(), 255));
    expectPixels(*cube, rgbPixel, false, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z);
}

TEST_F(TextureTest, CubemapFacesMustBeSquare) {
    LogCapture capture;
    auto cube = Texture::create()
                    .withFileCubemap(pngDir + "rgb8.png", Texture::TextureCubemapSide::PositiveX)
                    .build();
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].message, "Cube map faces must be square (was 6 x 5 )");
}

TEST_F(TextureTest, BuildErrorsAreFatal) {
    {
        LogCapture capture;
        EXPECT_FALSE(Texture::create().build());
        ASSERT_EQ(capture.records.size(), 1u);
        EXPECT_EQ(capture.records[0].type, LogType::Fatal);
        EXPECT_EQ(capture.records[0].message, "Texture contain no data");
        EXPECT_EQ(capture.records[0].function, "build");
        EXPECT_EQ(capture.records[0].file, "src/orka/Texture");
    }
    {
        LogCapture capture;
        auto builder = Texture::create();
        builder.withWhiteData(2, 2);
        EXPECT_TRUE(builder.build());
        EXPECT_FALSE(builder.build());
        ASSERT_EQ(capture.records.size(), 1u);
        EXPECT_EQ(capture.records[0].type, LogType::Fatal);
        EXPECT_EQ(capture.records[0].message, "Texture is already build");
    }
    {
        LogCapture capture;
        auto builder = Texture::create();
        builder.withRGBData(nullptr, -1, 4).withWhiteData(3, 0);
        ASSERT_EQ(capture.records.size(), 2u);
        EXPECT_EQ(capture.records[0].message, "Invalid texture size -1 x 4");
        EXPECT_EQ(capture.records[1].message, "Invalid texture size 3 x 0");
        // Unusable data is a failed load, not a fatal build: the placeholder is built.
        const auto texture = builder.build();
        ASSERT_TRUE(texture);
        EXPECT_TRUE(texture->loadFailed());
        EXPECT_EQ(capture.records.size(), 2u);
    }
    // With the default handler a fatal record is an exception.
    testing::internal::CaptureStdout();
    EXPECT_THROW(Texture::create().build(), std::runtime_error);
    testing::internal::GetCapturedStdout();
}

TEST_F(TextureTest, StatisticsAndRegistryFollowTextureLifetime) {
    Renderer& renderer = test::testRenderer();
    const RenderStats before = renderer.renderStats;
    auto texture = Texture::create().withWhiteData(8, 4).build();
    const GLuint id = GpuTestAccess::textureId(*texture);
    RenderStats stats = renderer.renderStats;
    EXPECT_EQ(stats.textureCount, before.textureCount + 1);
    EXPECT_EQ(stats.textureBytes, before.textureBytes + 128);
    EXPECT_EQ(stats.textureBytesAllocated, before.textureBytesAllocated + 128);
    EXPECT_EQ(std::count(resourcesOf(renderer).textures.begin(),
                         resourcesOf(renderer).textures.end(), texture.get()),
              1);
    EXPECT_TRUE(glIsTexture(id));

    Texture* raw = texture.get();
    texture.reset();
    stats = renderer.renderStats;
    EXPECT_EQ(stats.textureCount, before.textureCount);
    EXPECT_EQ(stats.textureBytes, before.textureBytes);
    EXPECT_EQ(stats.textureBytesDeallocated, before.textureBytesDeallocated + 128);
    EXPECT_EQ(std::count(resourcesOf(renderer).textures.begin(),
                         resourcesOf(renderer).textures.end(), raw),
              0);
    EXPECT_FALSE(glIsTexture(id));
}

// The window shows what it is given in linear light as sRGB. A PNG holds sRGB bytes; the same
// bytes given as sRGB must draw alike, given as linear they draw lighter.
TEST_F(TextureTest, BytesGivenAsSrgbDrawAsThePngHoldingThemDoes) {
    game::test::ScratchFolder folder;
    // 2 x 2, rows from the top in the file: brown, grey; then dark blue, translucent orange.
    const std::vector<std::uint8_t> topDown = {107, 74, 43, 255, 128, 128, 128, 255,
                                               20,  30, 90, 255, 250, 140, 30,  128};
    ASSERT_TRUE(Image(2, 2, topDown).savePng("colours.png"));
    // The builder takes rows from the bottom.
    std::vector<char> bottomUp(topDown.begin() + 8, topDown.end());
    bottomUp.insert(bottomUp.end(), topDown.begin(), topDown.begin() + 8);

    auto fromFile = Texture::create().withFilterSampling(false).withFile("colours.png").build();
    auto srgb = Texture::create()
                    .withFilterSampling(false)
                    .withRGBAData(bottomUp.data(), 2, 2, Texture::ByteEncoding::Srgb)
                    .build();
    auto linear =
        Texture::create().withFilterSampling(false).withRGBAData(bottomUp.data(), 2, 2).build();
    Camera camera;
    camera.setWindowCoordinates();
    // Each texture drawn 16 times enlarged over a black window; the four texels' middles.
    auto drawn = [&](Texture& texture) {
        Sprite sprite(texture);
        sprite.setScale({16.0f, 16.0f});
        sprite.setPosition({100.0f, 100.0f});
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(SpriteBatch::create().addSprite(sprite).build());
        std::vector<glm::ivec4> bytes;
        for (const glm::uvec2 at : {glm::uvec2(108, 124), glm::uvec2(124, 124),
                                    glm::uvec2(108, 108), glm::uvec2(124, 108)}) {
            bytes.emplace_back(glm::round(pass.readPixels(at.x, at.y, 1, 1).at(0) * 255.0f));
        }
        return bytes;
    };
    const auto png = drawn(*fromFile);
    EXPECT_EQ(png[0], glm::ivec4(107, 74, 43, 255)) << "a PNG draws its own bytes";
    EXPECT_EQ(png[1], glm::ivec4(128, 128, 128, 255));
    EXPECT_EQ(drawn(*srgb), png);
    const auto lighter = drawn(*linear);
    EXPECT_EQ(lighter[1], glm::ivec4(188, 188, 188, 255));
    EXPECT_GT(lighter[0].r, 160);
}

}  // namespace
}  // namespace orka
