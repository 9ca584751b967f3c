// The crate (a pushable body) and the goal (a glowing doorway), drawn in code.
#include <algorithm>
#include <cmath>

#include "SpriteArt.hpp"
#include "common/SpriteNumbers.hpp"

namespace {

constexpr int last = cellSize - 1;

const Rgba woodEdge = Rgba::hex("#3b2212");
const Rgba woodFrame = Rgba::hex("#7a4620");
const Rgba woodFrameLight = Rgba::hex("#a5652f");
const Rgba wood = Rgba::hex("#c17f3e");
const Rgba woodLight = Rgba::hex("#d99a55");
const Rgba woodGrain = Rgba::hex("#9b5f2b");
const Rgba nail = Rgba::hex("#e6dccb");

const Rgba doorEdge = Rgba::hex("#1f2430");
const Rgba doorStone = Rgba::hex("#6f7d93");
const Rgba doorStoneLight = Rgba::hex("#9aa9c0");
const Rgba doorStoneDark = Rgba::hex("#4b566b");
const Rgba glowCore = Rgba::hex("#fff8d2");
const Rgba glowOuter = Rgba::hex("#ffa940");
const Rgba gem = Rgba::hex("#7fe6ff");
const Rgba gemLight = Rgba::hex("#e4fbff");

// Planks with a frame and a diagonal brace; nails in the corners.
Image crateTile() {
    Image tile(cellSize, cellSize);
    constexpr int plank = 5;
    for (int y = 0; y < cellSize; ++y) {
        for (int x = 0; x < cellSize; ++x) {
            Rgba c = noise(x / 4, y, 51) < 0.3f ? woodGrain.mixed(wood, 0.6f) : wood;
            if (y % plank == 0) c = woodGrain;
            if (y % plank == 1) c = woodLight;
            tile.set(x, y, c);
        }
    }
    // Brace from the lower left to the upper right, two texels wide.
    for (int i = 2; i <= last - 2; ++i) {
        tile.set(i, last - i, woodFrameLight);
        tile.set(i + 1, last - i, woodFrame);
    }
    constexpr int frame = 3;
    for (int i = 0; i < cellSize; ++i) {
        for (int t = 0; t < frame; ++t) {
            const Rgba c = t == 1 ? woodFrameLight : woodFrame;
            tile.set(i, t, c);
            tile.set(i, last - t, c);
            tile.set(t, i, c);
            tile.set(last - t, i, c);
        }
        tile.set(i, 0, woodEdge);
        tile.set(i, last, woodEdge);
        tile.set(0, i, woodEdge);
        tile.set(last, i, woodEdge);
    }
    for (int x : {frame - 2, last - frame + 1}) {
        for (int y : {frame - 2, last - frame + 1}) tile.set(x, y, nail);
    }
    tile.set(0, 0, {});
    tile.set(last, 0, {});
    tile.set(0, last, {});
    tile.set(last, last, {});
    return tile;
}

// True when (x, y) lies inside an arch: a rectangle of the given half width from the bottom
// up to the centre of a half circle of the same radius on top.
bool insideArch(float x, float y, float centreX, float springY, float radius) {
    if (std::abs(x - centreX) > radius) return false;
    if (y >= springY) return true;
    const float dx = x - centreX;
    const float dy = y - springY;
    return dx * dx + dy * dy <= radius * radius;
}

// A stone archway filled with warm light, with a gem on its keystone.
Image goalDoor() {
    constexpr int width = cellSize;
    constexpr int height = 31;
    constexpr float centre = width / 2.0f;
    constexpr float springY = 11.0f;  // where the round top meets the straight sides
    constexpr float outer = 10.0f;    // radius of the stone frame
    constexpr float inner = 6.5f;     // radius of the light
    Image door(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            if (!insideArch(px, py, centre, springY, outer)) continue;
            if (insideArch(px, py, centre, springY + 1.0f, inner)) {
                // Brightest low in the middle, where the player walks in.
                const float dx = (px - centre) / inner;
                const float dy = (py - (height - 8.0f)) / (height - 4.0f);
                const float t = std::clamp(std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
                door.set(x, y, glowCore.mixed(glowOuter, t * t));
                continue;
            }
            const bool lit = insideArch(px + 1.0f, py + 1.0f, centre, springY, outer);
            const bool shadow = insideArch(px - 1.0f, py - 1.0f, centre, springY, outer);
            Rgba c = noise(x, y, 61) < 0.2f ? doorStoneDark.mixed(doorStone, 0.5f) : doorStone;
            if (!lit) c = doorStoneLight;
            if (!shadow) c = doorStoneDark;
            door.set(x, y, c);
        }
    }
    door.outline(doorEdge);
    // Stone courses on the jambs and a threshold step.
    for (int y = 14; y < height - 2; y += 4) {
        door.set(1, y, doorStoneDark);
        door.set(2, y, doorStoneDark);
        door.set(width - 2, y, doorStoneDark);
        door.set(width - 3, y, doorStoneDark);
    }
    door.fillRect(0, height - 2, width, 1, doorStoneLight);
    door.fillRect(0, height - 1, width, 1, doorStoneDark);
    // Keystone gem.
    const int gx = width / 2;
    door.set(gx, 1, gem);
    door.set(gx - 1, 2, gem);
    door.set(gx, 2, gemLight);
    door.set(gx + 1, 2, gem);
    door.set(gx, 3, gem);
    // Motes of light floating in the doorway.
    door.set(8, 14, glowCore);
    door.set(12, 18, glowCore);
    door.set(9, 22, glowCore);
    return door;
}

}  // namespace

std::vector<SpriteArt> propSprites() {
    const Image door = goalDoor();
    return {
        {sprites::crate, crateTile()},
        {sprites::goal, door, 0.5f, standingPivotY(door.height())},
    };
}
