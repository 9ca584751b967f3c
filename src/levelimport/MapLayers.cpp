#include "levelimport/MapLayers.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "levelimport/LayerData.hpp"
#include "levelimport/MapReading.hpp"
#include "levelimport/ObjectTemplates.hpp"

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

/// The global ids of `data` (a layer's or a chunk's), a JSON array or a base64 string,
/// compressed or not; `layer` gives the encoding.
std::optional<std::vector<std::uint32_t>> ReadLayerData(const Value& layer, const Value* data,
                                                        std::size_t cells, std::string& error) {
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
    const std::optional<Compression> compression =
        CompressionNamed(JsonFile::String(layer, "compression"), error);
    if (!compression) return std::nullopt;
    if (!data->IsString()) {
        error = "\"data\" is not a base64 string";
        return std::nullopt;
    }
    return DecodeLayerData({data->GetString(), data->GetStringLength()}, *compression, cells,
                           error);
}

/// An int member of a chunk, or empty.
std::optional<std::int64_t> ChunkInt(const Value& chunk, const char* key) {
    const Value* value = JsonFile::Find(chunk, key);
    if (value == nullptr || !value->IsInt64()) return std::nullopt;
    return value->GetInt64();
}

/// The "chunks" of an infinite map's layer, each placed at its own cell; false after a problem.
bool ReadChunks(const JsonFile& file, const Value& layer, const std::string& label, TiledMap& map,
                TileLayer& tileLayer, std::vector<Problem>& problems) {
    const Value* chunks = JsonFile::Find(layer, "chunks");
    if (chunks == nullptr || !chunks->IsArray()) {
        return file.Reported(label + ": \"chunks\" is missing or not an array");
    }
    for (rapidjson::SizeType i = 0; i < chunks->Size(); ++i) {
        const Value& chunk = (*chunks)[i];
        const ChunkPlace place{ChunkInt(chunk, "x"), ChunkInt(chunk, "y"), ChunkInt(chunk, "width"),
                               ChunkInt(chunk, "height")};
        const std::string what = label + ": chunk " + std::to_string(i + 1);
        if (const std::optional<std::string> wrong = place.Fault(); wrong) {
            return file.Reported(what + " " + *wrong);
        }
        std::string error;
        const auto gids = ReadLayerData(layer, JsonFile::Find(chunk, "data"), place.Cells(), error);
        if (!gids) return file.Reported(what + ": " + error);
        if (!AddChunk(*gids, place, map, tileLayer, file.Name(), problems)) return false;
    }
    return true;
}

/// A layer's own offset in pixels.
std::pair<double, double> OffsetOf(const Value& layer) {
    std::pair<double, double> offset{0, 0};
    for (auto [key, value] : {std::pair{"offsetx", &offset.first}, {"offsety", &offset.second}}) {
        const Value* number = JsonFile::Find(layer, key);
        if (number != nullptr && number->IsNumber()) *value = number->GetDouble();
    }
    return offset;
}

/// Adds `tileLayer` to the map once moved by `offset` (pixels, its groups' included).
void AddOffsetLayer(const JsonFile& file, const std::string& label,
                    std::pair<double, double> offset, TileLayer& tileLayer, TiledMap& map,
                    std::vector<Problem>& problems) {
    if (OffsetTiles(tileLayer, offset.first, offset.second, label, file.Name(), map, problems)) {
        map.layers.push_back(std::move(tileLayer));
    }
}

void ReadTileLayer(const JsonFile& file, const Value& layer, std::size_t index,
                   std::pair<double, double> offset, TiledMap& map,
                   std::vector<Problem>& problems) {
    TileLayer tileLayer;
    tileLayer.name = JsonFile::String(layer, "name");
    const std::string label = LayerLabel(tileLayer.name, index);
    if (map.infinite) {
        if (ReadChunks(file, layer, label, map, tileLayer, problems)) {
            AddOffsetLayer(file, label, offset, tileLayer, map, problems);
        }
        return;
    }
    const Value* width = JsonFile::Find(layer, "width");
    const Value* height = JsonFile::Find(layer, "height");
    if ((width && !(width->IsInt() && width->GetInt() == map.width)) ||
        (height && !(height->IsInt() && height->GetInt() == map.height))) {
        file.Report(label + " is not the size of the map");
        return;
    }
    std::string error;
    const ChunkPlace whole = ChunkPlace::WholeMap(map);
    const std::optional<std::vector<std::uint32_t>> gids =
        ReadLayerData(layer, JsonFile::Find(layer, "data"), whole.Cells(), error);
    if (!gids) {
        file.Report(label + ": " + error);
        return;
    }
    if (AddChunk(*gids, whole, map, tileLayer, file.Name(), problems)) {
        AddOffsetLayer(file, label, offset, tileLayer, map, problems);
    }
}

/// The object's width or height in pixels, or `fallback` when it gives none.
double ObjectSize(const Value& object, const char* key, double fallback) {
    const Value* size = JsonFile::Find(object, key);
    if (size == nullptr || !size->IsNumber() || !(size->GetDouble() > 0)) return fallback;
    return size->GetDouble();
}

