#include "levelimport/XmlMap.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

#include "levelimport/LayerData.hpp"
#include "levelimport/MapReading.hpp"
#include "levelimport/ObjectTemplates.hpp"
#include "levelimport/XmlFile.hpp"

namespace levelimport {
namespace {

std::string NameOf(pugi::xml_node node) {
    return node.attribute("name").value();
}

/// A layer or tileset as messages name it: its name, else its place in the list.
std::string Label(const char* kind, const std::string& name, std::size_t index) {
    return std::string(kind) + " " + (name.empty() ? std::to_string(index + 1) : Quoted(name));
}

std::string ShortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

MapShape ShapeOf(pugi::xml_node root) {
    return {
        root.attribute("orientation").value(), XmlFile::Integer(root, "infinite").value_or(0) == 1,
        XmlFile::Integer(root, "width"),       XmlFile::Integer(root, "height"),
        XmlFile::Integer(root, "tilewidth"),   XmlFile::Integer(root, "tileheight")};
}

/// The optional map properties "id", "name" and "deathLevelInY", as the JSON reader reads them.
void ReadMapProperties(const XmlFile& file, TiledMap& map) {
    const pugi::xml_node root = file.Root();
    if (const auto id = XmlFile::FindProperty(root, "id"); id) {
        map.id = XmlFile::IntValue(*id).value_or(0);
        if (!XmlFile::IntValue(*id)) file.Report("map property \"id\" is not an integer");
    }
    if (const auto name = XmlFile::FindProperty(root, "name"); name) {
        const bool isString = name->type.empty() || name->type == "string";
        map.name = isString ? name->value : "";
        if (!isString) file.Report("map property \"name\" is not a string");
    }
    const auto death = XmlFile::FindProperty(root, "deathLevelInY");
    if (!death) return;
    const bool numeric = death->type.empty() || death->type == "float" || death->type == "int";
    char* end = nullptr;
    const double value = std::strtod(death->value.c_str(), &end);
    if (!numeric || death->value.empty() || *end != '\0' ||
        !(std::fabs(value) <= std::numeric_limits<float>::max())) {
        file.Report("map property \"deathLevelInY\" is not a number a float can hold");
        return;
    }
    map.deathLevelInY = value;
}

/// A float property's value: of type "float" or "int", or of no type (old maps); empty when the
/// value is no finite number.
std::optional<double> FloatValue(const XmlProperty& property) {
    if (!property.type.empty() && property.type != "float" && property.type != "int") {
        return std::nullopt;
    }
    const std::string text = property.value;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

/// The camera settings: the members of a class property "camera" (Tiled 1.8 on), then the
/// flat properties "cameraLead", ..., which win where both are given.
void ReadCameraProperties(const XmlFile& file, TiledMap& map, std::vector<Problem>& problems) {
    pugi::xml_node camera;
    for (const pugi::xml_node property : file.Root().child("properties").children("property")) {
        if (std::string_view(property.attribute("name").value()) == "camera") camera = property;
    }
    for (const CameraSetting& setting : kCameraSettings) {
        if (const auto member = XmlFile::FindProperty(camera, setting.member); member) {
            SetCameraSetting(setting, std::string("\"camera\" member \"") + setting.member + "\"",
                             FloatValue(*member), map, problems);
        }
        if (const auto flat = XmlFile::FindProperty(file.Root(), setting.property); flat) {
            SetCameraSetting(setting, std::string("\"") + setting.property + "\"",
                             FloatValue(*flat), map, problems);
        }
    }
}

/// The tiles of a tileset element: its size and each <tile>'s "tileType".
void ReadTilesetElement(const XmlFile& file, pugi::xml_node node, Tileset& tileset,
                        const std::string& label) {
    const std::optional<std::int64_t> count = XmlFile::Integer(node, "tilecount");
    const pugi::xml_node image = node.child("image");
    AddImage(tileset, image.attribute("source").value());
    tileset.tileWidth = static_cast<int>(XmlFile::Integer(node, "tilewidth").value_or(0));
    tileset.tileHeight = static_cast<int>(XmlFile::Integer(node, "tileheight").value_or(0));
    tileset.objectAlignment = node.attribute("objectalignment").value();
    tileset.tileCount = count && *count >= 0 && *count <= std::numeric_limits<std::uint32_t>::max()
                            ? static_cast<std::uint32_t>(*count)
                            : TilesInImage(XmlFile::Integer(image, "width").value_or(0),
                                           XmlFile::Integer(image, "height").value_or(0),
                                           XmlFile::Integer(node, "tilewidth").value_or(0),
                                           XmlFile::Integer(node, "tileheight").value_or(0),
                                           XmlFile::Integer(node, "margin").value_or(0),
                                           XmlFile::Integer(node, "spacing").value_or(0));
    for (const pugi::xml_node tile : node.children("tile")) {
        const std::optional<std::int64_t> id = XmlFile::Integer(tile, "id");
        if (!id || *id < 0 || *id > std::numeric_limits<std::uint32_t>::max()) {
            file.Report(label + ": a tile has no \"id\"");
            continue;
        }
        const auto local = static_cast<std::uint32_t>(*id);
        const pugi::xml_node tileImage = tile.child("image");
        AddImage(tileset, tileImage.attribute("source").value());
        if (tileImage) {
            tileset.imageSizes[local] = {XmlFile::Number(tileImage, "width").value_or(0),
                                         XmlFile::Number(tileImage, "height").value_or(0)};
        }
        const std::optional<XmlProperty> type = XmlFile::FindProperty(tile, "tileType");
        if (type && !XmlFile::IntValue(*type)) {
            file.Report(label + ": tile " + std::to_string(local) +
                        " has a \"tileType\" that is not an integer");
        }
        AddTile(tileset, local, type ? XmlFile::IntValue(*type) : std::nullopt);
    }
}

void ReadTilesets(const XmlFile& file, TiledMap& map, std::vector<Problem>& problems,
                  const FileSource& files) {
    std::size_t index = 0;
    for (const pugi::xml_node node : file.Root().children("tileset")) {
        Tileset tileset;
        tileset.file = file.Name();
        tileset.name = NameOf(node);
        const std::string label = Label("tileset", tileset.name, index++);
        const std::optional<std::int64_t> firstGid = XmlFile::Integer(node, "firstgid");
        if (!firstGid || *firstGid <= 0 || *firstGid > ~kGidFlags) {
            file.Report(label + " has no positive \"firstgid\"");
            continue;
        }
        tileset.firstGid = static_cast<std::uint32_t>(*firstGid);
        const pugi::xml_attribute source = node.attribute("source");
        if (source) {
            tileset.file = PathBeside(file.Name(), source.value());
            ReadTilesetFile(file.Name(), tileset, problems, files);
        } else {
            ReadTilesetElement(file, node, tileset, label);
        }
        map.tilesets.push_back(std::move(tileset));
    }
}

/// The global ids of a <data> element (or <chunk>) of `cells` cells, in any of Tiled's
/// encodings: <tile gid/> elements, csv, or base64 (plain, zlib, gzip, zstd).
std::optional<std::vector<std::uint32_t>> ReadData(pugi::xml_node data, const std::string& encoding,
                                                   const std::string& compression,
                                                   std::size_t cells, std::string& error) {
    if (encoding == "csv") return ParseCsvData(data.child_value(), cells, error);
    if (encoding == "base64") {
        const std::optional<Compression> packing = CompressionNamed(compression, error);
        if (!packing) return std::nullopt;
        return DecodeLayerData(data.child_value(), *packing, cells, error);
    }
    if (!encoding.empty()) {
        error = "unknown encoding " + Quoted(encoding) + " (csv, base64 or <tile> expected)";
        return std::nullopt;
    }
    // Tiled's oldest form: one <tile gid="..."/> per cell; no gid is an empty cell.
    std::vector<std::uint32_t> gids;
    for (const pugi::xml_node tile : data.children("tile")) {
        if (gids.size() == cells) break;
        const std::optional<std::int64_t> gid = XmlFile::Integer(tile, "gid");
        if (tile.attribute("gid") && (!gid || *gid < 0 || *gid > UINT32_MAX)) {
            error = "<tile> " + std::to_string(gids.size() + 1) +
                    " has a \"gid\" that is not a tile id";
            return std::nullopt;
        }
        gids.push_back(static_cast<std::uint32_t>(gid.value_or(0)));
    }
    const auto given = static_cast<std::size_t>(
        std::distance(data.children("tile").begin(), data.children("tile").end()));
    if (given != cells) {
        error = "the data holds " + std::to_string(given) + " <tile> elements, the layer has " +
                std::to_string(cells) + " cells";
        return std::nullopt;
    }
    return gids;
}

/// The chunks of an infinite map's layer, each placed at its own cell; false after a problem.
bool ReadChunks(const XmlFile& file, pugi::xml_node data, const std::string& label, TiledMap& map,
                TileLayer& layer, std::vector<Problem>& problems) {
    const std::string encoding = data.attribute("encoding").value();
    const std::string compression = data.attribute("compression").value();
    for (const pugi::xml_node chunk : data.children("chunk")) {
        const ChunkPlace place{XmlFile::Integer(chunk, "x"), XmlFile::Integer(chunk, "y"),
                               XmlFile::Integer(chunk, "width"), XmlFile::Integer(chunk, "height")};
        const std::string what = label + ": the chunk at (" + chunk.attribute("x").value() + ", " +
                                 chunk.attribute("y").value() + ")";
        if (const std::optional<std::string> wrong = place.Fault(); wrong) {
            return file.Reported(what + " " + *wrong);
        }
        std::string error;
        const auto gids = ReadData(chunk, encoding, compression, place.Cells(), error);
        if (!gids) return file.Reported(what + ": " + error);
        if (!AddChunk(*gids, place, map, layer, file.Name(), problems)) return false;
    }
    return true;
}

/// The pixels a layer is drawn away from its place: its "offsetx" and "offsety", and its
/// groups'.
std::pair<double, double> OffsetOf(const XmlFile& file, pugi::xml_node node) {
    std::pair<double, double> offset{0, 0};
    for (pugi::xml_node owner = node; owner && owner != file.Root(); owner = owner.parent()) {
        offset.first += XmlFile::Number(owner, "offsetx").value_or(0);
        offset.second += XmlFile::Number(owner, "offsety").value_or(0);
    }
    return offset;
}

/// Adds `layer` to the map once moved by its offset, which `node` and its groups give.
void AddOffsetLayer(const XmlFile& file, pugi::xml_node node, const std::string& label,
                    TileLayer& layer, TiledMap& map, std::vector<Problem>& problems) {
    const auto [dx, dy] = OffsetOf(file, node);
    if (OffsetTiles(layer, dx, dy, label, file.Name(), map, problems)) {
        map.layers.push_back(std::move(layer));
    }
}

void ReadTileLayer(const XmlFile& file, pugi::xml_node node, const std::string& label,
                   TiledMap& map, std::vector<Problem>& problems) {
    TileLayer layer;
    layer.name = NameOf(node);
    const pugi::xml_node data = node.child("data");
    if (!data) {
        file.Report(label + ": \"data\" is missing");
        return;
    }
    if (map.infinite) {
        if (ReadChunks(file, data, label, map, layer, problems)) {
            AddOffsetLayer(file, node, label, layer, map, problems);
        }
        return;
    }
    const auto width = XmlFile::Integer(node, "width"), height = XmlFile::Integer(node, "height");
    if ((width && *width != map.width) || (height && *height != map.height)) {
        file.Report(label + " is not the size of the map");
        return;
    }
    std::string error;
    const ChunkPlace whole = ChunkPlace::WholeMap(map);
    const auto gids = ReadData(data, data.attribute("encoding").value(),
                               data.attribute("compression").value(), whole.Cells(), error);
    if (!gids) {
        file.Report(label + ": " + error);
        return;
    }
    if (AddChunk(*gids, whole, map, layer, file.Name(), problems)) {
        AddOffsetLayer(file, node, label, layer, map, problems);
    }
}

/// An object as messages name it: its name, else its id, else its place in the layer.
std::string ObjectLabel(pugi::xml_node object, std::size_t index) {
    const std::string name = NameOf(object);
    if (!name.empty()) return "object " + Quoted(name);
    const auto id = XmlFile::Integer(object, "id");
    return "object " + std::to_string(id ? *id : static_cast<std::int64_t>(index + 1));
}

/// The tile objects of an object group, those with a "gid" of their own or from their
/// template; the other objects are counted.
void ReadObjectGroup(const XmlFile& file, pugi::xml_node node, const std::string& label,
                     TiledMap& map, ObjectTemplates& templates, std::vector<Problem>& problems) {
    TileLayer layer;
    layer.name = NameOf(node);
    const auto [dx, dy] = OffsetOf(file, node);
    std::size_t index = 0;
    for (const pugi::xml_node object : node.children("object")) {
        const std::string what = label + ": " + ObjectLabel(object, index++);
        TemplateObject shape;
        if (const pugi::xml_attribute source = object.attribute("template"); source) {
            const std::optional<TemplateObject> made = templates.Find(file.Name(), source.value());
            if (!made) continue;  // reported
            shape = *made;
        }
        const pugi::xml_attribute gidText = object.attribute("gid");
        const std::optional<std::int64_t> gid = XmlFile::Integer(object, "gid");
        if (gidText && (!gid || *gid <= 0 || *gid > UINT32_MAX || (*gid & ~kGidFlags) == 0)) {
            file.Report(what + " has a \"gid\" that is not a tile id");
            continue;
        }
        if (gid) shape.gid = static_cast<std::uint32_t>(*gid);
        if (shape.gid == 0) {
            ++map.skippedObjects;
            continue;
        }
        const auto x = XmlFile::Number(object, "x"), y = XmlFile::Number(object, "y");
        // Tiled leaves out a position of 0.
        const double px = x.value_or(0), py = y.value_or(0);
        if ((object.attribute("x") && !x) || (object.attribute("y") && !y)) {
            file.Report(what + " has no numeric \"x\" and \"y\"");
            continue;
        }
        const double rotation = XmlFile::Number(object, "rotation").value_or(shape.rotation);
        map.slantedObjects += !RightAngle(rotation);
        std::optional<LayerTile> tile =
            ObjectCell({px + dx, py + dy, XmlFile::Number(object, "width").value_or(shape.width),
                        XmlFile::Number(object, "height").value_or(shape.height), rotation},
                       shape.gid, map);
        if (!tile) {
            file.Report(what + " at (" + ShortNumber(px) + ", " + ShortNumber(py) +
                        ") lies too far outside the map");
            continue;
        }
        tile->gid = shape.gid;
        layer.tiles.push_back(*tile);
    }
    if (layer.tiles.empty() || !RoomForTiles(map, layer.tiles.size(), file.Name(), problems)) {
        return;
    }
    map.layers.push_back(std::move(layer));
}

/// An image layer with the parallax factor it has inside its groups.
void ReadImageLayer(const XmlFile& file, pugi::xml_node node, const std::string& label,
                    TiledMap& map) {
    ImageLayer layer;
    layer.label = label;
    const std::string source = node.child("image").attribute("source").value();
    if (!source.empty()) layer.image = PathBeside(file.Name(), source);
    for (pugi::xml_node owner = node; owner && owner != file.Root(); owner = owner.parent()) {
        layer.parallax *= XmlFile::Number(owner, "parallaxx").value_or(1.0);
    }
    layer.underTiles = map.layers.empty();
    map.imageLayers.push_back(layer);
}

/// Every layer in drawing order, groups walked with a stack of their own so that any depth of
/// nesting is read; hidden layers (and everything in a hidden group) are left out.
void ReadLayers(const XmlFile& file, TiledMap& map, std::vector<Problem>& problems,
                const FileSource& files) {
    ObjectTemplates templates(map, problems, files);
    std::vector<pugi::xml_node> next{file.Root().first_child()};
    std::size_t index = 0;  // counts every layer, for naming those without a name
    while (!next.empty()) {
        const pugi::xml_node node = next.back();
        if (!node) {
            next.pop_back();
            continue;
        }
        next.back() = node.next_sibling();
        const std::string kind = node.name();
        if (kind != "layer" && kind != "objectgroup" && kind != "group" && kind != "imagelayer") {
            continue;
        }
        const std::string label = Label("layer", NameOf(node), index++);
        if (XmlFile::Hidden(node)) {
            map.hiddenLayers.push_back(NameOf(node));
            continue;
        }
        if (kind == "imagelayer") ReadImageLayer(file, node, label, map);
        if (kind == "layer") ReadTileLayer(file, node, label, map, problems);
        if (kind == "objectgroup") ReadObjectGroup(file, node, label, map, templates, problems);
        if (kind == "group") next.push_back(node.first_child());
    }
}

}  // namespace

bool ReadXmlTileset(const std::string& text, Tileset& tileset, std::vector<Problem>& problems) {
    XmlFile file(tileset.file, problems);
    if (!file.Parse(text, "tileset")) return false;
    tileset.name = NameOf(file.Root());
    const std::string label =
        tileset.name.empty() ? "the tileset" : "tileset " + Quoted(tileset.name);
    ReadTilesetElement(file, file.Root(), tileset, label);
    return true;
}

void ReadXmlMap(const std::string& text, TiledMap& map, std::vector<Problem>& problems,
                const FileSource& files) {
    XmlFile file(map.file, problems);
    if (!file.Parse(text, "map")) return;
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
