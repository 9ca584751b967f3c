#include "levelimport/MapReading.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <utility>

#include "levelimport/JsonMap.hpp"
#include "levelimport/XmlMap.hpp"

namespace levelimport {

std::string PathBeside(const std::string& referrer, const std::string& source) {
    const std::filesystem::path folder = std::filesystem::path(referrer).parent_path();
    return (folder / source).lexically_normal().string();
}

bool LooksLikeXml(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    // A UTF-8 byte order mark may stand before XML's first '<'.
    const std::string_view bom = "\xEF\xBB\xBF";
    if (start == std::string_view::npos) return false;
    if (text.substr(start, bom.size()) == bom) return LooksLikeXml(text.substr(start + bom.size()));
    return text[start] == '<';
}

std::optional<std::string> ReadNamedFile(const std::string& file, const std::string& referrer,
                                         const char* what, std::vector<Problem>& problems,
                                         const FileSource& files) {
    std::string error;
    std::optional<std::string> text = files(file, error);
    if (!text) problems.push_back({file, error + " (the " + what + " of " + referrer + ")"});
    return text;
}

void ReadTilesetFile(const std::string& referrer, Tileset& tileset, std::vector<Problem>& problems,
                     const FileSource& files) {
    const std::optional<std::string> text =
        ReadNamedFile(tileset.file, referrer, "tileset", problems, files);
    tileset.read = text && (LooksLikeXml(*text) ? ReadXmlTileset(*text, tileset, problems)
                                                : ReadJsonTileset(*text, tileset, problems));
}

namespace {

/// How many tiles of `tile` pixels fit along `image` pixels, between margins and with spacing
/// between tiles; at most 2^31, so that two such counts multiply without overflow.
std::int64_t TilesAlong(std::int64_t image, std::int64_t tile, std::int64_t margin,
                        std::int64_t spacing) {
    constexpr std::int64_t kMost = std::int64_t{1} << 31;
    if (tile + spacing <= 0) return 0;
    return std::clamp<std::int64_t>((image - 2 * margin + spacing) / (tile + spacing), 0, kMost);
}

}  // namespace

std::uint32_t TilesInImage(std::int64_t imageWidth, std::int64_t imageHeight,
                           std::int64_t tileWidth, std::int64_t tileHeight, std::int64_t margin,
                           std::int64_t spacing) {
    const std::int64_t tiles = TilesAlong(imageWidth, tileWidth, margin, spacing) *
                               TilesAlong(imageHeight, tileHeight, margin, spacing);
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(tiles, std::numeric_limits<std::uint32_t>::max()));
}

const CameraSetting kCameraSettings[3] = {
    {"cameraLead", "lead", 200.0, &CameraProperties::lead},
    {"cameraBand", "band", 150.0, &CameraProperties::band},
    {"cameraEase", "ease", 5.0, &CameraProperties::ease},
};

void SetCameraSetting(const CameraSetting& setting, const std::string& name,
                      std::optional<double> value, TiledMap& map, std::vector<Problem>& problems) {
    char most[32];
    std::snprintf(most, sizeof most, "%g", setting.most);
    if (!value || !(*value >= 0.0 && *value <= setting.most)) {
        problems.push_back(
            {map.file, "map property " + name + " is not a number from 0 to " + most});
        return;
    }
    map.camera.*setting.field = *value;
}

void AddImage(Tileset& tileset, const std::string& source) {
    if (!source.empty()) tileset.images.push_back(PathBeside(tileset.file, source));
}

void AddTile(Tileset& tileset, std::uint32_t local, std::optional<int> type) {
    // Image collections may skip ids: the tileset reaches at least one past each id it lists.
    if (local >= tileset.tileCount && local < std::numeric_limits<std::uint32_t>::max()) {
        tileset.tileCount = local + 1;
    }
    if (type) tileset.tileTypes[local] = *type;
}