/// The tile objects of an object layer, those with a "gid"; the other objects are counted.
void ReadObjectLayer(const JsonFile& file, const Value& layer, std::size_t index,
                     std::pair<double, double> offset, TiledMap& map, ObjectTemplates& templates,
                     std::vector<Problem>& problems) {
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
        TemplateObject shape;
        const Value* source = JsonFile::Find(object, "template");
        if (source != nullptr && source->IsString()) {
            const auto made = templates.Find(file.Name(), source->GetString());
            if (!made) continue;  // reported
            shape = *made;
        }
        const Value* gid = JsonFile::Find(object, "gid");
        const std::string what = label + ": " + ObjectLabel(object, i);
        if (gid != nullptr && (!gid->IsUint() || (gid->GetUint() & ~kGidFlags) == 0)) {
            file.Report(what + " has a \"gid\" that is not a tile id");
            continue;
        }
        if (gid != nullptr) shape.gid = gid->GetUint();
        if (shape.gid == 0) {
            ++map.skippedObjects;
            continue;
        }
        const Value* x = JsonFile::Find(object, "x");
        const Value* y = JsonFile::Find(object, "y");
        if (x == nullptr || y == nullptr || !x->IsNumber() || !y->IsNumber()) {
            file.Report(what + " has no numeric \"x\" and \"y\"");
            continue;
        }
        const Value* turn = JsonFile::Find(object, "rotation");
        const double rotation =
            turn != nullptr && turn->IsNumber() ? turn->GetDouble() : shape.rotation;
        map.slantedObjects += !RightAngle(rotation);
        std::optional<LayerTile> tile =
            ObjectCell({x->GetDouble() + offset.first, y->GetDouble() + offset.second,
                        ObjectSize(object, "width", shape.width),
                        ObjectSize(object, "height", shape.height), rotation},
                       shape.gid, map);
        if (!tile) {
            file.Report(what + " at (" + ShortNumber(x->GetDouble()) + ", " +
                        ShortNumber(y->GetDouble()) + ") lies too far outside the map");
            continue;
        }
        tile->gid = shape.gid;
        tileLayer.tiles.push_back(*tile);
    }
    if (tileLayer.tiles.empty() ||
        !RoomForTiles(map, tileLayer.tiles.size(), file.Name(), problems)) {
        return;
    }
    map.layers.push_back(std::move(tileLayer));
}

/// A layer's or group's horizontal parallax factor, 1 when it gives none.
double ParallaxOf(const Value& layer) {
    const Value* factor = JsonFile::Find(layer, "parallaxx");
    return factor != nullptr && factor->IsNumber() ? factor->GetDouble() : 1.0;
}

/// An image layer; `groupParallax` is the product of its groups' horizontal parallax factors.
void ReadImageLayer(const JsonFile& file, const Value& layer, std::size_t index,
                    double groupParallax, TiledMap& map) {
    ImageLayer image;
    image.label = LayerLabel(JsonFile::String(layer, "name"), index);
    const std::string source = JsonFile::String(layer, "image");
    if (!source.empty()) image.image = PathBeside(file.Name(), source);
    image.parallax = groupParallax * ParallaxOf(layer);
    image.underTiles = map.layers.empty();
    map.imageLayers.push_back(image);
}

}  // namespace

void ReadLayers(const JsonFile& file, TiledMap& map, std::vector<Problem>& problems,
                const FileSource& files) {
    ObjectTemplates templates(map, problems, files);
    const Value* layers = JsonFile::Find(file.Root(), "layers");
    if (layers == nullptr || !layers->IsArray()) {
        file.Report("\"layers\" is missing or not an array");
        return;
    }
    // Groups are walked with a stack of their own, since a map may nest them as deep as its
    // JSON goes.
    std::vector<std::pair<const Value*, rapidjson::SizeType>> groups{{layers, 0}};
    std::vector<double> parallax{1.0};  // of each list's group, its groups' multiplied in
    std::vector<std::pair<double, double>> offsets{{0, 0}};  // likewise, its groups' added
    std::size_t index = 0;  // counts every layer, for naming those without a name
    while (!groups.empty()) {
        auto& [list, next] = groups.back();
        if (next == list->Size()) {
            groups.pop_back();
            parallax.pop_back();
            offsets.pop_back();
            continue;
        }
        const Value& layer = (*list)[next++];
        const std::string type = JsonFile::String(layer, "type");
        const Value* visible = JsonFile::Find(layer, "visible");
        if (visible != nullptr && visible->IsFalse()) {
            map.hiddenLayers.push_back(JsonFile::String(layer, "name"));
            ++index;
            continue;
        }
        if (type == "imagelayer") ReadImageLayer(file, layer, index, parallax.back(), map);
        const auto [dx, dy] = OffsetOf(layer);
        const std::pair<double, double> offset{offsets.back().first + dx,
                                               offsets.back().second + dy};
        if (type == "tilelayer") ReadTileLayer(file, layer, index, offset, map, problems);
        if (type == "objectgroup") {
            ReadObjectLayer(file, layer, index, offset, map, templates, problems);
        }
        ++index;
        const Value* children = JsonFile::Find(layer, "layers");
        if (type == "group" && children != nullptr && children->IsArray()) {
            parallax.push_back(parallax.back() * ParallaxOf(layer));
            offsets.push_back(offset);
            groups.emplace_back(children, 0);  // invalidates `list` and `next`
        }
    }
}

}  // namespace levelimport
