#include "orka/Font.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <unordered_map>

#include "orka/FileBytes.hpp"
#include "orka/GlyphPage.hpp"
#include "orka/Log.hpp"
#include "orka/Renderer.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr float fixedPointScale = 1.0f / 64.0f;  // FreeType's 26.6 pixel units
constexpr char32_t replacementCharacter = 0xFFFD;
constexpr char32_t asciiCount = 128;
constexpr char32_t firstPrintable = 0x20;
// A glyph's bitmap larger than this many ems is a broken outline: not rasterised.
constexpr int largestGlyphEms = 4;
// Pages hold about a dozen rows of glyphs; powers of two between these sides.
constexpr int pageGlyphRows = 12;
constexpr int smallestPageSide = 256;
constexpr int largestPageSide = 4096;

int pageSideFor(int pixelSize) {
    int side = smallestPageSide;
    while (side < pixelSize * pageGlyphRows && side < largestPageSide) side *= 2;
    return side;
}

// The number of continuation bytes after `lead` and the bits it gives, or -1 for a byte that
// cannot start a sequence.
int continuationBytes(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 0;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1Fu;
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0Fu;
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07u;
        return 3;
    }
    return -1;
}

}  // namespace

struct Font::Impl {
    ~Impl() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }

    bool open(int size);
    Glyph loadGlyph(char32_t codepoint) const;
    void place(Glyph& glyph);
    GlyphPage* newPage();

    std::string name;
    int pixelSize = 0;
    Filter filter = Filter::Nearest;
    // FreeType reads the face from these bytes as long as it lives.
    std::vector<unsigned char> bytes;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    float lineHeight = 0.0f;
    float ascent = 0.0f;
    bool hasKerning = false;
    // Glyphs by code point: ASCII in a table (most text), the rest in a map whose nodes, and
    // so the references handed out, stay where they are.
    std::array<Glyph, asciiCount> ascii{};
    std::array<bool, asciiCount> asciiLoaded{};
    std::unordered_map<char32_t, Glyph> others;
    // Kerning of ASCII pairs, [left * 128 + right], NaN until asked for.
    std::vector<float> asciiKerning;
    std::vector<std::unique_ptr<GlyphPage>> pages;
    std::vector<std::shared_ptr<Texture>> pageTextures;
};

bool Font::Impl::open(int size) {
    pixelSize = size;
    if (FT_Init_FreeType(&library) != 0) {
        ORKA_LOG_ERROR("Cannot load font '%s': FreeType does not start", name.c_str());
        return false;
    }
    const FT_Error opened =
        FT_New_Memory_Face(library, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &face);
    if (opened != 0) {
        ORKA_LOG_ERROR(
            "Cannot load font '%s': not a font file FreeType reads, or a broken one "
            "(FreeType error %d)",
            name.c_str(), opened);
        face = nullptr;
        return false;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) {
        ORKA_LOG_ERROR("Cannot load font '%s': it has no size of %d pixels", name.c_str(), size);
        return false;
    }
    // Broken metrics fall back to the usual proportions of a font.
    const FT_Size_Metrics& metrics = face->size->metrics;
    lineHeight = static_cast<float>(metrics.height) * fixedPointScale;
    ascent = static_cast<float>(metrics.ascender) * fixedPointScale;
    if (!(lineHeight > 0.0f && lineHeight < size * largestGlyphEms)) {
        lineHeight = std::ceil(static_cast<float>(size) * 1.2f);
    }
    if (!(ascent > 0.0f && ascent <= lineHeight)) ascent = static_cast<float>(size);
    hasKerning = FT_HAS_KERNING(face);
    if (hasKerning) {
        asciiKerning.assign(asciiCount * asciiCount, std::numeric_limits<float>::quiet_NaN());
    }
    return true;
}

