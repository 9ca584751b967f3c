#pragma once

#include <cstdint>
#include <vector>

#include "game/TileGrid.hpp"
#include "picture/Image.hpp"

// One sprite of the atlas as the art modules make it. The pivot is written to the atlas as
// it stands: x as a fraction of the width from the left, y as a fraction of the height from
// the top. The game places the pivot on the centre of the sprite's grid cell.
struct SpriteArt {
    int number = 0;
    Image image;
    float pivotX = 0.5f;
    float pivotY = 0.5f;
};

// Size of one grid cell in texels (= game units); tile sprites have exactly this size.
constexpr int cellSize = tileGridSize;

// The pivot y that makes a sprite of this height stand on the ground: its bottom edge lies on
// the bottom edge of its grid cell, which is the top of the ground tile below.
float standingPivotY(int height);
// The pivot y that hangs a sprite from the top of its grid cell (its top edge on the cell's top
// edge); for a sprite shorter than half a cell it lies below the sprite (above 1).
float hangingPivotY(int height);

// Deterministic value noise in [0, 1) for pixel (x, y); seeds separate unrelated patterns.
float noise(int x, int y, std::uint32_t seed);

std::vector<SpriteArt> terrainSprites();     // ground variants, platforms, stone block
std::vector<SpriteArt> propSprites();        // crate and goal
std::vector<SpriteArt> characterSprites();   // the player's six frames
std::vector<SpriteArt> decorationSprites();  // scenery without physics
std::vector<SpriteArt> behaviourSprites();   // spikes, checkpoint flags, coin, bridge, lift
std::vector<SpriteArt> backdropSprites();    // night sky, stars and hills behind the levels

// Every sprite of the default atlas, in number order.
std::vector<SpriteArt> allSprites();
