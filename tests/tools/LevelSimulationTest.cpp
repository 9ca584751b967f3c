#include "levelcheck/LevelSimulation.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "common/TextFile.hpp"
#include "levelcheck/Autopilot.hpp"
#include "levelgen/LevelConverter.hpp"
#include "levelgen/TileCatalog.hpp"

namespace fs = std::filesystem;

namespace {

// A scratch world folder with every tile type and one level made from a map.
class LevelSimulationTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("levelsim-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const TileType& type : TileCatalog::all()) {
            TextFile::write((folder / TileCatalog::fileName(type)).string(),
                            TileCatalog::toJson(type));
        }
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string level(const std::string& rows) {
        const std::string path = (folder / "level1.json").string();
        const LevelMap map = LevelMap::parse("id: 1\nname: T\nmap:\n" + rows, "test");
        TextFile::write(path, LevelConverter::toJson(map, "test"));
        return path;
    }

    fs::path folder;
};

const std::string flatFloor =
    " P                                                        G\n"
    "############################################################\n";

void run(LevelSimulation& simulation, int frames, const HeldKeys& keys) {
    for (int i = 0; i < frames; ++i) simulation.step(keys);
}

}  // namespace

TEST_F(LevelSimulationTest, PlayerLandsThenWalksAboutSixtyUnitsPerSecond) {
    LevelSimulation simulation(level(flatFloor), folder.string());
    run(simulation, 30, {});
    EXPECT_TRUE(simulation.grounded());
    EXPECT_NEAR(simulation.playerPosition().y, 20.0f, 0.1f) << "resting on the floor's top (10)";
    const float startX = simulation.playerPosition().x;
    run(simulation, 90, {false, true, false});
    // About 91 units in 1.5 s under the game's speed cap.
    EXPECT_NEAR(simulation.playerPosition().x - startX, 91.0f, 4.0f);
}

// Box2D moves a body at most 2 units per step, so the jump starts at 120 units/s and rises
// about 120^2 / (2 * 98) = 73 units from rest; a running jump rises less (the cap holds for
// the whole velocity), about 57 units.
TEST_F(LevelSimulationTest, JumpFromRestRisesAboutSeventyUnits) {
    LevelSimulation simulation(level(flatFloor), folder.string());
    run(simulation, 30, {});
    const float groundY = simulation.playerPosition().y;
    float peak = groundY;
    for (int i = 0; i < 90; ++i) {
        simulation.step({false, false, true});
        peak = std::max(peak, simulation.playerPosition().y);
    }
    EXPECT_NEAR(peak - groundY, 73.0f, 3.0f);
    EXPECT_FALSE(simulation.grounded()) << "still in the air after 1.5 s";
}

TEST_F(LevelSimulationTest, FallingBelowTheDeathLineSendsThePlayerBack) {
    LevelSimulation simulation(level(" P      G\n###    ##\n"), folder.string());
    run(simulation, 20, {});
    const b2Vec2 start = simulation.playerPosition();
    for (int i = 0; i < 400 && simulation.deaths() == 0; ++i) simulation.step({false, true, false});
    EXPECT_EQ(simulation.deaths(), 1);
    EXPECT_NEAR(simulation.playerPosition().x, start.x, 0.5f);
    EXPECT_FALSE(simulation.finished());
}

TEST_F(LevelSimulationTest, TouchingTheGoalFinishesTheLevel) {
    LevelSimulation simulation(level(" PG\n###\n"), folder.string());
    for (int i = 0; i < 120 && !simulation.finished(); ++i) simulation.step({false, true, false});
    EXPECT_TRUE(simulation.finished());
    EXPECT_TRUE(simulation.solidAt(0, 0));
    EXPECT_FALSE(simulation.solidAt(2, 1)) << "the goal is a sensor, not a solid tile";
}

TEST_F(LevelSimulationTest, AutopilotCrossesAGapAndClimbsASmallStep) {
    LevelSimulation simulation(level(" P          ####  G\n#######  ##########\n"),
                               folder.string());
    Autopilot pilot;
    while (!simulation.finished() && simulation.frame() < 60 * 30) {
        simulation.step(pilot.decide(simulation));
    }
    EXPECT_TRUE(simulation.finished());
    EXPECT_EQ(simulation.deaths(), 0);
}

TEST_F(LevelSimulationTest, MissingFilesAreNamed) {
    fs::remove(folder / "tile50.json");
    const std::string path = level(" PG\n###\n");
    try {
        LevelSimulation simulation(path, folder.string());
        FAIL() << "a missing tile file was not reported";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("tile50.json"), std::string::npos) << e.what();
    }
    EXPECT_THROW(LevelSimulation((folder / "nothing.json").string(), folder.string()),
                 std::runtime_error);
}
