#include "orka/Text.hpp"

#include <cmath>
#include <string_view>

#include "orka/Font.hpp"
#include "orka/Log.hpp"
#include "orka/Sprite.hpp"

namespace orka {

namespace {

constexpr char32_t firstPrintable = 0x20;

}  // namespace

Text::Text(std::shared_ptr<Font> font, std::string utf8, glm::vec2 position)
    : font(std::move(font)), string(std::move(utf8)), position(position) {}

void Text::setScale(const glm::vec2& newScale) {
    if (newScale.x < 0.0f || newScale.y < 0.0f) {
        ORKA_LOG_WARNING("A text's scale must not be negative (was %f, %f); 0 is used", newScale.x,
                         newScale.y);
    }
    scale = glm::max(newScale, glm::vec2(0.0f));
}

glm::vec2 Text::measure() const {
    if (font == nullptr) return {0.0f, 0.0f};
    return font->measure(string) * scale;
}

void Text::appendSprites(std::vector<Sprite>& sprites) const {
    if (font == nullptr) return;
    const size_t firstGlyph = sprites.size();
    appendUnturnedSprites(sprites);
    if (rotation == 0.0f) return;
    // Each glyph turns about its own anchor by the same angle, and its anchor about the text's.
    const float radians = glm::radians(rotation);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    for (size_t i = firstGlyph; i < sprites.size(); i++) {
        const glm::vec2 from = sprites[i].getPosition() - position;
        sprites[i].setPosition(position +
                               glm::vec2(c * from.x - s * from.y, s * from.x + c * from.y));
        sprites[i].setRotation(rotation);
    }
}

void Text::appendUnturnedSprites(std::vector<Sprite>& sprites) const {
    const bool oneToOne = scale == glm::vec2(1.0f) && rotation == 0.0f;
    const float lineStep = font->getLineHeight() * scale.y;
    const char* first = string.data();
    const char* const end = first + string.size();
    float top = position.y;
    while (true) {
        const char* last = first;
        while (last != end && *last != '\n') ++last;
        float left = position.x;
        if (alignment != Alignment::Left) {
            const float width =
                font->measureLine(std::string_view(first, static_cast<size_t>(last - first)));
            left -= width * scale.x * (alignment == Alignment::Centre ? 0.5f : 1.0f);
        }
        // Whole pixels at scale 1: glyph quads then sit texel on pixel.
        appendLine(sprites, first, last,
                   oneToOne ? glm::vec2(std::round(left), std::round(top)) : glm::vec2(left, top));
        if (last == end) break;
        first = last + 1;
        top -= lineStep;
    }
}

void Text::appendLine(std::vector<Sprite>& sprites, const char* first, const char* last,
                      glm::vec2 lineTopLeft) const {
    const std::string_view line(first, static_cast<size_t>(last - first));
    float penX = lineTopLeft.x;
    const float baseline = lineTopLeft.y - font->getAscent() * scale.y;
    char32_t previous = 0;
    const Font::Glyph* previousGlyph = nullptr;
    for (size_t at = 0; at < line.size();) {
        const char32_t codepoint = Font::decodeUtf8(line, at);
        if (codepoint < firstPrintable) continue;
        const Font::Glyph& glyph = font->getGlyphOnPage(codepoint);
        if (previousGlyph != nullptr) {
            penX += font->kerningBetween(previous, *previousGlyph, codepoint, glyph) * scale.x;
        }
        if (glyph.page != nullptr) {
            Sprite sprite(*glyph.page, glyph.pagePos, glyph.size);
            sprite.setPosition({penX + static_cast<float>(glyph.bearing.x) * scale.x,
                                baseline + static_cast<float>(glyph.bearing.y) * scale.y});
            sprite.setScale(scale);
            sprite.setColor(color);
            sprite.setOrderInBatch(orderInBatch);
            sprites.push_back(sprite);
        }
        penX += glyph.advance * scale.x;
        previous = codepoint;
        previousGlyph = &glyph;
    }
}

}  // namespace orka
