// The built checker run as a process in a scratch copy of a world, as a world's author runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/PlatformerProcess.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

const std::filesystem::path kBrokenWorlds = std::string(ORKA_TEST_DATA_DIR) + "/broken-worlds";
const std::filesystem::path kMeadow = std::string(ORKA_TEST_DATA_DIR) + "/worlds/meadow";
const std::filesystem::path kSolveWorlds = std::string(ORKA_TEST_DATA_DIR) + "/solve-worlds";
constexpr std::chrono::seconds kPatience{60};
constexpr int kSound = 0;
constexpr int kProblems = 1;
constexpr int kUsage = 2;

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream stream(file);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

/// What one run printed and how it ended.
struct Outcome {
    std::string output;
    std::string errors;
    int exitCode = -1;
};

/// Runs the built checker in `folder`; its output is small enough to wait in the pipes until
/// it has ended. A run that outlasts kPatience is killed and fails the test.
Outcome RunChecker(const std::filesystem::path& folder, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(ORKA_LEVELCHECK_PATH)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
        if (chdir(folder.c_str()) == 0) execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    Outcome run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            ADD_FAILURE() << "levelcheck still ran after " << kPatience.count() << " s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.output = game::test::ReadAll(out[0]);
    run.errors = game::test::ReadAll(err[0]);
    close(out[0]);
    close(err[0]);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

TEST(Levelcheck, DeeplyNestedFilesAreShortProblemsNotCrashes) {
    // A million '[' once overflowed the stack of a parser that recursed once per level.
    const std::string deep(1000000, '[');
    const std::string tooDeep = "too deeply nested (more than 64 levels of arrays and objects)";
    for (const auto& [file, text] : {std::pair<std::string, std::string>{"tiny2.json", deep},
                                     {"tile3.json", "{\"physics\": " + deep},
                                     {"tiny.json", "{\"frames\": " + deep}}) {
        SCOPED_TRACE(file);
        ScratchFolder scratch;
        scratch.CopyFrom(kBrokenWorlds / "sound");
        scratch.Write(file, text);
        const Outcome run = RunChecker(scratch.path, kTiny);
        EXPECT_EQ(run.exitCode, kProblems);
        EXPECT_EQ(run.output, file + ": " + tooDeep + "\ntiny: 1 problem\n");
        EXPECT_EQ(run.errors, "");
    }
}

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

class Play : public ::testing::Test {
protected:
    Play() {
        scratch.CopyFrom(kBrokenWorlds / "sound");
        std::filesystem::create_directory(scratch.path / "scripts");
        scratch.Write("walk.txt", "# walk right onto the goal\n0 down Right\n");
        scratch.Write("scripts/tiny1.txt", "0 down Right\n");
        scratch.Write("scripts/tiny2.txt", "0 down Left\n30 up Left\n");
        scratch.Write("broken.txt", "0 down Right\n5 sideways Right\n");
    }
    Outcome Check(const std::string& script) {
        return RunChecker(scratch.path, {"--play", script, "tiny", "tiny"});
    }
    ScratchFolder scratch;
};

TEST_F(Play, OneScriptOnEveryLevelTellsWhenEachGoalIsReached) {
    const Outcome run = Check("walk.txt");
    EXPECT_EQ(run.output,
              "tiny1.json: goal reached after 46 frames (walk.txt), collected 0 of 0, 0 returns\n"
              "tiny2.json: goal reached after 26 frames (walk.txt), collected 0 of 0, 0 returns\n"
              "tiny: sound (2 levels, 3 tile types, atlas tiny), every level finished\n");
    EXPECT_EQ(run.exitCode, kSound);
    EXPECT_EQ(run.errors, "");
}

TEST_F(Play, AFolderHoldsOneScriptPerLevelAndALevelNotFinishedIsAProblem) {
    const Outcome run = Check("scripts");
    EXPECT_EQ(run.output,
              "tiny1.json: goal reached after 46 frames (scripts/tiny1.txt), collected 0 of 0, "
              "0 returns\n"
              "tiny2.json: goal not reached in 1830 frames (scripts/tiny2.txt), collected 0 of 0, "
              "1 returns\n"
              "tiny: 1 problem\n");
    EXPECT_EQ(run.exitCode, kProblems);
}

TEST_F(Play, ScriptsThatCannotBeReadAreNamedOnTheirLevels) {
    std::filesystem::remove(scratch.path / "scripts/tiny2.txt");
    Outcome run = Check("scripts");
    EXPECT_THAT(run.output, HasSubstr("tiny2.json: not played: scripts/tiny2.txt: cannot be "));
    EXPECT_THAT(run.output, HasSubstr("tiny: 1 problem\n"));
    EXPECT_EQ(run.exitCode, kProblems);

    run = Check("broken.txt");
    EXPECT_THAT(run.output, HasSubstr("tiny1.json: not played: broken.txt:2: "));
    EXPECT_THAT(run.output, HasSubstr("tiny: 2 problems\n"));
    EXPECT_EQ(run.exitCode, kProblems);
}

TEST_F(Play, AWorldWithProblemsIsNotPlayed) {
    scratch.CopyFrom(kBrokenWorlds / "no-goal");
    const Outcome run = Check("walk.txt");
    EXPECT_EQ(run.output,
              "tiny1.json: no goal: no tile has a type with \"leveloverbox\"\n"
              "tiny: 1 problem, not played\n");
    EXPECT_EQ(run.exitCode, kProblems);

    const Outcome solve = RunChecker(scratch.path, {"--solve", "found", "tiny", "tiny"});
    EXPECT_THAT(solve.output, HasSubstr("tiny: 1 problem, not solved\n"));
    EXPECT_EQ(solve.exitCode, kProblems);
}

/// The worlds of tests/data/solve-worlds, on the tiles and atlas of the meadow world: "shapes"
/// has one level of each shape the solver must get through (with tile behaviours in the last),
/// "nogo" two levels without a way.
class Solve : public ::testing::Test {
protected:
    Solve() {
        scratch.CopyFrom(kMeadow);
        scratch.CopyFrom(kSolveWorlds);
    }
    Outcome Run(const std::vector<std::string>& arguments) {
        return RunChecker(scratch.path, arguments);
    }
    std::string Read(const std::string& file) const { return ReadFile(scratch.path / file); }
    ScratchFolder scratch;
};

/// A level of "shapes" and the most frames its way to the goal may take: about twice the way a
/// person would take, so that a solver taking ten times longer than needed fails.
struct Shape {
    const char* level;
    int mostFrames;
};
constexpr Shape kShapes[] = {
    {"shapes1", 800},   // a pit to jump
    {"shapes2", 900},   // stairs
    {"shapes3", 1400},  // floating platforms over a pit
    {"shapes4", 800},   // walls to climb by jumping
    {"shapes5", 800},   // the goal to the left of the start
    {"shapes6", 600},   // the goal below the start, under its ledge
    {"shapes7", 1000},  // crates in the way
    {"shapes8", 1600},  // spikes, then a lift to ride over a pit too wide to jump
    {"shapes9", 600},   // a checkpoint, then the goal on a ledge to jump up through
};

/// The frames of a line "<level>.json: solved: goal after <frames> frames (<folder>/<level>.txt),
/// found in <seconds> s" (-1 when the line is not one).
int SolvedFrames(const std::string& line, const std::string& level, const std::string& folder) {
    const std::regex pattern(level + R"(\.json: solved: goal after ([0-9]+) frames \()" + folder +
                             "/" + level + R"(\.txt\), found in [0-9]+\.[0-9] s)" +
                             R"((, collected [0-9]+ of [0-9]+, [0-9]+ returns)?)");
    std::smatch match;
    return std::regex_match(line, match, pattern) ? std::stoi(match[1]) : -1;
}

TEST_F(Solve, FindsAWayThroughEveryShapeAndTheScriptsReplayToTheGoal) {
    const Outcome run = Run({"--solve", "found", "--budget", "30", "shapes", "blocks"});
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), std::size(kShapes) + 1) << run.output << run.errors;
    std::vector<int> frames;
    for (std::size_t i = 0; i < std::size(kShapes); ++i) {
        frames.push_back(SolvedFrames(lines[i], kShapes[i].level, "found"));
        EXPECT_GT(frames.back(), 0) << lines[i];
        EXPECT_LE(frames.back(), kShapes[i].mostFrames) << lines[i];
    }
    // The coin of the lift's level is not needed, the spikes before it are never touched.
    EXPECT_THAT(lines[7], HasSubstr(" of 1, 0 returns"));
    EXPECT_EQ(lines.back(), "shapes: sound (9 levels, 9 tile types, atlas blocks), every level solved");
    EXPECT_EQ(run.exitCode, kSound);
    EXPECT_EQ(run.errors, "");

    // --play reads what was written and finishes every level just as the solver's replay did.
    const Outcome play = Run({"--play", "found", "shapes", "blocks"});
    for (std::size_t i = 0; i < std::size(kShapes); ++i) {
        const std::string level = kShapes[i].level;
        EXPECT_THAT(play.output, HasSubstr(level + ".json: goal reached after " +
                                           std::to_string(frames[i]) + " frames (found/" + level +
                                           ".txt), collected "));
    }
    EXPECT_EQ(play.exitCode, kSound);

    // The same world and budget give the same scripts, whatever else is asked for.
    const Outcome again =
        Run({"--solve", "again", "--budget", "30", "--reach", "pictures/reach.png", "shapes", "blocks"});
    EXPECT_EQ(again.exitCode, kSound);
    for (const Shape& shape : kShapes) {
        const std::string script = std::string(shape.level) + ".txt";
        EXPECT_EQ(Read("again/" + script), Read("found/" + script)) << script;
        EXPECT_EQ(Read("pictures/reach-" + std::string(shape.level) + ".png").substr(1, 3), "PNG");
    }
}

