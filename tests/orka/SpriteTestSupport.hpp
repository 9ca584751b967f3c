#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "orka/GLTestEnvironment.hpp"
#include "orka/SpriteAtlas.hpp"
#include "orka/Texture.hpp"

namespace orka::test {

inline std::string atlasPath(const std::string& name) {
    return std::string(ORKA_TEST_DATA_DIR) + "/atlas/" + name;
}

/// Colours of the cells of the test page, as bytes.
using Rgba = std::array<unsigned char, 4>;
constexpr Rgba red{255, 0, 0, 255};
constexpr Rgba green{0, 255, 0, 255};
constexpr Rgba blue{0, 0, 255, 255};
constexpr Rgba white{255, 255, 255, 255};
constexpr Rgba translucentWhite{255, 255, 255, 128};
constexpr Rgba black{0, 0, 0, 255};
constexpr int cellSize = 4;

/// A 32 x 4 page of 4 x 4 cells, sampled nearest: red, green, blue, white, translucent white,
/// red (left half) | green (right half), red (bottom half) under blue (top half), black.
/// cells.json names them.
inline std::shared_ptr<Texture> makeCellTexture() {
    const int cells = 8;
    const int width = cells * cellSize;
    std::vector<unsigned char> pixels;
    for (int row = 0; row < cellSize; row++) {  // bottom row first
        for (int x = 0; x < width; x++) {
            const int cell = x / cellSize;
            const bool leftHalf = x % cellSize < cellSize / 2;
            const bool bottomHalf = row < cellSize / 2;
            const Rgba byCell[cells] = {red,
                                        green,
                                        blue,
                                        white,
                                        translucentWhite,
                                        leftHalf ? red : green,
                                        bottomHalf ? red : blue,
                                        black};
            pixels.insert(pixels.end(), byCell[cell].begin(), byCell[cell].end());
        }
    }
    testRenderer();
    return Texture::create()
        .withRGBAData(reinterpret_cast<const char*>(pixels.data()), width, cellSize)
        .withFilterSampling(false)
        .withName("cells")
        .build();
}

/// cells.json on the cell page; pivots taken from the bottom (flipAnchorY false).
inline std::shared_ptr<SpriteAtlas> makeCellAtlas() {
    return SpriteAtlas::create(atlasPath("cells.json"), makeCellTexture(), false);
}

}  // namespace orka::test
