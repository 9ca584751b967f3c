#include "levelimport/LdtkProject.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <utility>

#include "levelimport/MapReading.hpp"

namespace levelimport {
namespace {

using rapidjson::Value;

constexpr int kDefaultGridSize = 16;

/// An int member, or `fallback` when it is missing or no int.
int IntMember(const Value& object, const char* key, int fallback) {
    const Value* value = JsonFile::Find(object, key);
    return value != nullptr && value->IsInt() ? value->GetInt() : fallback;
}

/// The N of a line "tileType=N" in a tile's custom data; empty when no line says so.
/// `malformed` is set when a line names tileType but holds no whole number.
std::optional<int> TileTypeInData(std::string_view data, bool& malformed) {
    constexpr std::string_view kKey = "tileType";
    while (!data.empty()) {
        const std::size_t end = std::min(data.find('\n'), data.size());
        std::string_view line = data.substr(0, end);
        data.remove_prefix(std::min(end + 1, data.size()));
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.remove_suffix(1);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front())))
            line.remove_prefix(1);
        if (line.substr(0, kKey.size()) != kKey) continue;
        line.remove_prefix(kKey.size());
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        if (line.empty() || (line.front() != '=' && line.front() != ':')) continue;
        line.remove_prefix(1);
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        int type = 0;
        const auto [last, error] = std::from_chars(line.data(), line.data() + line.size(), type);
        if (error == std::errc() && last == line.data() + line.size()) return type;
        malformed = true;
    }
    return std::nullopt;
}

/// How many tiles of `grid` pixels fit across `pixels`, between padding and with spacing; 0
/// when the numbers make no picture.
int TilesAcross(std::int64_t pixels, std::int64_t grid, std::int64_t padding,
                std::int64_t spacing) {
    if (grid <= 0 || spacing < 0 || padding < 0 || pixels <= 0) return 0;
    return static_cast<int>(
        std::max<std::int64_t>(0, (pixels - 2 * padding + spacing) / (grid + spacing)));
}

}  // namespace

LdtkProject::LdtkProject(std::string file, std::vector<Problem>& problems)
    : json(std::move(file), problems) {}

bool LdtkProject::Read(const FileSource& files) {
    std::string error;
    const std::optional<std::string> text = files(File(), error);
    if (!text) return json.Reported(error);
    if (!json.Parse(*text)) return false;
    const Value* defs = JsonFile::Find(json.Root(), "defs");
    if (defs == nullptr || !defs->IsObject()) {
        if (JsonFile::Find(json.Root(), "layerInstances") != nullptr) {
            return json.Reported("a level of an LDtk project (.ldtkl); give the project (.ldtk)");
        }
        return json.Reported("no \"defs\" object: not an LDtk project, or a cut one");
    }
    defaultGridSize = IntMember(json.Root(), "defaultGridSize", kDefaultGridSize);
    if (defaultGridSize <= 0) defaultGridSize = kDefaultGridSize;
    return ReadTilesets(*defs) && ReadLayerDefs(*defs) && ReadLevels();
}

const LdtkTileset* LdtkProject::Tileset(int uid) const {
    const auto found = tilesets.find(uid);
    return found == tilesets.end() ? nullptr : &found->second;
}

const LdtkLayerDef* LdtkProject::LayerDef(int uid) const {
    const auto found = layerDefs.find(uid);
    return found == layerDefs.end() ? nullptr : &found->second;
}

