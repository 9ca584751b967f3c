// The built importer and the built level checker run one after the other, as a world builder
// does: a map imported over a level of a copy of the default world is checked and played.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <filesystem>
#include <string>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::HasSubstr;

constexpr std::uint32_t kGoalGid = 41;  // tile type 40 in the shipped tileset

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
        for (auto& gid : layer["data"].GetArray()) {
            if (gid.GetUint() == kGoalGid) gid.SetUint(0);
        }
    }
    rapidjson::StringBuffer text;
    rapidjson::Writer<rapidjson::StringBuffer> writer(text);
    map.Accept(writer);
    world.Write("tiled/level1.tmj", text.GetString());

    ASSERT_EQ(world.Import("tiled/level1.tmj 1level1.json").exitCode, 0);
    const test_support::CommandResult check = Check("1level");

    EXPECT_EQ(check.exitCode, 1);
    EXPECT_THAT(check.output,
                HasSubstr("1level1.json: no goal: no tile has a type with \"leveloverbox\""));
}

}  // namespace
}  // namespace levelimport::test
