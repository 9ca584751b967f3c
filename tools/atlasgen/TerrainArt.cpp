// Ground, floating stone platforms and stone blocks, drawn in code: the textures come from
// deterministic noise so every variant of a tile family shares the same look.
#include <algorithm>
#include <cmath>

#include "SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

namespace {

using sprites::GroundRow;
using sprites::GroundSide;

constexpr int last = cellSize - 1;
constexpr float pi = 3.14159265f;

// Earth and grass.
const Rgba dirtDark = Rgba::hex("#623d25");
const Rgba dirt = Rgba::hex("#7b4f31");
const Rgba dirtLight = Rgba::hex("#8c5c38");
const Rgba dirtSpeck = Rgba::hex("#a57446");
const Rgba dirtEdge = Rgba::hex("#3a2314");
const Rgba pebble = Rgba::hex("#857a6c");
const Rgba pebbleLight = Rgba::hex("#a39887");
const Rgba pebbleDark = Rgba::hex("#5a544c");
const Rgba grassShadow = Rgba::hex("#442a18");
const Rgba grassDark = Rgba::hex("#2c7a33");
const Rgba grass = Rgba::hex("#47a83c");
const Rgba grassLight = Rgba::hex("#78cf4c");
const Rgba grassTip = Rgba::hex("#a9ec6c");
const Rgba grassEdge = Rgba::hex("#1d5324");

// Blue-grey stone of the floating platforms, with moss on top.
const Rgba stone = Rgba::hex("#66758c");
const Rgba stoneLight = Rgba::hex("#8d9db4");
const Rgba stoneDark = Rgba::hex("#48536a");
const Rgba stoneEdge = Rgba::hex("#252b38");
const Rgba moss = Rgba::hex("#3f8a46");
const Rgba mossLight = Rgba::hex("#68b95a");

// Sandstone of the blocks.
const Rgba sand = Rgba::hex("#c49a5e");
const Rgba sandLight = Rgba::hex("#e2c287");
const Rgba sandDark = Rgba::hex("#94703f");
const Rgba sandEdge = Rgba::hex("#4f3a20");

bool hasLeft(GroundSide side) {
    return side == GroundSide::Left || side == GroundSide::Both;
}
bool hasRight(GroundSide side) {
    return side == GroundSide::Right || side == GroundSide::Both;
}
bool hasGrass(GroundRow row) {
    return row == GroundRow::GrassTop || row == GroundRow::GrassBottom;
}
bool fadesOut(GroundRow row) {
    return row == GroundRow::Bottom || row == GroundRow::GrassBottom;
}

// Earth texture: clumps of four shades from coarse noise, a few speckles and pebbles.
Rgba dirtAt(int x, int y) {
    const float coarse = noise(x / 3, y / 3, 11);
    const float fine = noise(x, y, 12);
    const float v = 0.65f * coarse + 0.35f * fine;
    if (fine > 0.965f) return dirtSpeck;
    if (v < 0.28f) return dirtDark;
    if (v > 0.70f) return dirtLight;
    return dirt;
}

void drawPebble(Image& tile, int x, int y) {
    tile.fillRect(x, y, 3, 2, pebble);
    tile.set(x, y, pebbleLight);
    tile.set(x + 2, y + 1, pebbleDark);
    tile.set(x + 1, y + 2, dirtDark);
}

// Depth of the grass on column x: a gentle wave that repeats every tile.
int grassDepth(int x) {
    const float wave = std::sin(2.0f * pi * 2.0f * x / cellSize);
    return 5 + static_cast<int>(std::lround(1.2f * wave + noise(x, 0, 21) - 0.5f));
}

void drawGrass(Image& tile) {
    for (int x = 0; x < cellSize; ++x) {
        const int depth = grassDepth(x);
        for (int y = 0; y <= depth; ++y) {
            Rgba colour = grass;
            if (y <= 1) colour = grassLight;
            if (y >= depth - 1) colour = grassDark;
            tile.set(x, y, colour);
        }
        tile.set(x, depth + 1, grassShadow);
        // Blade tips stick up from the top row, with a bright highlight below them.
        if (noise(x, 1, 22) < 0.45f) tile.set(x, 0, {});
        if (noise(x, 2, 23) > 0.7f) tile.set(x, 1, grassTip);
        if (noise(x, 3, 24) > 0.75f) tile.set(x, depth, grass);
    }
}

// Exposed side: a dark edge line with a shaded band inside it; grass wraps over the corner.
void drawSide(Image& tile, int x, int inward, bool grassOnTop) {
    for (int y = 0; y < cellSize; ++y) {
        if (tile.at(x, y).a == 0) continue;
        const bool inGrass = grassOnTop && y <= grassDepth(x) + 1;
        tile.set(x, y, inGrass ? grassEdge : dirtEdge);
        const Rgba inner = tile.at(x + inward, y);
        if (!inGrass && inner.a > 0) tile.set(x + inward, y, inner.shaded(0.8f));
    }
    if (!grassOnTop) return;
    // Round the top corner and let a tuft hang over the edge.
    tile.set(x, 0, {});
    tile.set(x, 1, {});
    tile.set(x + inward, 0, {});
    tile.set(x + inward, 1, grassEdge);
    tile.set(x, 2, grassEdge);
    const int drip = grassDepth(x) + 2;
    tile.set(x, drip, grassEdge);
    tile.set(x + inward, drip, grassDark);
}

// The lowest row of a ground mass fades into the dark below the world.
void fade(Image& tile) {
    constexpr float darkest = 0.08f;
    for (int y = 0; y < cellSize; ++y) {
        const float t = static_cast<float>(y) / last;
        const float shade = 1.0f - (1.0f - darkest) * t * t;
        const auto alpha = static_cast<std::uint8_t>(255.0f * (1.0f - t * t * t * 0.85f));
        for (int x = 0; x < cellSize; ++x) {
            const Rgba c = tile.at(x, y);
            if (c.a == 0) continue;
            tile.set(x, y, c.shaded(shade).withAlpha(std::min(c.a, alpha)));
        }
    }
}

Image groundTile(GroundRow row, GroundSide side) {
    Image tile(cellSize, cellSize);
    for (int y = 0; y < cellSize; ++y) {
        for (int x = 0; x < cellSize; ++x) tile.set(x, y, dirtAt(x, y));
    }
    // One pebble per tile, placed differently in each kind of row, so repeats stay quiet.
    const int kind = static_cast<int>(row);
    drawPebble(tile, 3 + 5 * kind, 15 - 3 * (kind % 2));
    if (hasGrass(row)) drawGrass(tile);
    if (hasLeft(side)) drawSide(tile, 0, 1, hasGrass(row));
    if (hasRight(side)) drawSide(tile, last, -1, hasGrass(row));
    if (fadesOut(row)) fade(tile);
    return tile;
}

// A floating slab of mossy bricks; open sides continue into the neighbouring slab.
Image platformTile(bool openLeft, bool openRight) {
    Image tile(cellSize, cellSize);
    constexpr int brickTop = 4;
    constexpr int brickHeight = 6;
    tile.fillRect(0, 0, cellSize, cellSize, stone);
    for (int y = brickTop; y < cellSize; ++y) {
        const int band = (y - brickTop) / brickHeight;
        const int inBand = (y - brickTop) % brickHeight;
        for (int x = 0; x < cellSize; ++x) {
            const int offset = band % 2 == 0 ? 0 : cellSize / 2;
            const int inBrick = (x + offset) % cellSize;
            Rgba c = noise(x, y, 31) < 0.2f ? stone.shaded(0.92f) : stone;
            if (inBand == 0) c = stoneLight;
            if (inBand == brickHeight - 1) c = stoneDark;
            if (inBrick == 0) c = stoneDark;
            if (inBrick == 1 && inBand != brickHeight - 1) c = stoneLight;
            tile.set(x, y, c);
        }
    }
    // Moss on top, hanging down unevenly.
    for (int x = 0; x < cellSize; ++x) {
        const int depth = 3 + (noise(x, 0, 32) > 0.6f ? 1 : 0) + (x % 7 == 3 ? 1 : 0);
        for (int y = 0; y < depth; ++y) tile.set(x, y, y == 0 ? mossLight : moss);
        if (noise(x, 1, 33) < 0.3f) tile.set(x, 0, moss);
    }
    tile.fillRect(0, last, cellSize, 1, stoneEdge);
    if (!openLeft) {
        tile.fillRect(0, 0, 1, cellSize, stoneEdge);
        tile.set(0, 0, {});
        tile.set(0, last, {});
    }
    if (!openRight) {
        tile.fillRect(last, 0, 1, cellSize, stoneEdge);
        tile.set(last, 0, {});
        tile.set(last, last, {});
    }
    return tile;
}

// A carved sandstone block with a bevelled rim and an inset panel.
Image stoneBlockTile() {
    Image tile(cellSize, cellSize);
    for (int y = 0; y < cellSize; ++y) {
        for (int x = 0; x < cellSize; ++x) {
            const float n = noise(x, y, 41);
            tile.set(x, y, n < 0.15f ? sand.shaded(0.93f) : (n > 0.93f ? sandLight : sand));
        }
    }
    tile.fillRect(1, 1, cellSize - 2, 2, sandLight);
    tile.fillRect(1, 1, 2, cellSize - 2, sandLight);
    tile.fillRect(1, cellSize - 3, cellSize - 2, 2, sandDark);
    tile.fillRect(cellSize - 3, 1, 2, cellSize - 2, sandDark);
    // Inset panel: shadow on its upper-left rim, light on its lower-right rim.
    constexpr int inset = 6;
    constexpr int panel = cellSize - 2 * inset;
    tile.fillRect(inset, inset, panel, 1, sandDark);
    tile.fillRect(inset, inset, 1, panel, sandDark);
    tile.fillRect(inset, inset + panel - 1, panel, 1, sandLight);
    tile.fillRect(inset + panel - 1, inset, 1, panel, sandLight);
    for (int i = 0; i < cellSize; ++i) {
        tile.set(i, 0, sandEdge);
        tile.set(i, last, sandEdge);
        tile.set(0, i, sandEdge);
        tile.set(last, i, sandEdge);
    }
    tile.set(0, 0, {});
    tile.set(last, 0, {});
    tile.set(0, last, {});
    tile.set(last, last, {});
    return tile;
}

}  // namespace

std::vector<SpriteArt> terrainSprites() {
    std::vector<SpriteArt> result;
    for (int row = 0; row < sprites::groundKinds; ++row) {
        for (int side = 0; side < sprites::groundKinds; ++side) {
            const auto r = static_cast<GroundRow>(row);
            const auto s = static_cast<GroundSide>(side);
            result.push_back({sprites::ground(r, s), groundTile(r, s)});
        }
    }
    result.push_back({sprites::platformSingle, platformTile(false, false)});
    result.push_back({sprites::platformLeft, platformTile(false, true)});
    result.push_back({sprites::platformMiddle, platformTile(true, true)});
    result.push_back({sprites::platformRight, platformTile(true, false)});
    result.push_back({sprites::stoneBlock, stoneBlockTile()});
    return result;
}
