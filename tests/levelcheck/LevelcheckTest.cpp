// The built checker run as a process in a scratch copy of a world, as a world's author runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "game/PlatformerProcess.hpp"
#include "game/ScratchFolder.hpp"

namespace {

using game::test::Platformer;
using game::test::ScratchFolder;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::filesystem::path kBrokenWorlds = std::string(ORKA_TEST_DATA_DIR) + "/broken-worlds";
constexpr std::chrono::seconds kPatience{60};
constexpr int kSound = 0;
constexpr int kProblems = 1;
constexpr int kUsage = 2;

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream stream(file);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

/// What one run printed and how it ended.
struct Outcome {
    std::string output;
    std::string errors;
    int exitCode = -1;
};

Outcome RunChecker(const std::filesystem::path& folder, const std::vector<std::string>& arguments) {
    Platformer checker(folder, ORKA_LEVELCHECK_PATH, arguments);
    Outcome run;
    if (!checker.EndsWithin(kPatience)) {
        ADD_FAILURE() << "levelcheck still runs after " << kPatience.count() << " s";
        return run;
    }
    run.output = checker.Output();
    run.errors = checker.Errors();
    run.exitCode = checker.ExitCode();
    return run;
}

/// A world of tests/data/broken-worlds: the sound world "tiny" with the files of `folder` laid
/// over it; `folder`/expected.txt holds the checker's exact output.
struct BrokenWorld {
    const char* folder;
    std::vector<std::string> arguments;
    int exitCode;
};

void PrintTo(const BrokenWorld& world, std::ostream* out) {
    *out << world.folder;
}

class BrokenWorlds : public ::testing::TestWithParam<BrokenWorld> {};

TEST_P(BrokenWorlds, GiveTheExpectedLinesAndExitCode) {
    const BrokenWorld& world = GetParam();
    ScratchFolder scratch;
    scratch.CopyFrom(kBrokenWorlds / "sound");
    scratch.CopyFrom(kBrokenWorlds / world.folder);

    const Outcome run = RunChecker(scratch.path, world.arguments);
    EXPECT_EQ(run.output, ReadFile(kBrokenWorlds / world.folder / "expected.txt"));
    EXPECT_EQ(run.exitCode, world.exitCode);
    EXPECT_EQ(run.errors, "") << "problems go to standard output, and nothing else is said";
}

const std::vector<std::string> kTiny = {"tiny", "tiny"};

INSTANTIATE_TEST_SUITE_P(
    OnePerKind, BrokenWorlds,
    ::testing::Values(
        BrokenWorld{"sound", kTiny, kSound},
        BrokenWorld{"missing-files", {"lost", "gone"}, kProblems},
        BrokenWorld{"missing-tile-file", kTiny, kProblems},
        BrokenWorld{"invalid-json", kTiny, kProblems}, BrokenWorld{"missing-key", kTiny, kProblems},
        BrokenWorld{"wrong-type", kTiny, kProblems}, BrokenWorld{"short-entry", kTiny, kProblems},
        BrokenWorld{"unknown-sprite", kTiny, kProblems},
        BrokenWorld{"short-animation", kTiny, kProblems},
        BrokenWorld{"no-player", kTiny, kProblems}, BrokenWorld{"no-goal", kTiny, kProblems},
        BrokenWorld{"same-cell", kTiny, kProblems}, BrokenWorld{"broken-atlas", kTiny, kProblems},
        BrokenWorld{"id-loop", kTiny, kProblems}, BrokenWorld{"several", kTiny, kProblems}),
    [](const ::testing::TestParamInfo<BrokenWorld>& info) {
        std::string name = info.param.folder;
        for (char& c : name) c = c == '-' ? '_' : c;
        return name;
    });

TEST(Levelcheck, TheDefaultWorldIsSound) {
    ScratchFolder scratch;
    scratch.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
    const Outcome run = RunChecker(scratch.path, {"1level"});
    EXPECT_THAT(run.output, StartsWith("1level: sound (5 levels, "));
    EXPECT_THAT(run.output, HasSubstr("atlas platformer-art-deluxe)\n"));
    EXPECT_EQ(run.exitCode, kSound);
    EXPECT_EQ(run.errors, "");
}

TEST(Levelcheck, WrongUsageIsExplainedAndEndsWithTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {}, {"--play"}, {"--frobnicate", "1level"}, {"1level", "atlas", "more"}, {""}};
    for (const auto& arguments : wrong) {
        SCOPED_TRACE(arguments.empty() ? "(none)" : arguments[0]);
        const Outcome run = RunChecker(std::filesystem::temp_directory_path(), arguments);
        EXPECT_EQ(run.exitCode, kUsage);
        EXPECT_EQ(run.output, "");
        EXPECT_THAT(run.errors, HasSubstr("Try 'levelcheck --help'."));
    }
    const Outcome help = RunChecker(std::filesystem::temp_directory_path(), {"--help"});
    EXPECT_EQ(help.exitCode, kSound);
    EXPECT_THAT(help.output, StartsWith("Usage: levelcheck [--play <script>] <world> [atlas]"));
    EXPECT_THAT(help.output, HasSubstr("Exit code: 0 when the world is sound, 1 when a problem"));
}

}  // namespace
