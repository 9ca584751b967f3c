#include "levelimport/LdtkLevelImporter.hpp"

#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "levelimport/JsonFile.hpp"
#include "levelimport/LdtkLevelFields.hpp"
#include "levelimport/MapReading.hpp"

namespace levelimport {
namespace {

using rapidjson::Value;

/// Characters of layer names a note lists before it stops.
constexpr std::size_t kMostNoteNames = 200;

/// A layer instance as read: where its tiles go and what it is called in messages.
struct LayerPlace {
    std::string name;
    int gridSize = 0;                 ///< pixels of one of its cells
    double offsetX = 0, offsetY = 0;  ///< pixels the whole layer is moved by
};

/// A number member as a double, or empty.
std::optional<double> NumberMember(const Value& object, const char* key) {
    const Value* value = JsonFile::Find(object, key);
    if (value == nullptr || !value->IsNumber()) return std::nullopt;
    return value->GetDouble();
}

int IntMember(const Value& object, const char* key, int fallback) {
    const Value* value = JsonFile::Find(object, key);
    return value != nullptr && value->IsInt() ? value->GetInt() : fallback;
}

/// A pair [x, y] of numbers, such as a tile's "px".
std::optional<std::pair<double, double>> PairMember(const Value& object, const char* key) {
    const Value* value = JsonFile::Find(object, key);
    if (value == nullptr || !value->IsArray() || value->Size() < 2) return std::nullopt;
    const Value& x = (*value)[0];
    const Value& y = (*value)[1];
    if (!x.IsNumber() || !y.IsNumber()) return std::nullopt;
    return std::make_pair(x.GetDouble(), y.GetDouble());
}

std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + Quoted(name);
        if (list.size() > kMostNoteNames) return list + ", ...";
    }
    return list;
}

/// The id of the tile cut from `tileset`'s picture at pixel (x, y), or -1 when none is.
int TileCutAt(const LdtkTileset& tileset, double x, double y) {
    const double step = static_cast<double>(tileset.gridSize) + tileset.spacing;
    if (tileset.columns <= 0 || step <= 0) return -1;
    const double column = std::floor((x - tileset.padding) / step);
    const double row = std::floor((y - tileset.padding) / step);
    const double id = row * tileset.columns + column;
    if (!(column >= 0 && column < tileset.columns && row >= 0 && id <= kMaxCells)) return -1;
    return static_cast<int>(id);
}

/// The work on one level: its grid, the tiles found, and what was reported.
class LevelWork {
public:
    LevelWork(const LdtkProject& project, const LdtkTypes& types, std::string levelLabel,
              MapImport& result)
        : project(project), types(types), label(std::move(levelLabel)), result(result) {}

    /// Reads the size and grid of `level`, whose layers are `layers`; false after a problem.
    bool Measure(const Value& level, const Value& layers);
    void ReadLayers(const Value& layers);
    void AddNotes();

    /// Where problems go: the project, or the .ldtkl file holding the layers.
    std::string file;

private:
    void ReadLayer(const Value& layer);
    void ReadIntGrid(const Value& layer, const LayerPlace& place);
    void ReadTiles(const Value& layer, const Value& list, const LayerPlace& place);
    void ReadEntities(const Value& list, const LayerPlace& place);
    void Place(int type, double x, double y);
    std::optional<int> ValueType(const Value& layer, int value, const LayerPlace& place);
    std::optional<int> TileType(const LdtkTileset* tileset, int uid, int id,
                                const LayerPlace& place);
    /// Reports `text` about `place`, once per `key` in the level.
    void Untyped(const std::string& key, const LayerPlace& place, const std::string& text);
    void Report(const LayerPlace& place, const std::string& text) {
        result.problems.push_back({file, label + ", layer " + Quoted(place.name) + ": " + text});
    }

    const LdtkProject& project;
    const LdtkTypes& types;
    std::string label;
    MapImport& result;
    int grid = 0;    ///< pixels of one cell of the level
    int height = 0;  ///< the level's rows
    std::size_t layerIndex = 0;
    bool full = false;  ///< the level reached kMaxCells tiles
    std::size_t flipped = 0;
    std::set<std::string> reported;
    std::vector<std::string> hidden;
    std::vector<std::string> offGrid;
};

