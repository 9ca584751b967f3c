#include "levelimport/MapImporter.hpp"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace levelimport {
namespace {

constexpr mode_t kFileMode = 0644;
/// Characters of layer names a note lists before it stops.
constexpr std::size_t kMostNoteNames = 200;

std::string CellName(const LayerTile& tile) {
    return "map cell (" + std::to_string(tile.x) + ", " + std::to_string(tile.y) + ")";
}

/// Turns global ids into tile types; each id that has none is reported once.
class TileTypeResolver {
public:
    TileTypeResolver(const TiledMap& map, std::vector<Problem>& problems)
        : map(map), problems(problems) {
        for (const Tileset& tileset : map.tilesets) tilesets.push_back(&tileset);
        std::stable_sort(tilesets.begin(), tilesets.end(), [](const Tileset* a, const Tileset* b) {
            return a->firstGid < b->firstGid;
        });
    }

    /// The tile type of `gid` (flags removed), or empty after reporting why there is none.
    std::optional<int> Resolve(std::uint32_t gid, const TileLayer& layer, const LayerTile& tile) {
        const Tileset* tileset = Owner(gid);
        if (tileset != nullptr && !tileset->read) return std::nullopt;  // reported already
        const std::uint32_t local = tileset ? gid - tileset->firstGid : 0;
        if (tileset != nullptr) {
            const auto type = tileset->tileTypes.find(local);
            if (type != tileset->tileTypes.end()) return type->second;
        }
        if (!reported.insert(gid).second) return std::nullopt;
        const std::string where = " (layer " + Quoted(layer.name) + ", " + CellName(tile) + ")";
        if (tileset == nullptr) {
            Unowned& ids = unowned[TilesetBelow(gid)];
            if (ids.count == 0) ids.firstWhere = where;
            ids.lowest = ids.count == 0 ? gid : std::min(ids.lowest, gid);
            ids.highest = std::max(ids.highest, gid);
            ++ids.count;
        } else {
            const std::string name = tileset->name.empty() ? "" : " " + Quoted(tileset->name);
            problems.push_back({map.file, "tile " + std::to_string(local) + " of tileset" + name +
                                              " has no int property \"tileType\"" + where});
        }
        return std::nullopt;
    }

    /// Reports the ids that belong to no tileset: one line for those past the end of each
    /// tileset (or below every tileset), whatever their number.
    void ReportUnowned() {
        for (const auto& [below, ids] : unowned) {
            const std::string range = ids.count == 1
                                          ? "tile id " + std::to_string(ids.lowest) + " belongs"
                                          : "tile ids " + std::to_string(ids.lowest) + " to " +
                                                std::to_string(ids.highest) + " (" +
                                                std::to_string(ids.count) + " used) belong";
            const std::string first =
                ids.count == 1 ? ids.firstWhere : " (the first: " + ids.firstWhere.substr(2);
            problems.push_back({map.file, range + " to no tileset" + Ends(below) + first});
        }
        unowned.clear();
    }

private:
    /// Ids that belong to no tileset, gathered by the tileset before them.
    struct Unowned {
        std::uint32_t lowest = 0;
        std::uint32_t highest = 0;
        std::size_t count = 0;
        std::string firstWhere;  ///< " (layer ..., map cell ...)" of the first one met
    };

    /// The tileset with the highest first id not above `gid`, or null.
    const Tileset* TilesetBelow(std::uint32_t gid) const {
        auto after = std::upper_bound(
            tilesets.begin(), tilesets.end(), gid,
            [](std::uint32_t id, const Tileset* tileset) { return id < tileset->firstGid; });
        return after == tilesets.begin() ? nullptr : *(after - 1);
    }

    /// Where the tileset `below` ends, when there is one: a tileset whose picture lost tiles
    /// after the map was drawn leaves its cells with ids past its end.
    static std::string Ends(const Tileset* tileset) {
        if (tileset == nullptr) return "";
        const Tileset& below = *tileset;
        const std::uint64_t last = std::uint64_t{below.firstGid} + below.tileCount - 1;
        const std::string name = below.name.empty() ? "" : " " + Quoted(below.name);
        return ": tileset" + name + " holds " + std::to_string(below.tileCount) +
               (below.tileCount == 1 ? " tile, ids " : " tiles, ids ") +
               std::to_string(below.firstGid) + " to " + std::to_string(last);
    }

