#include "levelimport/MapImporter.hpp"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

namespace levelimport {
namespace {

/// Tiled keeps flip and rotation flags in a global id's top four bits.
constexpr std::uint32_t kFlagBits = 0xF0000000u;
/// Cells holding two tiles are listed up to this many; the rest are counted.
constexpr std::size_t kMaxCellReports = 10;
constexpr mode_t kFileMode = 0644;

std::string CellName(const TiledMap& map, std::size_t cell) {
    return "map cell (" + std::to_string(cell % map.width) + ", " +
           std::to_string(cell / map.width) + ")";
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
    std::optional<int> Resolve(std::uint32_t gid, const TileLayer& layer, std::size_t cell) {
        const Tileset* tileset = Owner(gid);
        const std::uint32_t local = tileset ? gid - tileset->firstGid : 0;
        if (tileset != nullptr) {
            const auto type = tileset->tileTypes.find(local);
            if (type != tileset->tileTypes.end()) return type->second;
        }
        if (!reported.insert(gid).second) return std::nullopt;
        const std::string where =
            " (layer " + Quoted(layer.name) + ", " + CellName(map, cell) + ")";
        if (tileset == nullptr) {
            problems.push_back(
                {map.file, "tile id " + std::to_string(gid) + " belongs to no tileset" + where});
        } else {
            const std::string name = tileset->name.empty() ? "" : " " + Quoted(tileset->name);
            problems.push_back({map.file, "tile " + std::to_string(local) + " of tileset" + name +
                                              " has no int property \"tileType\"" + where});
        }
        return std::nullopt;
    }

private:
    /// The tileset with the highest first id not above `gid` that has a tile for it.
    const Tileset* Owner(std::uint32_t gid) const {
        auto after = std::upper_bound(
            tilesets.begin(), tilesets.end(), gid,
            [](std::uint32_t id, const Tileset* tileset) { return id < tileset->firstGid; });
        if (after == tilesets.begin()) return nullptr;
        const Tileset* tileset = *(after - 1);
        return gid - tileset->firstGid < tileset->tileCount ? tileset : nullptr;
    }

    const TiledMap& map;
    std::vector<Problem>& problems;
    std::vector<const Tileset*> tilesets;  // by first id
    std::set<std::uint32_t> reported;
};

/// Each map cell's tile type, from every layer; empty where no layer has a tile. Cells whose
/// tile has no type are left empty too, after a problem was reported.
std::vector<std::optional<int>> PlaceTiles(const TiledMap& map, std::vector<Problem>& problems,
                                           std::size_t& flipped) {
    const std::size_t cells =
        map.layers.empty() ? 0 : static_cast<std::size_t>(map.width) * map.height;
    std::vector<std::optional<int>> types(cells);
    std::vector<const TileLayer*> placedBy(cells, nullptr);
    TileTypeResolver resolver(map, problems);
    std::size_t doubles = 0;
    for (const TileLayer& layer : map.layers) {
        for (std::size_t cell = 0; cell < cells; ++cell) {
            const std::uint32_t gid = layer.gids[cell] & ~kFlagBits;
            if (gid == 0) continue;
            if (gid != layer.gids[cell]) ++flipped;
            const std::optional<int> type = resolver.Resolve(gid, layer, cell);
            if (placedBy[cell] != nullptr) {
                if (++doubles <= kMaxCellReports) {
                    problems.push_back({map.file, CellName(map, cell) +
                                                      " holds two tiles (layers " +
                                                      Quoted(placedBy[cell]->name) + " and " +
                                                      Quoted(layer.name) + ")"});
                }
                continue;
            }
            placedBy[cell] = &layer;
            types[cell] = type;
        }
    }
    if (doubles > kMaxCellReports) {
        problems.push_back(
            {map.file, std::to_string(doubles - kMaxCellReports) + " more cells hold two tiles"});
    }
    return types;
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

}  // namespace

MapImport ImportMap(const std::string& mapFile) {
    MapImport result;
    const TiledMap map = ReadTiledMap(mapFile, result.problems);
    result.level.id = map.id;
    result.level.name = map.name;
    result.level.deathLevelInY = map.deathLevelInY;
    std::size_t flipped = 0;
    const std::vector<std::optional<int>> types = PlaceTiles(map, result.problems, flipped);
    for (std::size_t cell = 0; cell < types.size(); ++cell) {
        if (!types[cell]) continue;
        const int column = static_cast<int>(cell % map.width);
        const int row = map.height - 1 - static_cast<int>(cell / map.width);
        result.level.tiles.push_back({*types[cell], column, row});
    }
    if (flipped > 0) {
        result.notes.push_back(mapFile + ": note: " + std::to_string(flipped) +
                               (flipped == 1 ? " tile is" : " tiles are") +
                               " flipped or rotated; the game draws every tile unflipped");
    }
    return result;
}

std::string LevelText(const Level& level) {
    std::string text = "{\n  \"id\": " + std::to_string(level.id) +
                       ",\n  \"name\": " + JsonString(level.name) + ",\n";
    if (level.deathLevelInY)
        text += "  \"deathLevelInY\": " + JsonNumber(*level.deathLevelInY) + ",\n";
    text += "  \"arrayOfTiles\": [";
    for (std::size_t i = 0; i < level.tiles.size(); ++i) {
        const LevelTile& tile = level.tiles[i];
        const bool rowStarts = i == 0 || level.tiles[i - 1].row != tile.row;
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
