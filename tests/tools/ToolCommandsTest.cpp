// Runs the built content tools the way a developer does and checks what they say and write
// when given bad input.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/TextFile.hpp"

namespace fs = std::filesystem;

namespace {

struct Result {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

Result run(const std::string& command) {
    Result result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

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
    const Result ok = run(std::string(ATLASGEN_PATH) + " " + path("out/atlas"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("out/atlas.png")));
    EXPECT_TRUE(fs::exists(path("out/atlas.json")));

    const Result usage = run(std::string(ATLASGEN_PATH) + " a b");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(contains(usage.output, "usage: atlasgen [output-base]")) << usage.output;

    const Result missing = run(std::string(ATLASGEN_PATH) + " " + path("nowhere/atlas"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.output, "atlasgen: cannot write " + path("nowhere/atlas.png")))
        << missing.output;
}

TEST_F(ToolCommandsTest, LevelgenWritesNothingWhenOneMapIsBad) {
    TextFile::write(path("maps/good1.txt"), goodMap);
    TextFile::write(path("maps/good2.txt"), "id: 2\nname: Bad\nmap:\n P  G\n##?##\n");
    const Result bad = run(std::string(LEVELGEN_PATH) + " " + path("maps") + " " + path("out"));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(contains(bad.output, "good2.txt: map: column 2, row 0: unknown character '?'"))
        << bad.output;
    EXPECT_TRUE(fs::is_empty(folder / "out"));

    TextFile::write(path("maps/good2.txt"), goodMap);
    const Result ok = run(std::string(LEVELGEN_PATH) + " " + path("maps") + " " + path("out"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("out/good1.json")));
    EXPECT_TRUE(fs::exists(path("out/tile50.json")));
}

TEST_F(ToolCommandsTest, LevelgenNamesMissingFolders) {
    const Result noMaps = run(std::string(LEVELGEN_PATH) + " " + path("none") + " " + path("out"));
    EXPECT_EQ(noMaps.exitCode, 1);
    EXPECT_TRUE(contains(noMaps.output, "no folder of level maps at " + path("none")));

    const Result noOutput =
        run(std::string(LEVELGEN_PATH) + " " + path("maps") + " " + path("none"));
    EXPECT_EQ(noOutput.exitCode, 1);
    EXPECT_TRUE(contains(noOutput.output, "no output folder at " + path("none")));

    const Result emptyMaps =
        run(std::string(LEVELGEN_PATH) + " " + path("maps") + " " + path("out"));
    EXPECT_EQ(emptyMaps.exitCode, 1);
    EXPECT_TRUE(contains(emptyMaps.output, "no *.txt level maps in"));
}

TEST_F(ToolCommandsTest, LevelpreviewDrawsALevelAndNamesAMissingAtlas) {
    TextFile::write(path("maps/small.txt"), goodMap);
    ASSERT_EQ(run(std::string(LEVELGEN_PATH) + " " + path("maps") + " " + path("out")).exitCode, 0);
    const std::string atlas = std::string(CONTENT_DATA_DIR) + "/platformer-art-deluxe";
    const Result ok = run(std::string(LEVELPREVIEW_PATH) + " " + atlas + " " + path("out") + " " +
                          path("out") + " " + path("out/small.json"));
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("out/small.png")));

    const Result missing = run(std::string(LEVELPREVIEW_PATH) + " " + path("none") + " " +
                               path("out") + " " + path("out") + " " + path("out/small.json"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.output, "cannot load " + path("none.png"))) << missing.output;
}