    /// The tileset with the highest first id not above `gid` that has a tile for it; one whose
    /// file could not be read may have any number of tiles.
    const Tileset* Owner(std::uint32_t gid) const {
        auto after = std::upper_bound(
            tilesets.begin(), tilesets.end(), gid,
            [](std::uint32_t id, const Tileset* tileset) { return id < tileset->firstGid; });
        if (after == tilesets.begin()) return nullptr;
        const Tileset* tileset = *(after - 1);
        if (!tileset->read) return tileset;
        return gid - tileset->firstGid < tileset->tileCount ? tileset : nullptr;
    }

    const TiledMap& map;
    std::vector<Problem>& problems;
    std::vector<const Tileset*> tilesets;  // by first id
    std::set<std::uint32_t> reported;
    std::map<const Tileset*, Unowned> unowned;
};

/// The level tiles of every layer, lower layers first, each layer's top row first. Tiles whose
/// id has no tile type are left out, after a problem was reported; `flipped` counts the tiles
/// with flip or rotation flags.
std::vector<LevelTile> PlaceTiles(const TiledMap& map, std::vector<Problem>& problems,
                                  std::size_t& flipped) {
    std::vector<LevelTile> tiles;
    TileTypeResolver resolver(map, problems);
    for (std::size_t index = 0; index < map.layers.size(); ++index) {
        const TileLayer& layer = map.layers[index];
        // Objects lie in the order they were placed; rows make the level file readable.
        std::vector<LayerTile> byCell = layer.tiles;
        std::stable_sort(byCell.begin(), byCell.end(), [](const LayerTile& a, const LayerTile& b) {
            return a.y != b.y ? a.y < b.y : a.x < b.x;
        });
        for (const LayerTile& tile : byCell) {
            const std::uint32_t gid = tile.gid & ~kGidFlags;
            if (gid == 0) continue;
            if (gid != tile.gid) ++flipped;
            const std::optional<int> type = resolver.Resolve(gid, layer, tile);
            if (type) tiles.push_back({*type, tile.x, map.height - 1 - tile.y, index});
        }
    }
    resolver.ReportUnowned();
    return tiles;
}

/// The level's id and name: the map's properties, else what the file names give.
void NameLevel(const TiledMap& map, const std::string& levelFile, MapImport& result) {
    const std::string levelName = Quoted(std::filesystem::path(levelFile).filename().string());
    const std::string note = map.file + ": note: no map property ";
    if (map.id) {
        result.level.id = *map.id;
    } else if (const std::optional<int> number = NumberEndingName(levelFile); number) {
        result.level.id = *number;
        result.notes.push_back(note + "\"id\": the level's id is " + std::to_string(*number) +
                               ", from the level file name " + levelName);
    } else {
        result.problems.push_back(
            {map.file, "no map property \"id\" (int), and the level file name " + levelName +
                           " ends in no level number (castle3.json is level 3)"});
    }
    if (map.name) {
        result.level.name = *map.name;
        return;
    }
    result.level.name = std::filesystem::path(map.file).stem().string();
    result.notes.push_back(note + "\"name\": the level's name is " + Quoted(result.level.name) +
                           ", from the map file name");
}

std::string JsonString(const std::string& text) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    return buffer.GetString();
}

/// A whole number as an integer (as Tiled and the default world write -63), else the shortest
/// text that reads back as the same double.
std::string JsonNumber(double value) {
    if (std::trunc(value) == value && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<long long>(value));
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.Double(value);
    return buffer.GetString();
}