bool LevelWork::Measure(const Value& level, const Value& layers) {
    // The grid most tile layers use; entities are placed on it whatever their own grid.
    std::map<int, int> uses;
    for (const Value& layer : layers.GetArray()) {
        if (JsonFile::String(layer, "__type") == "Entities") continue;
        const int size = IntMember(layer, "__gridSize", 0);
        if (size > 0) ++uses[size];
    }
    grid = project.DefaultGridSize();
    int most = 0;
    for (const auto& [size, count] : uses) {
        if (count > most) std::tie(grid, most) = std::make_pair(size, count);
    }
    const int pixels = IntMember(level, "pxHei", 0);
    if (pixels <= 0) {
        result.problems.push_back({file, label + ": \"pxHei\" is not a positive whole number"});
        return false;
    }
    height = pixels / grid + (pixels % grid != 0);
    if (height > kFarthestCell) {
        result.problems.push_back({file, label + " is " + std::to_string(height) +
                                             " cells high, more than the " +
                                             std::to_string(kFarthestCell) + " a level may be"});
        return false;
    }
    return true;
}

void LevelWork::ReadLayers(const Value& layers) {
    // The list starts with the top layer: the game draws later tiles over earlier ones.
    for (std::size_t i = layers.Size(); i-- > 0 && !full;) ReadLayer(layers[i]);
}

void LevelWork::ReadLayer(const Value& layer) {
    LayerPlace place;
    place.name = JsonFile::String(layer, "__identifier");
    const Value* visible = JsonFile::Find(layer, "visible");
    if (visible != nullptr && visible->IsFalse()) {
        hidden.push_back(place.name);
        return;
    }
    place.gridSize = IntMember(layer, "__gridSize", grid);
    if (place.gridSize <= 0) return Report(place, "\"__gridSize\" is not a positive number");
    place.offsetX = NumberMember(layer, "__pxTotalOffsetX")
                        .value_or(NumberMember(layer, "pxOffsetX").value_or(0));
    place.offsetY = NumberMember(layer, "__pxTotalOffsetY")
                        .value_or(NumberMember(layer, "pxOffsetY").value_or(0));
    // Entities are placed by their pivot, whatever grid their layer has.
    const bool entityLayer = JsonFile::String(layer, "__type") == "Entities";
    if ((place.gridSize != grid && !entityLayer) || std::fmod(place.offsetX, grid) != 0 ||
        std::fmod(place.offsetY, grid) != 0) {
        offGrid.push_back(place.name);
    }
    ReadIntGrid(layer, place);
    for (const char* key : {"autoLayerTiles", "gridTiles"}) {
        const Value* list = JsonFile::Find(layer, key);
        if (list != nullptr && list->IsArray() && !list->Empty() && !full) {
            ++layerIndex;
            ReadTiles(layer, *list, place);
        }
    }
    const Value* entities = JsonFile::Find(layer, "entityInstances");
    if (entities != nullptr && entities->IsArray() && !entities->Empty() && !full) {
        ++layerIndex;
        ReadEntities(*entities, place);
    }
}

void LevelWork::ReadIntGrid(const Value& layer, const LayerPlace& place) {
    const Value* csv = JsonFile::Find(layer, "intGridCsv");
    const Value* pairs = JsonFile::Find(layer, "intGrid");
    const bool hasCsv = csv != nullptr && csv->IsArray() && !csv->Empty();
    const bool hasPairs = pairs != nullptr && pairs->IsArray() && !pairs->Empty();
    if (!hasCsv && !hasPairs) return;
    const int columns = IntMember(layer, "__cWid", 0);
    const int rows = IntMember(layer, "__cHei", 0);
    if (columns <= 0 || rows <= 0) {
        return Report(place, "IntGrid values but no positive \"__cWid\" and \"__cHei\"");
    }
    if (const std::optional<std::string> tooLarge = TooManyCells(columns, rows); tooLarge) {
        return Report(place, *tooLarge);
    }
    const std::size_t cells = static_cast<std::size_t>(columns) * rows;
    ++layerIndex;
    const auto add = [&](std::size_t cell, int value) {
        const std::optional<int> type = ValueType(layer, value, place);
        if (!type) return;
        Place(*type,
              static_cast<double>(cell % columns) * place.gridSize + place.offsetX +
                  place.gridSize / 2.0,
              static_cast<double>(cell / columns) * place.gridSize + place.offsetY +
                  place.gridSize / 2.0);
    };
    if (hasCsv) {
        if (csv->Size() != cells) {
            return Report(place, "\"intGridCsv\" holds " + std::to_string(csv->Size()) +
                                     " values for " + std::to_string(cells) + " cells");
        }
        for (std::size_t cell = 0; cell < cells && !full; ++cell) {
            const Value& value = (*csv)[static_cast<rapidjson::SizeType>(cell)];
            if (!value.IsInt()) return Report(place, "\"intGridCsv\" holds a value that is no int");
            if (value.GetInt() != 0) add(cell, value.GetInt());
        }
        return;
    }
    // Before "intGridCsv": {coordId, v} pairs, v the value's place in the definition's list.
    const LdtkLayerDef* definition = project.LayerDef(IntMember(layer, "layerDefUid", -1));
    for (const Value& pair : pairs->GetArray()) {
        if (full) return;
        const int cell = IntMember(pair, "coordId", -1);
        const int index = IntMember(pair, "v", -1);
        if (cell < 0 || static_cast<std::size_t>(cell) >= cells || index < 0) {
            return Report(place, "\"intGrid\" holds a cell that is not in the layer");
        }
        const bool listed =
            definition && static_cast<std::size_t>(index) < definition->values.size();
        add(static_cast<std::size_t>(cell),
            listed ? definition->values[static_cast<std::size_t>(index)] : index + 1);
    }
}

