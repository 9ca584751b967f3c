#pragma once

#include <cstdint>
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
    /// Local ids below this belong to the tileset ("tilecount", or one past the highest listed id).
    std::uint32_t tileCount = 0;
    std::map<std::uint32_t, int> tileTypes;  ///< local tile id -> its "tileType" property
};

/// A tile layer: one global id per map cell, row by row from the top (0 is an empty cell). The
/// top bits of a global id may hold Tiled's flip and rotation flags.
struct TileLayer {
    std::string name;
    std::vector<std::uint32_t> gids;
};

/// A map saved by the Tiled editor as JSON, read as far as it can become a level.
struct TiledMap {
    std::string file;
    int width = 0;                        ///< cells
    int height = 0;                       ///< cells
    int id = 0;                           ///< map property "id"
    std::string name;                     ///< map property "name"
    std::optional<double> deathLevelInY;  ///< map property "deathLevelInY", game units
    std::vector<Tileset> tilesets;        ///< in the map's order
    /// Every tile layer, those inside group layers too, in the order Tiled draws them.
    std::vector<TileLayer> layers;
};

/// Reads `mapFile` (read-only) and the external tilesets it names, which are found relative to
/// the map's folder. Nothing stops at the first problem: each one found is appended to
/// `problems`, naming the file it is in, and the map holds whatever could be read.
TiledMap ReadTiledMap(const std::string& mapFile, std::vector<Problem>& problems);

/// `text` in double quotes for a message: cut to a few dozen characters, control characters
/// replaced, so a problem stays one short line whatever the input holds.
std::string Quoted(std::string_view text);

}  // namespace levelimport
