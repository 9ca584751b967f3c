#include "SpriteArt.hpp"

#include <algorithm>

namespace {
// Half a cell: the distance from a cell's centre to its bottom edge.
constexpr float halfCell = cellSize / 2.0f;
}  // namespace

float standingPivotY(int height) {
    return 1.0f - halfCell / static_cast<float>(height);
}

float hangingPivotY(int height) {
    return halfCell / static_cast<float>(height);
}

float noise(int x, int y, std::uint32_t seed) {
    // A small integer hash (xorshift-multiply); identical on every platform.
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x27d4eb2dU ^
                      static_cast<std::uint32_t>(y) * 0x165667b1U ^ seed * 0x9e3779b9U;
    h ^= h >> 15;
    h *= 0x85ebca6bU;
    h ^= h >> 13;
    h *= 0xc2b2ae35U;
    h ^= h >> 16;
    constexpr float scale = 1.0f / 16777216.0f;  // 2^-24: keep 24 bits, exact in a float
    return static_cast<float>(h >> 8) * scale;
}

std::vector<SpriteArt> allSprites() {
    std::vector<SpriteArt> all;
    for (auto&& group : {terrainSprites(), propSprites(), characterSprites(), decorationSprites(),
                         behaviourSprites(), backdropSprites()}) {
        all.insert(all.end(), group.begin(), group.end());
    }
    std::sort(all.begin(), all.end(),
              [](const SpriteArt& a, const SpriteArt& b) { return a.number < b.number; });
    return all;
}