TEST_F(Solve, ScriptsAreFewKeysWithCommentsThatSayWhereThePlayerIs) {
    ASSERT_EQ(Run({"--solve", "found", "shapes", "blocks"}).exitCode, kSound);
    // A pit on the way to the right: Right held all along, a jump or two, no dithering.
    const std::vector<std::string> lines = Lines(Read("found/shapes1.txt"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].substr(0, 2), "# ");
    EXPECT_THAT(lines[1], MatchesRegex(R"(0 down Right  # column 1, row [0-9]+)"));
    EXPECT_LE(lines.size(), 8u) << Read("found/shapes1.txt");
    for (const std::string& line : lines) EXPECT_THAT(line, Not(HasSubstr("Left")));
}

/// The nearest cell of a line "<level>.json: no way to the goal found in <seconds> s (<states>
/// states searched; nearest: column <c>, row <r>)", or (-1, -1) when the line is not one.
std::pair<int, int> NearestCell(const std::string& line, const std::string& level) {
    const std::regex pattern(level + R"(\.json: no way to the goal found in [0-9]+\.[0-9] s )" +
                             R"(\([0-9,]+ states searched; nearest: column ([0-9]+), row ([0-9]+)\))");
    std::smatch match;
    if (!std::regex_match(line, match, pattern)) return {-1, -1};
    return {std::stoi(match[1]), std::stoi(match[2])};
}

