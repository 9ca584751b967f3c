#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace levelimport {

/// One thing wrong with an input file, such as {"maps/cave.tmj", "the map is infinite"}.
struct Problem {
    std::string file;
    std::string text;

    /// "file: text", the form in which problems are printed.
    std::string ToString() const { return file + ": " + text; }
};

/// A tileset of a map: where its global ids start and the tile type each of its tiles stands for.
struct Tileset {
    std::uint32_t firstGid = 0;
    std::string name;  ///< for messages
    std::string file;  ///< the file that describes it: the map itself when embedded
    /// Local ids below this belong to the tileset ("tilecount", else as many as its image holds,
    /// or one past the highest id it lists).
    std::uint32_t tileCount = 0;
    std::map<std::uint32_t, int> tileTypes;  ///< local tile id -> its "tileType" property
    /// False when its file could not be read (a problem said so): its tiles are unknown.
    bool read = true;
};

/// Tiled keeps a tile's flip and rotation flags in the top four bits of its global id.
constexpr std::uint32_t kGidFlags = 0xF0000000u;

/// A tile that a layer puts on a map cell.
struct LayerTile {
    /// Never 0. The top bits may hold Tiled's flip and rotation flags.
    std::uint32_t gid = 0;
    /// The map cell, rows counted from the top. A tile object may lie outside the map, though
    /// never more than kFarthestCell cells away.
    int x = 0;
    int y = 0;
};

/// How far outside the map a tile object may lie, in cells.
constexpr int kFarthestCell = 1 << 24;

/// The tiles of a tile layer, or the tile objects of an object layer.
struct TileLayer {
    std::string name;
    /// A tile layer's tiles row by row from the top; an object layer's in the order listed.
    std::vector<LayerTile> tiles;
};

/// A map saved by the Tiled editor as JSON, read as far as it can become a level.
struct TiledMap {
    std::string file;
    bool read = false;                    ///< the file was read and holds a JSON object
    int width = 0;                        ///< cells
    int height = 0;                       ///< cells
    int tileWidth = 0;                    ///< pixels of one cell
    int tileHeight = 0;                   ///< pixels of one cell
    std::optional<int> id;                ///< map property "id", when given (0 if no int)
    std::optional<std::string> name;      ///< map property "name", when given ("" if no string)
    std::optional<double> deathLevelInY;  ///< map property "deathLevelInY", game units
    std::vector<Tileset> tilesets;        ///< in the map's order
    /// Every tile layer and object layer, those inside group layers too, in the order Tiled
    /// draws them (lowest first). Object layers without tile objects are left out.
    std::vector<TileLayer> layers;
    std::size_t skippedObjects = 0;  ///< objects that are no tiles (shapes, points, text)
};

/// Gives the whole text of the file `fileName` (the map's name as given, or a tileset's source
/// joined to the map's folder), or empty with `error` saying why ("cannot be opened for
/// reading").
using FileSource =
    std::function<std::optional<std::string>(const std::string& fileName, std::string& error)>;

/// The FileSource of the importer: regular files on disk, opened read-only.
std::optional<std::string> ReadFileFromDisk(const std::string& fileName, std::string& error);

/// Reads `mapFile` and the external tilesets it names (relative to the map's folder) through
/// `files`. Both of Tiled's JSON generations are read: custom properties as a list of
/// {name, type, value} (Tiled 1.2 on) or as an object {name: value} (before), and tile
/// properties in "tiles" or in "tileproperties". Nothing stops at the first problem: each one
/// found is appended to `problems`, naming the file it is in, and the map holds whatever could
/// be read.
TiledMap ReadTiledMap(const std::string& mapFile, std::vector<Problem>& problems,
                      const FileSource& files = ReadFileFromDisk);

/// `text` in double quotes for a message: cut to a few dozen characters, control characters
/// replaced, so a problem stays one short line whatever the input holds.
std::string Quoted(std::string_view text);

}  // namespace levelimport
