#include "orka/Font.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "orka/LogCapture.hpp"
#include "support/ScratchFolder.hpp"

namespace orka {
namespace {

const std::string bundledFont =
    std::string(ORKA_TEST_DATA_DIR) + "/../../data/fonts/DejaVuSans.ttf";

std::vector<char> fontBytes() {
    std::ifstream file(bundledFont, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(Font, BadFilesAreLoggedByNameAndGiveNoFont) {
    game::test::ScratchFolder folder;
    const std::vector<char> whole = fontBytes();
    ASSERT_GT(whole.size(), 10000u);
    folder.Write("notes.ttf", "These are not the glyphs you are looking for.\n");
    folder.Write("cut.ttf", std::string(whole.data(), 2000));
    folder.Write("empty.ttf", "");
    struct Case {
        std::string file;
        int pixelSize;
        std::string reason;
    };
    const Case cases[] = {
        {"missing.ttf", 16, "cannot be read"}, {"notes.ttf", 16, "not a font file"},
        {"cut.ttf", 16, "not a font file"},    {"empty.ttf", 16, "empty"},
        {"cut.ttf", 0, "not within 1 to"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " at " + std::to_string(c.pixelSize));
        test::LogCapture log;
        const std::string path = (folder.path / c.file).string();
        EXPECT_EQ(Font::load(path, c.pixelSize), nullptr);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].type, LogType::Error);
        EXPECT_NE(log.records[0].message.find(path), std::string::npos) << log.records[0].message;
        EXPECT_NE(log.records[0].message.find(c.reason), std::string::npos)
            << log.records[0].message;
    }
}

TEST(Font, TheBundledFontHasItsMetricsAtTheSizeAsked) {
    for (const int size : {8, 16, 40}) {
        const auto font = Font::load(bundledFont, size);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->getPixelSize(), size);
        // DejaVu Sans: ascender 0.93 em, line 1.16 em.
        EXPECT_NEAR(font->getAscent(), 0.93f * size, 1.0f);
        EXPECT_NEAR(font->getLineHeight(), 1.16f * size, 1.0f);
        // Digits share one advance, so a changing score keeps its width.
        EXPECT_EQ(font->measure("000123").x, font->measure("987654").x);
    }
}

TEST(Font, MeasureTakesTheWidestLineAndCountsLines) {
    const auto font = Font::load(bundledFont, 16);
    ASSERT_NE(font, nullptr);
    const float line = font->getLineHeight();
    const float wide = font->measure("Wide line").x;
    EXPECT_GT(wide, font->measure("Wide").x);
    EXPECT_EQ(font->measure("Wide line"), glm::vec2(wide, line));
    EXPECT_EQ(font->measure("ab\nWide line\nc"), glm::vec2(wide, 3 * line));
    EXPECT_EQ(font->measure(""), glm::vec2(0.0f, line));
    EXPECT_EQ(font->measure("\n"), glm::vec2(0.0f, 2 * line));
    // A space has an advance and no bitmap; control characters take no room.
    EXPECT_GT(font->measure(" ").x, 0.0f);
    EXPECT_EQ(font->getGlyph(' ').size, glm::ivec2(0, 0));
    EXPECT_EQ(font->measure("a\tb\rc").x, font->measure("abc").x);
}

TEST(Font, KerningBringsPairsTogetherWhereTheFontSaysSo) {
    const auto font = Font::load(bundledFont, 32);
    ASSERT_NE(font, nullptr);
    const float apart = font->measure("A").x + font->measure("V").x;
    EXPECT_LT(font->measure("AV").x, apart) << "DejaVu Sans kerns A and V";
    EXPECT_LT(font->getKerning(font->getGlyph('A'), font->getGlyph('V')), 0.0f);
    EXPECT_EQ(font->measure("AV").x, font->measure("AV").x) << "the cached pair is the same";
    EXPECT_EQ(font->getKerning(font->getGlyph('0'), font->getGlyph('1')), 0.0f);
}

TEST(Font, Utf8DecodesValidSequencesAndReplacesInvalidOnes) {
    constexpr char32_t bad = 0xFFFD;
    struct Case {
        const char* bytes;
        std::vector<char32_t> decoded;
    };
    const Case cases[] = {
        {"Az", {'A', 'z'}},
        {"\xC3\xA9", {0xE9}},             // é
        {"\xE2\x82\xAC", {0x20AC}},       // €
        {"\xF0\x9F\x99\x82", {0x1F642}},  // four bytes
        {"\xFF"
         "a",
         {bad, 'a'}},  // no lead byte
        {"\x80"
         "a",
         {bad, 'a'}},  // a lone continuation
        {"\xC3"
         "a",
         {bad, 'a'}},                 // cut short before an ASCII byte
        {"\xE2\x82", {bad}},          // cut short by the end
        {"\xC0\xAF", {bad, bad}},     // overlong two-byte form
        {"\xE0\x80\xAF", {bad}},      // overlong three-byte form
        {"\xED\xA0\x80", {bad}},      // a surrogate
        {"\xF4\x90\x80\x80", {bad}},  // past U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::string_view text(c.bytes);
        std::vector<char32_t> decoded;
        for (size_t at = 0; at < text.size();) decoded.push_back(Font::decodeUtf8(text, at));
        EXPECT_EQ(decoded, c.decoded);
    }
}

TEST(Font, InvalidUtf8MeasuresAsTheReplacementCharacter) {
    const auto font = Font::load(bundledFont, 16);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->measure("a\xFF"
                            "b")
                  .x,
              font->measure("a\xEF\xBF\xBD"
                            "b")
                  .x);
    EXPECT_GT(font->getGlyph(0xFFFD).index, 0u) << "DejaVu Sans has U+FFFD";
    // A character the font lacks takes its missing glyph, not nothing.
    EXPECT_EQ(font->getGlyph(0x10FFFD).index, 0u);
    EXPECT_GT(font->getGlyph(0x10FFFD).advance, 0.0f);
}

TEST(Font, LoadsFromMemoryAsFromTheFile) {
    const std::vector<char> bytes = fontBytes();
    const auto fromMemory = Font::loadFromMemory(bytes.data(), bytes.size(), 16, "in memory");
    const auto fromFile = Font::load(bundledFont, 16);
    ASSERT_NE(fromMemory, nullptr);
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromMemory->getName(), "in memory");
    EXPECT_EQ(fromMemory->measure("Score 000123 | x=  12 y= 345"),
              fromFile->measure("Score 000123 | x=  12 y= 345"));
}

}  // namespace
}  // namespace orka
