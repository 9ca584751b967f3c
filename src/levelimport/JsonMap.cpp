#include "levelimport/JsonMap.hpp"

#include <rapidjson/document.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

#include "levelimport/JsonFile.hpp"
#include "levelimport/MapLayers.hpp"
#include "levelimport/MapReading.hpp"

namespace levelimport {
namespace {

using rapidjson::Value;

std::string Key(const char* key) {
    return std::string("\"") + key + "\"";
}

/// A tileset as messages name it: its "name", else its place in the list.
std::string TilesetLabel(const std::string& name, std::size_t index) {
    if (!name.empty()) return "tileset " + Quoted(name);
    return "tileset " + std::to_string(index + 1);
}

/// An int member of the map, or empty.
std::optional<std::int64_t> WholeMember(const Value& root, const char* key) {
    const Value* value = JsonFile::Find(root, key);
    if (value == nullptr || !value->IsInt64()) return std::nullopt;
    return value->GetInt64();
}

MapShape ShapeOf(const Value& root) {
    const Value* infinite = JsonFile::Find(root, "infinite");
    return {JsonFile::String(root, "orientation"),
            infinite != nullptr && infinite->IsTrue(),
            WholeMember(root, "width"),
            WholeMember(root, "height"),
            WholeMember(root, "tilewidth"),
            WholeMember(root, "tileheight")};
}

/// The optional map properties "id", "name" and "deathLevelInY".
void ReadMapProperties(const JsonFile& file, TiledMap& map) {
    const Value& root = file.Root();
    const Value* properties = JsonFile::Find(root, "properties");
    if (properties != nullptr && !properties->IsArray() && !properties->IsObject()) {
        file.Report("\"properties\" is neither a list nor an object");
        return;
    }
    if (const Value* id = JsonFile::FindProperty(root, "id"); id != nullptr) {
        // Once reported, any id does: it is not looked for elsewhere, and nothing is written.
        map.id = id->IsInt() ? id->GetInt() : 0;
        if (!id->IsInt()) file.Report("map property \"id\" is not an integer");
    }
    if (const Value* name = JsonFile::FindProperty(root, "name"); name != nullptr) {
        map.name = name->IsString() ? std::string(name->GetString(), name->GetStringLength()) : "";
        if (!name->IsString()) file.Report("map property \"name\" is not a string");
    }
    const Value* death = JsonFile::FindProperty(root, "deathLevelInY");
    if (death == nullptr) return;
    // The game keeps the death line as a float: a larger number would become infinity.
    if (!death->IsNumber() || std::fabs(death->GetDouble()) > std::numeric_limits<float>::max()) {
        file.Report("map property \"deathLevelInY\" is not a number a float can hold");
        return;
    }
    map.deathLevelInY = death->GetDouble();
}

/// The camera settings: the members of a class property "camera" (Tiled 1.8 on), then the
/// flat properties "cameraLead", ..., which win where both are given.
void ReadCameraProperties(const JsonFile& file, TiledMap& map, std::vector<Problem>& problems) {
    const Value* camera = JsonFile::FindProperty(file.Root(), "camera");
    const auto number = [](const Value& value) {
        return value.IsNumber() ? std::optional<double>(value.GetDouble()) : std::nullopt;
    };
    for (const CameraSetting& setting : kCameraSettings) {
        const Value* member = camera ? JsonFile::Find(*camera, setting.member) : nullptr;
        if (member != nullptr) {
            SetCameraSetting(setting, std::string("\"camera\" member \"") + setting.member + "\"",
                             number(*member), map, problems);
        }
        if (const Value* flat = JsonFile::FindProperty(file.Root(), setting.property); flat) {
            SetCameraSetting(setting, std::string("\"") + setting.property + "\"", number(*flat),
                             map, problems);
        }
    }
}

std::int64_t IntMember(const Value& json, const char* key) {
    const Value* value = JsonFile::Find(json, key);
    return value != nullptr && value->IsInt() ? value->GetInt() : 0;
}

/// The tiles a tileset's image holds, for tilesets saved without "tilecount" (by old Tiled
/// versions); 0 when that cannot be told.
std::uint32_t TilesInImage(const Value& json) {
    return levelimport::TilesInImage(IntMember(json, "imagewidth"), IntMember(json, "imageheight"),
                                     IntMember(json, "tilewidth"), IntMember(json, "tileheight"),
                                     IntMember(json, "margin"), IntMember(json, "spacing"));
}

/// Records tile `local` of the tileset, and its tile type when `type` (its "tileType" property)
/// is there.
void SetTileType(const JsonFile& file, const Value* type, std::uint32_t local, Tileset& tileset,
                 const std::string& label) {
    // A missing type is a problem only where the map uses the tile.
    if (type != nullptr && !type->IsInt()) {
        file.Report(label + ": tile " + std::to_string(local) +
                    " has a \"tileType\" that is not an integer");
    }
    AddTile(tileset, local,
            type != nullptr && type->IsInt() ? std::optional<int>(type->GetInt()) : std::nullopt);
}

/// A tile id written as an object key ("12"), or empty when the key is none.
std::optional<std::uint32_t> KeyId(const Value& key) {
    std::uint32_t id = 0;
    const char* end = key.GetString() + key.GetStringLength();
    const auto [last, error] = std::from_chars(key.GetString(), end, id);
    if (error != std::errc() || last != end || key.GetStringLength() == 0) return std::nullopt;
    return id;
}

/// Calls `use(id, value)` for each member of an object keyed by tile id, the form of "tiles"
/// and "tileproperties" before Tiled 1.2; other keys are reported.
template <typename Use>
void ForEachKeyedTile(const JsonFile& file, const Value& tiles, const char* key,
                      const std::string& label, Use use) {
    for (const auto& member : tiles.GetObject()) {
        const std::optional<std::uint32_t> local = KeyId(member.name);
        if (local) {
            use(*local, member.value);
            continue;
        }
        file.Report(label + ": " + Key(key) + " has the key " +
                    Quoted({member.name.GetString(), member.name.GetStringLength()}) +
                    ", not a tile id");
    }
}

/// The tiles of a tileset's "tiles": a list of {id, properties} (Tiled 1.2 on) or an object
/// keyed by tile id (before).
void ReadTiles(const JsonFile& file, const Value& tiles, Tileset& tileset,
               const std::string& label) {
    if (tiles.IsObject()) {
        ForEachKeyedTile(file, tiles, "tiles", label, [&](std::uint32_t local, const Value& tile) {
            AddImage(tileset, JsonFile::String(tile, "image"));
            SetTileType(file, JsonFile::FindProperty(tile, "tileType"), local, tileset, label);
        });
        return;
    }
    if (!tiles.IsArray()) {
        file.Report(label + ": \"tiles\" is neither a list nor an object");
        return;
    }
    for (const Value& tile : tiles.GetArray()) {
        AddImage(tileset, JsonFile::String(tile, "image"));
        const Value* id = JsonFile::Find(tile, "id");
        if (id != nullptr && id->IsUint() && JsonFile::Find(tile, "image") != nullptr) {
            tileset.imageSizes[id->GetUint()] = {
                static_cast<double>(IntMember(tile, "imagewidth")),
                static_cast<double>(IntMember(tile, "imageheight"))};
        }
        if (id == nullptr || !id->IsUint()) {
            file.Report(label + ": a tile has no \"id\"");
            continue;
        }
        SetTileType(file, JsonFile::FindProperty(tile, "tileType"), id->GetUint(), tileset, label);
    }
}

/// The tile types of a tileset, from "tiles" and, in tilesets saved before Tiled 1.2, from
/// "tileproperties" ({"<id>": {"tileType": N}}); `label` names the tileset in messages.
void ReadTileTypes(const JsonFile& file, const Value& json, Tileset& tileset,
                   const std::string& label) {
    const Value* count = JsonFile::Find(json, "tilecount");
    tileset.tileCount = count != nullptr && count->IsUint() ? count->GetUint() : TilesInImage(json);
    AddImage(tileset, JsonFile::String(json, "image"));
    tileset.tileWidth = static_cast<int>(IntMember(json, "tilewidth"));
    tileset.tileHeight = static_cast<int>(IntMember(json, "tileheight"));
    tileset.objectAlignment = JsonFile::String(json, "objectalignment");
    if (const Value* tiles = JsonFile::Find(json, "tiles"); tiles != nullptr) {
        ReadTiles(file, *tiles, tileset, label);
    }
    const Value* properties = JsonFile::Find(json, "tileproperties");
    if (properties == nullptr) return;
    if (!properties->IsObject()) {
        file.Report(label + ": \"tileproperties\" is not an object");
        return;
    }
    ForEachKeyedTile(file, *properties, "tileproperties", label,
                     [&](std::uint32_t local, const Value& tileProperties) {
                         SetTileType(file, JsonFile::Find(tileProperties, "tileType"), local,
                                     tileset, label);
                     });
}

void ReadTilesets(const JsonFile& file, TiledMap& map, std::vector<Problem>& problems,
                  const FileSource& files) {
    const Value* tilesets = JsonFile::Find(file.Root(), "tilesets");
    if (tilesets == nullptr || !tilesets->IsArray()) {
        file.Report("\"tilesets\" is missing or not an array");
        return;
    }
    for (rapidjson::SizeType i = 0; i < tilesets->Size(); ++i) {
        const Value& json = (*tilesets)[i];
        Tileset tileset;
        tileset.file = file.Name();
        tileset.name = JsonFile::String(json, "name");
        const std::string label = TilesetLabel(tileset.name, i);
        const Value* firstGid = JsonFile::Find(json, "firstgid");
        if (firstGid == nullptr || !firstGid->IsUint() || firstGid->GetUint() == 0) {
            file.Report(label + " has no positive \"firstgid\"");
            continue;
        }
        tileset.firstGid = firstGid->GetUint();
        const Value* source = JsonFile::Find(json, "source");
        if (source != nullptr && source->IsString()) {
            tileset.file = PathBeside(file.Name(), source->GetString());
            ReadTilesetFile(file.Name(), tileset, problems, files);
        } else {
            ReadTileTypes(file, json, tileset, label);
        }
        map.tilesets.push_back(std::move(tileset));
    }
}

}  // namespace

bool ReadJsonTileset(const std::string& text, Tileset& tileset, std::vector<Problem>& problems) {
    JsonFile file(tileset.file, problems);
    if (!file.Parse(text)) return false;
    tileset.name = JsonFile::String(file.Root(), "name");
    const std::string label =
        tileset.name.empty() ? "the tileset" : "tileset " + Quoted(tileset.name);
    ReadTileTypes(file, file.Root(), tileset, label);
    return true;
}

void ReadJsonMap(const std::string& text, TiledMap& map, std::vector<Problem>& problems,
                 const FileSource& files) {
    JsonFile file(map.file, problems);
    if (!file.Parse(text)) return;
    bool refused = false;
    const bool shapeKnown = TakeShape(ShapeOf(file.Root()), map, problems, refused);
    if (refused) return;
    map.read = true;
    ReadMapProperties(file, map);
    ReadCameraProperties(file, map, problems);
    ReadTilesets(file, map, problems, files);
    if (shapeKnown) ReadLayers(file, map, problems, files);
}

}  // namespace levelimport
