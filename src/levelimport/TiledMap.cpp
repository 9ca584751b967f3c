#include "levelimport/TiledMap.hpp"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <utility>

#include "levelimport/LayerData.hpp"

namespace levelimport {
namespace {

using rapidjson::Value;

constexpr std::size_t kQuoteLength = 32;
/// A layer of this many cells takes 64 MiB as global ids; larger maps are no game levels.
constexpr std::size_t kMaxCells = std::size_t{1} << 24;

std::string Key(const char* key) {
    return std::string("\"") + key + "\"";
}

/// A layer or tileset as messages name it: its "name", else its place in the list.
std::string Label(const char* kind, const std::string& name, std::size_t index) {
    if (!name.empty()) return std::string(kind) + " " + Quoted(name);
    return std::string(kind) + " " + std::to_string(index + 1);
}

/// A JSON file parsed into a DOM, and where its problems go.
class JsonFile {
public:
    JsonFile(std::string fileName, std::vector<Problem>& problems)
        : fileName(std::move(fileName)), problems(problems) {}

    /// Reads and parses the file; false, after reporting why, when it holds no JSON object.
    bool Load() {
        std::ifstream stream(fileName, std::ios::binary);
        if (!stream.good()) return Reported("cannot be opened for reading");
        const std::string text{std::istreambuf_iterator<char>(stream), {}};
        if (stream.bad()) return Reported("cannot be read");
        if (text.find_first_not_of(" \t\r\n") != std::string::npos &&
            text[text.find_first_not_of(" \t\r\n")] == '<') {
            return Reported("is XML: save it from Tiled as JSON (.tmj, .tsj)");
        }
        // Iterative: a file nested a million levels deep must not use up the stack.
        rapidjson::MemoryStream memory(text.data(), text.size());
        document.ParseStream<rapidjson::kParseIterativeFlag>(memory);
        if (document.HasParseError()) {
            return Reported("invalid JSON at offset " + std::to_string(document.GetErrorOffset()) +
                            ": " + rapidjson::GetParseError_En(document.GetParseError()));
        }
        if (!document.IsObject()) return Reported("the top level is not a JSON object");
        return true;
    }

    const Value& Root() const { return document; }
    const std::string& Name() const { return fileName; }
    void Report(const std::string& text) const { problems.push_back({fileName, text}); }
    bool Reported(const std::string& text) const {
        Report(text);
        return false;
    }

