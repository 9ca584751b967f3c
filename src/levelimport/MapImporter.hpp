#pragma once

#include <cstddef>
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
    /// The map layer it comes from, counted in drawing order; not written to the file.
    std::size_t layer = 0;
};

/// A layer of the level's backdrop: the atlas sprite it shows and how far it moves with the view
/// (0: fixed, 1: as the tiles).
struct BackdropLayer {
    int sprite = 0;
    double parallax = 1.0;
};

/// What a level file holds.
struct Level {
    int id = 0;
    std::string name;
    std::optional<double> deathLevelInY;  ///< game units; left out of the file when empty
    std::vector<BackdropLayer> backdrop;  ///< farthest first; left out of the file when empty
    CameraProperties camera;              ///< only the settings given are written
    /// Layer by layer, lower layers first (the game draws later tiles over earlier ones); within
    /// a layer the top row first, left to right within a row.
    std::vector<LevelTile> tiles;
};

/// A map turned into a level, with what stood in the way.
struct MapImport {
    Level level;
    /// Problems of the map and its tilesets; the level is only usable when there is none.
    std::vector<Problem> problems;
    /// The image files the map names (tilesets' pictures, image layers'), never read: with
    /// the files read they are what the level file must not replace.
    std::vector<std::string> images;
    /// Remarks that do not stop the import (flipped tiles drawn unflipped, objects skipped, the
    /// id or name found elsewhere), each "file: note: ...".
    std::vector<std::string> notes;
};

/// Reads the Tiled map `mapFile` (through `files`) and turns it into the level to be written
/// as `levelFile`: map cell (x, y) becomes column x and row height - 1 - y, and each tile used
/// becomes the tile type of its "tileType" property. Every tile layer counts, and so does every
/// tile object (on the cell under its centre); a cell may hold tiles of several layers. Without
/// a map property "id" the level's id is the number that ends `levelFile`'s name (castle3.json:
/// 3), and a problem when there is none; without "name" it is the map file's name without its
/// extension.
MapImport ImportMap(const std::string& mapFile, const std::string& levelFile,
                    const FileSource& files = ReadFileFromDisk);

/// The level file's JSON text: "id", "name", "deathLevelInY", "backdrop" and "camera" when
/// set, and "arrayOfTiles" with one line per row.
std::string LevelText(const Level& level);

/// The number that ends the name of `file` without its extension ("castle3.json": 3), or empty.
std::optional<int> NumberEndingName(const std::string& file);

/// Writes `text` into `fileName` through a temporary file beside it, renamed over it once
/// complete, so the file is never left half written. False, with `error` set, on failure.
bool WriteFileWhole(const std::string& fileName, const std::string& text, std::string& error);

}  // namespace levelimport
