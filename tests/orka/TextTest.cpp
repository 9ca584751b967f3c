#include "orka/Text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orka/Font.hpp"
#include "orka/GpuTestAccess.hpp"
#include "orka/LogCapture.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"
#include "orka/Texture.hpp"

namespace orka {
namespace {

const std::string bundledFont =
    std::string(ORKA_TEST_DATA_DIR) + "/../../data/fonts/DejaVuSans.ttf";

// Texts drawn over black into the window under a pixel camera; the lower-left 256 x 256 pixels
// are read back as the text's coverage (the red channel, 0 to 1, sRGB-encoded as the window
// holds it: only 0 and 1 are exact).
class TextPixels : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        camera.setWindowCoordinates();
        font = Font::load(bundledFont, 16);
        ASSERT_NE(font, nullptr);
    }
    Text text(const std::string& string, glm::vec2 at) const { return Text(font, string, at); }
    void draw(const std::vector<Text>& texts) {
        auto builder = SpriteBatch::create();
        for (const Text& t : texts) builder.addText(t);
        draw(builder.build());
    }
    void draw(const std::shared_ptr<SpriteBatch>& batch) {
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(batch);
        pixels = pass.readPixels(0, 0, size, size);
    }
    float at(int x, int y) const { return pixels.at(static_cast<size_t>(y) * size + x).r; }
    bool lit(int x, int y) const { return at(x, y) > 0.0f; }
    // The smallest box around the lit pixels: left, bottom, right, top (inclusive).
    glm::ivec4 litBox() const {
        glm::ivec4 box(size, size, -1, -1);
        for (int y = 0; y < static_cast<int>(size); y++) {
            for (int x = 0; x < static_cast<int>(size); x++) {
                if (!lit(x, y)) continue;
                box = {std::min(box.x, x), std::min(box.y, y), std::max(box.z, x),
                       std::max(box.w, y)};
            }
        }
        return box;
    }

    static constexpr unsigned int size = 256;
    Camera camera;
    std::shared_ptr<Font> font;
    std::vector<glm::vec4> pixels;
};

TEST_F(TextPixels, AGlyphLandsOnItsPixelsCrispAtScaleOne) {
    const glm::vec2 topLeft(40.0f, 200.0f);
    const int baseline = 200 - static_cast<int>(font->getAscent());
    draw({text("T", topLeft)});
    const Font::Glyph& t = font->getGlyph('T');
    // The bitmap, texel for pixel, from the pen on the baseline.
    EXPECT_EQ(litBox(),
              glm::ivec4(40 + t.bearing.x, baseline + t.bearing.y, 40 + t.bearing.x + t.size.x - 1,
                         baseline + t.bearing.y + t.size.y - 1));
    // The cap height of DejaVu Sans at 16 pixels is 12 pixels from the baseline.
    EXPECT_EQ(litBox().w, baseline + 11);
    // The top bar's row is fully covered across: hinting put it on whole pixels, and texel
    // for pixel sampling kept it so (a half-texel shift would halve it into two rows).
    const glm::ivec4 box = litBox();
    for (int x = box.x + 1; x < box.z; x++) EXPECT_EQ(at(x, box.w), 1.0f) << "bar, column " << x;

    // A position off the pixel grid draws the same pixels as the nearest whole one.
    const std::vector<glm::vec4> whole = pixels;
    draw({text("T", topLeft + glm::vec2(0.3f, -0.4f))});
    EXPECT_TRUE(pixels == whole);
}

TEST_F(TextPixels, AlignmentPlacesEachLineAsMeasured) {
    const std::string word = "Hello";
    const float width = font->measure(word).x;
    struct Case {
        Text::Alignment alignment;
        float left;  // where the measured box starts for a text at x = 128
    };
    const Case cases[] = {{Text::Alignment::Left, 128.0f},
                          {Text::Alignment::Centre, 128.0f - width / 2},
                          {Text::Alignment::Right, 128.0f - width}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.alignment));
        Text hello = text(word, {128.0f, 150.0f});
        hello.setAlignment(c.alignment);
        draw({hello});
        const glm::ivec4 box = litBox();
        // The ink lies inside the measured advance, a bearing's width from either end.
        EXPECT_GE(box.x, std::floor(c.left));
        EXPECT_LE(box.x, c.left + 3);
        EXPECT_LE(box.z + 1, std::ceil(c.left + width));
        EXPECT_GE(box.z + 1, c.left + width - 3);
    }
}

TEST_F(TextPixels, ALineBreakMovesTheNextLineDownOneLineHeight) {
    const int lineHeight = static_cast<int>(font->getLineHeight());
    draw({text("W", {20.0f, 230.0f})});
    const std::vector<glm::vec4> oneLine = pixels;
    const glm::ivec4 first = litBox();
    draw({text("W\nW", {20.0f, 230.0f})});
    const glm::ivec4 both = litBox();
    EXPECT_EQ(both, glm::ivec4(first.x, first.y - lineHeight, first.z, first.w));
    for (int y = first.y; y <= first.w; y++) {
        for (int x = first.x; x <= first.z; x++) {
            ASSERT_EQ(at(x, y - lineHeight), oneLine.at(static_cast<size_t>(y) * size + x).r)
                << x << ", " << y;
        }
    }
}

