// Checks the committed default world in data/: it matches a fresh run of the generators and its
// files have the formats the game reads. That every level can be finished is shown by replaying
// the scripts of data/scripts through the game's own scene (tests/gamegl).
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <picojson.h>
#include <rapidjson/document.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "atlasgen/AtlasPacker.hpp"
#include "atlasgen/AtlasWriter.hpp"
#include "common/TextFile.hpp"
#include "levelgen/LevelConverter.hpp"
#include "levelgen/TileCatalog.hpp"

namespace fs = std::filesystem;

namespace {

const std::string data = CONTENT_DATA_DIR;
const std::string maps = CONTENT_MAPS_DIR;
const std::string atlasName = "platformer-art-deluxe";
constexpr int levelCount = 6;
constexpr float grid = 21.0f;
constexpr float halfCell = grid / 2.0f;

std::string levelFile(int n) {
    return data + "/1level" + std::to_string(n) + ".json";
}

rapidjson::Document parse(const std::string& path) {
    rapidjson::Document doc;
    doc.Parse(TextFile::read(path).c_str());
    return doc;
}

// Pivots are stored with six digits, so edges that meet may cross by a hair.
constexpr float touching = 0.01f;

struct Rect {
    float left, bottom, right, top;
    bool overlaps(const Rect& o) const {
        return left + touching < o.right && o.left + touching < right &&
               bottom + touching < o.top && o.bottom + touching < top;
    }
};

// Sprite rectangles of the committed atlas, as the game places them around a tile's centre.
std::map<int, Rect> spriteRects() {
    picojson::value root;
    std::ifstream in(data + "/" + atlasName + ".json");
    in >> root;
    std::map<int, Rect> rects;
    for (const picojson::value& f : root.get("frames").get<picojson::array>()) {
        const std::string name = f.get("filename").get<std::string>();
        const float w = static_cast<float>(f.get("frame").get("w").get<double>());
        const float h = static_cast<float>(f.get("frame").get("h").get<double>());
        const float px = static_cast<float>(f.get("pivot").get("x").get<double>());
        const float py = static_cast<float>(f.get("pivot").get("y").get<double>());
        const float bottom = -(1.0f - py) * h;
        rects[std::stoi(name)] = {-px * w, bottom, -px * w + w, bottom + h};
    }
    return rects;
}

std::vector<std::uint8_t> pixelsOf(const std::string& png, int& width, int& height) {
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> loaded(IMG_Load(png.c_str()),
                                                                    &SDL_FreeSurface);
    if (!loaded) return {};
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgba(
        SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0), &SDL_FreeSurface);
    width = rgba->w;
    height = rgba->h;
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < rgba->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(rgba->pixels) + y * rgba->pitch;
        bytes.insert(bytes.end(), row, row + rgba->w * 4);
    }
    return bytes;
}

}  // namespace

TEST(DefaultWorldTest, AtlasIsWhatTheGeneratorDraws) {
    const PackedAtlas atlas = AtlasPacker().pack(allSprites());
    EXPECT_EQ(TextFile::read(data + "/" + atlasName + ".json"),
              AtlasWriter::toJson(atlas, atlasName + ".png"))
        << "data/ is stale: run build/tools/atlasgen from the repository root";
    int width = 0;
    int height = 0;
    const auto committed = pixelsOf(data + "/" + atlasName + ".png", width, height);
    ASSERT_EQ(width, atlas.page.width());
    ASSERT_EQ(height, atlas.page.height());
    EXPECT_TRUE(committed == atlas.page.bytes()) << "the committed PNG differs from a new run";
    EXPECT_EQ(width & (width - 1), 0) << "the page must be a power of two to be filtered";
    EXPECT_EQ(height & (height - 1), 0);
}

TEST(DefaultWorldTest, LevelAndTileFilesAreWhatTheConverterWrites) {
    int mapCount = 0;
    for (const auto& entry : fs::directory_iterator(maps)) {
        if (entry.path().extension() != ".txt") continue;
        ++mapCount;
        const std::string source = entry.path().string();
        const LevelMap map = LevelMap::parse(TextFile::read(source), source);
        const std::string json = data + "/" + entry.path().stem().string() + ".json";
        EXPECT_EQ(TextFile::read(json), LevelConverter::toJson(map, source))
            << json << " is stale: run build/tools/levelgen from the repository root";
    }
    EXPECT_EQ(mapCount, levelCount);
    for (const TileType& type : TileCatalog::all()) {
        EXPECT_EQ(TextFile::read(data + "/" + TileCatalog::fileName(type)),
                  TileCatalog::toJson(type));
    }
}

TEST(DefaultWorldTest, WorldHasSixLevelsNumberedOneToSixAndNoSeventh) {
    for (int n = 1; n <= levelCount; ++n) {
        const rapidjson::Document level = parse(levelFile(n));
        ASSERT_TRUE(level.IsObject()) << levelFile(n);
        EXPECT_EQ(level["id"].GetInt(), n);
        EXPECT_TRUE(level["name"].IsString());
    }
    EXPECT_FALSE(fs::exists(levelFile(levelCount + 1))) << "the world must wrap after level 6";
}

TEST(DefaultWorldTest, EveryLevelHasOnePlayerAGoalAndADeathLineBelowAllTiles) {
    for (int n = 1; n <= levelCount; ++n) {
        const rapidjson::Document level = parse(levelFile(n));
        int players = 0;
        int goals = 0;
        int lowestRow = 1 << 20;
        for (const auto& row : level["arrayOfTiles"].GetArray()) {
            for (const auto& e : row.GetArray()) {
                ASSERT_TRUE(e.IsArray() && e.Size() == 3 && e[0].IsInt() && e[1].IsInt() &&
                            e[2].IsInt());
                const int type = e[0].GetInt();
                ASSERT_TRUE(fs::exists(data + "/tile" + std::to_string(type) + ".json")) << type;
                const TileType& tile = TileCatalog::byId(type);
                players += tile.player ? 1 : 0;
                goals += tile.goal ? 1 : 0;
                lowestRow = std::min(lowestRow, e[2].GetInt());
            }
        }
        EXPECT_EQ(players, 1) << levelFile(n);
        EXPECT_GE(goals, 1) << levelFile(n);
        EXPECT_LT(level["deathLevelInY"].GetInt(), lowestRow * grid - halfCell) << levelFile(n);
    }
}

TEST(DefaultWorldTest, DecorationsNeverCoverSolidTiles) {
    const std::map<int, Rect> rects = spriteRects();
    for (int n = 1; n <= levelCount; ++n) {
        const rapidjson::Document level = parse(levelFile(n));
        std::vector<Rect> solids;
        std::vector<std::pair<Rect, int>> decorations;
        for (const auto& row : level["arrayOfTiles"].GetArray()) {
            for (const auto& e : row.GetArray()) {
                const TileType& tile = TileCatalog::byId(e[0].GetInt());
                const float x = e[1].GetInt() * grid;
                const float y = e[2].GetInt() * grid;
                const Rect& r = rects.at(tile.sprite);
                const Rect placed{x + r.left, y + r.bottom, x + r.right, y + r.top};
                if (tile.body == TileType::Body::None) {
                    decorations.push_back({placed, e[1].GetInt()});
                } else {
                    solids.push_back(placed);
                }
            }
        }
        for (const auto& [decoration, column] : decorations) {
            for (const Rect& solid : solids) {
                EXPECT_FALSE(decoration.overlaps(solid))
                    << levelFile(n) << ": decoration in column " << column << " covers a tile at ("
                    << solid.left << ", " << solid.bottom << ")";
            }
        }
    }
}
