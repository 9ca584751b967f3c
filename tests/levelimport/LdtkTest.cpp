// LDtk projects the importer turns into levels, layer kind by layer kind, and the ones it
// refuses, each with one clear line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "levelimport/LdtkFixtures.hpp"
#include "levelimport/MapFixtures.hpp"
#include "support/WatchingImporter.hpp"

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
                                         LdtkEntity("Goal", 16, 20, 1, 0.5),
                                         // Old projects: only its cell on the layer's grid.
                                         R"({"__identifier":"Goal","__grid":[3,0]})"}) +
                                 "]",
                             8)},
                  {{50, 0, 1}, {40, 1, 1}, {40, 1, 1}, {40, 0, 0}, {41, 2, 0}}},
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

/// A project the importer refuses, and the lines it prints.
struct BadProject {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string arguments;
    std::string output;
};

void PrintTo(const BadProject& bad, std::ostream* out) {
    *out << bad.name;
}

class LdtkBadProjects : public ::testing::TestWithParam<BadProject> {};

TEST_P(LdtkBadProjects, AreRefusedInClearLinesAndNothingIsWritten) {
    const BadProject& bad = GetParam();
    Folder folder;
    for (const auto& [name, text] : bad.files) folder.Write(name, text);

    const test_support::CommandResult run = folder.Import(bad.arguments);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, bad.output);
    EXPECT_FALSE(std::filesystem::exists(folder.path / "castle3.json"));
}

const std::string kOneLevel = LdtkProjectText({LdtkLevel(
    "Start", {TilesLayer("Ground", {LdtkTile(0, 0, 3), LdtkTile(16, 0, 3), LdtkTile(32, 0, 0)}),
              LdtkLayer("Walls", "IntGrid", R"("intGridCsv":[0,0,0,1,1,1])")})});
const std::string kNotWritten =
    "project.ldtk: level \"Start\": 1 problem, castle3.json not written\n";

std::string WithField(const std::string& field) {
    return LdtkProjectText({LdtkLevel("Start", {TilesLayer("G", {LdtkTile(0, 0, 0)})}, {field})});
}