    /// The member `key` of `object`, or null when it is not there (or `object` is no object).
    static const Value* Find(const Value& object, const char* key) {
        if (!object.IsObject()) return nullptr;
        const auto member = object.FindMember(key);
        return member == object.MemberEnd() ? nullptr : &member->value;
    }
    static std::string String(const Value& object, const char* key) {
        const Value* value = Find(object, key);
        if (value == nullptr || !value->IsString()) return "";
        return std::string(value->GetString(), value->GetStringLength());
    }

private:
    std::string fileName;
    std::vector<Problem>& problems;
    rapidjson::Document document;
};

/// The "value" of the custom property `name` in the "properties" list of `owner`, or null.
const Value* FindProperty(const Value& owner, const char* name) {
    const Value* properties = JsonFile::Find(owner, "properties");
    if (properties == nullptr || !properties->IsArray()) return nullptr;
    for (const Value& property : properties->GetArray()) {
        const Value* key = JsonFile::Find(property, "name");
        if (key != nullptr && key->IsString() && std::string(key->GetString()) == name) {
            return JsonFile::Find(property, "value");
        }
    }
    return nullptr;
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
    for (const char* key : {"width", "height"}) {
        const Value* size = JsonFile::Find(root, key);
        if (size == nullptr || !size->IsInt() || size->GetInt() <= 0) {
            usable = file.Reported(Key(key) + " is not a positive integer");
        }
    }
    if (!usable) return false;
    const int width = root["width"].GetInt();
    const int height = root["height"].GetInt();
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxCells) {
        return file.Reported("the map has more than " + std::to_string(kMaxCells) + " cells");
    }
    map.width = width;
    map.height = height;
    return true;
}

void ReadMapProperties(const JsonFile& file, TiledMap& map) {
    const Value& root = file.Root();
    const Value* properties = JsonFile::Find(root, "properties");
    if (properties != nullptr && !properties->IsArray()) {
        file.Report("\"properties\" is not an array");
        return;
    }
    const Value* id = FindProperty(root, "id");
    if (id == nullptr) {
        file.Report("map property \"id\" (int) is missing");
    } else if (!id->IsInt()) {
        file.Report("map property \"id\" is not an integer");
    } else {
        map.id = id->GetInt();
    }
    const Value* name = FindProperty(root, "name");
    if (name == nullptr) {
        file.Report("map property \"name\" (string) is missing");
    } else if (!name->IsString()) {
        file.Report("map property \"name\" is not a string");
    } else {
        map.name.assign(name->GetString(), name->GetStringLength());
    }
    const Value* death = FindProperty(root, "deathLevelInY");
    if (death == nullptr) return;
    // The game keeps the death line as a float: a larger number would become infinity.
    if (!death->IsNumber() || std::fabs(death->GetDouble()) > std::numeric_limits<float>::max()) {
        file.Report("map property \"deathLevelInY\" is not a number a float can hold");
        return;
    }
    map.deathLevelInY = death->GetDouble();
}

/// The tile types of a tileset's "tiles" list; `label` names the tileset in messages.
void ReadTileTypes(const JsonFile& file, const Value& json, Tileset& tileset,
                   const std::string& label) {
    if (const Value* count = JsonFile::Find(json, "tilecount"); count && count->IsUint()) {
        tileset.tileCount = count->GetUint();
    }
    const Value* tiles = JsonFile::Find(json, "tiles");
    if (tiles == nullptr) return;
    if (!tiles->IsArray()) {
        file.Report(label + ": \"tiles\" is not an array");
        return;
    }
    for (const Value& tile : tiles->GetArray()) {
        const Value* id = JsonFile::Find(tile, "id");
        if (id == nullptr || !id->IsUint()) {
            file.Report(label + ": a tile has no \"id\"");
            continue;
        }
        const std::uint32_t local = id->GetUint();
        if (local >= tileset.tileCount) tileset.tileCount = local + 1;
        const Value* type = FindProperty(tile, "tileType");
        if (type == nullptr) continue;  // a problem only where the map uses the tile
        if (!type->IsInt()) {
            file.Report(label + ": tile " + std::to_string(local) +
                        " has a \"tileType\" that is not an integer");
            continue;
        }
        tileset.tileTypes[local] = type->GetInt();
    }
}

/// An external tileset, "source" relative to the map's folder; only Tiled's JSON form is read.
void ReadExternalTileset(const JsonFile& map, const std::string& source, Tileset& tileset,
                         std::vector<Problem>& problems) {
    const std::filesystem::path folder = std::filesystem::path(map.Name()).parent_path();
    tileset.file = (folder / source).lexically_normal().string();
    if (std::filesystem::path(source).extension() == ".tsx") {
        map.Report("tileset " + Quoted(source) +
                   " is an XML tileset: export it from Tiled as JSON (.tsj)");
        return;
    }
    JsonFile file(tileset.file, problems);
    if (!file.Load()) return;
    tileset.name = JsonFile::String(file.Root(), "name");
    const std::string label =
        tileset.name.empty() ? "the tileset" : "tileset " + Quoted(tileset.name);
    ReadTileTypes(file, file.Root(), tileset, label);
}

void ReadTilesets(const JsonFile& file, TiledMap& map, std::vector<Problem>& problems) {
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
        const std::string label = Label("tileset", tileset.name, i);
        const Value* firstGid = JsonFile::Find(json, "firstgid");
        if (firstGid == nullptr || !firstGid->IsUint() || firstGid->GetUint() == 0) {
            file.Report(label + " has no positive \"firstgid\"");
            continue;
        }
        tileset.firstGid = firstGid->GetUint();
        const Value* source = JsonFile::Find(json, "source");
        if (source != nullptr && source->IsString()) {
            ReadExternalTileset(file, source->GetString(), tileset, problems);
        } else {
            ReadTileTypes(file, json, tileset, label);
        }
        map.tilesets.push_back(std::move(tileset));
    }
}

/// A layer's global ids when "data" is a JSON array (Tiled's "CSV" format).
std::optional<std::vector<std::uint32_t>> ReadArrayData(const Value& data, std::size_t cells,
                                                        std::string& error) {
    if (!data.IsArray()) {
        error = "\"data\" is not an array of tile ids";
        return std::nullopt;
    }
    if (data.Size() != cells) {
        error = "\"data\" holds " + std::to_string(data.Size()) + " tile ids, the map has " +
                std::to_string(cells) + " cells";
        return std::nullopt;
    }
    std::vector<std::uint32_t> gids;
    gids.reserve(cells);
    for (const Value& gid : data.GetArray()) {
        if (!gid.IsUint()) {
            error = "\"data\"[" + std::to_string(gids.size()) + "] is not a tile id";
            return std::nullopt;
        }
        gids.push_back(gid.GetUint());
    }
    return gids;
}

