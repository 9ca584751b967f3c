#include "orka/GlyphPage.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <vector>

#include "orka/RenderPass.hpp"
#include "orka/Texture.hpp"

namespace orka {

namespace {

constexpr int bytesPerTexel = 4;
constexpr int gap = 1;  // texels kept free around each glyph
constexpr unsigned char white = 0xFF;

// White everywhere, so filtering at a glyph's edge blends towards white, not black.
std::vector<char> clearTexels(int side) {
    std::vector<char> texels(static_cast<size_t>(side) * side * bytesPerTexel,
                             static_cast<char>(white));
    for (size_t i = bytesPerTexel - 1; i < texels.size(); i += bytesPerTexel) texels[i] = 0;
    return texels;
}

}  // namespace

GlyphPage::GlyphPage(int side, const std::string& name, bool filter) : side(side) {
    // Coverage is linear alpha; the white colour is the same in either encoding.
    texture = Texture::create()
                  .withRGBAData(clearTexels(side).data(), side, side)
                  .withFilterSampling(filter)
                  .withWrappedTextureCoordinates(false)
                  .withName(name)
                  .build();
}

std::optional<glm::ivec2> GlyphPage::allocate(glm::ivec2 size) {
    const glm::ivec2 padded = size + glm::ivec2(gap);
    if (padded.x > side || padded.y > side) return std::nullopt;
    if (shelfNext + padded.x > side) {
        // The shelf is full across: a new one above it.
        shelfBottom += shelfHeight;
        shelfHeight = 0;
        shelfNext = 0;
    }
    if (shelfBottom + padded.y > side) return std::nullopt;
    const glm::ivec2 at(shelfNext, shelfBottom);
    shelfNext += padded.x;
    shelfHeight = std::max(shelfHeight, padded.y);
    return at;
}

void GlyphPage::write(glm::ivec2 at, glm::ivec2 size, const unsigned char* coverage, int pitch) {
    if (texture == nullptr || size.x <= 0 || size.y <= 0) return;
    // Rows bottom-up as the texture stores them: FreeType's first row is the top one.
    std::vector<unsigned char> texels(static_cast<size_t>(size.x) * size.y * bytesPerTexel, white);
    for (int row = 0; row < size.y; row++) {
        const unsigned char* source = coverage + static_cast<std::ptrdiff_t>(row) * pitch;
        unsigned char* target =
            texels.data() + static_cast<size_t>(size.y - 1 - row) * size.x * bytesPerTexel;
        for (int x = 0; x < size.x; x++) target[x * bytesPerTexel + 3] = source[x];
    }
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    // The texture a pass's material bound on this unit is no longer there.
    RenderPass::forgetBindings();
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, at.x, at.y, size.x, size.y, GL_RGBA, GL_UNSIGNED_BYTE,
                    texels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

}  // namespace orka