TEST_F(Solve, LevelsWithoutAWayEndWithinTheBudgetNamingTheNearestCell) {
    const Outcome run = Run({"--solve", "found", "--budget", "2", "nogo", "blocks"});
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 3u) << run.output << run.errors;
    // A pit from column 7 to 22: the player gets no farther than into it.
    const auto [pitColumn, pitRow] = NearestCell(lines[0], "nogo1");
    EXPECT_GE(pitColumn, 7) << lines[0];
    EXPECT_LE(pitColumn, 22) << lines[0];
    EXPECT_GE(pitRow, 0) << lines[0];
    // A goal on a block in the air (columns 12 to 14, rows 11 to 13): the nearest cell is under
    // the block.
    const auto [blockColumn, blockRow] = NearestCell(lines[1], "nogo2");
    EXPECT_GE(blockColumn, 12) << lines[1];
    EXPECT_LE(blockColumn, 14) << lines[1];
    EXPECT_GE(blockRow, 1) << lines[1];
    EXPECT_LE(blockRow, 10) << lines[1];
    EXPECT_EQ(lines[2], "nogo: 2 problems");
    EXPECT_EQ(run.exitCode, kProblems);
    EXPECT_EQ(run.errors, "");
    EXPECT_FALSE(std::filesystem::exists(scratch.path / "found/nogo1.txt"));

    // A file where the folder should be is said to be one.
    scratch.Write("taken", "");
    const Outcome taken = Run({"--solve", "taken", "--budget", "1", "nogo", "blocks"});
    EXPECT_EQ(taken.exitCode, kProblems);
    EXPECT_THAT(taken.errors, HasSubstr("levelcheck: taken: cannot be made a folder for the scripts"));
}

