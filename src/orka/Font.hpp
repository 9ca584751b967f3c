#pragma once

#include <cstddef>
#include <cstdint>
#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orka {

class Texture;

/// A TrueType or OpenType font at one pixel size, rasterised on demand into glyph pages:
/// textures of white texels whose alpha is the glyph's coverage (linear), so a text's colour is
/// its sprites' tint. Made only by load() or loadFromMemory(); always owned by a
/// std::shared_ptr (Text and sprite batch builders share it).
///
/// Glyph metrics are read the first time a character is measured and cached; the glyph's
/// bitmap goes onto a page the first time it is drawn (getGlyphOnPage, which needs the
/// renderer). A full page is never resized: the next glyphs go onto a new page, so the places
/// of glyphs already handed out never change and batches built from them (which hold the pages
/// through their materials) stay valid. Pages live as long as the font.
///
/// Units: pixels of the font's pixel size, y up from the baseline (a text drawn at scale 1
/// with a pixel camera has one texel per window pixel). Strings are UTF-8: an invalid sequence
/// counts as U+FFFD (the replacement character); a character the font lacks shows its missing
/// glyph (usually a box); '\n' starts a line; other control characters are skipped.
class Font {
public:
    /// A glyph's metrics and, once placed, where its bitmap lies on a page.
    struct Glyph {
        /// Pixels from this glyph's pen position to the next (kerning not included).
        float advance = 0.0f;
        /// From the pen position on the baseline to the bitmap's lower-left corner, pixels.
        glm::ivec2 bearing{0, 0};
        /// The bitmap's size in pixels; zero for a blank such as the space.
        glm::ivec2 size{0, 0};
        /// The glyph's index in the font, 0 for the missing glyph.
        std::uint32_t index = 0;
        /// The page holding the bitmap (owned by the font), or null until it is placed (and
        /// for blanks, or a bitmap no page can hold).
        Texture* page = nullptr;
        /// The bitmap's lower-left corner on the page, texels from the bottom-left.
        glm::ivec2 pagePos{0, 0};
        /// True once getGlyphOnPage has rasterised the bitmap onto a page (or found it blank).
        bool placed = false;
    };

    /// How glyph pages are sampled.
    enum class Filter {
        /// The nearest texel: exact for text drawn at its pixel size (scale 1, the usual case),
        /// and the cheapest to draw; blocky when scaled.
        Nearest,
        /// Linear filtering: smooth for scaled or moving text; the same at scale 1 on whole
        /// pixels, at more cost per pixel.
        Linear
    };

    /// The font file at `path` rendered at `pixelSize` pixels per em (1 to maxPixelSize), its
    /// pages sampled with `filter`. A missing, unreadable or broken file, or a size out of
    /// range, is an error logged through Log naming the file, and gives an empty pointer.
    static std::shared_ptr<Font> load(const std::string& path, int pixelSize,
                                      Filter filter = Filter::Nearest);
    /// As load(), from the bytes of a font file (copied); `name` stands for the file in log
    /// messages and getName().
    static std::shared_ptr<Font> loadFromMemory(const void* bytes, std::size_t size, int pixelSize,
                                                const std::string& name,
                                                Filter filter = Filter::Nearest);

    /// The largest pixel size load() takes.
    static constexpr int maxPixelSize = 1024;

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    /// The file name (or the name given to loadFromMemory).
    const std::string& getName() const;
    /// The size asked for, pixels per em.
    int getPixelSize() const;
    /// Pixels from one line's baseline to the next.
    float getLineHeight() const;
    /// Pixels from the baseline up to the top of the line's box (the font's ascender).
    float getAscent() const;

    /// The size of the text's box in pixels: the widest line's advance (kerning included) and
    /// the number of lines times getLineHeight(). An empty string is (0, lineHeight).
    glm::vec2 measure(std::string_view utf8) const;
    /// The advance of one line (the text up to its first '\n'), kerning included, pixels.
    float measureLine(std::string_view utf8) const;

    /// The glyph's metrics (cached: the reference stays valid as long as the font). Needs no
    /// renderer.
    const Glyph& getGlyph(char32_t codepoint) const;
    /// The glyph with its bitmap on a page, rasterised and uploaded on first use. Needs the
    /// renderer; without one the glyph stays unplaced and is not drawn.
    const Glyph& getGlyphOnPage(char32_t codepoint);
    /// Pixels to add to the advance between two neighbouring glyphs (negative brings them
    /// closer); 0 when the font has no kerning.
    float getKerning(const Glyph& left, const Glyph& right) const;

    /// The glyph pages made so far, in order (owned by the font).
    const std::vector<std::shared_ptr<Texture>>& getPages() const;

    /// The next code point of `utf8` from byte `at`, moving `at` past it. Malformed, overlong,
    /// surrogate or out-of-range sequences give U+FFFD; at least one byte is always consumed.
    static char32_t decodeUtf8(std::string_view utf8, std::size_t& at);

private:
    struct Impl;
    explicit Font(std::unique_ptr<Impl> impl);
    /// The cache's entry for the code point, loaded on first use.
    Glyph& cachedGlyph(char32_t codepoint) const;
    /// getKerning with the code points too: ASCII pairs are looked up once.
    float kerningBetween(char32_t left, const Glyph& leftGlyph, char32_t right,
                         const Glyph& rightGlyph) const;

    friend class Text;

    std::unique_ptr<Impl> impl;
};

}  // namespace orka
