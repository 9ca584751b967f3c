// Fuzzes font loading and text layout: each input is the bytes of a font file, loaded by
// Font::loadFromMemory at a size the input picks, then measured and laid out glyph by glyph
// (metrics, kerning, rasterising in memory) as text drawing does, minus the upload to glyph
// pages, so no window or context is needed.
//
// The seed (fuzz/corpus/font/) is a few-kilobyte cut of the bundled DejaVu Sans, written by
// fuzz/make_font_seed.py.
//
//   build-fuzz/fuzz/font_fuzzer [libFuzzer options] CORPUS_DIR...
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.hpp"
#include "orka/Font.hpp"

namespace {

// Pixel sizes from the input's length: small ones, as text is drawn, and one large.
constexpr int pixelSizes[] = {1, 9, 16, 33, 160};
// ASCII with a line break, a character outside the font, a replacement and invalid UTF-8.
const char* const sample = "Score 000123 | x=  12 y= 345\nAV To.\xE2\x82\xAC\xEF\xBF\xBD\xFF\xC3";

void checkLayout(const orka::Font& font) {
    using orka::fuzz::require;
    const glm::vec2 size = font.measure(sample);
    require(std::isfinite(size.x) && std::isfinite(size.y), "a measure is not finite");
    require(size.y == 2 * font.getLineHeight(), "two lines are not two line heights high");
    require(font.getLineHeight() > 0.0f && font.getAscent() > 0.0f, "no line height");
    const std::string_view text(sample);
    const orka::Font::Glyph* previous = nullptr;
    for (std::size_t at = 0; at < text.size();) {
        const orka::Font::Glyph& glyph = font.getGlyph(orka::Font::decodeUtf8(text, at));
        require(glyph.size.x >= 0 && glyph.size.y >= 0, "a glyph has a negative size");
        require(!glyph.placed, "a glyph is placed without a renderer");
        if (previous != nullptr) {
            require(std::isfinite(font.getKerning(*previous, glyph)), "kerning is not finite");
        }
        previous = &glyph;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    orka::fuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int pixelSize = pixelSizes[size % (sizeof pixelSizes / sizeof pixelSizes[0])];
    const auto font = orka::Font::loadFromMemory(data, size, pixelSize, "fuzz input");
    if (font != nullptr) checkLayout(*font);
    return 0;
}
