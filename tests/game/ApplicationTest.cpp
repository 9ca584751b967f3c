#include "game/Application.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/ConsolePrompts.hpp"
#include "support/PlatformerProcess.hpp"

namespace fs = std::filesystem;
using game::test::kAtlasPrompt;
using game::test::kRetryPrompt;
using game::test::kWorldPrompt;
using game::test::Platformer;
using namespace std::chrono_literals;

namespace {

/// An empty working directory for one run of the game, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "platformer-dialogue-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~ScratchDir() { fs::remove_all(path); }
    void Add(const std::string& fileName, const std::string& text = "{}") const {
        std::ofstream(path / fileName) << text;
    }
    fs::path path;
};

struct Transcript {
    bool ended;
    int exitCode;
    std::string output;
    std::string errors;
};

/// Runs the game in `dir` with `input` on standard input (then end of file).
Transcript RunGame(const ScratchDir& dir, const std::string& input) {
    Platformer game(dir.path);
    game.Write(input);
    game.CloseInput();
    bool ended = game.EndsWithin();
    if (!ended) return {false, -1, "", ""};
    return {true, game.ExitCode(), game.Output(), game.Errors()};
}

/// The game was handed files that only pass the dialogue (no real level or atlas behind them):
/// it stops with one logged error and the program ends saying so in its exit code. What the
/// engine prints after the dialogue is not checked.
void ExpectGameStopped(const Transcript& run, const std::string& dialogue) {
    ASSERT_TRUE(run.ended) << "the game did not end";
    EXPECT_EQ(run.exitCode, 1) << "a game that stopped on a problem is no success";
    EXPECT_EQ(run.output.substr(0, dialogue.size()), dialogue);
    const std::regex logged(R"((^|\n) \| ERR! \| [^\n]*: Unhandled exception in Application: )");
    EXPECT_TRUE(std::regex_search(run.errors, logged)) << run.errors;
}

void ExpectCleanEnd(const Transcript& run, const std::string& expectedOutput) {
    ASSERT_TRUE(run.ended) << "the game did not end";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, expectedOutput);
    EXPECT_EQ(run.errors, "");
}

TEST(ApplicationDialogue, MissingWorldThenZeroAtTheRetryPromptQuits) {
    ScratchDir dir;
    ExpectCleanEnd(RunGame(dir, "forest\n0\n"), kWorldPrompt + kRetryPrompt);
}

TEST(ApplicationDialogue, OneIsTheDefaultWorldAndSkipsTheAtlasPrompt) {
    ScratchDir dir;  // no files at all: nothing is checked
    for (const char* answer : {"1\n", "  1  \n", "\n\n1"}) {
        SCOPED_TRACE(answer);
        ExpectGameStopped(RunGame(dir, answer), kWorldPrompt);
    }
}

TEST(ApplicationDialogue, WorldNameIsFollowedByOneDotJson) {
    ScratchDir dir;
    dir.Add("11.json");
    dir.Add("tiles.json");  // an atlas without its PNG passes the dialogue
    ExpectCleanEnd(RunGame(dir, "11\n0\n"), kWorldPrompt + kRetryPrompt);  // tests 111.json
    dir.Add("111.json");
    ExpectGameStopped(RunGame(dir, "11\ntiles\n"), kWorldPrompt + kAtlasPrompt);
}

TEST(ApplicationDialogue, ZeroAtTheFirstPromptIsAWorldName) {
    ScratchDir dir;
    dir.Add("01.json");
    dir.Add("tiles.json");
    ExpectGameStopped(RunGame(dir, "0\ntiles\n"), kWorldPrompt + kAtlasPrompt);
}

TEST(ApplicationDialogue, OneAtARetryPromptIsTriedAsTheWorldOne) {
    ScratchDir dir;
    ExpectCleanEnd(RunGame(dir, "forest\n1\n0\n"), kWorldPrompt + kRetryPrompt + kRetryPrompt);
    dir.Add("11.json");
    dir.Add("tiles.json");
    ExpectGameStopped(RunGame(dir, "forest\n1\ntiles\n"),
                      kWorldPrompt + kRetryPrompt + kAtlasPrompt);
}