namespace {

/// The tileset that tile `gid` (flags removed) belongs to, or null.
const Tileset* TilesetOf(std::uint32_t gid, const TiledMap& map) {
    const Tileset* owner = nullptr;
    for (const Tileset& tileset : map.tilesets) {
        if (tileset.firstGid <= gid && (owner == nullptr || tileset.firstGid > owner->firstGid)) {
            owner = &tileset;
        }
    }
    return owner;
}

/// Where (x, y) lies in an object of alignment `name`, as fractions of its width (from the
/// left) and height (from the top).
std::pair<double, double> AlignmentPoint(const std::string& name) {
    static const std::map<std::string, std::pair<double, double>> points = {
        {"topleft", {0, 0}},    {"top", {0.5, 0}},      {"topright", {1, 0}},
        {"left", {0, 0.5}},     {"center", {0.5, 0.5}}, {"right", {1, 0.5}},
        {"bottomleft", {0, 1}}, {"bottom", {0.5, 1}},   {"bottomright", {1, 1}}};
    const auto point = points.find(name);
    return point != points.end() ? point->second : std::pair<double, double>{0, 1};
}

/// Sine and cosine of a clockwise turn; exact for right angles, so that a turned tile's
/// centre lands on a cell's centre and not a hair beside it.
std::pair<double, double> Turn(double degrees) {
    if (RightAngle(degrees)) {
        const long quarter = (static_cast<long>(std::lround(degrees / 90)) % 4 + 4) % 4;
        static const double sines[] = {0, 1, 0, -1};
        return {sines[quarter], sines[(quarter + 1) % 4]};
    }
    const double radians = degrees * std::acos(-1.0) / 180;
    return {std::sin(radians), std::cos(radians)};
}

std::string PixelText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

bool RightAngle(double degrees) {
    return std::fabs(std::remainder(degrees, 90.0)) < 1e-9;
}

std::optional<LayerTile> ObjectCell(const ObjectPlace& place, std::uint32_t gid,
                                    const TiledMap& map) {
    double width = place.width;
    double height = place.height;
    const Tileset* tileset = TilesetOf(gid & ~kGidFlags, map);
    std::pair<double, double> anchor{0, 1};
    if (tileset != nullptr) {
        anchor = AlignmentPoint(tileset->objectAlignment);
        const auto image = tileset->imageSizes.find((gid & ~kGidFlags) - tileset->firstGid);
        const bool own = image != tileset->imageSizes.end();
        if (!(width > 0)) width = own ? image->second.first : tileset->tileWidth;
        if (!(height > 0)) height = own ? image->second.second : tileset->tileHeight;
    }
    if (!(width > 0)) width = map.tileWidth;
    if (!(height > 0)) height = map.tileHeight;
    // The centre seen from the aligned point, then turned about it.
    const double along = (0.5 - anchor.first) * width;
    const double down = (0.5 - anchor.second) * height;
    const auto [sine, cosine] = Turn(place.rotation);
    const double centreX = place.x + along * cosine - down * sine;
    const double centreY = place.y + along * sine + down * cosine;
    const double column = std::floor(centreX / map.tileWidth);
    const double row = std::floor(centreY / map.tileHeight);
    if (!(std::fabs(column) <= kFarthestCell && std::fabs(row) <= kFarthestCell)) {
        return std::nullopt;
    }
    return LayerTile{0, static_cast<int>(column), static_cast<int>(row)};
}

bool OffsetTiles(TileLayer& layer, double dx, double dy, const std::string& label,
                 const std::string& file, TiledMap& map, std::vector<Problem>& problems) {
    if (dx == 0 && dy == 0) return true;
    const double columns = std::round(dx / map.tileWidth);
    const double rows = std::round(dy / map.tileHeight);
    const std::string offset = "(" + PixelText(dx) + ", " + PixelText(dy) + ")";
    if (!(std::fabs(columns) <= kFarthestCell && std::fabs(rows) <= kFarthestCell)) {
        problems.push_back({file, label + ": its offset " + offset + " lies too far out"});
        return false;
    }
    // Real maps hold offsets such as -1.77636e-15: whole cells all the same.
    constexpr double kSlack = 0.01;
    if (std::fabs(dx - columns * map.tileWidth) > kSlack ||
        std::fabs(dy - rows * map.tileHeight) > kSlack) {
        map.notes.push_back(file + ": note: " + label + " is offset by " + offset +
                            " pixels, not whole cells: its tiles are placed on the nearest cells");
    }
    for (LayerTile& tile : layer.tiles) {
        tile.x += static_cast<int>(columns);
        tile.y += static_cast<int>(rows);
    }
    return true;
}

bool RoomForTiles(const TiledMap& map, std::size_t more, const std::string& file,
                  std::vector<Problem>& problems) {
    std::size_t tiles = more;
    for (const TileLayer& layer : map.layers) tiles += layer.tiles.size();
    if (tiles <= kMaxCells) return true;
    problems.push_back({file, "the map holds more than " + std::to_string(kMaxCells) + " tiles"});
    return false;
}

std::optional<std::string> TooManyCells(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || width * height <= static_cast<std::int64_t>(kMaxCells)) {
        return std::nullopt;
    }
    return "claims " + std::to_string(width) + " × " + std::to_string(height) +
           " cells, more than the " + std::to_string(kMaxCells) + " a level may have";
}

