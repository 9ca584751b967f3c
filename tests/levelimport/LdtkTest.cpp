// LDtk projects the importer turns into levels, layer kind by layer kind, and the ones it
// refuses, each with one clear line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "levelimport/LdtkFixtures.hpp"
#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

std::string TilesLayer(const std::string& name, const std::vector<std::string>& tiles,
                       const std::string& more = "") {
    return LdtkLayer(name, "Tiles", more + R"("gridTiles":[)" + Joined(tiles) + "]");
}

struct LayerCase {
    LayerCase(const char* name, std::vector<std::string> layers, std::vector<Tile> tiles,
              std::string notes = "")
        : name(name), layers(std::move(layers)), tiles(std::move(tiles)), notes(std::move(notes)) {}

    const char* name;
    std::vector<std::string> layers;  ///< top layer first
    std::vector<Tile> tiles;          ///< in the order written
    std::string notes;                ///< the lines printed before the summary
};

void PrintTo(const LayerCase& layerCase, std::ostream* out) {
    *out << layerCase.name;
}

class LdtkLayers : public ::testing::TestWithParam<LayerCase> {};

TEST_P(LdtkLayers, BecomeTilesOnTheLevelsGrid) {
    const LayerCase& layers = GetParam();
    Folder folder;
    folder.Write("project.ldtk", LdtkProjectText({LdtkLevel("Start", layers.layers)}));
    folder.Write("types.json", kLdtkTypes);

    const test_support::CommandResult run =
        folder.Import("--types types.json project.ldtk castle3.json");

    ASSERT_EQ(run.exitCode, 0) << run.output;
    rapidjson::Document level;
    level.Parse(folder.Read("castle3.json").c_str());
    ASSERT_TRUE(level.IsObject()) << folder.Read("castle3.json");
    EXPECT_EQ(level["id"].GetInt(), 3);
    EXPECT_STREQ(level["name"].GetString(), "Start");
    EXPECT_FALSE(level.HasMember("deathLevelInY"));
    EXPECT_THAT(LevelTiles(level), ElementsAreArray(layers.tiles));
    EXPECT_EQ(run.output, layers.notes + "castle3.json: level 3 with " +
                              std::to_string(layers.tiles.size()) +
                              " tiles, from project.ldtk level \"Start\"\n");
}

const std::string kOffGrid =
    "project.ldtk: note: level \"Start\": 1 layer is off the 16-pixel grid of the level "
    "(\"Moved\"): each tile went to the cell under its centre\n";

INSTANTIATE_TEST_SUITE_P(
    Importer, LdtkLayers,
    ::testing::Values(
        LayerCase{"TilesLayerTypedByCustomData",
                  {TilesLayer("Ground", {LdtkTile(0, 0, 0), LdtkTile(32, 16, 1)})},
                  {{10, 0, 1}, {11, 2, 0}}},
        LayerCase{
            "AutoLayer",
            {LdtkLayer("Auto", "AutoLayer", R"("autoLayerTiles":[)" + LdtkTile(16, 0, 1) + "]")},
            {{11, 1, 1}}},
        LayerCase{"IntGridCsvByIdentifierOrLayerAndValue",
                  {LdtkLayer("Walls", "IntGrid", R"("intGridCsv":[1,0,2,0,1,0])")},
                  {{20, 0, 1}, {21, 2, 1}, {20, 1, 0}}},
        LayerCase{"OldIntGridPairsByPlaceInTheList",
                  {LdtkLayer("Walls", "IntGrid",
                             R"("intGridCsv":[],"intGrid":[{"coordId":0,"v":0},)"
                             R"({"coordId":5,"v":1}])")},
                  {{20, 0, 1}, {21, 2, 0}}},
        LayerCase{"IntGridWithItsAutoTilesOver",
                  {LdtkLayer("Walls", "IntGrid",
                             R"("intGridCsv":[1,0,0,0,0,0],"autoLayerTiles":[)" +
                                 LdtkTile(0, 0, 0) + "]")},
                  {{20, 0, 1}, {10, 0, 1}}},
        LayerCase{"EntitiesOnTheCellUnderTheirPivot",
                  {LdtkLayer("Actors", "Entities",
                             R"("entityInstances":[)" +
                                 Joined({// Standing on the bottom edge of cell (0, 0).
                                         LdtkEntity("Player", 8, 16, 0.5, 1),
                                         // An Int field "tileType" wins over the types file.
                                         LdtkEntity("Goal", 40, 24, 0.5, 0.5,
                                                    LdtkField("tileType", "Int", "41")),
                                         LdtkEntity("Goal", 16, 0, 0, 0),
                                         // On the right edge of cell (0, 1).
                                         LdtkEntity("Goal", 16, 20, 1, 0.5)}) +
                                 "]",
                             8)},
                  {{50, 0, 1}, {40, 1, 1}, {40, 0, 0}, {41, 2, 0}}},
        LayerCase{
            "LastLayerListedIsDrawnFirst",
            {TilesLayer("Top", {LdtkTile(0, 0, 1)}), TilesLayer("Bottom", {LdtkTile(0, 0, 0)})},
            {{10, 0, 1}, {11, 0, 1}}},
        LayerCase{
            "TileTypedByTheTypesFile", {TilesLayer("Ground", {LdtkTile(0, 16, 2)})}, {{12, 0, 0}}},
        LayerCase{"OldTileWithoutIdCutFromThePicture",
                  {TilesLayer("Ground", {R"({"px":[16,0],"src":[16,0],"f":0,"d":[1]})"})},
                  {{11, 1, 1}}},
        LayerCase{"OffsetByWholeCellsMovesTheLayer",
                  {TilesLayer("Moved", {LdtkTile(0, 0, 0)},
                              R"("__pxTotalOffsetX":16,"__pxTotalOffsetY":16,)")},
                  {{10, 1, 0}}},
        LayerCase{"OffsetByPartOfACellIsANote",
                  {TilesLayer("Moved", {LdtkTile(0, 0, 0), LdtkTile(16, 0, 1)},
                              R"("__pxTotalOffsetX":20,"__pxTotalOffsetY":4,)")},
                  {{10, 1, 1}, {11, 2, 1}},
                  kOffGrid},
        LayerCase{"FinerGridIsANote",
                  {TilesLayer("A", {LdtkTile(0, 0, 0)}), TilesLayer("B", {LdtkTile(32, 16, 0)}),
                   LdtkLayer("Moved", "AutoLayer",
                             R"("autoLayerTiles":[)" + LdtkTile(8, 8, 1) + "," +
                                 LdtkTile(40, 24, 1) + "]",
                             8)},
                  {{11, 0, 1}, {11, 2, 0}, {10, 2, 0}, {10, 0, 1}},
                  kOffGrid},
        LayerCase{"HiddenLayersAndFlipsAreNotes",
                  {TilesLayer("Secret", {LdtkTile(0, 0, 0)}, R"("visible":false,)"),
                   TilesLayer("Ground", {LdtkTile(0, 0, 0, 1), LdtkTile(16, 0, 1, 3)})},
                  {{10, 0, 1}, {11, 1, 1}},
                  "project.ldtk: note: level \"Start\": 1 hidden layer is left out: "
                  "\"Secret\"\n"
                  "project.ldtk: note: level \"Start\": 2 tiles are flipped; the game draws "
                  "every tile unflipped\n"}));

}  // namespace
}  // namespace levelimport::test
