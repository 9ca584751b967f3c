// Maps the importer turns into levels: each tileset and layer form Tiled saves, and the maps of
// the default world's levels shipped in data/tiled.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;
using Files = std::vector<std::pair<std::string, std::string>>;

/// The tiles of the default map's layer {1, 0, 2, 0, 0, 1}: its top row is row 1.
const std::vector<Tile> kDefaultTiles = {{10, 0, 1}, {11, 2, 1}, {10, 2, 0}};

std::vector<Tile> TilesOf(const rapidjson::Document& level) {
    return LevelTiles(level);
}

std::string WithLayers(const std::string& layers) {
    MapParts parts;
    parts.layers = layers;
    return MapText(parts);
}

std::string Nested(std::size_t depth, const std::string& layer) {
    std::string opening;
    for (std::size_t i = 0; i < depth; ++i) opening += R"({"type":"group","name":"g","layers":[)";
    std::string closing;
    for (std::size_t i = 0; i < depth; ++i) closing += "]}";
    return "[" + opening + layer + closing + "]";
}

/// A map.tmx of the default map's properties, tileset and layer, the layer inside `depth`
/// nested group layers.
std::string XmlNested(std::size_t depth) {
    std::string opening;
    for (std::size_t i = 0; i < depth; ++i) opening += R"(<group name="g">)";
    std::string closing;
    for (std::size_t i = 0; i < depth; ++i) closing += "</group>";
    return R"(<map orientation="orthogonal" width="3" height="2" tilewidth="21" tileheight="21">)"
           R"(<properties><property name="deathLevelInY" type="float" value="-42"/><property )"
           R"(name="id" type="int" value="7"/><property name="name" value="Hills"/></properties>)"
           R"(<tileset firstgid="1" name="t" tilecount="4"><tile id="0"><properties><property )"
           R"(name="tileType" type="int" value="10"/></properties></tile><tile id="1"><properties>)"
           R"(<property name="tileType" type="int" value="11"/></properties></tile></tileset>)" +
           opening + R"(<layer name="a"><data encoding="csv">1,0,2,0,0,1</data></layer>)" +
           closing + "</map>";
}

struct GoodMap {
    GoodMap(const char* name, Files files, std::vector<Tile> tiles = kDefaultTiles,
            std::string notes = "", const char* mapFile = "map.tmj",
            const char* levelFile = "level.json", int id = 7, std::string levelName = "Hills",
            std::optional<double> deathLevelInY = -42)
        : name(name),
          files(std::move(files)),
          tiles(std::move(tiles)),
          notes(std::move(notes)),
          mapFile(mapFile),
          levelFile(levelFile),
          id(id),
          levelName(std::move(levelName)),
          deathLevelInY(deathLevelInY) {}

    const char* name;
    Files files;
    std::vector<Tile> tiles;  ///< in the order written
    std::string notes;        ///< the lines the import prints before its summary
    const char* mapFile;
    const char* levelFile;
    int id;
    std::string levelName;
    std::optional<double> deathLevelInY;
};

void PrintTo(const GoodMap& map, std::ostream* out) {
    *out << map.name;
}

class GoodMaps : public ::testing::TestWithParam<GoodMap> {};

TEST_P(GoodMaps, ImportToTheTilesDrawn) {
    const GoodMap& good = GetParam();
    Folder folder;
    for (const auto& [name, text] : good.files) folder.Write(name, text);

    const test_support::CommandResult run =
        folder.Import(std::string(good.mapFile) + " " + good.levelFile);

    ASSERT_EQ(run.exitCode, 0) << run.output;
    rapidjson::Document level;
    level.Parse(folder.Read(good.levelFile).c_str());
    ASSERT_TRUE(level.IsObject()) << folder.Read(good.levelFile);
    EXPECT_EQ(level["id"].GetInt(), good.id);
    EXPECT_EQ(level["name"].GetString(), good.levelName);
    ASSERT_EQ(level.HasMember("deathLevelInY"), good.deathLevelInY.has_value());
    if (good.deathLevelInY) {
        EXPECT_EQ(level["deathLevelInY"].GetDouble(), *good.deathLevelInY);
    }
    EXPECT_THAT(TilesOf(level), ElementsAreArray(good.tiles));
    const std::string summary = std::string(good.levelFile) + ": level " + std::to_string(good.id) +
                                " with " + std::to_string(good.tiles.size()) + " tiles, from " +
                                good.mapFile + "\n";
    EXPECT_EQ(run.output, (good.notes.empty() ? "" : good.notes + "\n") + summary);
}

const std::vector<std::uint32_t> kGids = {1, 0, 2, 0, 0, 1};

