#pragma once

#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <vector>

namespace orka {

class Font;
class Sprite;

/// A string to draw in a font: a plain value (copy it freely) that shares its font. Added to a
/// sprite batch (SpriteBatch::SpriteBatchBuilder::addText) it becomes one sprite per visible
/// glyph, so text is drawn with the batch's sprites, in few draw calls: one per run of a glyph
/// page.
///
/// Units as for sprites: position in world units (window pixels under a pixel camera, see
/// Camera::setWindowCoordinates), y up; the font's pixels are world units at scale 1. The
/// position is the top of the first line's box: its left end, its middle or its right end as
/// the alignment says. Lines ('\n') go down by the font's line height each, every line
/// aligned on its own. At scale 1 the lines' starts are rounded to whole units, so that with a
/// pixel camera glyphs land on whole pixels and are drawn crisp, texel for pixel.
class Text {
public:
    /// Where each line lies relative to the position.
    enum class Alignment {
        Left,    ///< lines start at the position
        Centre,  ///< lines are centred on the position
        Right    ///< lines end at the position
    };

    /// No font: not drawn, measures (0, 0).
    Text() = default;
    /// `utf8` in `font` (shared), with its box's top-left at `position`, white, scale 1.
    Text(std::shared_ptr<Font> font, std::string utf8, glm::vec2 position = {0.0f, 0.0f});

    /// The font (shared); null: nothing is drawn.
    ///@{
    void setFont(std::shared_ptr<Font> newFont) { font = std::move(newFont); }
    const std::shared_ptr<Font>& getFont() const { return font; }
    ///@}
    /// The text, UTF-8 (see Font for invalid sequences and control characters).
    ///@{
    void setString(std::string utf8) { string = std::move(utf8); }
    const std::string& getString() const { return string; }
    ///@}
    /// The top of the first line, at its left end, middle or right end (see Alignment).
    ///@{
    void setPosition(const glm::vec2& newPosition) { position = newPosition; }
    const glm::vec2& getPosition() const { return position; }
    ///@}
    /// Each glyph's tint, RGBA as Sprite::setColor takes it (in the blending space): the glyph's
    /// coverage is its alpha.
    ///@{
    void setColor(const glm::vec4& newColor) { color = newColor; }
    const glm::vec4& getColor() const { return color; }
    ///@}
    /// World units per font pixel, across and up; negative components become 0 (a warning).
    ///@{
    void setScale(const glm::vec2& scale);
    const glm::vec2& getScale() const { return scale; }
    ///@}
    /// Degrees counter-clockwise about the position (the box's top-left, or the point
    /// the alignment puts the lines about); at 90 the text reads upward.
    ///@{
    void setRotation(float degrees) { rotation = degrees; }
    float getRotation() const { return rotation; }
    ///@}
    /// How the lines lie about the position; Left by default.
    ///@{
    void setAlignment(Alignment newAlignment) { alignment = newAlignment; }
    Alignment getAlignment() const { return alignment; }
    ///@}
    /// The glyphs' order in a batch, as Sprite::setOrderInBatch.
    ///@{
    void setOrderInBatch(int order) { orderInBatch = order; }
    int getOrderInBatch() const { return orderInBatch; }
    ///@}

    /// The box's size in world units: Font::measure scaled.
    glm::vec2 measure() const;
    /// Appends one sprite per glyph that shows (spaces and unknown blanks add none), placing
    /// missing glyphs on the font's pages first (needs the renderer). The sprites point at the
    /// font's pages: keep the font alive while they are drawn (a sprite batch builder does).
    void appendSprites(std::vector<Sprite>& sprites) const;

private:
    /// appendSprites before the rotation.
    void appendUnturnedSprites(std::vector<Sprite>& sprites) const;
    /// Appends the sprites of one line whose box's top-left is `lineTopLeft`.
    void appendLine(std::vector<Sprite>& sprites, const char* first, const char* last,
                    glm::vec2 lineTopLeft) const;

    std::shared_ptr<Font> font;
    std::string string;
    glm::vec2 position{0.0f, 0.0f};
    glm::vec4 color{1.0f, 1.0f, 1.0f, 1.0f};
    glm::vec2 scale{1.0f, 1.0f};
    float rotation = 0.0f;
    Alignment alignment = Alignment::Left;
    int orderInBatch = 0;
};

}  // namespace orka
