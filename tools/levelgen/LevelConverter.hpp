#pragma once

#include <string>
#include <vector>

#include "LevelMap.hpp"
#include "game/TileGrid.hpp"

// One entry of a level's "arrayOfTiles": [type, column, row].
struct TileEntry {
    int type = 0;
    int column = 0;
    int row = 0;
};

// Turns a level map into the level file format. Map characters:
//   '#' ground        (grass on top, edges on open sides, fading out at the bottom)
//   '=' platform      (ends where the neighbours are not platforms)
//   'S' stone block   'C' crate   'G' goal   'P' player start
//   decorations: 'c' cloud, 'k' small cloud, 'w' grass tuft, 'f' red flower, 'F' blue flower,
//   'b' bush, 'r' rock, '>' sign, 'm' mushroom, 'T' tree, '*' star, 'M' moon, 'H' fence,
//   'L' lantern;
//   behaviours: '^' spikes, '!' checkpoint, 'o' coin, '-' wooden bridge (jumped through from
//   below), '~' lift (moves seven cells to the right and back);
//   '.' and ' ' are empty.
class LevelConverter {
public:
    // Unless the map gives one, the death line lies this many rows below the lowest tile.
    static constexpr int deathMarginRows = 3;

    // The tile type at a grid cell, or 0 for an empty cell. Throws std::invalid_argument for
    // a character that is not in the legend.
    static int tileTypeAt(const LevelMap& map, int column, int row);
    // The entries, one group per non-empty map row, the top row first. Throws
    // std::invalid_argument (naming source) for unknown characters, a missing or second
    // player, a missing goal, or a given death line that is not below every tile.
    static std::vector<std::vector<TileEntry>> tiles(const LevelMap& map,
                                                     const std::string& source);
    static int deathLine(const LevelMap& map);
    // The complete level file.
    static std::string toJson(const LevelMap& map, const std::string& source);
};