Font::Glyph Font::Impl::loadGlyph(char32_t codepoint) const {
    Glyph glyph;
    glyph.index = FT_Get_Char_Index(face, codepoint);
    // Outlines only: embedded bitmaps may be one bit per pixel or in colour.
    if (FT_Load_Glyph(face, glyph.index, FT_LOAD_NO_BITMAP) != 0) return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<float>(slot->advance.x) * fixedPointScale;
    if (!(std::abs(glyph.advance) < static_cast<float>(pixelSize * largestGlyphEms))) {
        glyph.advance = 0.0f;
    }
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return glyph;
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    const FT_Pos largest = static_cast<FT_Pos>(pixelSize) * largestGlyphEms * 64;
    if (box.xMax - box.xMin > largest || box.yMax - box.yMin > largest) return glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < 0) return glyph;
    glyph.size = {static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows)};
    glyph.bearing = {slot->bitmap_left, slot->bitmap_top - static_cast<int>(bitmap.rows)};
    return glyph;
}

GlyphPage* Font::Impl::newPage() {
    const std::string pageName = name + " page " + std::to_string(pages.size());
    auto page =
        std::make_unique<GlyphPage>(pageSideFor(pixelSize), pageName, filter == Filter::Linear);
    if (page->getTexture() == nullptr) return nullptr;
    pageTextures.push_back(page->getTexture());
    pages.push_back(std::move(page));
    return pages.back().get();
}

void Font::Impl::place(Glyph& glyph) {
    glyph.placed = true;
    if (glyph.size.x <= 0 || glyph.size.y <= 0 || Renderer::instance == nullptr) return;
    // Only the last page has room: the ones before it filled up.
    GlyphPage* page = pages.empty() ? newPage() : pages.back().get();
    if (page == nullptr) return;
    std::optional<glm::ivec2> at = page->allocate(glyph.size);
    if (!at) {
        page = newPage();
        if (page == nullptr) return;
        at = page->allocate(glyph.size);
        if (!at) {
            ORKA_LOG_WARNING("Font '%s': a glyph of %d x %d pixels fits no page; not drawn",
                             name.c_str(), glyph.size.x, glyph.size.y);
            return;
        }
    }
    // Rendered again: the metrics pass kept no bitmap.
    if (FT_Load_Glyph(face, glyph.index, FT_LOAD_NO_BITMAP) != 0) return;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (static_cast<int>(bitmap.width) != glyph.size.x ||
        static_cast<int>(bitmap.rows) != glyph.size.y) {
        return;
    }
    page->write(*at, glyph.size, bitmap.buffer, bitmap.pitch);
    glyph.page = page->getTexture().get();
    glyph.pagePos = *at;
}

Font::Font(std::unique_ptr<Impl> impl) : impl(std::move(impl)) {}

Font::~Font() = default;

std::shared_ptr<Font> Font::load(const std::string& path, int pixelSize, Filter filter) {
    const FileBytes file = readFileBytes(path);
    if (!file.ok) {
        ORKA_LOG_ERROR("Cannot load font '%s': the file cannot be read (%s)", path.c_str(),
                       file.reason.c_str());
        return {};
    }
    return loadFromMemory(file.bytes.data(), file.bytes.size(), pixelSize, path, filter);
}

std::shared_ptr<Font> Font::loadFromMemory(const void* bytes, std::size_t size, int pixelSize,
                                           const std::string& name, Filter filter) {
    if (pixelSize < 1 || pixelSize > maxPixelSize) {
        ORKA_LOG_ERROR("Cannot load font '%s': a size of %d pixels is not within 1 to %d",
                       name.c_str(), pixelSize, maxPixelSize);
        return {};
    }
    if (bytes == nullptr || size == 0) {
        ORKA_LOG_ERROR("Cannot load font '%s': the file is empty", name.c_str());
        return {};
    }
    auto impl = std::make_unique<Impl>();
    impl->name = name;
    impl->filter = filter;
    const auto* first = static_cast<const unsigned char*>(bytes);
    impl->bytes.assign(first, first + size);
    if (!impl->open(pixelSize)) return {};
    return std::shared_ptr<Font>(new Font(std::move(impl)));
}

const std::string& Font::getName() const {
    return impl->name;
}

int Font::getPixelSize() const {
    return impl->pixelSize;
}