/// A world "flat": one level per start, the player on a floor of tiles with the goal 40 columns
/// to its right, on each kind of floor (one type throughout, two static types in runs of three,
/// two rows of tiles). The starts lie where float rounding made a square player catch on the
/// edges between tiles: before its corners were cut, 48 of these 63 walks stopped dead.
int WriteFlatFloors(ScratchFolder& scratch) {
    scratch.Write("tile4.json", R"({"id": 4, "name": "Earth", "sprite": 1,
                                    "physics": {"type": "static"}})");
    int level = 0;
    for (const std::string floor : {"one type", "two types", "two rows"}) {
        for (int start = 40; start <= 80; start += 2) {
            std::string tiles;
            for (int column = start - 5; column < start + 50; ++column) {
                const int type = floor == "two types" && column / 3 % 2 == 1 ? 4 : 1;
                tiles += "[" + std::to_string(type) + "," + std::to_string(column) + ",0],";
                if (floor == "two rows") tiles += "[4," + std::to_string(column) + ",-1],";
            }
            tiles += "[3," + std::to_string(start) + ",1],[2," + std::to_string(start + 40) + ",1]";
            ++level;
            scratch.Write("flat" + std::to_string(level) + ".json",
                          "{\"id\": " + std::to_string(level) + ", \"name\": \"" + floor +
                              "\", \"deathLevelInY\": -100, \"arrayOfTiles\": [[" + tiles + "]]}");
        }
    }
    return level;
}

TEST_F(Play, HoldingRightCrossesAFlatFloorOfTilesFromAnyStart) {
    const int levels = WriteFlatFloors(scratch);
    const Outcome run = RunChecker(scratch.path, {"--play", "walk.txt", "flat", "tiny"});
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(levels) + 1) << run.output << run.errors;
    for (int level = 1; level <= levels; ++level) {
        // 40 columns at about 60 units a second take some 14 s: far less than the 30 s allowed.
        EXPECT_THAT(lines[level - 1],
                    MatchesRegex("flat" + std::to_string(level) +
                                 R"(\.json: goal reached after [0-9]{3} frames.*)"));
    }
    EXPECT_EQ(run.exitCode, kSound);
}

TEST(Levelcheck, TheDefaultWorldIsSoundAndEveryLevelIsFinishedWithItsScript) {
    ScratchFolder scratch;
    std::filesystem::copy(ORKA_DEFAULT_WORLD_DIR, scratch.path,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    const Outcome check = RunChecker(scratch.path, {"1level"});
    EXPECT_EQ(check.output,
              "1level: sound (6 levels, 35 tile types, atlas platformer-art-deluxe)\n");
    EXPECT_EQ(check.exitCode, kSound);
    EXPECT_EQ(check.errors, "");

    // Every recorded play finishes its level without being put back; the search that found
    // them takes coins only on its way.
    const int coins[] = {3, 3, 3, 5, 7, 21};
    const Outcome play = RunChecker(scratch.path, {"--play", "scripts", "1level"});
    std::vector<::testing::Matcher<std::string>> lines;
    for (int level = 1; level <= 6; ++level) {
        const std::string name = "1level" + std::to_string(level);
        const std::string total = std::to_string(coins[level - 1]);
        lines.push_back(MatchesRegex(name + R"(\.json: goal reached after [0-9]+ frames )" +
                                     R"(\(scripts/)" + name + R"(\.txt\), collected [0-9]+ )" +
                                     "of " + total + ", 0 returns"));
    }
    lines.push_back(
        "1level: sound (6 levels, 35 tile types, atlas platformer-art-deluxe), "
        "every level finished");
    EXPECT_THAT(Lines(play.output), ElementsAreArray(lines));
    EXPECT_EQ(play.exitCode, kSound);
    EXPECT_EQ(play.errors, "");
}

/// The numbers of a `--feel` line after its "<world>: ", in order.
std::vector<float> Numbers(const std::string& line) {
    const std::string text = line.substr(line.find(": ") + 2);
    const std::regex number(R"(-?[0-9]+(\.[0-9]+)?)");
    std::vector<float> numbers;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number);
         it != std::sregex_iterator(); ++it) {
        numbers.push_back(std::stof(it->str()));
    }
    return numbers;
}

/// What `--feel` measured: walk {speed, stop, seconds}, jump {height, seconds, 2, tapped},
/// running {height, distance, drift}, wall {12, climb}.
struct MeasuredFeel {
    std::vector<float> walk, jump, running, wall;
};

MeasuredFeel Feel(const std::filesystem::path& folder, const std::vector<std::string>& world) {
    std::vector<std::string> arguments{"--feel"};
    arguments.insert(arguments.end(), world.begin(), world.end());
    const Outcome run = RunChecker(folder, arguments);
    EXPECT_EQ(run.exitCode, kSound) << run.output << run.errors;
    const std::vector<std::string> lines = Lines(run.output);
    if (lines.size() != 5) {
        ADD_FAILURE() << run.output;
        return {};
    }
    return {Numbers(lines[0]), Numbers(lines[1]), Numbers(lines[2]), Numbers(lines[3])};
}