void LevelWork::ReadTiles(const Value& layer, const Value& list, const LayerPlace& place) {
    int uid = IntMember(layer, "overrideTilesetUid", -1);
    if (uid < 0) uid = IntMember(layer, "__tilesetDefUid", -1);
    const LdtkTileset* tileset = project.Tileset(uid);
    for (const Value& tile : list.GetArray()) {
        if (full) return;
        const auto px = PairMember(tile, "px");
        if (!px) return Report(place, "a tile without a position \"px\"");
        int id = IntMember(tile, "t", -1);
        // Projects older than "t" give only where the tile is cut from the picture.
        const auto src = PairMember(tile, "src");
        if (id < 0 && src && tileset != nullptr) id = TileCutAt(*tileset, src->first, src->second);
        if (id < 0) return Report(place, "a tile without a tile id \"t\"");
        if (IntMember(tile, "f", 0) != 0) ++flipped;
        const std::optional<int> type = TileType(tileset, uid, id, place);
        if (!type) continue;
        Place(*type, px->first + place.offsetX + place.gridSize / 2.0,
              px->second + place.offsetY + place.gridSize / 2.0);
    }
}

/// The Int field "tileType" of an entity, when it has one with a value.
std::optional<int> TileTypeField(const Value& entity) {
    const Value* fields = JsonFile::Find(entity, "fieldInstances");
    if (fields == nullptr || !fields->IsArray()) return std::nullopt;
    for (const Value& field : fields->GetArray()) {
        if (JsonFile::String(field, "__identifier") != "tileType") continue;
        const Value* value = JsonFile::Find(field, "__value");
        if (value != nullptr && value->IsInt()) return value->GetInt();
    }
    return std::nullopt;
}

void LevelWork::ReadEntities(const Value& list, const LayerPlace& place) {
    for (const Value& entity : list.GetArray()) {
        if (full) return;
        const std::string name = JsonFile::String(entity, "__identifier");
        std::optional<int> type = TileTypeField(entity);
        if (!type) type = types.Find(name);
        if (!type) {
            Untyped(
                "entity:" + name, place,
                "entity " + Quoted(name) + " has no type: no Int field \"tileType\" and " +
                    (types.File().empty() ? "no types file (--types)" : "not in " + types.File()));
            continue;
        }
        auto px = PairMember(entity, "px");
        // Without a pixel position, the middle of its cell on its layer's grid.
        if (const auto cell = PairMember(entity, "__grid"); !px && cell) {
            const double half = place.gridSize / 2.0;
            px = std::make_pair(cell->first * place.gridSize + half,
                                cell->second * place.gridSize + half);
        }
        if (!px) return Report(place, "entity " + Quoted(name) + " without a position \"px\"");
        // The pivot on a cell's right or bottom edge still stands on that cell, as in LDtk.
        const auto pivot = PairMember(entity, "__pivot").value_or(std::make_pair(0.0, 0.0));
        const double nudge = 0.5;
        Place(*type, px->first + place.offsetX - (pivot.first >= 1 ? nudge : 0),
              px->second + place.offsetY - (pivot.second >= 1 ? nudge : 0));
    }
}

void LevelWork::Place(int type, double x, double y) {
    const double column = std::floor(x / grid);
    const double cellY = std::floor(y / grid);
    if (!(std::fabs(column) <= kFarthestCell && std::fabs(cellY) <= kFarthestCell)) return;
    if (result.level.tiles.size() >= kMaxCells) {
        full = true;
        result.problems.push_back({file, label + ": more than " + std::to_string(kMaxCells) +
                                             " tiles, more than a level may have"});
        return;
    }
    result.level.tiles.push_back(
        {type, static_cast<int>(column), height - 1 - static_cast<int>(cellY), layerIndex});
}

