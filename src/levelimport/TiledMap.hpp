#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    /// The image files it names (its picture, or each tile's in a collection), as paths beside
    /// `file`; never read, but an import must not write over them.
    std::vector<std::string> images;
    int tileWidth = 0;   ///< pixels of its tiles, the size of a tile object that gives none
    int tileHeight = 0;  ///< pixels
    /// Pixels of each tile's own image in an image collection: their tile objects' size.
    std::map<std::uint32_t, std::pair<double, double>> imageSizes;
    /// Which point of a tile object its position gives ("topleft", "center", ...); "" or
    /// "unspecified" is the bottom-left corner on orthogonal maps.
    std::string objectAlignment;
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

/// How far outside the map a tile object, or a chunk of an infinite map, may lie, in cells.
constexpr int kFarthestCell = 1 << 24;

/// The most cells a layer or chunk may claim, and the most tiles a whole map may hold: beyond
/// that a map is no game level, and its data would only fill memory.
constexpr std::size_t kMaxCells = std::size_t{1} << 22;

/// The tiles of a tile layer, or the tile objects of an object layer.
struct TileLayer {
    std::string name;
    /// A tile layer's tiles row by row from the top; an object layer's in the order listed.
    std::vector<LayerTile> tiles;
};

/// An image layer of the map, a candidate for the level's backdrop.
struct ImageLayer {
    std::string label;  ///< as messages name it: layer "Sky", or layer 3
    std::string image;  ///< its image file beside the map, or "" when it has none
    /// Horizontal parallax factor, its groups' multiplied in (Tiled 1.5 on; 1 when not given).
    double parallax = 1.0;
    /// Drawn before every tile layer and tile object, so the game can draw it behind them.
    bool underTiles = true;
};

/// The camera settings the map's properties give ("cameraLead", ..., or the members of a
/// class property "camera"); each empty when not given. Units as in a level file's "camera".
struct CameraProperties {
    std::optional<double> lead;  ///< game units
    std::optional<double> band;  ///< game units
    std::optional<double> ease;  ///< seconds

    bool Any() const { return lead || band || ease; }
};

/// A map saved by the Tiled editor, as XML (.tmx) or JSON (.tmj), read as far as it can become
/// a level. Both formats fill the same model, so everything after reading is shared.
struct TiledMap {
    std::string file;
    /// The file was read, holds a map, and is of a kind that can become a level (orthogonal).
    bool read = false;
    /// Cells. For an infinite map, the area its tiles use once read: its top-left used cell
    /// then is (0, 0), and `origin` says where that cell was in the editor.
    int width = 0;
    int height = 0;
    bool infinite = false;
    LayerTile origin;                     ///< infinite maps: the editor's cell of (0, 0); no gid
    int tileWidth = 0;                    ///< pixels of one cell
    int tileHeight = 0;                   ///< pixels of one cell
    std::optional<int> id;                ///< map property "id", when given (0 if no int)
    std::optional<std::string> name;      ///< map property "name", when given ("" if no string)
    std::optional<double> deathLevelInY;  ///< map property "deathLevelInY", game units
    CameraProperties camera;
    std::vector<Tileset> tilesets;  ///< in the map's order
    /// The visible image layers, in drawing order (farthest first), groups walked.
    std::vector<ImageLayer> imageLayers;
    /// Every tile layer and object layer, those inside group layers too, in the order Tiled
    /// draws them (lowest first). Object layers without tile objects are left out.
    std::vector<TileLayer> layers;
    std::size_t skippedObjects = 0;  ///< objects that are no tiles (shapes, points, text)
    /// Tile objects turned by an angle that is no multiple of 90°: placed by their centre.
    std::size_t slantedObjects = 0;
    /// Remarks of the readers, each "file: note: ...".
    std::vector<std::string> notes;
    /// Names of the layers left out because they are hidden, groups as one, in drawing order.
    std::vector<std::string> hiddenLayers;
};

/// Gives the whole text of the file `fileName` (the map's name as given, or a tileset's source
/// joined to the map's folder), or empty with `error` saying why ("does not exist").
using FileSource =
    std::function<std::optional<std::string>(const std::string& fileName, std::string& error)>;

/// The FileSource of the importer: regular files on disk, opened read-only.
std::optional<std::string> ReadFileFromDisk(const std::string& fileName, std::string& error);

/// Reads `mapFile` and the external tilesets and object templates it names (relative to the
/// folder of the file naming them) through `files`. A file whose text starts with '<' is read as
/// Tiled's XML (.tmx, .tsx, .tx), any other as its JSON (.tmj, .tsj, .tj), whatever its name.
/// Both of Tiled's JSON generations are read: custom properties as a list of {name, type,
/// value} (Tiled 1.2 on) or as an object {name: value} (before), and tile properties in "tiles"
/// or in "tileproperties". Hidden layers are left out. An infinite map's tiles are moved so that
/// its used area starts at cell (0, 0). Nothing stops at the first problem, except a map that
/// is not orthogonal: each one found is appended to `problems`, naming the file it is in, and
/// the map holds whatever could be read.
TiledMap ReadTiledMap(const std::string& mapFile, std::vector<Problem>& problems,
                      const FileSource& files = ReadFileFromDisk);

/// `text` in double quotes for a message: cut to a few dozen characters, control characters
/// replaced, so a problem stays one short line whatever the input holds.
std::string Quoted(std::string_view text);

}  // namespace levelimport