std::optional<std::string> ChunkPlace::Fault() const {
    if (!x || !y || !width || !height || *width <= 0 || *height <= 0) {
        return "has no whole \"x\", \"y\" and positive \"width\" and \"height\"";
    }
    if (std::optional<std::string> tooLarge = TooManyCells(*width, *height); tooLarge) {
        return tooLarge;
    }
    if (std::llabs(*x) > kFarthestCell || std::llabs(*y) > kFarthestCell) {
        return "lies more than " + std::to_string(kFarthestCell) + " cells out";
    }
    return std::nullopt;
}

bool AddChunk(const std::vector<std::uint32_t>& gids, const ChunkPlace& place, const TiledMap& map,
              TileLayer& layer, const std::string& file, std::vector<Problem>& problems) {
    std::size_t used = 0;
    for (const std::uint32_t gid : gids) used += gid != 0;
    if (!RoomForTiles(map, layer.tiles.size() + used, file, problems)) return false;
    const auto width = static_cast<std::size_t>(*place.width);
    for (std::size_t cell = 0; cell < gids.size(); ++cell) {
        if (gids[cell] == 0) continue;
        layer.tiles.push_back({gids[cell], static_cast<int>(*place.x + cell % width),
                               static_cast<int>(*place.y + cell / width)});
    }
    return true;
}

bool TakeShape(const MapShape& shape, TiledMap& map, std::vector<Problem>& problems,
               bool& refused) {
    const auto report = [&](const std::string& text) {
        problems.push_back({map.file, text});
        return false;
    };
    if (shape.orientation != "orthogonal") {
        refused = true;
        return report("the map is " + Quoted(shape.orientation) +
                      ", not orthogonal: set Map › Map Properties › Orientation to Orthogonal");
    }
    map.infinite = shape.infinite;
    const auto positive = [&](const std::optional<std::int64_t>& value, const char* key) {
        if (value && *value > 0 && *value <= std::numeric_limits<int>::max()) {
            return static_cast<int>(*value);
        }
        report(std::string("\"") + key + "\" is not a positive integer");
        return 0;
    };
    // An infinite map's size is only that of the chunks saved; its tiles tell the area used.
    const int width = map.infinite ? 1 : positive(shape.width, "width");
    const int height = map.infinite ? 1 : positive(shape.height, "height");
    // Tile objects are placed by their pixel position.
    const int tileWidth = positive(shape.tileWidth, "tilewidth");
    const int tileHeight = positive(shape.tileHeight, "tileheight");
    if (width == 0 || height == 0 || tileWidth == 0 || tileHeight == 0) return false;
    if (const std::optional<std::string> tooLarge = TooManyCells(width, height); tooLarge) {
        return report("the map " + *tooLarge);
    }
    map.width = width;
    map.height = height;
    map.tileWidth = tileWidth;
    map.tileHeight = tileHeight;
    return true;
}

void PlaceInfiniteMap(TiledMap& map, std::vector<Problem>& problems) {
    bool any = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    for (const TileLayer& layer : map.layers) {
        for (const LayerTile& tile : layer.tiles) {
            left = any ? std::min(left, tile.x) : tile.x;
            right = any ? std::max(right, tile.x) : tile.x;
            top = any ? std::min(top, tile.y) : tile.y;
            bottom = any ? std::max(bottom, tile.y) : tile.y;
            any = true;
        }
    }
    if (!any) {
        problems.push_back({map.file, "the map is infinite and has no tile in use"});
        return;
    }
    for (TileLayer& layer : map.layers) {
        for (LayerTile& tile : layer.tiles) {
            tile.x -= left;
            tile.y -= top;
        }
    }
    map.origin = {0, left, top};
    map.width = right - left + 1;
    map.height = bottom - top + 1;
}

}  // namespace levelimport
