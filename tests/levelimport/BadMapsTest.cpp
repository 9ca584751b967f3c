// Maps the importer refuses: each gives one clear line naming the file, its exit code, and
// leaves the level file as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

constexpr int kProblems = 1;
constexpr int kUsage = 2;
const std::string kOldLevel = "{\"id\": 1, \"name\": \"before\"}\n";

using Files = std::vector<std::pair<std::string, std::string>>;

/// A map.tmj made from the default parts with `change` applied.
Files Map(const std::function<void(MapParts&)>& change, Files more = {}) {
    MapParts parts;
    change(parts);
    more.insert(more.begin(), {"map.tmj", MapText(parts)});
    return more;
}

std::string Properties(const std::string& id, const std::string& name, const std::string& death) {
    return R"([{"name":"id","type":"int","value":)" + id +
           R"(},{"name":"name","type":"string","value":)" + name +
           R"(},{"name":"deathLevelInY","type":"float","value":)" + death + "}]";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

struct BadMap {
    const char* name;
    Files files;
    std::string line;  ///< the problem's line, exactly
    int exitCode = kProblems;
    std::string arguments = "map.tmj level.json";
};

void PrintTo(const BadMap& map, std::ostream* out) {
    *out << map.name;
}

class BadMaps : public ::testing::TestWithParam<BadMap> {};

TEST_P(BadMaps, AreRefusedWithOneClearLineAndNothingWritten) {
    const BadMap& bad = GetParam();
    Folder folder;
    for (const auto& [name, text] : bad.files) folder.Write(name, text);
    folder.Write("level.json", kOldLevel);

    const test_support::CommandResult run = folder.Import(bad.arguments);

    EXPECT_EQ(run.exitCode, bad.exitCode) << run.output;
    EXPECT_THAT(Lines(run.output), Contains(bad.line)) << run.output;
    EXPECT_EQ(folder.Read("level.json"), kOldLevel);
    std::size_t entries = 0;  // no temporary file left behind either
    for (const auto& entry : std::filesystem::directory_iterator(folder.path)) {
        entries += entry.is_regular_file();
    }
    EXPECT_EQ(entries, bad.files.size() + 1);
}

std::string DeepArray(std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

const std::string kXml = "map.tmx level.json";

/// A map.tmx of `shape` (3 × 2 cells by default) with tileset "t" embedded (tile 0: type 10),
/// then `body`.
Files XmlMap(const std::string& body,
             const std::string& shape = R"(orientation="orthogonal" width="3" height="2")",
             Files more = {}) {
    more.insert(more.begin(),
                {"map.tmx", "<?xml version=\"1.0\"?>\n<map " + shape +
                                R"( tilewidth="21" tileheight="21"><tileset firstgid="1" name="t" )"
                                R"(tilecount="4"><tile id="0"><properties><property )"
                                R"(name="tileType" type="int" value="10"/></properties></tile>)"
                                "</tileset>" +
                                body + "</map>"});
    return more;
}

std::string XmlLayer(const std::string& data, const std::string& dataAttributes) {
    return R"(<layer name="a" width="3" height="2"><data)" + dataAttributes + ">" + data +
           "</data></layer>";
}

/// One of the maps of tests/data/tiled, as map.tmx.
Files Fixture(const std::string& name) {
    std::ifstream stream(std::string(ORKA_TEST_DATA_DIR) + "/tiled/" + name, std::ios::binary);
    return {{"map.tmx", std::string(std::istreambuf_iterator<char>(stream), {})}};
}

/// 1 MiB of zeros, compressed by zstd into a few dozen bytes, base64-encoded.
const std::string kZstdBomb =
    "KLUv/QRoTAAACAABAPz/ORACAgAQAAIAEAACABAAAgAQAAIAEAACABAAAwAQAPE+FuE=";

const std::string kZlibOfSixGids = Deflate(GidBytes({1, 0, 2, 0, 0, 1}), false);

INSTANTIATE_TEST_SUITE_P(
    Importer, BadMaps,
    ::testing::Values(
        BadMap{"NotJson",
               {{"map.tmj", "{\"width\": 3,"}},
               "map.tmj: invalid JSON at offset 12: Missing a name for object member."},
        BadMap{"NestedAMillionDeep",
               {{"map.tmj", std::string(1000000, '[')}},
               "map.tmj: invalid JSON at offset 1000000: Invalid value."},
        BadMap{"TopLevelArray",
               {{"map.tmj", DeepArray(200000)}},
               "map.tmj: the top level is not a JSON object"},
        BadMap{"XmlMapWithoutOrientation",
               {{"map.tmj", "<?xml version=\"1.0\"?><map/>"}},
               "map.tmj: the map is \"\", not orthogonal: set Map › Map Properties › Orientation "
               "to Orthogonal"},
        BadMap{"BackdropImageNamedForNoSprite", Map([](MapParts& p) {
                   p.layers = R"([{"type":"imagelayer","name":"Sky","image":"art/sky.png"}])";
               }),
               "map.tmj: layer \"Sky\": its image \"sky.png\" names no atlas sprite: the "
               "backdrop shows atlas sprite N for an image named N.png"},
        BadMap{"BackdropFasterThanTheTiles", Map([](MapParts& p) {
                   p.layers = R"([{"type":"group","name":"g","parallaxx":1.5,"layers":[)"
                              R"({"type":"imagelayer","name":"Sky","image":"90.png"}]}])";
               }),
               "map.tmj: layer \"Sky\": its horizontal parallax factor 1.5 (its groups' "
               "included) is not between 0 and 1"},
        BadMap{"CameraLeadBeyondHalfTheView", Map([](MapParts& p) {
                   p.properties = R"([{"name":"cameraLead","type":"float","value":250},)" +
                                  kProperties.substr(1);
               }),
               "map.tmj: map property \"cameraLead\" is not a number from 0 to 200"},
        BadMap{"CameraClassMemberNotANumber",
               XmlMap(R"(<properties><property name="id" type="int" value="7"/><property )"
                      R"(name="camera" type="class"><properties><property name="ease" )"
                      R"(type="string" value="slow"/></properties></property></properties>)" +
                      XmlLayer("1,0,0,0,0,0", R"( encoding="csv")")),
               "map.tmx: map property \"camera\" member \"ease\" is not a number from 0 to 5",
               kProblems, kXml},
        BadMap{"MissingMap", {}, "absent.tmj: does not exist", kProblems, "absent.tmj level.json"},
        BadMap{"InfiniteWithoutTiles", Map([](MapParts& p) {
                   p.shape = R"("orientation":"orthogonal","infinite":true,"width":3,"height":2)";
                   p.layers = R"([{"type":"tilelayer","name":"a","chunks":[]}])";
               }),
               "map.tmj: the map is infinite and has no tile in use"},
        BadMap{"InfiniteChunkOfTooManyCells", Map([](MapParts& p) {
                   p.shape = R"("orientation":"orthogonal","infinite":true)";
                   p.layers = R"([{"type":"tilelayer","name":"a","chunks":[{"x":0,"y":0,)"
                              R"("width":4096,"height":4096,"data":[]}]}])";
               }),
               "map.tmj: layer \"a\": chunk 1 claims 4096 × 4096 cells, more than the 4194304 a "
               "level may have"},
        BadMap{"InfiniteChunkFarOut", Map([](MapParts& p) {
                   p.shape = R"("orientation":"orthogonal","infinite":true)";
                   p.layers = R"([{"type":"tilelayer","name":"a","chunks":[{"x":-99999999,"y":0,)"
                              R"("width":1,"height":1,"data":[1]}]}])";
               }),
               "map.tmj: layer \"a\": chunk 1 lies more than 16777216 cells out"},
        BadMap{"Oblique", Map([](MapParts& p) {
                   p.shape = R"("orientation":"oblique","infinite":false,"width":3,"height":2)";
               }),
               "map.tmj: the map is \"oblique\", not orthogonal: set Map › Map Properties › "
               "Orientation to Orthogonal"},
        BadMap{"Isometric", Map([](MapParts& p) {
                   p.shape = R"("orientation":"isometric","infinite":false,"width":3,"height":2)";
               }),
               "map.tmj: the map is \"isometric\", not orthogonal: set Map › Map Properties › "
               "Orientation to Orthogonal"},
        BadMap{"NoWidth",
               Map([](MapParts& p) { p.shape = R"("orientation":"orthogonal","height":2)"; }),
               "map.tmj: \"width\" is not a positive integer"},
        BadMap{"TooLarge", Map([](MapParts& p) {
                   p.shape = R"("orientation":"orthogonal","width":100000,"height":100000)";
               }),
               "map.tmj: the map claims 100000 × 100000 cells, more than the 4194304 a level may "
               "have"},
        BadMap{"NoIdNorNumberInTheLevelFileName", Map([](MapParts& p) { p.properties = "[]"; }),
               "map.tmj: no map property \"id\" (int), and the level file name \"level.json\" "
               "ends in no level number (castle3.json is level 3)"},
        BadMap{"NoIdAndTheLevelFileNumberTooLarge",
               Map([](MapParts& p) { p.properties = R"({"name":"a"})"; }),
               "map.tmj: no map property \"id\" (int), and the level file name "
               "\"castle99999999999.json\" ends in no level number (castle3.json is level 3)",
               kProblems, "map.tmj castle99999999999.json"},
        BadMap{"PropertiesNeitherListNorObject", Map([](MapParts& p) { p.properties = "3"; }),
               "map.tmj: \"properties\" is neither a list nor an object"},
        BadMap{"IdNotInteger",
               Map([](MapParts& p) { p.properties = Properties("\"1\"", "\"a\"", "0"); }),
               "map.tmj: map property \"id\" is not an integer"},
        BadMap{"NameNotString", Map([](MapParts& p) { p.properties = Properties("1", "2", "0"); }),
               "map.tmj: map property \"name\" is not a string"},
        BadMap{"DeathLevelBeyondFloat",
               Map([](MapParts& p) { p.properties = Properties("1", "\"a\"", "1e300"); }),
               "map.tmj: map property \"deathLevelInY\" is not a number a float can hold"},
        BadMap{"TileWithoutTileType", Map([](MapParts& p) {
                   p.layers = "[" + ArrayLayer("a", {1, 0, 3, 3, 0, 0}) + "]";
               }),
               "map.tmj: tile 2 of tileset \"t\" has no int property \"tileType\" (layer \"a\", "
               "map cell (2, 0))"},
        BadMap{"GidOfNoTileset", Map([](MapParts& p) {
                   p.layers = "[" + ArrayLayer("a", {0, 0, 0, 9, 0, 0}) + "]";
               }),
               "map.tmj: tile id 9 belongs to no tileset: tileset \"t\" holds 4 tiles, ids 1 to 4 "
               "(layer \"a\", map cell (0, 1))"},
        BadMap{"GidBelowFirstTileset",
               Map([](MapParts& p) { p.tilesets = "[" + EmbeddedTileset(5) + "]"; }),
               "map.tmj: tile ids 1 to 2 (2 used) belong to no tileset (the first: layer \"a\", "
               "map cell (0, 0))"},
        // One line for every id an empty tileset lacks, not one for each.
        BadMap{"IdsOfAnEmptyTileset", Map([](MapParts& p) {
                   p.tilesets = R"([{"firstgid":1,"name":"t","tilecount":0}])";
                   p.layers = "[" + ArrayLayer("a", {1, 35, 2, 62, 35, 9}) + "]";
               }),
               "map.tmj: tile ids 1 to 62 (5 used) belong to no tileset: tileset \"t\" holds 0 "
               "tiles, ids 1 to 0 (the first: layer \"a\", map cell (0, 0))"},
        BadMap{"TileTypeNotInteger", Map([](MapParts& p) {
                   p.tilesets = R"([{"firstgid":1,"name":"t","tiles":[{"id":0,"properties":)"
                                R"([{"name":"tileType","type":"string","value":"10"}]}]}])";
               }),
               "map.tmj: tileset \"t\": tile 0 has a \"tileType\" that is not an integer"},
        BadMap{"TilesetWithoutFirstGid",
               Map([](MapParts& p) { p.tilesets = R"([{"name":"t","tiles":[]}])"; }),
               "map.tmj: tileset \"t\" has no positive \"firstgid\""},
        BadMap{"OldTileKeyNotATileId", Map([](MapParts& p) {
                   p.tilesets = R"([{"firstgid":1,"name":"t","tileproperties":{"x1":{}}}])";
               }),
               "map.tmj: tileset \"t\": \"tileproperties\" has the key \"x1\", not a tile id"},
        BadMap{"OldTileTypeNotInteger", Map([](MapParts& p) {
                   p.tilesets = R"([{"firstgid":1,"name":"t","tileproperties":)"
                                R"({"1":{"tileType":"11"}}}])";
               }),
               "map.tmj: tileset \"t\": tile 1 has a \"tileType\" that is not an integer"},
        BadMap{"OldTilesetWithoutTileCountKnowsItsTilesFromTheImage", Map([](MapParts& p) {
                   // 84 × 42 pixels of 21-pixel tiles: 8 tiles, so gid 6 is its tile 5.
                   p.tilesets = R"([{"firstgid":1,"name":"t","imagewidth":84,"imageheight":42,)"
                                R"("tilewidth":21,"tileheight":21,"margin":0,"spacing":0,)"
                                R"("tileproperties":{"0":{"tileType":10}}}])";
                   p.layers = "[" + ArrayLayer("a", {1, 0, 0, 0, 0, 6}) + "]";
               }),
               "map.tmj: tile 5 of tileset \"t\" has no int property \"tileType\" (layer \"a\", "
               "map cell (2, 1))"},
        BadMap{"ObjectsNotAList", Map([](MapParts& p) {
                   p.layers = R"([{"type":"objectgroup","name":"o","objects":{}}])";
               }),
               "map.tmj: layer \"o\": \"objects\" is not an array"},
        BadMap{"TileObjectGidNotATileId", Map([](MapParts& p) {
                   p.layers = "[" + ObjectLayer("o", {R"({"id":4,"gid":-1,"x":0,"y":21})"}) + "]";
               }),
               "map.tmj: layer \"o\": object 4 has a \"gid\" that is not a tile id"},
        BadMap{"TileObjectWithoutPosition", Map([](MapParts& p) {
                   p.layers = "[" + ObjectLayer("o", {R"({"name":"fox","gid":1,"y":21})"}) + "]";
               }),
               "map.tmj: layer \"o\": object \"fox\" has no numeric \"x\" and \"y\""},
        BadMap{"TileObjectFarOutsideTheMap", Map([](MapParts& p) {
                   p.layers = "[" + ObjectLayer("o", {TileObject(3, 1, 1e300, 21)}) + "]";
               }),
               "map.tmj: layer \"o\": object 3 at (1e+300, 21) lies too far outside the map"},
        BadMap{"TileObjectOfNoTileset", Map([](MapParts& p) {
                   p.layers = "[" + ObjectLayer("o", {TileObject(3, 9, 21, 42)}) + "]";
               }),
               "map.tmj: tile id 9 belongs to no tileset: tileset \"t\" holds 4 tiles, ids 1 to 4 "
               "(layer \"o\", map cell (1, 1))"},
        BadMap{"UnknownEncoding", Map([](MapParts& p) {
                   p.layers = R"([{"type":"tilelayer","name":"a","encoding":"xml","data":""}])";
               }),
               "map.tmj: layer \"a\": unknown encoding \"xml\" (array or base64 expected)"},
        BadMap{"LongLayerNameIsCut", Map([](MapParts& p) {
                   p.layers = R"([{"type":"tilelayer","name":")" + std::string(40, 'x') +
                              R"(\n","encoding":"xml","data":""}])";
               }),
               "map.tmj: layer \"" + std::string(32, 'x') +
                   "...\": unknown encoding \"xml\" (array or base64 expected)"},
        BadMap{"ZstdCutShort",
               Map([](MapParts& p) { p.layers = "[" + EncodedLayer("KLUv/Q==", "zstd") + "]"; }),
               "map.tmj: layer \"a\": \"data\" is not valid zstd data (cut short)"},
        BadMap{"NotZstd", Map([](MapParts& p) {
                   p.layers = "[" + EncodedLayer(Base64("not zstd at all"), "zstd") + "]";
               }),
               "map.tmj: layer \"a\": \"data\" is not valid zstd data"},
        BadMap{"UnknownCompression",
               Map([](MapParts& p) { p.layers = "[" + EncodedLayer("AAAA", "lz4") + "]"; }),
               "map.tmj: layer \"a\": unknown compression \"lz4\""},
        BadMap{"NotBase64", Map([](MapParts& p) { p.layers = "[" + EncodedLayer("AQ*A") + "]"; }),
               "map.tmj: layer \"a\": \"data\" is not valid base64"},
        BadMap{"NotZlib", Map([](MapParts& p) {
                   p.layers = "[" + EncodedLayer(Base64("not zlib at all"), "zlib") + "]";
               }),
               "map.tmj: layer \"a\": \"data\" is not valid zlib data"},
        BadMap{"ZlibCutShort", Map([](MapParts& p) {
                   p.layers = "[" + EncodedLayer(Base64(kZlibOfSixGids.substr(0, 8)), "zlib") + "]";
               }),
               "map.tmj: layer \"a\": \"data\" is not valid zlib data (cut short)"},
        BadMap{"ZlibWhereGzipIsSaid", Map([](MapParts& p) {
                   p.layers = "[" + EncodedLayer(Base64(kZlibOfSixGids), "gzip") + "]";
               }),
               "map.tmj: layer \"a\": \"data\" is not valid gzip data"},
        BadMap{"Base64TooShort", Map([](MapParts& p) {
                   p.layers = "[" + EncodedLayer(Base64(GidBytes({1, 2, 0, 0, 0}))) + "]";
               }),
               "map.tmj: layer \"a\": \"data\" holds 20 bytes, 24 expected (4 per cell)"},
        BadMap{"GzipInflatesToFarMore", Map([](MapParts& p) {
                   const std::string bomb = Deflate(std::string(1 << 20, '\0'), true);
                   p.layers = "[" + EncodedLayer(Base64(bomb), "gzip") + "]";
               }),
               "map.tmj: layer \"a\": \"data\" holds more than 24 bytes, 24 expected (4 per cell)"},
        BadMap{"ArrayTooShort", Map([](MapParts& p) {
                   p.layers = "[" + ArrayLayer("a", {1, 0, 2, 0, 0}) + "]";
               }),
               "map.tmj: layer \"a\": \"data\" holds 5 tile ids, the map has 6 cells"},
        BadMap{"NegativeGid", Map([](MapParts& p) {
                   p.layers = R"([{"type":"tilelayer","name":"a","data":[1,-1,0,0,0,0]}])";
               }),
               "map.tmj: layer \"a\": \"data\"[1] is not a tile id"},
        BadMap{"LayerOfAnotherSize", Map([](MapParts& p) {
                   p.layers = R"([{"type":"tilelayer","name":"a","width":2,"height":3,)"
                              R"("data":[1,0,2,0,0,1]}])";
               }),
               "map.tmj: layer \"a\" is not the size of the map"},
        BadMap{
            "XmlTilesetNotWellFormed",
            Map([](MapParts& p) { p.tilesets = R"([{"firstgid":1,"source":"world.tsx"}])"; },
                {{"world.tsx",
                  "<?xml version=\"1.0\"?>\n<tileset>\n <tile id=\"0\">\n</tileset>"}}),
            "world.tsx: the XML is not well formed at line 4, column 3: Start-end tags mismatch"},
        BadMap{"XmlMapInsteadOfTileset",
               Map([](MapParts& p) { p.tilesets = R"([{"firstgid":1,"source":"world.tsj"}])"; },
                   {{"world.tsj", "<?xml version=\"1.0\"?><map/>"}}),
               "world.tsj: the top XML element is \"map\", not \"tileset\""},
        BadMap{"MissingTileset", Map([](MapParts& p) {
                   p.tilesets = R"([{"firstgid":1,"source":"sets/world.tsj"}])";
               }),
               "sets/world.tsj: does not exist (the tileset of map.tmj)"},
        BadMap{"MissingTemplate", Map([](MapParts& p) {
                   p.layers =
                       "[" +
                       ObjectLayer("o", {R"({"id":1,"template":"t/crate.tj","x":0,"y":21})"}) + "]";
               }),
               "t/crate.tj: does not exist (the template of map.tmj)"},
        BadMap{"FolderOfTheLevelMissing", Map([](MapParts&) {}),
               "gone/level.json: cannot be written: No such file or directory", kProblems,
               "map.tmj gone/level.json"},
        BadMap{"XmlNotWellFormed", Fixture("not-well-formed.tmx"),
               "map.tmx: the XML is not well formed at line 11, column 4: Start-end tags mismatch",
               kProblems, kXml},
        BadMap{"XmlMissingTileset", Fixture("missing-tileset.tmx"),
               "sets/gone.tsx: does not exist (the tileset of map.tmx)", kProblems, kXml},
        BadMap{"XmlHugeClaimedSize", Fixture("huge.tmx"),
               "map.tmx: the map claims 100000 × 100000 cells, more than the 4194304 a level may "
               "have",
               kProblems, kXml},
        BadMap{"XmlIsometric", Fixture("isometric.tmx"),
               "map.tmx: the map is \"isometric\", not orthogonal: set Map › Map Properties › "
               "Orientation to Orthogonal",
               kProblems, kXml},
        BadMap{"XmlHexagonal", XmlMap("", R"(orientation="hexagonal" width="3" height="2")"),
               "map.tmx: the map is \"hexagonal\", not orthogonal: set Map › Map Properties › "
               "Orientation to Orthogonal",
               kProblems, kXml},
        BadMap{"XmlStaggered", XmlMap("", R"(orientation="staggered" width="3" height="2")"),
               "map.tmx: the map is \"staggered\", not orthogonal: set Map › Map Properties › "
               "Orientation to Orthogonal",
               kProblems, kXml},
        BadMap{"XmlNoMap",
               {{"map.tmx", "<?xml version=\"1.0\"?><tileset/>"}},
               "map.tmx: the top XML element is \"tileset\", not \"map\"",
               kProblems,
               kXml},
        BadMap{"XmlEmpty",
               {{"map.tmx", "<"}},
               "map.tmx: the XML is not well formed at line 1, column 1: Could not determine tag "
               "type",
               kProblems,
               kXml},
        BadMap{"XmlZstdInflatesToFarMore",
               XmlMap(XmlLayer(kZstdBomb, R"( encoding="base64" compression="zstd")")),
               "map.tmx: layer \"a\": \"data\" holds more than 24 bytes, 24 expected (4 per cell)",
               kProblems, kXml},
        BadMap{"XmlZlibInflatesToFarMore",
               XmlMap(XmlLayer(Base64(Deflate(std::string(1 << 20, '\0'), false)),
                               R"( encoding="base64" compression="zlib")")),
               "map.tmx: layer \"a\": \"data\" holds more than 24 bytes, 24 expected (4 per cell)",
               kProblems, kXml},
        BadMap{"XmlCsvTooShort", XmlMap(XmlLayer("1,0,1,0,0", R"( encoding="csv")")),
               "map.tmx: layer \"a\": the data holds 5 tile ids, the layer has 6 cells", kProblems,
               kXml},
        BadMap{"XmlCsvNotANumber", XmlMap(XmlLayer("1,x,1,0,0,0", R"( encoding="csv")")),
               "map.tmx: layer \"a\": tile id 2 of the data is not a tile id", kProblems, kXml},
        BadMap{"XmlTileElementsTooFew", XmlMap(XmlLayer(R"(<tile gid="1"/><tile/><tile/>)", "")),
               "map.tmx: layer \"a\": the data holds 3 <tile> elements, the layer has 6 cells",
               kProblems, kXml},
        BadMap{"XmlUnknownEncoding", XmlMap(XmlLayer("", R"( encoding="hex")")),
               "map.tmx: layer \"a\": unknown encoding \"hex\" (csv, base64 or <tile> expected)",
               kProblems, kXml},
        BadMap{"XmlUnknownCompression",
               XmlMap(XmlLayer("AAAA", R"( encoding="base64" compression="lz4")")),
               "map.tmx: layer \"a\": unknown compression \"lz4\"", kProblems, kXml},
        BadMap{"XmlIdNotInteger",
               XmlMap(R"(<properties><property name="id" type="string" value="7"/></properties>)"),
               "map.tmx: map property \"id\" is not an integer", kProblems, kXml},
        BadMap{
            "XmlTileTypeNotInteger",
            XmlMap(R"(<tileset firstgid="5" name="u"><tile id="0"><properties><property )"
                   R"(name="tileType" type="float" value="1.5"/></properties></tile></tileset>)"),
            "map.tmx: tileset \"u\": tile 0 has a \"tileType\" that is not an integer", kProblems,
            kXml},
        BadMap{"XmlTileWithoutTileType", XmlMap(XmlLayer("1,0,2,0,0,0", R"( encoding="csv")")),
               "map.tmx: tile 1 of tileset \"t\" has no int property \"tileType\" (layer \"a\", "
               "map cell (2, 0))",
               kProblems, kXml},
        BadMap{"XmlInfiniteWithoutTiles",
               XmlMap(R"(<layer name="a"><data encoding="csv"><chunk x="0" y="0" width="1" )"
                      R"(height="1">0</chunk></data></layer>)",
                      R"(orientation="orthogonal" infinite="1")"),
               "map.tmx: the map is infinite and has no tile in use", kProblems, kXml},
        BadMap{"XmlChunkOfTooManyCells",
               XmlMap(R"(<layer name="a"><data encoding="base64"><chunk x="0" y="0" )"
                      R"(width="100000" height="100000"></chunk></data></layer>)",
                      R"(orientation="orthogonal" infinite="1")"),
               "map.tmx: layer \"a\": the chunk at (0, 0) claims 100000 × 100000 cells, more than "
               "the 4194304 a level may have",
               kProblems, kXml},
        BadMap{"XmlMissingTemplate",
               XmlMap(R"(<objectgroup name="o"><object id="1" template="gone.tx" x="0" )"
                      R"(y="21"/></objectgroup>)"),
               "gone.tx: does not exist (the template of map.tmx)", kProblems, kXml},
        BadMap{"XmlTemplateTileInNoTileset",
               XmlMap(R"(<objectgroup name="o"><object id="1" template="t.tx" x="0" )"
                      R"(y="21"/></objectgroup>)",
                      R"(orientation="orthogonal" width="3" height="2")",
                      {{"t.tx", R"(<template><object gid="3"/></template>)"}}),
               "t.tx: the template's tile has no tileset with a positive \"firstgid\"", kProblems,
               kXml},
        BadMap{"XmlTileObjectGidNotATileId",
               XmlMap(R"(<objectgroup name="o"><object id="4" gid="-1" x="0" y="21"/>)"
                      "</objectgroup>"),
               "map.tmx: layer \"o\": object 4 has a \"gid\" that is not a tile id", kProblems,
               kXml},
        BadMap{"NoArguments", {}, "levelimport: give a map file and a level file", kUsage, ""},
        BadMap{"ThreeArguments",
               {},
               "levelimport: give a map file and a level file",
               kUsage,
               "a.tmj b.json c.json"},
        BadMap{"UnknownOption",
               {},
               "levelimport: unknown option --zstd",
               kUsage,
               "--zstd map.tmj level.json"}),
    [](const ::testing::TestParamInfo<BadMap>& info) { return std::string(info.param.name); });