bool LdtkProject::ReadTilesets(const Value& defs) {
    const Value* list = JsonFile::Find(defs, "tilesets");
    if (list == nullptr) return true;
    if (!list->IsArray()) return json.Reported("\"defs\"/\"tilesets\" is not a list");
    for (const Value& definition : list->GetArray()) {
        const std::string picture = JsonFile::String(definition, "relPath");
        if (!picture.empty()) namedFiles.push_back(PathBeside(File(), picture));
        LdtkTileset tileset;
        tileset.identifier = JsonFile::String(definition, "identifier");
        tileset.gridSize = IntMember(definition, "tileGridSize", 0);
        tileset.spacing = IntMember(definition, "spacing", 0);
        tileset.padding = IntMember(definition, "padding", 0);
        tileset.columns = TilesAcross(IntMember(definition, "pxWid", 0), tileset.gridSize,
                                      tileset.padding, tileset.spacing);
        const Value* customData = JsonFile::Find(definition, "customData");
        if (customData != nullptr && customData->IsArray()) {
            for (const Value& tile : customData->GetArray()) {
                const Value* id = JsonFile::Find(tile, "tileId");
                const Value* data = JsonFile::Find(tile, "data");
                if (id == nullptr || !id->IsInt() || data == nullptr || !data->IsString()) continue;
                bool malformed = false;
                const std::optional<int> type = TileTypeInData(
                    std::string_view(data->GetString(), data->GetStringLength()), malformed);
                if (malformed) {
                    return json.Reported("tileset " + Quoted(tileset.identifier) + ", tile " +
                                         std::to_string(id->GetInt()) +
                                         ": custom data \"tileType=\" without a whole number");
                }
                if (type) tileset.tileTypes[id->GetInt()] = *type;
            }
        }
        tilesets[IntMember(definition, "uid", -1)] = std::move(tileset);
    }
    return true;
}

bool LdtkProject::ReadLayerDefs(const Value& defs) {
    const Value* list = JsonFile::Find(defs, "layers");
    if (list == nullptr) return true;
    if (!list->IsArray()) return json.Reported("\"defs\"/\"layers\" is not a list");
    for (const Value& definition : list->GetArray()) {
        LdtkLayerDef layer;
        layer.identifier = JsonFile::String(definition, "identifier");
        const Value* values = JsonFile::Find(definition, "intGridValues");
        if (values != nullptr && values->IsArray()) {
            for (const Value& value : values->GetArray()) {
                // Projects older than explicit values numbered them from 1 in list order.
                const int number =
                    IntMember(value, "value", static_cast<int>(layer.values.size()) + 1);
                layer.values.push_back(number);
                layer.valueNames[number] = JsonFile::String(value, "identifier");
            }
        }
        layerDefs[IntMember(definition, "uid", -1)] = std::move(layer);
    }
    return true;
}

bool LdtkProject::ReadLevels() {
    const Value& root = json.Root();
    const Value* worlds = JsonFile::Find(root, "worlds");
    if (worlds != nullptr && worlds->IsArray() && !worlds->Empty()) {
        for (const Value& world : worlds->GetArray()) {
            const Value* list = JsonFile::Find(world, "levels");
            const std::string name = JsonFile::String(world, "identifier");
            if (list == nullptr || !list->IsArray()) {
                return json.Reported("world " + Quoted(name) + " has no \"levels\" list");
            }
            if (!AddLevels(*list, name)) return false;
        }
    }
    const Value* list = JsonFile::Find(root, "levels");
    if (list != nullptr && !list->IsArray()) return json.Reported("\"levels\" is not a list");
    if (list != nullptr && !AddLevels(*list, "")) return false;
    if (levels.empty()) return json.Reported("the project holds no level");
    return true;
}

bool LdtkProject::AddLevels(const Value& list, const std::string& world) {
    for (const Value& level : list.GetArray()) {
        if (!level.IsObject()) {
            return json.Reported("level " + std::to_string(levels.size() + 1) +
                                 " is not a JSON object");
        }
        LdtkLevelEntry entry;
        entry.identifier = JsonFile::String(level, "identifier");
        entry.world = world;
        entry.value = &level;
        const Value* layers = JsonFile::Find(level, "layerInstances");
        const std::string external = JsonFile::String(level, "externalRelPath");
        // A level saved in its own file keeps no layers in the project.
        if ((layers == nullptr || layers->IsNull()) && !external.empty()) {
            entry.external = PathBeside(File(), external);
            namedFiles.push_back(entry.external);
        }
        levels.push_back(std::move(entry));
    }
    return true;
}

}  // namespace levelimport
