#include "game/Backdrop.hpp"

#include <cmath>

void Backdrop::AddLayer(const orka::Sprite& sprite, float parallax) {
    layers.push_back({sprite, parallax});
}

void Backdrop::AddTo(orka::SpriteBatch::SpriteBatchBuilder& batch, glm::vec2 viewMin,
                     glm::vec2 viewMax) const {
    int order = firstLayerOrder;
    for (const Layer& layer : layers) AddLayerTo(batch, layer, order++, viewMin, viewMax);
}

void Backdrop::AddLayerTo(orka::SpriteBatch::SpriteBatchBuilder& batch, const Layer& layer,
                          int order, glm::vec2 viewMin, glm::vec2 viewMax) const {
    const glm::ivec2 size = layer.sprite.getSpriteSize();
    const float viewHeight = viewMax.y - viewMin.y;
    if (layer.sprite.getTexture() == nullptr || size.x <= 0 || size.y <= 0 || viewHeight <= 0.0f) {
        return;
    }
    const auto width = static_cast<float>(size.x);
    // The layer's pattern is fixed to a point that follows the camera by (1 - parallax) of its
    // movement: seen on the screen, the pattern then moves by parallax times that movement.
    const float cameraX = 0.5f * (viewMin.x + viewMax.x);
    const float patternOrigin = cameraX * (1.0f - layer.parallax);
    // Whole repeats from the one under the view's left edge to the one past its right edge;
    // neighbours share their edge's coordinate exactly, so no gap can open between them.
    const double first = std::floor((static_cast<double>(viewMin.x) - patternOrigin) / width);
    const double last = std::ceil((static_cast<double>(viewMax.x) - patternOrigin) / width);
    orka::Sprite tile = layer.sprite;
    tile.setOrderInBatch(order);
    tile.setRotation(0.0f);
    const glm::vec2 scale(1.0f, viewHeight / static_cast<float>(size.y));
    tile.setScale(scale);
    // Sprites are placed by their anchor; the repeats are laid out by their lower-left corners.
    const glm::vec2 anchorOffset = layer.sprite.getSpriteAnchor() * glm::vec2(size) * scale;
    for (double repeat = first; repeat < last; repeat += 1.0) {
        const auto left = static_cast<float>(patternOrigin + repeat * width);
        tile.setPosition(glm::vec2(left, viewMin.y) + anchorOffset);
        batch.addSprite(tile);
    }
}
