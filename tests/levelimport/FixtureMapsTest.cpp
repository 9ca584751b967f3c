// The maps of tests/data/tiled, one for each form Tiled saves: every layer encoding of its XML
// format, tilesets and templates in either format, image collections and infinite maps, each
// imported by the built program in a copy of that folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::ElementsAreArray;

/// What the 3 × 2 map {1, 0, 2 / 0, 0, 1} of tileset "t" (tiles 0 and 1: types 10 and 11)
/// becomes, in whatever form it is saved.
const std::vector<Tile> kSmallMap = {{10, 0, 1}, {11, 2, 1}, {10, 2, 0}};

struct FixtureMap {
    const char* file;
    std::vector<Tile> tiles;  ///< in the order written
    std::string notes;        ///< the lines printed before the summary, "" for none
};

void PrintTo(const FixtureMap& map, std::ostream* out) {
    *out << map.file;
}

std::vector<Tile> TilesOf(const std::string& levelText) {
    rapidjson::Document level;
    level.Parse(levelText.c_str());
    if (!level.IsObject()) return {};
    return LevelTiles(level);
}

/// A copy of tests/data/tiled.
class Fixtures : public ::testing::TestWithParam<FixtureMap> {
protected:
    void SetUp() override {
        std::filesystem::copy(std::string(ORKA_TEST_DATA_DIR) + "/tiled", folder.path,
                              std::filesystem::copy_options::recursive);
    }
    Folder folder;
};

TEST_P(Fixtures, ImportAsTheirJsonTwinsDo) {
    const FixtureMap& map = GetParam();

    const test_support::CommandResult run = folder.Import(std::string(map.file) + " level.json");

    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string level = folder.Read("level.json");
    EXPECT_THAT(level, ::testing::StartsWith(
                           "{\n  \"id\": 7,\n  \"name\": \"Hills\",\n  \"deathLevelInY\": -42,\n"));
    EXPECT_THAT(TilesOf(level), ElementsAreArray(map.tiles)) << level;
    EXPECT_EQ(run.output, map.notes + "level.json: level 7 with " +
                              std::to_string(map.tiles.size()) + " tiles, from " + map.file + "\n");
}

/// Infinite maps: cell (-13, -13) holds tile 0, (0, -12) tile 1 and (1, -11) tile 0 with a tile
/// object of tile 1 over it; the used area is 15 × 3 cells.
const std::vector<Tile> kInfiniteMap = {{10, 0, 2}, {11, 13, 1}, {10, 14, 0}, {11, 14, 0}};
std::string InfiniteNote(const std::string& file) {
    return file +
           ": note: the map is infinite; the level covers the 15 × 3 cells in use, from map cell "
           "(-13, -13) to (1, -11)\n";
}

INSTANTIATE_TEST_SUITE_P(
    TiledForms, Fixtures,
    ::testing::Values(
        FixtureMap{"csv.tmx", kSmallMap, ""}, FixtureMap{"base64.tmx", kSmallMap, ""},
        FixtureMap{"zlib.tmx", kSmallMap, ""}, FixtureMap{"gzip.tmx", kSmallMap, ""},
        FixtureMap{"zstd.tmx", kSmallMap, ""},
        // Saved before Tiled 1.0: <tile gid> per cell, properties without types, no layer ids.
        FixtureMap{"tile-elements.tmx", kSmallMap, ""},
        FixtureMap{"tsj-tileset.tmx", kSmallMap, ""},
        FixtureMap{"tsx-tileset.tmj", kSmallMap,
                   "tsx-tileset.tmj: note: 1 hidden layer is left out of the level: \"sketch\"\n"},
        // Tiles of world.tsx from crate.tx and crate.tj, placed by the objects, one flipped
        // by its own gid; a point object; properties of every type; a hidden layer.
        FixtureMap{"template.tmx",
                   {{11, 2, 1}, {11, 0, 0}, {10, 1, 0}},
                   "template.tmx: note: 1 tile is flipped or rotated; the game draws every tile "
                   "unflipped\n"
                   "template.tmx: note: 1 hidden layer is left out of the level: \"hidden\"\n"
                   "template.tmx: note: 1 object is not a tile (a shape, point or text) and "
                   "skipped\n"},
        // Tile ids 0, 5 and 9 of a collection of three pictures.
        FixtureMap{"collection.tmx", {{25, 1, 1}, {29, 0, 0}}, ""},
        // Where Tiled draws them (tmxrasterizer shows it): a group's and a layer's offsets of a
        // cell each move tile (0, 0) to (1, 1); an offset of 14 pixels moves a tile to the
        // nearest cell, with a note; -1.77636e-15 pixels is no offset.
        FixtureMap{"offset.tmx",
                   {{10, 1, 1}, {11, 3, 0}, {10, 0, 0}},
                   "offset.tmx: note: layer \"b\" is offset by (14, 0) pixels, not whole cells: "
                   "its tiles are placed on the nearest cells\n"},
        // Tile objects turned about their bottom-left corner by 90° (at map cell (0, 1)), 180°
        // (from (3, 1) to (2, 2)), 270° (from (4, 2) to (3, 2)) and 30° (on (1, 1)).
        FixtureMap{"rotated.tmx",
                   {{10, 0, 1}, {10, 1, 1}, {10, 2, 0}, {11, 3, 0}},
                   "rotated.tmx: note: 1 tile object is turned by an angle that is no multiple of "
                   "90°: placed on the cell under the centre Tiled draws it at\n"},
        // Tilesets whose objects are placed by their top-left corner and by their centre.
        FixtureMap{"alignment.tmx", {{11, 2, 1}, {10, 1, 0}}, ""},
        // The same three as Tiled saves them in JSON.
        FixtureMap{"offset.tmj",
                   {{10, 1, 1}, {11, 3, 0}, {10, 0, 0}},
                   "offset.tmj: note: layer \"b\" is offset by (14, 0) pixels, not whole cells: "
                   "its tiles are placed on the nearest cells\n"},
        FixtureMap{"rotated.tmj",
                   {{10, 0, 1}, {10, 1, 1}, {10, 2, 0}, {11, 3, 0}},
                   "rotated.tmj: note: 1 tile object is turned by an angle that is no multiple of "
                   "90°: placed on the cell under the centre Tiled draws it at\n"},
        FixtureMap{"alignment.tmj", {{11, 2, 1}, {10, 1, 0}}, ""},
        // Objects saved without a size by old Tiled versions are as big as their tile's image:
        // 63 × 63 pixels in a collection and in a sheet of such tiles, on a map of 21-pixel cells.
        FixtureMap{"sizeless.tmx", {{20, 1, 1}, {30, 3, 1}}, ""},
        FixtureMap{"infinite.tmx", kInfiniteMap, InfiniteNote("infinite.tmx")},
        FixtureMap{"infinite.tmj", kInfiniteMap, InfiniteNote("infinite.tmj")}),
    [](const ::testing::TestParamInfo<FixtureMap>& info) {
        std::string name = info.param.file;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

}  // namespace
}  // namespace levelimport::test
