#include "levelimport/TiledMap.hpp"

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

namespace levelimport {
namespace {

using rapidjson::Value;

constexpr std::size_t kQuoteLength = 32;
/// A layer of this many cells takes 64 MiB as global ids; larger maps are no game levels.
constexpr std::size_t kMaxCells = std::size_t{1} << 24;

std::string Key(const char* key) {
    return std::string("\"") + key + "\"";
}

/// A tileset as messages name it: its "name", else its place in the list.
std::string TilesetLabel(const std::string& name, std::size_t index) {
    if (!name.empty()) return "tileset " + Quoted(name);
    return "tileset " + std::to_string(index + 1);
}

/// A positive int member of the map, or 0 after reporting that it is none.
int PositiveInt(const JsonFile& file, const char* key) {
    const Value* value = JsonFile::Find(file.Root(), key);
    if (value != nullptr && value->IsInt() && value->GetInt() > 0) return value->GetInt();
    file.Report(Key(key) + " is not a positive integer");
    return 0;
}

/// A map that is not finite and orthogonal cannot become a grid of level cells.
bool CheckShape(const JsonFile& file, TiledMap& map) {
    bool usable = true;
    const Value& root = file.Root();
    const Value* infinite = JsonFile::Find(root, "infinite");
    if (infinite != nullptr && infinite->IsTrue()) {
        usable =
            file.Reported("the map is infinite: untick \"Infinite\" in Tiled's map properties");
    }
    const std::string orientation = JsonFile::String(root, "orientation");
    if (orientation != "orthogonal") {
        usable = file.Reported("the map is " + Quoted(orientation) + ", not orthogonal");
    }
    const int width = PositiveInt(file, "width");
    const int height = PositiveInt(file, "height");
    // Tile objects are placed by their pixel position.
    const int tileWidth = PositiveInt(file, "tilewidth");
    const int tileHeight = PositiveInt(file, "tileheight");
    if (!usable || width == 0 || height == 0 || tileWidth == 0 || tileHeight == 0) return false;
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxCells) {
        return file.Reported("the map has more than " + std::to_string(kMaxCells) + " cells");
    }
    map.width = width;
    map.height = height;
    map.tileWidth = tileWidth;
    map.tileHeight = tileHeight;
    return true;
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

std::int64_t IntMember(const Value& json, const char* key) {
    const Value* value = JsonFile::Find(json, key);
    return value != nullptr && value->IsInt() ? value->GetInt() : 0;
}

/// How many tiles of `tile` pixels fit along `image` pixels, between margins and with spacing
/// between tiles; at most 2^31, so that two such counts multiply without overflow.
std::int64_t TilesAlong(std::int64_t image, std::int64_t tile, std::int64_t margin,
                        std::int64_t spacing) {
    constexpr std::int64_t kMost = std::int64_t{1} << 31;
    if (tile + spacing <= 0) return 0;
    return std::clamp<std::int64_t>((image - 2 * margin + spacing) / (tile + spacing), 0, kMost);
}

/// The tiles a tileset's image holds, for tilesets saved without "tilecount" (by old Tiled
/// versions); 0 when that cannot be told.
std::uint32_t TilesInImage(const Value& json) {
    const std::int64_t margin = IntMember(json, "margin");
    const std::int64_t spacing = IntMember(json, "spacing");
    const std::int64_t tiles =
        TilesAlong(IntMember(json, "imagewidth"), IntMember(json, "tilewidth"), margin, spacing) *
        TilesAlong(IntMember(json, "imageheight"), IntMember(json, "tileheight"), margin, spacing);
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(tiles, std::numeric_limits<std::uint32_t>::max()));
}

/// Records tile `local` of the tileset, and its tile type when `type` (its "tileType" property)
/// is there.
void SetTileType(const JsonFile& file, const Value* type, std::uint32_t local, Tileset& tileset,
                 const std::string& label) {
    if (local >= tileset.tileCount) tileset.tileCount = local + 1;
    if (type == nullptr) return;  // a problem only where the map uses the tile
    if (!type->IsInt()) {
        file.Report(label + ": tile " + std::to_string(local) +
                    " has a \"tileType\" that is not an integer");
        return;
    }
    tileset.tileTypes[local] = type->GetInt();
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
            SetTileType(file, JsonFile::FindProperty(tile, "tileType"), local, tileset, label);
        });
        return;
    }
    if (!tiles.IsArray()) {
        file.Report(label + ": \"tiles\" is neither a list nor an object");
        return;
    }
    for (const Value& tile : tiles.GetArray()) {
        const Value* id = JsonFile::Find(tile, "id");
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

/// An external tileset, "source" relative to the map's folder; only Tiled's JSON form is read.
void ReadExternalTileset(const JsonFile& map, const std::string& source, Tileset& tileset,
                         std::vector<Problem>& problems, const FileSource& files) {
    const std::filesystem::path folder = std::filesystem::path(map.Name()).parent_path();
    tileset.file = (folder / source).lexically_normal().string();
    if (std::filesystem::path(source).extension() == ".tsx") {
        map.Report("tileset " + Quoted(source) +
                   " is an XML tileset: export it from Tiled as JSON (.tsj)");
        tileset.read = false;
        return;
    }
    JsonFile file(tileset.file, problems);
    tileset.read = file.Load(files);
    if (!tileset.read) return;
    tileset.name = JsonFile::String(file.Root(), "name");
    const std::string label =
        tileset.name.empty() ? "the tileset" : "tileset " + Quoted(tileset.name);
    ReadTileTypes(file, file.Root(), tileset, label);
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
            ReadExternalTileset(file, source->GetString(), tileset, problems, files);
        } else {
            ReadTileTypes(file, json, tileset, label);
        }
        map.tilesets.push_back(std::move(tileset));
    }
}

}  // namespace

std::optional<std::string> ReadFileFromDisk(const std::string& fileName, std::string& error) {
    // Only regular files: a device or a pipe named as a tileset could be read forever.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(fileName, ignored)) {
        error = std::filesystem::exists(fileName, ignored) ? "is not a regular file"
                                                           : "cannot be opened for reading";
        return std::nullopt;
    }
    std::ifstream stream(fileName, std::ios::binary);
    if (!stream.good()) {
        error = "cannot be opened for reading";
        return std::nullopt;
    }
    std::string text{std::istreambuf_iterator<char>(stream), {}};
    if (stream.bad()) {
        error = "cannot be read";
        return std::nullopt;
    }
    return text;
}

TiledMap ReadTiledMap(const std::string& mapFile, std::vector<Problem>& problems,
                      const FileSource& files) {
    TiledMap map;
    map.file = mapFile;
    JsonFile file(mapFile, problems);
    if (!file.Load(files)) return map;
    map.read = true;
    const bool shapeKnown = CheckShape(file, map);
    ReadMapProperties(file, map);
    ReadTilesets(file, map, problems, files);
    if (shapeKnown) ReadLayers(file, map);
    return map;
}

std::string Quoted(std::string_view text) {
    std::size_t length = std::min(text.size(), kQuoteLength);
    // Cut before a UTF-8 continuation byte, not inside a character.
    while (length > 0 && length < text.size() && (text[length] & 0xC0) == 0x80) --length;
    std::string quoted = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        quoted += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    if (length < text.size()) quoted += "...";
    return quoted + "\"";
}

}  // namespace levelimport