TEST_F(TextPixels, ColourScaleAndOrderComeFromTheText) {
    Text red = text("I", {30.0f, 100.0f});
    red.setColor({1.0f, 0.0f, 0.0f, 1.0f});
    red.setScale({3.0f, 3.0f});
    Text green = text("I", {30.0f, 100.0f});
    green.setColor({0.0f, 1.0f, 0.0f, 1.0f});
    green.setScale({3.0f, 3.0f});
    green.setOrderInBatch(-1);  // added last, drawn first: under the red
    draw({red, green});
    const glm::ivec4 box = litBox();
    const Font::Glyph& i = font->getGlyph('I');
    EXPECT_NEAR(box.w - box.y + 1, 3 * i.size.y, 2) << "three times as tall";
    const glm::vec4 middle = pixels.at(static_cast<size_t>((box.y + box.w) / 2) * size +
                                       static_cast<size_t>((box.x + box.z) / 2));
    EXPECT_EQ(middle, glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));
}

TEST_F(TextPixels, TextsAndSpritesOfAFrameTakeADrawCallPerPageRun) {
    auto builder = SpriteBatch::create();
    const std::shared_ptr<Texture> white = Texture::getWhiteTexture();
    for (int i = 0; i < 40; i++) {
        Sprite sprite(*white);
        sprite.setPosition({static_cast<float>(i * 6), 10.0f});
        builder.addSprite(sprite);
        Text score = text("Score " + std::to_string(i * 137), {0.0f, 250.0f - 6.0f * i});
        score.setOrderInBatch(1);
        builder.addText(score);
    }
    auto batch = builder.build();
    const RenderStats before = test::currentStats();
    draw(batch);
    EXPECT_EQ(test::currentStats().drawCalls - before.drawCalls, 2) << "sprites, then text";
    EXPECT_GT(litBox().w, 240);
}

TEST_F(TextPixels, BatchesBuiltBeforeThePagesGrowStillDrawTheirGlyphs) {
    draw({text("Ag", {10.0f, 200.0f})});
    const std::vector<glm::vec4> before = pixels;
    auto kept = SpriteBatch::create().addText(text("Ag", {10.0f, 200.0f})).build();
    ASSERT_EQ(font->getPages().size(), 1u);
    // Latin, Greek and Cyrillic letters: more than one page of 16-pixel glyphs.
    std::string many;
    for (char32_t c = 0x100; c < 0x500; c++) {
        many += static_cast<char>(0xC0 | (c >> 6));
        many += static_cast<char>(0x80 | (c & 0x3F));
    }
    auto grown = SpriteBatch::create().addText(text(many, {0.0f, 100.0f})).build();
    EXPECT_GE(font->getPages().size(), 2u);
    draw(kept);
    EXPECT_TRUE(pixels == before);
}

TEST_F(TextPixels, InvalidUtf8AndEmptyTextsDrawWithoutFailing) {
    test::LogCapture log;
    draw({text("\xFF\xC3(\xED\xA0\x80\xF4\x90\x80\x80", {10.0f, 200.0f}), text("", {0, 0}),
          Text(nullptr, "no font")});
    EXPECT_GE(litBox().z, 10) << "replacement characters are drawn";
    EXPECT_TRUE(log.records.empty());
}

// Turned 90 degrees about its position, a line of text stands upright to the right of that
// point, its first letter lowest: it reads upward.
TEST_F(TextPixels, TextTurnedNinetyDegreesReadsUpward) {
    const glm::vec2 at(100.0f, 60.0f);
    Text upright = text("L.....", at);
    upright.setRotation(90.0f);
    draw({upright});
    int left = size, right = -1, bottom = size, top = -1;
    for (int y = 0; y < static_cast<int>(size); y++) {
        for (int x = 0; x < static_cast<int>(size); x++) {
            if (!lit(x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            bottom = std::min(bottom, y);
            top = std::max(top, y);
        }
    }
    ASSERT_GE(right, 0) << "nothing drawn";
    EXPECT_GE(left, 100);
    EXPECT_GE(bottom, 60);
    EXPECT_GT(top - bottom, 2 * (right - left)) << "taller than wide";
    // The L's stem lies along the text's baseline side; its foot is the lowest stroke: the
    // lowest lit rows belong to the L, which spans the whole line height, unlike the dots.
    int lowRowsWide = 0;
    for (int x = left; x <= right; x++) lowRowsWide += lit(x, bottom + 1) ? 1 : 0;
    EXPECT_GT(lowRowsWide, (right - left) / 2) << "the L comes first, at the bottom";
}

}  // namespace
}  // namespace orka