TEST(ApplicationDialogue, MissingAtlasIsAskedAgainAndZeroQuits) {
    ScratchDir dir;
    dir.Add("forest1.json", "this is not JSON");  // only opened, never read, by the dialogue
    ExpectCleanEnd(RunGame(dir, "forest\nmissing\n0\n"),
                   kWorldPrompt + kAtlasPrompt + kRetryPrompt);
    dir.Add("tiles.json");
    ExpectGameStopped(RunGame(dir, "forest\nmissing\ntiles\n"),
                      kWorldPrompt + kAtlasPrompt + kRetryPrompt);
}

TEST(ApplicationDialogue, EndOfInputWhileANameIsAwaitedEndsTheProgram) {
    ScratchDir dir;
    dir.Add("forest1.json");
    ExpectCleanEnd(RunGame(dir, ""), kWorldPrompt);
    ExpectCleanEnd(RunGame(dir, "   \n"), kWorldPrompt);
    ExpectCleanEnd(RunGame(dir, "desert\n"), kWorldPrompt + kRetryPrompt);
    ExpectCleanEnd(RunGame(dir, "forest\n"), kWorldPrompt + kAtlasPrompt);
    ExpectCleanEnd(RunGame(dir, "forest\nnope"), kWorldPrompt + kAtlasPrompt + kRetryPrompt);
}

TEST(ApplicationDialogue, AfterTheGameTheProgramWaitsForANonBlankCharacter) {
    ScratchDir dir;
    Platformer game(dir.path);
    game.Write("1\n \n\n");
    EXPECT_TRUE(game.WaitsForInput()) << "the game ended without waiting for a character";
    game.Write("x\n");
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 1) << "the empty folder has no world to play";
    EXPECT_EQ(game.Output().substr(0, kWorldPrompt.size()), kWorldPrompt);
}

TEST(ApplicationDialogue, WordsAfterTheWorldNameAnswerTheFinalWait) {
    ScratchDir dir;
    Platformer game(dir.path);
    game.Write("1 x\n");  // the input stays open: only the "x" can end the wait
    ASSERT_TRUE(game.EndsWithin());
    EXPECT_EQ(game.ExitCode(), 1) << "the empty folder has no world to play";
    EXPECT_EQ(game.Output().substr(0, kWorldPrompt.size()), kWorldPrompt);
}

/// Redirects std::cerr into a string while it lives.
class CapturedErrors {
public:
    CapturedErrors() : old(std::cerr.rdbuf(captured.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(old); }
    std::string Text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* old;
};

/// Runs `game` through the guarded hand-over and returns what was logged as an error.
std::string ErrorLoggedFor(const std::function<void()>& game) {
    CapturedErrors errors;
    EXPECT_NO_THROW(Application::RunGuarded(game));
    return errors.Text();
}

MATCHER_P(IsErrorLine, message, "") {
    const std::regex line(R"( \| ERR! \| [A-Z][a-z]{2}, [-0-9]{10}, [:0-9]{8}: (.*)\n)");
    std::smatch match;
    return std::regex_match(arg, match, line) && match[1] == message;
}

TEST(ApplicationHandOver, EveryKindOfExceptionIsLoggedAndSwallowed) {
    EXPECT_THAT(ErrorLoggedFor([] { throw std::runtime_error("no window"); }),
                IsErrorLine(std::string("Unhandled exception in Application: no window")));
    EXPECT_THAT(ErrorLoggedFor([] { throw "atlas broken"; }),
                IsErrorLine(std::string("Unhandled exception in Application: atlas broken")));
    EXPECT_THAT(ErrorLoggedFor([] { throw static_cast<const char*>(nullptr); }),
                IsErrorLine(std::string("Unhandled exception in Application: ")));
    EXPECT_THAT(ErrorLoggedFor([] { throw 42; }),
                IsErrorLine(std::string("Unknown exeption in Application.")));
}

TEST(ApplicationHandOver, GameThatReturnsLogsNothing) {
    bool ran = false;
    EXPECT_EQ(ErrorLoggedFor([&ran] { ran = true; }), "");
    EXPECT_TRUE(ran);
}

}  // namespace