TEST(Levelcheck, FeelShowsTheDefaultWorldsFoxStoppingJumpingBrieflyAndNotClimbingWalls) {
    constexpr float kTile = 21.0f;
    ScratchFolder world;
    world.CopyFrom(ORKA_DEFAULT_WORLD_DIR);
    const MeasuredFeel fox = Feel(world.path, {"1level"});
    ASSERT_EQ(fox.walk.size(), 3u);
    ASSERT_EQ(fox.jump.size(), 4u);
    ASSERT_EQ(fox.running.size(), 3u);
    ASSERT_EQ(fox.wall.size(), 2u);
    EXPECT_LE(fox.walk[1], kTile / 3.0f) << "at rest within a third of a tile of the key's release";
    EXPECT_GE(fox.jump[0], 3.5f * kTile) << "a standing jump clears three and a half tiles";
    EXPECT_LT(fox.jump[1], 1.0f) << "in under a second";
    EXPECT_LT(fox.jump[3], 0.6f * fox.jump[0]) << "a tapped jump is clearly lower";
    EXPECT_GE(fox.running[1], 6.0f * kTile) << "a running jump still clears the pits";
    EXPECT_LT(fox.running[2], kTile) << "let go of the arrow in the air, it drifts under a tile";
    EXPECT_LE(fox.wall[1], fox.jump[0] + 1.0f) << "no higher than one jump up a wall";

    // A world without the feel keys keeps the plain physics: it slides, and climbs walls.
    ScratchFolder plain;
    plain.CopyFrom(std::string(ORKA_TEST_DATA_DIR) + "/worlds/meadow");
    const MeasuredFeel player = Feel(plain.path, {"meadow", "blocks"});
    ASSERT_EQ(player.walk.size(), 3u);
    ASSERT_EQ(player.wall.size(), 2u);
    EXPECT_GT(player.walk[1], 3.0f * kTile);
    EXPECT_GT(player.wall[1], 3.0f * player.jump[0]);
}

TEST(Levelcheck, TheTrailOfEveryTileBehaviourIsFinishedWithItsCoinsAndOneReturn) {
    const std::filesystem::path worlds = std::string(ORKA_TEST_DATA_DIR) + "/worlds";
    ScratchFolder scratch;
    scratch.CopyFrom(worlds / "meadow");
    scratch.CopyFrom(worlds / "trail");
    const Outcome run = RunChecker(scratch.path, {"--play", "scripts", "trail", "blocks"});
    EXPECT_EQ(run.output,
              "trail1.json: goal reached after 684 frames (scripts/trail1.txt), collected 3 of 3, "
              "1 returns\n"
              "trail: sound (1 levels, 8 tile types, atlas blocks), every level finished\n");
    EXPECT_EQ(run.exitCode, kSound);
    EXPECT_EQ(run.errors, "");
}

TEST(Levelcheck, WrongUsageIsExplainedAndEndsWithTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"--play"},
        {"--frobnicate", "1level"},
        {"1level", "atlas", "more"},
        {""},
        {"--solve"},
        {"--solve", "out", "--play", "scripts", "1level"},
        {"--budget", "5", "1level"},
        {"--reach", "reach.png", "1level"},
        {"--solve", "out", "--budget", "0", "1level"},
        {"--solve", "out", "--budget", "-3", "1level"},
        {"--solve", "out", "--budget", "soon", "1level"},
        {"--solve", "out", "--budget", "nan", "1level"},
        {"--solve", "out", "1level", "--budget"},
        {"--solve", "out", "1level", "--reach"},
        {"--feel", "--play", "scripts", "1level"}};
    for (const auto& arguments : wrong) {
        std::string joined;
        for (const std::string& argument : arguments) joined += argument + " ";
        SCOPED_TRACE(joined);
        const Outcome run = RunChecker(std::filesystem::temp_directory_path(), arguments);
        EXPECT_EQ(run.exitCode, kUsage);
        EXPECT_EQ(run.output, "");
        EXPECT_THAT(run.errors, HasSubstr("Try 'levelcheck --help'."));
    }
    const Outcome help = RunChecker(std::filesystem::temp_directory_path(), {"--help"});
    EXPECT_EQ(help.exitCode, kSound);
    EXPECT_THAT(help.output, StartsWith("Usage: levelcheck [--play <script>] <world> [atlas]"));
    EXPECT_THAT(help.output, HasSubstr("Exit code: 0 when the world is sound"));
    EXPECT_THAT(help.output, HasSubstr("--solve <folder>"));
    EXPECT_THAT(help.output, HasSubstr("--budget SECONDS"));
    EXPECT_THAT(help.output, HasSubstr("--reach <png>"));
}

}  // namespace