INSTANTIATE_TEST_SUITE_P(
    Importer, GoodMaps,
    ::testing::Values(
        GoodMap{"EmbeddedTilesetArrayData", {{"map.tmj", MapText({})}}},
        GoodMap{"ExternalTilesetInAnotherFolder",
                {{"maps/map.tmj",
                  [] {
                      MapParts parts;
                      parts.tilesets = R"([{"firstgid":1,"source":"../sets/world.tsj"}])";
                      return MapText(parts);
                  }()},
                 {"sets/world.tsj", TilesetFile()}},
                kDefaultTiles,
                "",
                "maps/map.tmj"},
        GoodMap{"TwoTilesetsByFirstGid",
                {{"map.tmj",
                  [] {
                      MapParts parts;
                      // Listed out of order: ids from 5 are set "t"'s, from 1 set "u"'s.
                      parts.tilesets = "[" + EmbeddedTileset(5) + R"(,{"firstgid":1,"name":"u",)" +
                                       R"("tiles":[{"id":0,"properties":[{"name":"tileType",)" +
                                       R"("type":"int","value":3}]}]}])";
                      parts.layers = "[" + ArrayLayer("a", {5, 1, 6, 0, 0, 0}) + "]";
                      return MapText(parts);
                  }()}},
                {{10, 0, 1}, {3, 1, 1}, {11, 2, 1}}},
        GoodMap{"Base64",
                {{"map.tmj", WithLayers("[" + EncodedLayer(Base64(GidBytes(kGids))) + "]")}}},
        GoodMap{"Base64Zlib",
                {{"map.tmj",
                  WithLayers("[" + EncodedLayer(Base64(Deflate(GidBytes(kGids), false)), "zlib") +
                             "]")}}},
        GoodMap{"Base64Gzip",
                {{"map.tmj",
                  WithLayers("[" + EncodedLayer(Base64(Deflate(GidBytes(kGids), true)), "gzip") +
                             "]")}}},
        GoodMap{"FlippedAndRotatedTiles",
                {{"map.tmj",
                  WithLayers("[" +
                             ArrayLayer("a", {1 | kFlipX, 0, 2 | kFlipY | kFlipDiagonal, 0, 0, 1}) +
                             "]")}},
                kDefaultTiles,
                "map.tmj: note: 2 tiles are flipped or rotated; the game draws every tile "
                "unflipped"},
        GoodMap{"LayersInGroupsAndOtherLayersSkipped",
                {{"map.tmj", WithLayers("[" + ArrayLayer("a", {1, 0, 0, 0, 0, 0}) +
                                        R"(,{"type":"objectgroup","name":"o","objects":[]},)" +
                                        R"({"type":"group","name":"g","layers":[)" +
                                        ArrayLayer("b", {0, 0, 2, 0, 0, 1}) + "]}]")}}},
        GoodMap{"GroupsNestedTwentyThousandDeep",
                {{"map.tmj", WithLayers(Nested(20000, ArrayLayer("a", kGids)))}}},
        GoodMap{"XmlGroupsNestedTwoHundredThousandDeep",
                {{"map.tmx", XmlNested(200000)}},
                kDefaultTiles,
                "",
                "map.tmx"},
        GoodMap{"StackedLayersLowerFirst",
                {{"map.tmj", WithLayers("[" + ArrayLayer("a", kGids) + "," +
                                        ArrayLayer("b", {2, 2, 0, 0, 0, 0}) + "," +
                                        ArrayLayer("c", {0, 0, 0, 0, 0, 1}) + "]")}},
                {{10, 0, 1}, {11, 2, 1}, {10, 2, 0}, {11, 0, 1}, {11, 1, 1}, {10, 2, 0}}},
        GoodMap{"TileObjectsInGroupsOnTheCellUnderTheirCentre",
                {{"map.tmj",
                  WithLayers("[" + ArrayLayer("a", {1, 0, 0, 0, 0, 0}) + "," +
                             GroupLayer("g", GroupLayer("h", ObjectLayer("o", {
                                 TileObject(1, 2, 42, 42),  // bottom-left corner of cell (2, 1)
                                 TileObject(2, 1, 0, 21),   // over layer "a"'s tile
                                 TileObject(3, 2 | kFlipX, 25, 30),  // mostly on cell (1, 0)
                                 TileObject(4, 1, -21, 42),          // left of the map
                                 R"({"id":5,"x":0,"y":0,"width":10,"height":10})",
                                 R"({"id":6,"point":true,"x":3,"y":4})",
                                 R"({"id":7,"text":{"text":"hi"},"x":0,"y":0,"width":30})",
                             }))) +
                             "]")}},
                {{10, 0, 1}, {10, 0, 1}, {11, 1, 1}, {10, -1, 0}, {11, 2, 0}},
                "map.tmj: note: 1 tile is flipped or rotated; the game draws every tile "
                "unflipped\n"
                "map.tmj: note: 3 objects are not a tile (a shape, point or text) and skipped"},
        GoodMap{"OldFormatEmbeddedTileset", {{"map.tmj", OldMapText()}}},
        GoodMap{"OldFormatExternalTilesetWithTilesKeyedById",
                {{"map.tmj",
                  [] {
                      MapParts parts;
                      parts.properties = kOldProperties;
                      parts.tilesets = R"([{"firstgid":1,"source":"old.json"}])";
                      return MapText(parts);
                  }()},
                 {"old.json", R"({"tiles":{"0":{"terrain":[0,0,0,0]}},)" + OldTilesetFields() +
                                  "}"}}},
        GoodMap{"NoPropertiesIdFromTheLevelFileNameFromTheMapFile",
                {{"maps/cave.tmj",
                  [] {
                      MapParts parts;
                      parts.properties = "[]";
                      return MapText(parts);
                  }()}},
                kDefaultTiles,
                "maps/cave.tmj: note: no map property \"id\": the level's id is 12, from the "
                "level file name \"castle12.json\"\n"
                "maps/cave.tmj: note: no map property \"name\": the level's name is \"cave\", "
                "from the map file name",
                "maps/cave.tmj",
                "castle12.json",
                12,
                "cave",
                std::nullopt}),
    [](const ::testing::TestParamInfo<GoodMap>& info) { return std::string(info.param.name); });

