#pragma once

#include <glm/glm.hpp>
#include <memory>
#include <optional>
#include <string>

namespace orka {

class Texture;

/// One texture of a font's glyph bitmaps: white texels, alpha = coverage (linear), cleared to
/// transparent, clamped edges. Rectangles are handed out on shelves (rows
/// as tall as their tallest glyph) with a one-texel gap, so filtered sampling of a scaled glyph
/// never reaches its neighbour. A rectangle once handed out is never moved or overwritten.
/// Inside the engine only (a Font owns its pages); needs the renderer.
class GlyphPage {
public:
    /// A `side` x `side` texel page named `name`, filtered linearly when `filter` is true,
    /// sampled nearest otherwise; getTexture() is null when it cannot be made.
    GlyphPage(int side, const std::string& name, bool filter);

    /// The lower-left corner (texels from the bottom-left) of a free `size` rectangle, or
    /// nothing when the page is full.
    std::optional<glm::ivec2> allocate(glm::ivec2 size);
    /// Uploads `size` coverage bytes, rows from the top down with `pitch` bytes between rows
    /// (as FreeType gives them), into the rectangle at `at`.
    void write(glm::ivec2 at, glm::ivec2 size, const unsigned char* coverage, int pitch);

    /// The page's texture (shared: batches keep it while they draw from it).
    const std::shared_ptr<Texture>& getTexture() const { return texture; }

private:
    std::shared_ptr<Texture> texture;
    int side;
    /// The shelf being filled: its bottom, height and the next free column, in texels.
    int shelfBottom = 0;
    int shelfHeight = 0;
    int shelfNext = 0;
};

}  // namespace orka
