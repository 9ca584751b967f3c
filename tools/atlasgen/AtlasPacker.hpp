#pragma once

#include <vector>

#include "SpriteArt.hpp"
#include "picture/Image.hpp"

// Where one sprite ended up on the page: its rectangle in pixels, counted from the top-left.
struct PackedFrame {
    int number = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float pivotX = 0.5f;
    float pivotY = 0.5f;
};

// A packed atlas page with the frames in sprite-number order.
struct PackedAtlas {
    Image page;
    std::vector<PackedFrame> frames;
};

// Packs sprites into the smallest power-of-two page that holds them (shelves of sprites sorted
// by height). Every sprite is extruded: its edge pixels are repeated one texel outwards, so a
// linearly filtered sample at the sprite's edge never reads a neighbour; a further gap of
// padding texels keeps the extrusions apart and off the page border. Transparent texels take
// the colour of their nearest opaque neighbours (alpha stays 0), so filtering does not darken
// the edges of shapes either. The result depends only on the input: the same sprites give the
// same page, byte for byte.
class AtlasPacker {
public:
    static constexpr int extrusion = 1;
    static constexpr int padding = 1;
    static constexpr int defaultMaxSize = 2048;

    explicit AtlasPacker(int maxSize = defaultMaxSize) : maxSize(maxSize) {}

    // Throws std::invalid_argument for an empty sprite or a repeated sprite number, and
    // std::runtime_error when the sprites do not fit a maxSize x maxSize page.
    PackedAtlas pack(const std::vector<SpriteArt>& sprites) const;

private:
    int maxSize;
};