TEST(LevelFile, IsWrittenAsTheDefaultWorldsLevelsAreAndLeavesOutAMissingDeathLine) {
    Folder folder;
    MapParts parts;
    parts.properties = R"([{"name":"id","type":"int","value":2},)"
                       R"({"name":"name","type":"string","value":"Caves \"deep\""}])";
    folder.Write("map.tmj", MapText(parts));
    folder.Write("level.json", R"({"id": 2, "name": "old", "arrayOfTiles": []})");

    ASSERT_EQ(folder.Import("map.tmj level.json").exitCode, 0);

    EXPECT_EQ(folder.Read("level.json"),
              "{\n"
              "  \"id\": 2,\n"
              "  \"name\": \"Caves \\\"deep\\\"\",\n"
              "  \"arrayOfTiles\": [\n"
              "    [[10, 0, 1], [11, 2, 1]],\n"
              "    [[10, 2, 0]]\n"
              "  ]\n"
              "}\n");
}

// Every default level is in the example as a .tmx (levels 1 and 6 as a .tmj too), and importing
// it gives the level file itself: tiles, backdrop and camera, byte for byte.
TEST(ShippedExample, ImportsToTheDefaultWorldsLevelFilesByteForByte) {
    const std::filesystem::path world = ORKA_DEFAULT_WORLD_DIR;
    std::size_t maps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(world / "tiled")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".tmx" && extension != ".tmj") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string stem = entry.path().stem().string();  // level<N>
        Folder folder;

        const test_support::CommandResult run =
            folder.Import("'" + entry.path().string() + "' 1" + stem + ".json");

        ASSERT_EQ(run.exitCode, 0) << run.output;
        std::ifstream stream(world / ("1" + stem + ".json"), std::ios::binary);
        EXPECT_EQ(folder.Read("1" + stem + ".json"),
                  std::string(std::istreambuf_iterator<char>(stream), {}))
            << "run python3 tools/tiled/make-example.py";
        ++maps;
    }
    EXPECT_EQ(maps, 8u) << "levels 1 to 6 as .tmx, 1 and 6 as .tmj";
}

TEST(ShippedExample, TilesetOffersEveryTileTypeOfTheWorldWithItsPicture) {
    const std::filesystem::path world = ORKA_DEFAULT_WORLD_DIR;
    std::ifstream stream(world / "tiled" / "world.tsj");
    rapidjson::Document tileset;
    tileset.Parse(std::string(std::istreambuf_iterator<char>(stream), {}).c_str());
    ASSERT_TRUE(tileset.IsObject());
    std::size_t offered = 0;
    for (const auto& tile : tileset["tiles"].GetArray()) {
        const int type = tile["properties"][0]["value"].GetInt();
        EXPECT_EQ(tile["id"].GetInt(), type) << "tile id N is tile type N";
        EXPECT_TRUE(std::filesystem::exists(world / ("tile" + std::to_string(type) + ".json")));
        EXPECT_TRUE(std::filesystem::exists(world / "tiled" / tile["image"].GetString()));
        ++offered;
    }
    std::size_t tileFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(world)) {
        const std::string name = entry.path().filename().string();
        tileFiles += name.rfind("tile", 0) == 0 && entry.path().extension() == ".json";
    }
    EXPECT_EQ(offered, tileFiles) << "run python3 tools/tiled/make-example.py";
}

}  // namespace
}  // namespace levelimport::test