std::optional<int> LevelWork::ValueType(const Value& layer, int value, const LayerPlace& place) {
    const LdtkLayerDef* definition = project.LayerDef(IntMember(layer, "layerDefUid", -1));
    std::string identifier;
    if (definition != nullptr) {
        const auto name = definition->valueNames.find(value);
        if (name != definition->valueNames.end()) identifier = name->second;
    }
    const std::string key =
        identifier.empty() ? place.name + ":" + std::to_string(value) : identifier;
    if (const std::optional<int> type = types.Find(key); type) return type;
    Untyped("value:" + place.name + ":" + std::to_string(value), place,
            "IntGrid value " + std::to_string(value) +
                (identifier.empty() ? "" : " (" + Quoted(identifier) + ")") + " has no type: " +
                (types.File().empty() ? "no types file (--types)"
                                      : Quoted(key) + " is not in " + types.File()));
    return std::nullopt;
}

std::optional<int> LevelWork::TileType(const LdtkTileset* tileset, int uid, int id,
                                       const LayerPlace& place) {
    if (tileset == nullptr) {
        Untyped("tileset:" + std::to_string(uid), place,
                "tiles of tileset " + std::to_string(uid) + ", which the project does not define");
        return std::nullopt;
    }
    const auto custom = tileset->tileTypes.find(id);
    if (custom != tileset->tileTypes.end()) return custom->second;
    const std::string key = tileset->identifier + ":" + std::to_string(id);
    if (const std::optional<int> type = types.Find(key); type) return type;
    Untyped("tile:" + key, place,
            "tile " + std::to_string(id) + " of tileset " + Quoted(tileset->identifier) +
                " has no type: no custom data \"tileType=N\" and " +
                (types.File().empty() ? "no types file (--types)"
                                      : Quoted(key) + " not in " + types.File()));
    return std::nullopt;
}

void LevelWork::Untyped(const std::string& key, const LayerPlace& place, const std::string& text) {
    if (reported.insert(key).second) Report(place, text);
}

void LevelWork::AddNotes() {
    const std::string note = file + ": note: " + label + ": ";
    if (!hidden.empty()) {
        result.notes.push_back(note + std::to_string(hidden.size()) +
                               (hidden.size() == 1 ? " hidden layer is" : " hidden layers are") +
                               " left out: " + NameList(hidden));
    }
    if (!offGrid.empty()) {
        result.notes.push_back(note + std::to_string(offGrid.size()) +
                               (offGrid.size() == 1 ? " layer is" : " layers are") + " off the " +
                               std::to_string(grid) + "-pixel grid of the level (" +
                               NameList(offGrid) +
                               "): each tile went to the cell under its centre");
    }
    if (flipped > 0) {
        result.notes.push_back(note + std::to_string(flipped) +
                               (flipped == 1 ? " tile is" : " tiles are") +
                               " flipped; the game draws every tile unflipped");
    }
}

/// The level's own file (.ldtkl) parsed, or null after a problem.
std::unique_ptr<JsonFile> ReadLevelFile(const LdtkLevelEntry& entry, const std::string& project,
                                        std::vector<Problem>& problems, const FileSource& files) {
    std::string error;
    const std::optional<std::string> text = files(entry.external, error);
    if (!text) {
        problems.push_back({entry.external, error + " (level " + Quoted(entry.identifier) + " of " +
                                                project + ")"});
        return nullptr;
    }
    auto file = std::make_unique<JsonFile>(entry.external, problems);
    if (!file->Parse(*text)) return nullptr;
    return file;
}

}  // namespace

MapImport LdtkLevelImporter::Import(const LdtkLevelEntry& entry, int series,
                                    const std::string& levelFile, const FileSource& files) const {
    MapImport result;
    const std::string label = "level " + Quoted(entry.identifier);
    LevelWork work(project, types, label, result);
    work.file = project.File();
    std::unique_ptr<JsonFile> own;
    const Value* level = entry.value;
    if (!entry.external.empty()) {
        own = ReadLevelFile(entry, project.File(), result.problems, files);
        if (!own) return result;
        level = &own->Root();
        work.file = entry.external;
    }
    const Value* layers = JsonFile::Find(*level, "layerInstances");
    if (layers == nullptr || !layers->IsArray()) {
        result.problems.push_back({work.file, label + " has no \"layerInstances\" list"});
        return result;
    }
    result.level.name = entry.identifier;
    result.level.id = NumberEndingName(levelFile).value_or(series);
    // The fields stand in the project even when the layers are in a file of their own.
    ReadLdtkLevelFields(*entry.value, project.File(), label, result);
    if (!work.Measure(*level, *layers)) return result;
    work.ReadLayers(*layers);
    work.AddNotes();
    // Within a layer by rows from the top, as the level file lists them.
    std::stable_sort(result.level.tiles.begin(), result.level.tiles.end(),
                     [](const LevelTile& a, const LevelTile& b) {
                         if (a.layer != b.layer) return a.layer < b.layer;
                         return a.row != b.row ? a.row > b.row : a.column < b.column;
                     });
    return result;
}

}  // namespace levelimport