TEST(BadMapsTogether, AreAllListedWithACount) {
    Folder folder;
    MapParts parts;
    parts.properties = R"([{"name":"id","type":"string","value":"7"}])";
    parts.layers = "[" + ArrayLayer("a", {1, 0, 9, 0, 0, 0}) + "]";
    folder.Write("map.tmj", MapText(parts));

    const test_support::CommandResult run = folder.Import("map.tmj level.json");

    EXPECT_EQ(run.exitCode, kProblems);
    EXPECT_THAT(
        Lines(run.output),
        ElementsAre("map.tmj: note: no map property \"name\": the level's name is \"map\", from "
                    "the map file name",
                    "map.tmj: map property \"id\" is not an integer",
                    "map.tmj: tile id 9 belongs to no tileset: tileset \"t\" holds 4 tiles, ids "
                    "1 to 4 (layer \"a\", map cell (2, 0))",
                    "map.tmj: 2 problems, level.json not written"));
    EXPECT_FALSE(std::filesystem::exists(folder.path / "level.json"));
}

TEST(BadMapsTogether, ATilesetThatCannotBeReadIsReportedOnceNotForEachOfItsTiles) {
    Folder folder;
    MapParts parts;
    parts.tilesets = R"([{"firstgid":1,"source":"world.tsx"},{"firstgid":3,"source":"gone.tsj"}])";
    parts.layers = "[" + ArrayLayer("a", {1, 2, 3, 4, 0, 9}) + "]";
    folder.Write("map.tmj", MapText(parts));

    const test_support::CommandResult run = folder.Import("map.tmj level.json");

    EXPECT_EQ(run.exitCode, kProblems);
    EXPECT_THAT(Lines(run.output), ElementsAre("world.tsx: does not exist (the tileset of map.tmj)",
                                               "gone.tsj: does not exist (the tileset of map.tmj)",
                                               "map.tmj: 2 problems, level.json not written"));
}

}  // namespace
}  // namespace levelimport::test
