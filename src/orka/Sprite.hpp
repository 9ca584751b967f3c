#pragma once

#include <array>
#include <cstdint>
#include <glm/glm.hpp>
#include <memory>

namespace orka {

class SpriteAtlas;
class SpriteBatch;
class Texture;

/// A rectangle of a texture plus where and how to draw it. A plain value: copy it freely.
/// Sprites come from SpriteAtlas::get, or straight from a texture (the whole image or a
/// rectangle of it) without an atlas file; a default-constructed sprite has no texture and is not
/// drawn. The texture is held by raw pointer: the atlas (or another owner of the texture) must
/// outlive every sprite that is drawn.
///
/// Units: position in world units, rotation in degrees counter-clockwise, sizes in texels (one
/// texel is one world unit at scale 1), the anchor as a fraction of the size from the
/// lower-left corner ((0.5, 0.5) is the centre).
class Sprite {
public:
    /// No texture: not drawn.
    Sprite() = default;
    /// The whole of `texture` (one texel per world unit at scale 1), placed by `anchor`, a
    /// fraction of the size from the lower-left corner. The sprite keeps the texture alive.
    explicit Sprite(Texture& texture, glm::vec2 anchor = {0.0f, 0.0f});
    /// A rectangle of `texture`: `rectanglePos` is its lower-left corner in texels from the
    /// texture's bottom-left (an image from a file has its top row at the top), `rectangleSize`
    /// its size in texels; a negative size is a warning and becomes 0. Parts outside the texture
    /// show what the texture's edge setting gives. Otherwise as above.
    Sprite(Texture& texture, glm::ivec2 rectanglePos, glm::ivec2 rectangleSize,
           glm::vec2 anchor = {0.0f, 0.0f});

    /// A rectangle of `texture` counted as image editors and atlas files count: `topLeft` is
    /// its upper-left corner in texels from the image's top-left. Otherwise as above.
    static Sprite fromTopLeft(Texture& texture, glm::ivec2 topLeft, glm::ivec2 size,
                              glm::vec2 anchor = {0.0f, 0.0f});
    /// Frame `frame` of a sprite sheet: the texture cut into a grid of `frameSize` cells,
    /// numbered from 0 left to right, then top to bottom (leftover texels at the right and
    /// bottom edges are not frames). A frame not on the sheet is a warning and gives a sprite
    /// without texture (not drawn). Sheets usually want Texture::TextureBuilder::
    /// withPixelArtSampling, so neighbouring frames do not bleed in.
    static Sprite sheetFrame(Texture& texture, glm::ivec2 frameSize, int frame,
                             glm::vec2 anchor = {0.0f, 0.0f});

    /// Where the anchor point is placed.
    ///@{
    void setPosition(const glm::vec2& newPosition) { position = newPosition; }
    const glm::vec2& getPosition() const { return position; }
    ///@}
    /// Degrees, counter-clockwise about the anchor.
    ///@{
    void setRotation(float degrees) { rotation = degrees; }
    float getRotation() const { return rotation; }
    ///@}
    /// Scale factors; a negative component is a warning and becomes 0.
    ///@{
    void setScale(const glm::vec2& scale);
    const glm::vec2& getScale() const { return scale; }
    ///@}
    /// Mirrors the texture horizontally (x) and vertically (y); the corners stay in place.
    ///@{
    void setFlip(const glm::bvec2& newFlip) { flip = newFlip; }
    const glm::bvec2& getFlip() const { return flip; }
    ///@}
    /// Multiplied with the texture per vertex, in the blending space: in linear light (the
    /// default) 0.5 halves the light, so white shows as 188 in the sRGB window; blending in the
    /// display's values it shows as 128. The alpha blends.
    ///@{
    void setColor(const glm::vec4& newColor) { color = newColor; }
    const glm::vec4& getColor() const { return color; }
    ///@}
    /// Primary sort key in a sprite batch: lower values are drawn first (behind); sprites of one
    /// order and texture are drawn in the order they were added.
    ///@{
    void setOrderInBatch(int order) { orderInBatch = order; }
    int getOrderInBatch() const { return orderInBatch; }
    ///@}

    /// Lower-left corner of the rectangle on the texture, in texels from the bottom-left.
    const glm::ivec2& getSpritePos() const { return spritePos; }
    /// Rectangle size in texels.
    const glm::ivec2& getSpriteSize() const { return spriteSize; }
    /// The point placed at the position, as a fraction of the rectangle from its lower-left
    /// corner; taken from the atlas's pivot.
    const glm::vec2& getSpriteAnchor() const { return spriteAnchor; }
    /// The texture (kept alive by this sprite), or null for a default-constructed sprite or a
    /// failed atlas lookup.
    Texture* getTexture() const { return texture.get(); }

    /// The four corners in world units, counter-clockwise from the lower right: lower right,
    /// upper right, upper left, lower left. Scaled first, then rotated about the anchor, then
    /// moved to the position.
    std::array<glm::vec2, 4> getCorners() const;
    /// The texture coordinates of the same four corners, flips applied; all zero without a
    /// texture.
    std::array<glm::vec2, 4> getUVs() const;

private:
    Sprite(glm::ivec2 spritePos, glm::ivec2 spriteSize, glm::vec2 spriteAnchor,
           std::shared_ptr<Texture> texture);

    friend class SpriteAtlas;
    friend class SpriteBatch;

    float rotation = 0.0f;
    glm::vec2 position{0.0f, 0.0f};
    glm::vec2 scale{1.0f, 1.0f};
    glm::bvec2 flip{false, false};
    /// A shape's stand-in whose one quad is cut to a disc (see Shape::appendDiscQuad).
    bool roundShape = false;
    // Its shape corners come in pairs: position, then edge code (Shape::appendSmoothQuads).
    bool smoothShape = false;
    int orderInBatch = 0;
    glm::vec4 color{1.0f, 1.0f, 1.0f, 1.0f};
    glm::ivec2 spritePos{0, 0};
    glm::ivec2 spriteSize{0, 0};
    glm::vec2 spriteAnchor{0.0f, 0.0f};
    /// The BlendType its batch draws it with (SpriteBatchBuilder::withBlendMode); in the
    /// padding before the texture, so sprites stay as large as they were.
    std::uint8_t blend = 1;
    std::shared_ptr<Texture> texture;
    /// A shape added to a sprite batch stands in its list as a sprite of its white texel with
    /// this many quads, whose corners the batch builder keeps from this index on; 0: a sprite.
    std::uint32_t shapeQuads = 0;
    std::uint32_t firstShapeCorner = 0;
};

}  // namespace orka