std::string BackdropText(const std::vector<BackdropLayer>& backdrop) {
    std::string text = "[";
    for (const BackdropLayer& layer : backdrop) {
        text += (text.size() > 1 ? ", " : "") + std::string("{\"sprite\": ") +
                std::to_string(layer.sprite) + ", \"parallax\": " + JsonNumber(layer.parallax) +
                "}";
    }
    return text + "]";
}

std::string CameraText(const CameraProperties& camera) {
    std::string text;
    const auto add = [&text](const char* key, const std::optional<double>& value) {
        if (!value) return;
        text += (text.empty() ? "{\"" : ", \"") + std::string(key) + "\": " + JsonNumber(*value);
    };
    add("lead", camera.lead);
    add("band", camera.band);
    add("ease", camera.ease);
    return text + "}";
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

/// The notes on what of the map a level leaves out or moves: hidden layers and, for an infinite
/// map, the area its tiles use.
void AddMapNotes(const TiledMap& map, std::vector<std::string>& notes) {
    if (!map.hiddenLayers.empty()) {
        std::string names;
        for (const std::string& name : map.hiddenLayers) {
            names += (names.empty() ? "" : ", ") + Quoted(name);
            // Cut the list too, so the note stays one short line.
            if (names.size() > kMostNoteNames) {
                names += ", ...";
                break;
            }
        }
        const std::size_t count = map.hiddenLayers.size();
        notes.push_back(map.file + ": note: " + std::to_string(count) +
                        (count == 1 ? " hidden layer is" : " hidden layers are") +
                        " left out of the level: " + names);
    }
    if (map.infinite && map.width > 0) {
        notes.push_back(map.file + ": note: the map is infinite; the level covers the " +
                        std::to_string(map.width) + " × " + std::to_string(map.height) +
                        " cells in use, from map cell (" + std::to_string(map.origin.x) + ", " +
                        std::to_string(map.origin.y) + ") to (" +
                        std::to_string(map.origin.x + map.width - 1) + ", " +
                        std::to_string(map.origin.y + map.height - 1) + ")");
    }
}

/// The sprite an image file shows: the atlas names sprites "<number>.png", so the image's file
/// name must be one of those.
std::optional<int> SpriteOfImage(const std::string& image) {
    const std::filesystem::path path(image);
    if (path.extension() != ".png") return std::nullopt;
    const std::string stem = path.stem().string();
    int number = 0;
    const auto [last, error] = std::from_chars(stem.data(), stem.data() + stem.size(), number);
    if (stem.empty() || error != std::errc() || last != stem.data() + stem.size() || number < 0) {
        return std::nullopt;
    }
    return number;
}

/// The backdrop from the image layers under every tile, farthest first.
void MakeBackdrop(const TiledMap& map, MapImport& result) {
    for (const ImageLayer& layer : map.imageLayers) {
        if (!layer.image.empty()) result.images.push_back(layer.image);
        const std::string where = map.file + ": note: " + layer.label;
        if (!layer.underTiles) {
            result.notes.push_back(where + " is drawn over tiles and left out: the game draws " +
                                   "the backdrop behind every tile; move it below the tile layers");
            continue;
        }
        if (layer.image.empty()) {
            result.notes.push_back(where + " has no image and is left out");
            continue;
        }
        const std::string file = std::filesystem::path(layer.image).filename().string();
        const std::optional<int> sprite = SpriteOfImage(layer.image);
        if (!sprite) {
            result.problems.push_back(
                {map.file, layer.label + ": its image " + Quoted(file) +
                               " names no atlas sprite: the backdrop shows atlas sprite N for " +
                               "an image named N.png"});
            continue;
        }
        if (!(layer.parallax >= 0.0 && layer.parallax <= 1.0)) {
            result.problems.push_back(
                {map.file, layer.label + ": its horizontal parallax factor " +
                               JsonNumber(layer.parallax) +
                               " (its groups' included) is not between 0 and 1"});
            continue;
        }
        result.level.backdrop.push_back({*sprite, layer.parallax});
    }
}

}  // namespace

