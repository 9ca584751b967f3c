#pragma once

/// The grid tiles stand on: tile (column c, row r) is centred on (c, r) times `tileGridSize`
/// game units, y up. Sprites are drawn one texel per game unit, so a tile's art is this many
/// texels square. The level builder places tiles with it; the content tools (tools/) draw the
/// art and lay out and preview levels on the same grid. Header only, for them.
constexpr int tileGridSize = 21;