/// A layer's global ids, from a JSON array or a base64 string, compressed or not.
std::optional<std::vector<std::uint32_t>> ReadLayerData(const Value& layer, std::size_t cells,
                                                        std::string& error) {
    const Value* data = JsonFile::Find(layer, "data");
    if (data == nullptr) {
        error = "\"data\" is missing";
        return std::nullopt;
    }
    const Value* encodingValue = JsonFile::Find(layer, "encoding");
    const std::string encoding = encodingValue ? JsonFile::String(layer, "encoding") : "csv";
    if (encoding == "csv") return ReadArrayData(*data, cells, error);
    if (encoding != "base64") {
        error = "unknown encoding " + Quoted(encoding) + " (array or base64 expected)";
        return std::nullopt;
    }
    const std::string compressionName = JsonFile::String(layer, "compression");
    Compression compression = Compression::None;
    if (compressionName == "zlib") {
        compression = Compression::Zlib;
    } else if (compressionName == "gzip") {
        compression = Compression::Gzip;
    } else if (compressionName == "zstd") {
        error = "zstd compression is not supported: choose zlib or gzip in Tiled";
        return std::nullopt;
    } else if (!compressionName.empty()) {
        error = "unknown compression " + Quoted(compressionName);
        return std::nullopt;
    }
    if (!data->IsString()) {
        error = "\"data\" is not a base64 string";
        return std::nullopt;
    }
    return DecodeLayerData({data->GetString(), data->GetStringLength()}, compression, cells, error);
}

void ReadTileLayer(const JsonFile& file, const Value& layer, std::size_t index, TiledMap& map) {
    TileLayer tileLayer;
    tileLayer.name = JsonFile::String(layer, "name");
    const std::string label = Label("layer", tileLayer.name, index);
    const Value* width = JsonFile::Find(layer, "width");
    const Value* height = JsonFile::Find(layer, "height");
    if ((width && !(width->IsInt() && width->GetInt() == map.width)) ||
        (height && !(height->IsInt() && height->GetInt() == map.height))) {
        file.Report(label + " is not the size of the map");
        return;
    }
    std::string error;
    const std::size_t cells = static_cast<std::size_t>(map.width) * map.height;
    std::optional<std::vector<std::uint32_t>> gids = ReadLayerData(layer, cells, error);
    if (!gids) {
        file.Report(label + ": " + error);
        return;
    }
    tileLayer.gids = std::move(*gids);
    map.layers.push_back(std::move(tileLayer));
}

/// Every tile layer in drawing order, those in group layers too. Groups are walked with a
/// stack of their own, since a map may nest them as deep as its JSON goes.
void ReadLayers(const JsonFile& file, TiledMap& map) {
    const Value* layers = JsonFile::Find(file.Root(), "layers");
    if (layers == nullptr || !layers->IsArray()) {
        file.Report("\"layers\" is missing or not an array");
        return;
    }
    std::vector<std::pair<const Value*, rapidjson::SizeType>> groups{{layers, 0}};
    std::size_t index = 0;  // counts every layer, for naming those without a name
    while (!groups.empty()) {
        auto& [list, next] = groups.back();
        if (next == list->Size()) {
            groups.pop_back();
            continue;
        }
        const Value& layer = (*list)[next++];
        const std::string type = JsonFile::String(layer, "type");
        if (type == "tilelayer") ReadTileLayer(file, layer, index, map);
        ++index;
        const Value* children = JsonFile::Find(layer, "layers");
        if (type == "group" && children != nullptr && children->IsArray()) {
            groups.emplace_back(children, 0);  // invalidates `list` and `next`
        }
    }
}

}  // namespace

TiledMap ReadTiledMap(const std::string& mapFile, std::vector<Problem>& problems) {
    TiledMap map;
    map.file = mapFile;
    JsonFile file(mapFile, problems);
    if (!file.Load()) return map;
    const bool shapeKnown = CheckShape(file, map);
    ReadMapProperties(file, map);
    ReadTilesets(file, map, problems);
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
