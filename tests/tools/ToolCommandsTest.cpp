// Runs the built content tools the way a developer does and checks what they say and write
// when given bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/TextFile.hpp"
#include "support/Command.hpp"

namespace fs = std::filesystem;

namespace {

using Result = test_support::CommandResult;
using test_support::Contains;
using test_support::RunCommand;
using test_support::ShellQuoted;

class ToolCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("toolcommands-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder / "maps");
        fs::create_directories(folder / "out");
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    fs::path folder;
};

const char* const goodMap = "id: 1\nname: Good\nmap:\n P  G\n#####\n";

}  // namespace

TEST_F(ToolCommandsTest, AtlasgenWritesBothFilesAndExplainsBadArguments) {
    const Result ok = RunCommand(ShellQuoted(ATLASGEN_PATH) + " " + path("out/atlas"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("out/atlas.png")));
    EXPECT_TRUE(fs::exists(path("out/atlas.json")));

    const Result usage = RunCommand(ShellQuoted(ATLASGEN_PATH) + " a b");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(Contains(usage.output, "usage: atlasgen [output-base]")) << usage.output;

    const Result missing = RunCommand(ShellQuoted(ATLASGEN_PATH) + " " + path("nowhere/atlas"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.output, "atlasgen: cannot write " + path("nowhere/atlas.png")))
        << missing.output;
}

TEST_F(ToolCommandsTest, SoundgenWritesTheSevenSoundsAndTheMusicAndExplainsBadArguments) {
    const Result ok = RunCommand(ShellQuoted(SOUNDGEN_PATH) + " " + path("out"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    for (const char* name : {"jump.wav", "land.wav", "goal.wav", "fall.wav", "collect.wav",
                             "checkpoint.wav", "best.wav", "music.wav"}) {
        EXPECT_TRUE(fs::exists(path("out/") + name)) << name;
    }

    const Result usage = RunCommand(ShellQuoted(SOUNDGEN_PATH) + " a b");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(Contains(usage.output, "usage: soundgen [output-folder]")) << usage.output;

    const Result missing = RunCommand(ShellQuoted(SOUNDGEN_PATH) + " " + path("nowhere"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.output, "soundgen: cannot write " + path("nowhere/jump.wav")))
        << missing.output;
}

TEST_F(ToolCommandsTest, LevelgenWritesNothingWhenOneMapIsBad) {
    TextFile::write(path("maps/good1.txt"), goodMap);
    TextFile::write(path("maps/good2.txt"), "id: 2\nname: Bad\nmap:\n P  G\n##?##\n");
    const Result bad =
        RunCommand(ShellQuoted(LEVELGEN_PATH) + " " + path("maps") + " " + path("out"));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(Contains(bad.output, "good2.txt: map: column 2, row 0: unknown character '?'"))
        << bad.output;
    EXPECT_TRUE(fs::is_empty(folder / "out"));

    TextFile::write(path("maps/good2.txt"), goodMap);
    const Result ok =
        RunCommand(ShellQuoted(LEVELGEN_PATH) + " " + path("maps") + " " + path("out"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("out/good1.json")));
    EXPECT_TRUE(fs::exists(path("out/tile50.json")));
}

TEST_F(ToolCommandsTest, LevelgenNamesMissingFolders) {
    const Result noMaps =
        RunCommand(ShellQuoted(LEVELGEN_PATH) + " " + path("none") + " " + path("out"));
    EXPECT_EQ(noMaps.exitCode, 1);
    EXPECT_TRUE(Contains(noMaps.output, "no folder of level maps at " + path("none")));

    const Result noOutput =
        RunCommand(ShellQuoted(LEVELGEN_PATH) + " " + path("maps") + " " + path("none"));
    EXPECT_EQ(noOutput.exitCode, 1);
    EXPECT_TRUE(Contains(noOutput.output, "no output folder at " + path("none")));

    const Result emptyMaps =
        RunCommand(ShellQuoted(LEVELGEN_PATH) + " " + path("maps") + " " + path("out"));
    EXPECT_EQ(emptyMaps.exitCode, 1);
    EXPECT_TRUE(Contains(emptyMaps.output, "no *.txt level maps in"));
}

TEST_F(ToolCommandsTest, LevelpreviewDrawsALevelAndNamesAMissingAtlas) {
    TextFile::write(path("maps/small.txt"), goodMap);
    ASSERT_EQ(
        RunCommand(ShellQuoted(LEVELGEN_PATH) + " " + path("maps") + " " + path("out")).exitCode,
        0);
    const std::string atlas = ShellQuoted(std::string(CONTENT_DATA_DIR) + "/platformer-art-deluxe");
    const Result ok = RunCommand(ShellQuoted(LEVELPREVIEW_PATH) + " " + atlas + " " + path("out") +
                                 " " + path("out") + " " + path("out/small.json"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("out/small.png")));

    const Result missing =
        RunCommand(ShellQuoted(LEVELPREVIEW_PATH) + " " + path("none") + " " + path("out") + " " +
                   path("out") + " " + path("out/small.json"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.output, "cannot load " + path("none.png"))) << missing.output;
}
