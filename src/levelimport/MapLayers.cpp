#include "levelimport/MapLayers.hpp"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "levelimport/LayerData.hpp"

namespace levelimport {
namespace {

using rapidjson::Value;

/// A layer as messages name it: its "name", else its place among all layers.
std::string LayerLabel(const std::string& name, std::size_t index) {
    if (!name.empty()) return "layer " + Quoted(name);
    return "layer " + std::to_string(index + 1);
}

/// An object as messages name it: its "name", else its "id", else its place in the list.
std::string ObjectLabel(const Value& object, std::size_t index) {
    const std::string name = JsonFile::String(object, "name");
    if (!name.empty()) return "object " + Quoted(name);
    const Value* id = JsonFile::Find(object, "id");
    if (id != nullptr && id->IsUint()) return "object " + std::to_string(id->GetUint());
    return "object " + std::to_string(index + 1);
}

std::string ShortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
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
    const std::string label = LayerLabel(tileLayer.name, index);
    const Value* width = JsonFile::Find(layer, "width");
    const Value* height = JsonFile::Find(layer, "height");
    if ((width && !(width->IsInt() && width->GetInt() == map.width)) ||
        (height && !(height->IsInt() && height->GetInt() == map.height))) {
        file.Report(label + " is not the size of the map");
        return;
    }
    std::string error;
    const std::size_t cells = static_cast<std::size_t>(map.width) * map.height;
    const std::optional<std::vector<std::uint32_t>> gids = ReadLayerData(layer, cells, error);
    if (!gids) {
        file.Report(label + ": " + error);
        return;
    }
    for (std::size_t cell = 0; cell < cells; ++cell) {
        if ((*gids)[cell] == 0) continue;
        tileLayer.tiles.push_back({(*gids)[cell], static_cast<int>(cell % map.width),
                                   static_cast<int>(cell / map.width)});
    }
    map.layers.push_back(std::move(tileLayer));
}

/// The object's width or height in pixels, or `fallback` when it gives none.
double ObjectSize(const Value& object, const char* key, int fallback) {
    const Value* size = JsonFile::Find(object, key);
    if (size == nullptr || !size->IsNumber() || !(size->GetDouble() > 0)) return fallback;
    return size->GetDouble();
}

/// The map cell under the centre of a tile object placed at (x, y), which may lie outside the
/// map; empty when it is too far out. Tiled anchors a tile object at its bottom-left corner, so
/// its centre is half its size to the right of and above that point.
std::optional<LayerTile> ObjectCell(const Value& object, double x, double y, const TiledMap& map) {
    const double width = ObjectSize(object, "width", map.tileWidth);
    const double height = ObjectSize(object, "height", map.tileHeight);
    const double column = std::floor((x + width / 2) / map.tileWidth);
    const double row = std::floor((y - height / 2) / map.tileHeight);
    if (!(std::fabs(column) <= kFarthestCell && std::fabs(row) <= kFarthestCell)) {
        return std::nullopt;
    }
    return LayerTile{0, static_cast<int>(column), static_cast<int>(row)};
}

/// The tile objects of an object layer, those with a "gid"; the other objects are counted.
void ReadObjectLayer(const JsonFile& file, const Value& layer, std::size_t index, TiledMap& map) {
    TileLayer tileLayer;
    tileLayer.name = JsonFile::String(layer, "name");
    const std::string label = LayerLabel(tileLayer.name, index);
    const Value* objects = JsonFile::Find(layer, "objects");
    if (objects == nullptr) return;
    if (!objects->IsArray()) {
        file.Report(label + ": \"objects\" is not an array");
        return;
    }
    for (rapidjson::SizeType i = 0; i < objects->Size(); ++i) {
        const Value& object = (*objects)[i];
        const Value* gid = JsonFile::Find(object, "gid");
        if (gid == nullptr) {
            ++map.skippedObjects;
            continue;
        }
        const std::string what = label + ": " + ObjectLabel(object, i);
        if (!gid->IsUint() || (gid->GetUint() & ~kGidFlags) == 0) {
            file.Report(what + " has a \"gid\" that is not a tile id");
            continue;
        }
        const Value* x = JsonFile::Find(object, "x");
        const Value* y = JsonFile::Find(object, "y");
        if (x == nullptr || y == nullptr || !x->IsNumber() || !y->IsNumber()) {
            file.Report(what + " has no numeric \"x\" and \"y\"");
            continue;
        }
        std::optional<LayerTile> tile = ObjectCell(object, x->GetDouble(), y->GetDouble(), map);
        if (!tile) {
            file.Report(what + " at (" + ShortNumber(x->GetDouble()) + ", " +
                        ShortNumber(y->GetDouble()) + ") lies too far outside the map");
            continue;
        }
        tile->gid = gid->GetUint();
        tileLayer.tiles.push_back(*tile);
    }
    if (!tileLayer.tiles.empty()) map.layers.push_back(std::move(tileLayer));
}

}  // namespace

void ReadLayers(const JsonFile& file, TiledMap& map) {
    const Value* layers = JsonFile::Find(file.Root(), "layers");
    if (layers == nullptr || !layers->IsArray()) {
        file.Report("\"layers\" is missing or not an array");
        return;
    }
    // Groups are walked with a stack of their own, since a map may nest them as deep as its
    // JSON goes.
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
        if (type == "objectgroup") ReadObjectLayer(file, layer, index, map);
        ++index;
        const Value* children = JsonFile::Find(layer, "layers");
        if (type == "group" && children != nullptr && children->IsArray()) {
            groups.emplace_back(children, 0);  // invalidates `list` and `next`
        }
    }
}

}  // namespace levelimport
