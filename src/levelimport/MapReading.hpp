#pragma once

// What the XML and the JSON readers share: finding the files a map names, tileset sizes, tile
// objects' cells, the limits on a map's size, and placing an infinite map's tiles.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "levelimport/TiledMap.hpp"

namespace levelimport {

/// `source`, a file named inside `referrer`, as a path: relative to `referrer`'s folder.
std::string PathBeside(const std::string& referrer, const std::string& source);

/// Whether `text` is XML rather than JSON: its first character that is no space is '<'.
bool LooksLikeXml(std::string_view text);

/// The text of `file`, which `referrer` names as its `what` ("tileset", "template"), or empty
/// after reporting on `file` why it cannot be read and who wanted it.
std::optional<std::string> ReadNamedFile(const std::string& file, const std::string& referrer,
                                         const char* what, std::vector<Problem>& problems,
                                         const FileSource& files);

/// Reads the external tileset `tileset.file` (XML or JSON, by its text), which `referrer` names,
/// into `tileset`; `tileset.read` tells whether it could be.
void ReadTilesetFile(const std::string& referrer, Tileset& tileset, std::vector<Problem>& problems,
                     const FileSource& files);

/// How many tiles of `tileWidth` × `tileHeight` pixels an image of `imageWidth` × `imageHeight`
/// holds between margins and with spacing between tiles (all pixels); 0 when it cannot be told.
std::uint32_t TilesInImage(std::int64_t imageWidth, std::int64_t imageHeight,
                           std::int64_t tileWidth, std::int64_t tileHeight, std::int64_t margin,
                           std::int64_t spacing);

/// A camera setting of the map's properties: its flat name, its member name in a class
/// property "camera", and the largest value the game accepts (the least is 0).
struct CameraSetting {
    const char* property;
    const char* member;
    double most;
    std::optional<double> CameraProperties::*field;
};
/// Lead (at most half the view's width), band (half its height) and ease (seconds), as the
/// game's level reader allows them.
extern const CameraSetting kCameraSettings[3];

/// Stores `value` (empty: the property holds no number) of the property `name` in `map`'s
/// camera, or reports on `map.file` why it cannot be.
void SetCameraSetting(const CameraSetting& setting, const std::string& name,
                      std::optional<double> value, TiledMap& map, std::vector<Problem>& problems);

/// Records that the tileset names the image `source` (relative to its file), when not empty.
void AddImage(Tileset& tileset, const std::string& source);

/// Records that the tileset has tile `local`, and its tile type when `type` is given.
void AddTile(Tileset& tileset, std::uint32_t local, std::optional<int> type);

/// Where a tile object lies, as its file gives it.
struct ObjectPlace {
    double x = 0;  ///< pixels, the layer's offset added: the point its tileset aligns it by
    double y = 0;
    double width = 0;  ///< pixels; 0 or less: the size of its tile's image
    double height = 0;
    double rotation = 0;  ///< degrees clockwise about (x, y)
};

/// The map cell under the centre of the tile object of tile `gid` at `place`, as Tiled draws
/// it: its tileset's "objectalignment" says which point of the object (x, y) is (the
/// bottom-left corner unless set), a rotation turns it about that point, and an object
/// without a size has its tile image's. Empty when it lies more than kFarthestCell cells out.
std::optional<LayerTile> ObjectCell(const ObjectPlace& place, std::uint32_t gid,
                                    const TiledMap& map);

/// Whether `degrees` turns a tile onto the grid (a multiple of 90).
bool RightAngle(double degrees);

/// Moves the tiles of `layer` (a tile layer) by its offset of (`dx`, `dy`) pixels, its groups'
/// added: by whole cells, or to the nearest cells with a note on `file` naming `label` when the
/// offset is not whole cells (within 0.01 pixel); false after a problem when it leads more than
/// kFarthestCell cells out.
bool OffsetTiles(TileLayer& layer, double dx, double dy, const std::string& label,
                 const std::string& file, TiledMap& map, std::vector<Problem>& problems);

/// Whether the map's layers, with `more` tiles added, stay within kMaxCells tiles; reports on
/// `file` when not.
bool RoomForTiles(const TiledMap& map, std::size_t more, const std::string& file,
                  std::vector<Problem>& problems);

/// A problem's text for a layer or chunk of `width` × `height` cells beyond kMaxCells, or empty.
std::optional<std::string> TooManyCells(std::int64_t width, std::int64_t height);

/// Where the cells of a chunk of an infinite map (or of a finite map's whole layer) go: the map
/// cell of its top-left cell and its size in cells, each empty when the file gives no whole
/// number.
struct ChunkPlace {
    std::optional<std::int64_t> x, y, width, height;

    static ChunkPlace WholeMap(const TiledMap& map) { return {0, 0, map.width, map.height}; }
    /// What makes the place unusable ("lies too far out"), or empty when nothing does.
    std::optional<std::string> Fault() const;
    /// Its number of cells; only for a place without a fault.
    std::size_t Cells() const { return static_cast<std::size_t>(*width * *height); }
};

/// Adds the tiles of `gids` (a place's cells, row by row; 0 is an empty cell) on their cells
/// to `layer`; false after reporting on `file` when the map would hold more than kMaxCells
/// tiles.
bool AddChunk(const std::vector<std::uint32_t>& gids, const ChunkPlace& place, const TiledMap& map,
              TileLayer& layer, const std::string& file, std::vector<Problem>& problems);

/// What a map's file says of its shape, in either format; a number is empty when the file gives
/// no whole number.
struct MapShape {
    std::string orientation;
    bool infinite = false;
    std::optional<std::int64_t> width, height;          ///< cells; not read for infinite maps
    std::optional<std::int64_t> tileWidth, tileHeight;  ///< pixels
};

/// Checks `shape` and gives the map its size; false, after reporting on `map.file`, when its
/// layers cannot be placed. A map that is not orthogonal is refused at once (`refused`):
/// nothing else about it matters.
bool TakeShape(const MapShape& shape, TiledMap& map, std::vector<Problem>& problems, bool& refused);

/// Moves an infinite map's tiles so that its leftmost used column and top used row become 0,
/// and sizes the map to the used area; a problem when no tile is in use.
void PlaceInfiniteMap(TiledMap& map, std::vector<Problem>& problems);

}  // namespace levelimport
