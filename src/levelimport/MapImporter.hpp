#pragma once

#include <optional>
#include <string>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// One tile of a level file: [tile type, column, row], rows counted upwards from 0.
struct LevelTile {
    int type = 0;
    int column = 0;
    int row = 0;
};

/// What a level file holds.
struct Level {
    int id = 0;
    std::string name;
    std::optional<double> deathLevelInY;  ///< game units; left out of the file when empty
    std::vector<LevelTile> tiles;         ///< top row first, left to right within a row
};

/// A map turned into a level, with what stood in the way.
struct MapImport {
    Level level;
    /// Problems of the map and its tilesets; the level is only usable when there is none.
    std::vector<Problem> problems;
    /// Remarks that do not stop the import (flipped tiles drawn unflipped), "file: note: ...".
    std::vector<std::string> notes;
};

/// Reads the Tiled map `mapFile` and turns it into a level: map cell (x, y) becomes column x
/// and row height - 1 - y, and each tile used becomes the tile type of its "tileType"
/// property. Every tile layer counts; two tiles on one cell are a problem.
MapImport ImportMap(const std::string& mapFile);

/// The level file's JSON text: "id", "name", "deathLevelInY" when set, and "arrayOfTiles"
/// with one line per row.
std::string LevelText(const Level& level);

/// Writes `text` into `fileName` through a temporary file beside it, renamed over it once
/// complete, so the file is never left half written. False, with `error` set, on failure.
bool WriteFileWhole(const std::string& fileName, const std::string& text, std::string& error);

}  // namespace levelimport
