#include "orka/Sprite.hpp"

#include <cmath>
#include <utility>

#include "orka/Log.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr float degreesToRadians = 0.017453292f;

}  // namespace

Sprite::Sprite(glm::ivec2 spritePos, glm::ivec2 spriteSize, glm::vec2 spriteAnchor,
               std::shared_ptr<Texture> texture)
    : spritePos(spritePos),
      spriteSize(spriteSize),
      spriteAnchor(spriteAnchor),
      texture(std::move(texture)) {}

// Textures are only ever made owned by a std::shared_ptr (TextureBuilder::build), so the
// sprite can share that ownership.
Sprite::Sprite(Texture& texture, glm::vec2 anchor)
    : Sprite(glm::ivec2(0), glm::ivec2(texture.getWidth(), texture.getHeight()), anchor,
             texture.shared_from_this()) {}

Sprite::Sprite(Texture& texture, glm::ivec2 rectanglePos, glm::ivec2 rectangleSize,
               glm::vec2 anchor)
    : Sprite(rectanglePos, glm::max(rectangleSize, glm::ivec2(0)), anchor,
             texture.shared_from_this()) {
    if (rectangleSize.x < 0 || rectangleSize.y < 0) {
        ORKA_LOG_WARNING("Sprite of %s: a rectangle of %i x %i texels is negative; it becomes 0",
                         texture.getName().c_str(), rectangleSize.x, rectangleSize.y);
    }
}

Sprite Sprite::fromTopLeft(Texture& texture, glm::ivec2 topLeft, glm::ivec2 size,
                           glm::vec2 anchor) {
    // Image rows count down from the top; the texture's count up from the bottom.
    const glm::ivec2 lowerLeft(topLeft.x, texture.getHeight() - topLeft.y - size.y);
    return Sprite(texture, lowerLeft, size, anchor);
}

Sprite Sprite::sheetFrame(Texture& texture, glm::ivec2 frameSize, int frame, glm::vec2 anchor) {
    const int columns = frameSize.x > 0 ? texture.getWidth() / frameSize.x : 0;
    const int rows = frameSize.y > 0 ? texture.getHeight() / frameSize.y : 0;
    if (columns <= 0 || rows <= 0 || frame < 0 || frame >= columns * rows) {
        ORKA_LOG_WARNING("Sprite sheet %s: frame %i of %i x %i texels is not on the %i x %i sheet",
                         texture.getName().c_str(), frame, frameSize.x, frameSize.y,
                         texture.getWidth(), texture.getHeight());
        return Sprite();
    }
    const glm::ivec2 topLeft(frame % columns * frameSize.x, frame / columns * frameSize.y);
    return fromTopLeft(texture, topLeft, frameSize, anchor);
}

void Sprite::setScale(const glm::vec2& newScale) {
    scale = newScale;
    if (scale.x < 0.0f) {
        ORKA_LOG_WARNING("Sprite.scale.x must be larger or equal to 0");
        scale.x = 0.0f;
    }
    if (scale.y < 0.0f) {
        ORKA_LOG_WARNING("Sprite.scale.y must be larger or equal to 0");
        scale.y = 0.0f;
    }
}

std::array<glm::vec2, 4> Sprite::getCorners() const {
    // The anchor is the origin of the sprite's own frame.
    const glm::vec2 size(spriteSize);
    const glm::vec2 anchor = spriteAnchor * size;
    const float left = -anchor.x * scale.x;
    const float right = (size.x - anchor.x) * scale.x;
    const float bottom = -anchor.y * scale.y;
    const float top = (size.y - anchor.y) * scale.y;

    // Translate x rotate x scale, written out: this runs for every sprite of every batch.
    const float radians = rotation * degreesToRadians;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    auto place = [&](float x, float y) {
        return glm::vec2(position.x + c * x - s * y, position.y + s * x + c * y);
    };
    return {place(right, bottom), place(right, top), place(left, top), place(left, bottom)};
}

std::array<glm::vec2, 4> Sprite::getUVs() const {
    if (texture == nullptr) return {};
    const float width = static_cast<float>(texture->getWidth());
    const float height = static_cast<float>(texture->getHeight());
    float uLeft = static_cast<float>(spritePos.x) / width;
    float uRight = static_cast<float>(spritePos.x + spriteSize.x) / width;
    float vBottom = static_cast<float>(spritePos.y) / height;
    float vTop = static_cast<float>(spritePos.y + spriteSize.y) / height;
    if (flip.x) std::swap(uLeft, uRight);
    if (flip.y) std::swap(vBottom, vTop);
    return {glm::vec2(uRight, vBottom), glm::vec2(uRight, vTop), glm::vec2(uLeft, vTop),
            glm::vec2(uLeft, vBottom)};
}

}  // namespace orka