INSTANTIATE_TEST_SUITE_P(
    Importer, LdtkBadProjects,
    ::testing::Values(
        BadProject{"UntypedTileNamedOnce",
                   {{"project.ldtk", kOneLevel}, {"types.json", kLdtkTypes}},
                   "--types types.json project.ldtk castle3.json",
                   "project.ldtk: level \"Start\", layer \"Ground\": tile 3 of tileset "
                   "\"Terrain\" has no type: no custom data \"tileType=N\" and \"Terrain:3\" not "
                   "in types.json\n" +
                       kNotWritten},
        BadProject{
            "UntypedValueWithoutTypesFile",
            {{"project.ldtk",
              LdtkProjectText({LdtkLevel("Start", {LdtkLayer("Walls", "IntGrid",
                                                             R"("intGridCsv":[0,0,0,1,1,1])")})})}},
            "project.ldtk castle3.json",
            "project.ldtk: level \"Start\", layer \"Walls\": IntGrid value 1 (\"Stone\") has "
            "no type: no types file (--types)\n" +
                kNotWritten},
        BadProject{
            "UntypedEntity",
            {{"project.ldtk",
              LdtkProjectText({LdtkLevel(
                  "Start", {LdtkLayer("Actors", "Entities",
                                      R"("entityInstances":[)" + LdtkEntity("Bat", 8, 8) + "," +
                                          LdtkEntity("Bat", 24, 8) + "]")})})},
             {"types.json", kLdtkTypes}},
            "project.ldtk --types types.json castle3.json",
            "project.ldtk: level \"Start\", layer \"Actors\": entity \"Bat\" has no type: no "
            "Int field \"tileType\" and not in types.json\n" +
                kNotWritten},
        BadProject{"CutProject",
                   {{"project.ldtk", kOneLevel.substr(0, 300)}},
                   "project.ldtk castle3.json",
                   "project.ldtk: invalid JSON at offset 300: Missing a name for object member.\n"},
        BadProject{"NotAProject",
                   {{"project.ldtk", R"({"levels":[]})"}},
                   "project.ldtk castle3.json",
                   "project.ldtk: no \"defs\" object: not an LDtk project, or a cut one\n"},
        BadProject{"LevelFileForTheProject",
                   {{"w/a.ldtkl", LdtkLevel("A", {})}},
                   "w/a.ldtkl castle3.json",
                   "w/a.ldtkl: a level of an LDtk project (.ldtkl); give the project (.ldtk)\n"},
        BadProject{"NoLevel",
                   {{"project.ldtk", LdtkProjectText({})}},
                   "project.ldtk castle3.json",
                   "project.ldtk: the project holds no level\n"},
        BadProject{"LevelNotAnObject",
                   {{"project.ldtk", LdtkProjectText({"[]"})}},
                   "project.ldtk castle3.json",
                   "project.ldtk: level 1 is not a JSON object\n"},
        BadProject{"IntGridOfTheWrongSize",
                   {{"project.ldtk",
                     LdtkProjectText({LdtkLevel("Start", {LdtkLayer("Walls", "IntGrid",
                                                                    R"("intGridCsv":[1,1])")})})},
                    {"types.json", kLdtkTypes}},
                   "--types types.json project.ldtk castle3.json",
                   "project.ldtk: level \"Start\", layer \"Walls\": \"intGridCsv\" holds 2 values "
                   "for 6 cells\n" +
                       kNotWritten},
        BadProject{"TypesFileNotWholeNumbers",
                   {{"project.ldtk", kOneLevel}, {"types.json", R"({"Stone":1,"Player":"hero"})"}},
                   "--types types.json project.ldtk castle3.json",
                   "types.json: \"Player\" is not a whole number (a tile type)\n"},
        BadProject{"TypesFileMissing",
                   {{"project.ldtk", kOneLevel}},
                   "--types types.json project.ldtk castle3.json",
                   "types.json: does not exist (the types file)\n"},
        BadProject{"ExternalLevelMissing",
                   {{"project.ldtk", LdtkProjectText({LdtkExternalLevel("Start", "p/a.ldtkl")})}},
                   "project.ldtk castle3.json",
                   "p/a.ldtkl: does not exist (level \"Start\" of project.ldtk)\n" + kNotWritten},
        BadProject{"CameraFieldOutOfRange",
                   {{"project.ldtk", WithField(LdtkField("cameraLead", "Float", "250"))}},
                   "project.ldtk castle3.json",
                   "project.ldtk: level \"Start\": field \"cameraLead\" is not a number from 0 to "
                   "200\n" +
                       kNotWritten},
        BadProject{"BackdropNotAnArray",
                   {{"project.ldtk", WithField(LdtkField("backdrop", "String", R"("sky")"))}},
                   "project.ldtk castle3.json",
                   "project.ldtk: level \"Start\": field \"backdrop\" is no String holding a JSON "
                   "array such as [{\"sprite\": 90, \"parallax\": 0}]\n" +
                       kNotWritten},
        BadProject{
            "BackdropParallaxOutOfRange",
            {{"project.ldtk",
              WithField(LdtkField(
                  "backdrop", "String",
                  R"("[{\"sprite\": 90, \"parallax\": 0}, {\"sprite\": 91, \"parallax\": 2}]")"))}},
            "project.ldtk castle3.json",
            "project.ldtk: level \"Start\": field \"backdrop\" has no \"parallax\" from 0 to "
            "1 in its layer 2\n" +
                kNotWritten},
        BadProject{"LevelFileIsTheProject",
                   {{"project.ldtk", kOneLevel}},
                   "project.ldtk project.ldtk",
                   "project.ldtk: not written: it is a file the import reads; give the level file "
                   "to write as the last argument\n"},
        BadProject{"LevelFileIsAnotherLevelsFile",
                   {{"project.ldtk",
                     LdtkProjectText({LdtkExternalLevel("A", "w/a.ldtkl"), LdtkLevel("B", {})})},
                    {"w/a.ldtkl", LdtkLevel("A", {})}},
                   "--level B project.ldtk w/./a.ldtkl",
                   "w/./a.ldtkl: not written: it is a file the import reads (w/a.ldtkl); give the "
                   "level file to write as the last argument\n"},
        BadProject{"LevelFileIsTheTypesFile",
                   {{"project.ldtk", kOneLevel}, {"types.json", kLdtkTypes}},
                   "--types types.json project.ldtk types.json",
                   "types.json: not written: it is a file the import reads; give the level file "
                   "to write as the last argument\n"},
        BadProject{"SeveralLevelsAndNoneNamed",
                   {{"project.ldtk", LdtkProjectText({LdtkLevel("A", {}), LdtkLevel("B", {})})}},
                   "project.ldtk castle3.json",
                   "project.ldtk: 2 levels; name one with --level or import all with --all: "
                   "\"A\", \"B\"\n"},
        BadProject{"UnknownLevel",
                   {{"project.ldtk", LdtkProjectText({LdtkLevel("A", {}), LdtkLevel("B", {})})}},
                   "project.ldtk --level C castle3.json",
                   "project.ldtk: no level \"C\"; its levels: \"A\", \"B\"\n"}));

TEST(LdtkUsage, WrongCommandsAreRefusedWithExitCodeTwo) {
    Folder folder;
    folder.Write("project.ldtk", kOneLevel);
    const std::pair<const char*, const char*> cases[] = {
        {"project.ldtk castle3.json --level", "levelimport: --level needs a value"},
        {"--all castle project.ldtk castle3.json", "levelimport: with --all give only the project"},
        {"--all castle --level Start project.ldtk", "levelimport: --all or --level, not both"},
        {"--types t.json map.tmj castle3.json",
         "levelimport: --level, --all and --types are for LDtk projects (.ldtk)"},
    };
    for (const auto& [arguments, line] : cases) {
        const test_support::CommandResult run = folder.Import(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_THAT(run.output, HasSubstr(std::string(line) + "\n")) << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path / "castle3.json"));
    EXPECT_FALSE(std::filesystem::exists(folder.path / "castle1.json"));
}

TEST(LdtkFields, GiveTheLevelKeys) {
    Folder folder;
    const std::string backdrop =
        R"([{\"sprite\": 90, \"parallax\": 0}, {\"sprite\": 91, \"parallax\": 0.1}])";
    folder.Write(
        "project.ldtk",
        LdtkProjectText(
            {LdtkLevel("Other", {}),
             LdtkLevel(
                 "Start", {TilesLayer("G", {LdtkTile(0, 0, 0)})},
                 {LdtkField("name", "String", R"("First Steps")"), LdtkField("id", "Int", "1"),
                  LdtkField("deathLevelInY", "Float", "-63"),
                  LdtkField("cameraLead", "Float", "70"), LdtkField("cameraEase", "Float", "0.25"),
                  LdtkField("backdrop", "String", "\"" + backdrop + "\""),
                  LdtkField("unused", "Bool", "true")})}));

    const test_support::CommandResult run =
        folder.Import("--level Start project.ldtk castle3.json");

    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(folder.Read("castle3.json"),
              "{\n  \"id\": 1,\n  \"name\": \"First Steps\",\n  \"deathLevelInY\": -63,\n"
              "  \"backdrop\": [{\"sprite\": 90, \"parallax\": 0}, {\"sprite\": 91, \"parallax\": "
              "0.1}],\n  \"camera\": {\"lead\": 70, \"ease\": 0.25},\n  \"arrayOfTiles\": [\n"
              "    [[10, 0, 1]]\n  ]\n}\n");
}

TEST(LdtkFields, NamedNameOrIdOfOtherTypesAreLeftOutWithANote) {
    Folder folder;
    folder.Write("project.ldtk",
                 LdtkProjectText({LdtkLevel("Start", {TilesLayer("G", {LdtkTile(0, 0, 0)})},
                                            {LdtkField("name", "LocalEnum.Names", R"("Cave")"),
                                             LdtkField("id", "String", R"("c-3")")})}));

    const test_support::CommandResult run = folder.Import("project.ldtk castle3.json");

    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output,
              "project.ldtk: note: level \"Start\": field \"name\" is a \"LocalEnum.Names\", not a "
              "String; left out\n"
              "project.ldtk: note: level \"Start\": field \"id\" is a \"String\", not an Int; left "
              "out\n"
              "castle3.json: level 3 with 1 tiles, from project.ldtk level \"Start\"\n");
    EXPECT_THAT(folder.Read("castle3.json"), HasSubstr("\"id\": 3,\n  \"name\": \"Start\","));
}

/// Two worlds, the first level in a file of its own; world "W2"'s level has an untyped tile.
TEST(LdtkAll, ImportsEveryLevelOfEveryWorldOnItsOwn) {
    Folder folder;
    folder.Write("world.ldtk",
                 LdtkWorldsText({{"W1",
                                  {LdtkExternalLevel("A", "world/a.ldtkl"),
                                   LdtkLevel("B", {TilesLayer("G", {LdtkTile(16, 0, 1)})})}},
                                 {"W2", {LdtkLevel("C", {TilesLayer("G", {LdtkTile(0, 0, 3)})})}},
                                 {"Empty", {}}}));
    folder.Write("world/a.ldtkl", LdtkLevel("A", {TilesLayer("G", {LdtkTile(0, 0, 0)})}));
    const std::string earlier = R"({"id":9,"arrayOfTiles":[]})";
    for (const char* file : {"castle3.json", "castle4.json", "castle5.json"}) {
        folder.Write(file, earlier);
    }

    const test_support::CommandResult run = folder.Import("--all castle world.ldtk");

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output,
              "castle1.json: level 1 with 1 tiles, from world.ldtk level \"A\"\n"
              "castle2.json: level 2 with 1 tiles, from world.ldtk level \"B\"\n"
              "world.ldtk: level \"C\", layer \"G\": tile 3 of tileset \"Terrain\" has no type: no "
              "custom data \"tileType=N\" and no types file (--types)\n"
              "world.ldtk: level \"C\": 1 problem, castle3.json not written\n"
              "levelimport: warning: \"castle4.json\", \"castle5.json\" are left from an earlier "
              "import of more levels, not deleted\n"
              "world.ldtk: 2 of 3 levels imported; not imported: \"C\"\n");
    rapidjson::Document first;
    first.Parse(folder.Read("castle1.json").c_str());
    ASSERT_TRUE(first.IsObject());
    EXPECT_STREQ(first["name"].GetString(), "A");
    EXPECT_THAT(LevelTiles(first), ElementsAreArray(std::vector<Tile>{{10, 0, 1}}));
    EXPECT_THAT(folder.Read("castle2.json"), HasSubstr("[[11, 1, 1]]"));
    EXPECT_EQ(folder.Read("castle3.json"), earlier);
    EXPECT_EQ(folder.Read("castle5.json"), earlier);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

/// data/ldtk/world.ldtk, written by tools/ldtk/make-example.py from data/1level1.json.
TEST(LdtkExample, ImportsToTheDefaultWorldsFirstLevelByteForByte) {
    const std::filesystem::path data = ORKA_DEFAULT_WORLD_DIR;
    Folder folder;
    folder.Write("world.ldtk", ReadFile(data / "ldtk" / "world.ldtk"));

    const test_support::CommandResult run = folder.Import("world.ldtk 1level1.json");

    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(folder.Read("1level1.json"), ReadFile(data / "1level1.json"));
}

/// As an editor that writes safely saves: a new file, renamed over the old one.
void SaveByRename(const Folder& folder, const std::string& name, const std::string& text) {
    folder.Write(name + ".saving", text);
    std::filesystem::rename(folder.path / (name + ".saving"), folder.path / name);
}

TEST(LdtkWatch, ImportsEachSaveOfTheProjectAndItsLevelFile) {
    Folder folder;
    folder.Write("world.ldtk", LdtkProjectText({LdtkExternalLevel("A", "world/a.ldtkl")}));
    folder.Write("world/a.ldtkl", LdtkLevel("A", {TilesLayer("G", {LdtkTile(0, 0, 0)})}));
    test_support::WatchingImporter watch(ORKA_LEVELIMPORT_PATH, folder.path, "world.ldtk",
                                         "castle3.json");
    ASSERT_TRUE(
        watch.WaitForLine("castle3.json: level 3 with 1 tiles, from world.ldtk level \"A\""))
        << watch.Output();

    // LDtk saves a level's file beside the project.
    SaveByRename(folder, "world/a.ldtkl",
                 LdtkLevel("A", {TilesLayer("G", {LdtkTile(0, 0, 0), LdtkTile(16, 0, 1)})}));
    ASSERT_TRUE(
        watch.WaitForLine("castle3.json: level 3 with 2 tiles, from world.ldtk level \"A\""))
        << watch.Output();

    folder.Write("world.ldtk", "{\"defs\":");  // rewritten in place, and cut
    ASSERT_TRUE(watch.WaitForLine("world.ldtk: invalid JSON at offset 8: Invalid value."))
        << watch.Output();
    EXPECT_THAT(folder.Read("castle3.json"), HasSubstr("[[10, 0, 1], [11, 1, 1]]"));
    // For the game playing the level, until a save imports or the watch ends.
    EXPECT_THAT(folder.Read("castle3.json.problem"),
                HasSubstr("\nworld.ldtk: invalid JSON at offset 8: Invalid value.\n"));

    EXPECT_EQ(watch.Interrupt(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.path / "castle3.json.problem"));
}

}  // namespace
}  // namespace levelimport::test