std::optional<int> NumberEndingName(const std::string& file) {
    const std::string stem = std::filesystem::path(file).stem().string();
    std::size_t start = stem.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(stem[start - 1]))) --start;
    int number = 0;
    const char* end = stem.data() + stem.size();
    const auto [last, error] = std::from_chars(stem.data() + start, end, number);
    if (start == stem.size() || error != std::errc() || last != end) return std::nullopt;
    return number;
}

MapImport ImportMap(const std::string& mapFile, const std::string& levelFile,
                    const FileSource& files) {
    MapImport result;
    const TiledMap map = ReadTiledMap(mapFile, result.problems, files);
    // A map that could not be read has no properties to miss.
    if (!map.read) return result;
    for (const Tileset& tileset : map.tilesets) {
        result.images.insert(result.images.end(), tileset.images.begin(), tileset.images.end());
    }
    NameLevel(map, levelFile, result);
    result.level.deathLevelInY = map.deathLevelInY;
    result.level.camera = map.camera;
    MakeBackdrop(map, result);
    std::size_t flipped = 0;
    result.level.tiles = PlaceTiles(map, result.problems, flipped);
    if (flipped > 0) {
        result.notes.push_back(mapFile + ": note: " + std::to_string(flipped) +
                               (flipped == 1 ? " tile is" : " tiles are") +
                               " flipped or rotated; the game draws every tile unflipped");
    }
    AddMapNotes(map, result.notes);
    result.notes.insert(result.notes.end(), map.notes.begin(), map.notes.end());
    if (map.slantedObjects > 0) {
        const std::size_t slanted = map.slantedObjects;
        result.notes.push_back(mapFile + ": note: " + std::to_string(slanted) +
                               (slanted == 1 ? " tile object is" : " tile objects are") +
                               " turned by an angle that is no multiple of 90°: placed on the "
                               "cell under the centre Tiled draws it at");
    }
    const std::size_t skipped = map.skippedObjects;
    if (skipped > 0) {
        result.notes.push_back(mapFile + ": note: " + std::to_string(skipped) +
                               (skipped == 1 ? " object is" : " objects are") +
                               " not a tile (a shape, point or text) and skipped");
    }
    return result;
}

std::string LevelText(const Level& level) {
    std::string text = "{\n  \"id\": " + std::to_string(level.id) +
                       ",\n  \"name\": " + JsonString(level.name) + ",\n";
    if (level.deathLevelInY)
        text += "  \"deathLevelInY\": " + JsonNumber(*level.deathLevelInY) + ",\n";
    if (!level.backdrop.empty()) text += "  \"backdrop\": " + BackdropText(level.backdrop) + ",\n";
    if (level.camera.Any()) text += "  \"camera\": " + CameraText(level.camera) + ",\n";
    text += "  \"arrayOfTiles\": [";
    for (std::size_t i = 0; i < level.tiles.size(); ++i) {
        const LevelTile& tile = level.tiles[i];
        // One line for each row of each layer.
        const bool rowStarts =
            i == 0 || level.tiles[i - 1].row != tile.row || level.tiles[i - 1].layer != tile.layer;
        if (rowStarts) text += i == 0 ? "\n    [" : "],\n    [";
        if (!rowStarts) text += ", ";
        text += "[" + std::to_string(tile.type) + ", " + std::to_string(tile.column) + ", " +
                std::to_string(tile.row) + "]";
    }
    text += level.tiles.empty() ? "]\n}\n" : "]\n  ]\n}\n";
    return text;
}

bool WriteFileWhole(const std::string& fileName, const std::string& text, std::string& error) {
    // Beside the target, so the rename stays within one file system.
    std::string temporary = fileName + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool complete = WriteAll(fd, text);
    // mkstemp makes the file private; a level file is as readable as the game's other files.
    complete = complete && fchmod(fd, kFileMode) == 0;
    if (!complete) error = std::strerror(errno);
    if (close(fd) != 0 && complete) {
        complete = false;
        error = std::strerror(errno);
    }
    if (complete && std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        complete = false;
        error = std::strerror(errno);
    }
    if (!complete) std::remove(temporary.c_str());
    return complete;
}

}  // namespace levelimport
