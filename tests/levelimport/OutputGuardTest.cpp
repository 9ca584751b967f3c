// The level file named on the command line is never one of the import's own files, nor a file
// that holds no level: a slip of the keyboard must not destroy the map or the world.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "levelimport/MapFixtures.hpp"

namespace levelimport::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

/// A map whose tileset is a .tsj with an image, and whose one tile object comes from a
/// template: every kind of file an import reads or names.
void WriteMapWithEveryInput(const Folder& folder) {
    MapParts parts;
    parts.tilesets = R"([{"firstgid":1,"source":"t.tsj"}])";
    parts.layers = "[" + ArrayLayer("a", {1, 0, 2, 0, 0, 1}) + "," +
                   ObjectLayer("o", {R"({"id":1,"template":"stone.tj","x":0,"y":21})"}) + "]";
    folder.Write("map.tmj", MapText(parts));
    folder.Write("t.tsj", R"({"type":"tileset","image":"sheet.png","imagewidth":84,)"
                          R"("imageheight":21,"tilewidth":21,"tileheight":21,)" +
                              TilesetFields() + "}");
    folder.Write("sheet.png", "not read, only named");
    folder.Write("stone.tj", R"({"type":"template","tileset":{"firstgid":1,"source":"t.tsj"},)"
                             R"("object":{"gid":2,"width":21,"height":21}})");
    folder.Write("tile50.json", R"({"id": 50, "name": "Spikes", "sprite": 12})");
    std::filesystem::create_directory(folder.path / "levels");
    std::filesystem::create_hard_link(folder.path / "map.tmj", folder.path / "linked.tmj");
    std::filesystem::create_symlink("t.tsj", folder.path / "tileset-link.json");
}

/// Every file of the folder with its bytes and modification time.
std::map<std::string, std::string> Snapshot(const Folder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path)) {
        struct stat status {};
        lstat(entry.path().c_str(), &status);
        const std::string name = entry.path().filename().string();
        const std::string time =
            std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec);
        files[name] = time + (entry.is_regular_file() ? " " + folder.Read(name) : "");
    }
    return files;
}

struct RefusedOutput {
    const char* output;
    const char* reason;
};

void PrintTo(const RefusedOutput& refused, std::ostream* out) {
    *out << refused.output;
}

class RefusedOutputs : public ::testing::TestWithParam<RefusedOutput> {};

TEST_P(RefusedOutputs, AreRefusedInOneLineAndEveryFileStaysAsItWas) {
    Folder folder;
    WriteMapWithEveryInput(folder);
    const std::map<std::string, std::string> before = Snapshot(folder);

    const test_support::CommandResult run =
        folder.Import("map.tmj " + std::string(GetParam().output));

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, StartsWith(std::string(GetParam().output) + ": not written: "));
    EXPECT_THAT(run.output, HasSubstr(GetParam().reason));
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_EQ(Snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(
    LevelImport, RefusedOutputs,
    ::testing::Values(RefusedOutput{"map.tmj", "a file the import reads"},
                      RefusedOutput{"./map.tmj", "a file the import reads (map.tmj)"},
                      RefusedOutput{"linked.tmj", "a file the import reads (map.tmj)"},
                      RefusedOutput{"t.tsj", "a file the import reads"},
                      RefusedOutput{"tileset-link.json", "a file the import reads (t.tsj)"},
                      RefusedOutput{"stone.tj", "a file the import reads"},
                      RefusedOutput{"sheet.png", "a file the import reads"},
                      RefusedOutput{"tile50.json", "is not a level file"},
                      RefusedOutput{"levels", "not a regular file"}));

TEST(AllowedOutputs, ReplaceOnlyLevelsAndEmptyFiles) {
    for (const std::string& old : {std::string(""), std::string(R"({"id": 3, "name": "x"})"),
                                   std::string(R"({"id": 3, "arrayOfTiles": [[[1, 0, 0]]]})")}) {
        SCOPED_TRACE(old);
        Folder folder;
        WriteMapWithEveryInput(folder);
        folder.Write("level7.json", old);

        const test_support::CommandResult run = folder.Import("map.tmj level7.json");

        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_THAT(folder.Read("level7.json"), HasSubstr("\"name\": \"Hills\""));
    }
}

}  // namespace
}  // namespace levelimport::test