float Font::getLineHeight() const {
    return impl->lineHeight;
}

float Font::getAscent() const {
    return impl->ascent;
}

const Font::Glyph& Font::getGlyph(char32_t codepoint) const {
    return cachedGlyph(codepoint);
}

Font::Glyph& Font::cachedGlyph(char32_t codepoint) const {
    if (codepoint < asciiCount) {
        if (!impl->asciiLoaded[codepoint]) {
            impl->ascii[codepoint] = impl->loadGlyph(codepoint);
            impl->asciiLoaded[codepoint] = true;
        }
        return impl->ascii[codepoint];
    }
    auto found = impl->others.find(codepoint);
    if (found == impl->others.end()) {
        found = impl->others.emplace(codepoint, impl->loadGlyph(codepoint)).first;
    }
    return found->second;
}

const Font::Glyph& Font::getGlyphOnPage(char32_t codepoint) {
    Glyph& glyph = cachedGlyph(codepoint);
    if (!glyph.placed) impl->place(glyph);
    return glyph;
}

float Font::getKerning(const Glyph& left, const Glyph& right) const {
    if (!impl->hasKerning) return 0.0f;
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(impl->face, left.index, right.index, FT_KERNING_DEFAULT, &delta) != 0) {
        return 0.0f;
    }
    const float pixels = static_cast<float>(delta.x) * fixedPointScale;
    return std::abs(pixels) < static_cast<float>(impl->pixelSize) ? pixels : 0.0f;
}

float Font::kerningBetween(char32_t left, const Glyph& leftGlyph, char32_t right,
                           const Glyph& rightGlyph) const {
    if (!impl->hasKerning) return 0.0f;
    if (left >= asciiCount || right >= asciiCount) return getKerning(leftGlyph, rightGlyph);
    float& cached = impl->asciiKerning[left * asciiCount + right];
    if (std::isnan(cached)) cached = getKerning(leftGlyph, rightGlyph);
    return cached;
}

const std::vector<std::shared_ptr<Texture>>& Font::getPages() const {
    return impl->pageTextures;
}

float Font::measureLine(std::string_view utf8) const {
    float width = 0.0f;
    char32_t previous = 0;
    const Glyph* previousGlyph = nullptr;
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t codepoint = decodeUtf8(utf8, at);
        if (codepoint == '\n') break;
        if (codepoint < firstPrintable) continue;
        const Glyph& glyph = getGlyph(codepoint);
        if (previousGlyph != nullptr)
            width += kerningBetween(previous, *previousGlyph, codepoint, glyph);
        width += glyph.advance;
        previous = codepoint;
        previousGlyph = &glyph;
    }
    return width;
}

glm::vec2 Font::measure(std::string_view utf8) const {
    float width = 0.0f;
    int lines = 1;
    std::size_t lineStart = 0;
    while (true) {
        width = std::max(width, measureLine(utf8.substr(lineStart)));
        const std::size_t end = utf8.find('\n', lineStart);
        if (end == std::string_view::npos) break;
        lineStart = end + 1;
        ++lines;
    }
    return {width, static_cast<float>(lines) * impl->lineHeight};
}

char32_t Font::decodeUtf8(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    char32_t codepoint = 0;
    const int more = continuationBytes(lead, codepoint);
    if (more < 0) return replacementCharacter;
    for (int i = 0; i < more; i++) {
        // A sequence cut short ends before the byte that is not its continuation.
        if (at >= utf8.size()) return replacementCharacter;
        const auto next = static_cast<unsigned char>(utf8[at]);
        if ((next & 0xC0u) != 0x80u) return replacementCharacter;
        codepoint = (codepoint << 6) | (next & 0x3Fu);
        ++at;
    }
    // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
    const bool overlong = (more == 2 && codepoint < 0x800) || (more == 3 && codepoint < 0x10000);
    const bool surrogate = codepoint >= 0xD800 && codepoint <= 0xDFFF;
    if (overlong || surrogate || codepoint > 0x10FFFF) return replacementCharacter;
    return codepoint;
}

}  // namespace orka
