// The built importer and the built level checker run one after the other, as a world builder
// does: a map imported over a level of a copy of the default world is checked and played.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::HasSubstr;

constexpr std::uint32_t kGoalGid = 41;    // tile type 40 in the shipped tileset
constexpr std::uint32_t kFlowerGid = 64;  // tile type 63, a decoration without a body
constexpr int kTileSize = 21;             // pixels of a cell in the shipped map
/// The goal, the player, a checkpoint and a coin (tile types 40, 50, 81, 83).
constexpr std::uint32_t kActorGids[] = {41, 51, 82, 84};

/// The flowers among the tiles of a level file's text.
int FlowersIn(const std::string& levelText) {
    rapidjson::Document level;
    level.Parse(levelText.c_str());
    int flowers = 0;
    for (const auto& row : level["arrayOfTiles"].GetArray()) {
        for (const auto& entry : row.GetArray()) flowers += entry[0].GetUint() + 1 == kFlowerGid;
    }
    return flowers;
}

std::string JsonText(const rapidjson::Value& value) {
    rapidjson::StringBuffer text;
    rapidjson::Writer<rapidjson::StringBuffer> writer(text);
    value.Accept(writer);
    return text.GetString();
}

/// A copy of the default world, its Tiled example included.
class ImportedWorld : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy(ORKA_DEFAULT_WORLD_DIR, world.path,
                              std::filesystem::copy_options::recursive);
    }
    test_support::CommandResult Check(const std::string& arguments) const {
        return world.Run(ORKA_LEVELCHECK_PATH, arguments);
    }

    Folder world;
};

TEST_F(ImportedWorld, ShippedMapOverLevelOneIsSoundAndPlaysThrough) {
    const test_support::CommandResult import = world.Import("tiled/level1.tmj 1level1.json");
    ASSERT_EQ(import.exitCode, 0) << import.output;

    const test_support::CommandResult check = Check("1level");
    EXPECT_EQ(check.exitCode, 0) << check.output;
    const test_support::CommandResult play = Check("--play scripts 1level");
    EXPECT_EQ(play.exitCode, 0) << play.output;
    EXPECT_THAT(play.output, HasSubstr("1level1.json: goal reached after"));
    EXPECT_THAT(play.output, HasSubstr("every level finished"));
}

TEST_F(ImportedWorld, GoalErasedInTheMapIsMissingFromTheLevel) {
    rapidjson::Document map;
    map.Parse(world.Read("tiled/level1.tmj").c_str());
    ASSERT_TRUE(map.IsObject());
    for (auto& layer : map["layers"].GetArray()) {
        if (!layer.HasMember("data")) continue;  // the backdrop's image layers
        for (auto& gid : layer["data"].GetArray()) {
            if (gid.GetUint() == kGoalGid) gid.SetUint(0);
        }
    }
    world.Write("tiled/level1.tmj", JsonText(map));

    ASSERT_EQ(world.Import("tiled/level1.tmj 1level1.json").exitCode, 0);
    const test_support::CommandResult check = Check("1level");

    EXPECT_EQ(check.exitCode, 1);
    EXPECT_THAT(check.output,
                HasSubstr("1level1.json: no goal: no tile has a type with \"leveloverbox\""));
}

TEST_F(ImportedWorld, PlayerAndGoalAsTileObjectsWithFlowersOverTheGroundPlayThrough) {
    rapidjson::Document map;
    map.Parse(world.Read("tiled/level1.tmj").c_str());
    ASSERT_TRUE(map.IsObject());
    const int width = map["width"].GetInt();
    // The actors leave their tile layer for an object layer in a group, and a layer of flowers
    // covers every other tile.
    std::vector<std::string> actors;
    std::vector<bool> flowered;  // by cell, over the tiles of every tile layer
    std::string layers;
    for (auto& layer : map["layers"].GetArray()) {
        if (std::string(layer["type"].GetString()) != "tilelayer") {
            layers += JsonText(layer) + ",";
            continue;
        }
        auto data = layer["data"].GetArray();
        for (rapidjson::SizeType cell = 0; cell < data.Size(); ++cell) {
            const std::uint32_t gid = data[cell].GetUint();
            const int x = static_cast<int>(cell) % width;
            const int y = static_cast<int>(cell) / width;
            if (std::count(std::begin(kActorGids), std::end(kActorGids), gid) > 0) {
                // Tiled places a tile object by its bottom-left corner.
                actors.push_back(
                    TileObject(static_cast<int>(cell), gid, x * kTileSize, (y + 1) * kTileSize));
                data[cell].SetUint(0);
            }
            if (flowered.size() < data.Size()) flowered.resize(data.Size(), false);
            if (data[cell].GetUint() != 0) flowered[cell] = true;
        }
        layers += JsonText(layer) + ",";
    }
    ASSERT_GE(actors.size(), 2u) << "the player and the goal, and the coins";
    std::string flowers;
    int flowerCount = 0;
    for (std::size_t cell = 0; cell < flowered.size(); ++cell) {
        flowerCount += flowered[cell];
        flowers +=
            std::string(cell == 0 ? "" : ",") + std::to_string(flowered[cell] ? kFlowerGid : 0);
    }
    layers += R"({"type":"tilelayer","name":"Flowers","data":[)" + flowers + "]}," +
              GroupLayer("Cast", ObjectLayer("Actors", actors));
    map.RemoveMember("layers");
    const std::string rest = JsonText(map);
    world.Write("tiled/level1.tmj",
                rest.substr(0, rest.size() - 1) + R"(,"layers":[)" + layers + "]}");

    const int flowersBefore = FlowersIn(world.Read("1level1.json"));
    const test_support::CommandResult import = world.Import("tiled/level1.tmj 1level1.json");
    ASSERT_EQ(import.exitCode, 0) << import.output;
    const test_support::CommandResult play = Check("--play scripts 1level");

    EXPECT_EQ(play.exitCode, 0) << play.output;
    EXPECT_THAT(play.output, HasSubstr("1level1.json: goal reached after"));
    EXPECT_EQ(FlowersIn(world.Read("1level1.json")), flowersBefore + flowerCount);
}

}  // namespace
}  // namespace levelimport::test
