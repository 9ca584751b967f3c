// The problem file levelimport --watch leaves beside a level: shown only while it is one, and
// only while the watcher that wrote it runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "game/ImportProblem.hpp"
#include "support/ScratchFolder.hpp"

namespace {

using game::test::ScratchFolder;

std::string ProblemText(int pid) {
    return "levelimport problem\npid " + std::to_string(pid) +
           "\nmap tiled/cave.tmx\ntiled/cave.tmx: the map is \"isometric\", not orthogonal\n"
           "tiled/t.tsx: does not exist\n";
}

/// The id of a process that has ended and been reaped.
int EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(ImportProblem, OfALiveWatcherIsReadWithItsMapAndProblems) {
    ScratchFolder folder;
    folder.Write("cave1.json.problem", ProblemText(getpid()));

    const std::optional<ImportProblem> problem = ImportProblem::Read("cave1.json");

    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->map, "tiled/cave.tmx");
    EXPECT_EQ(
        problem->problems,
        "tiled/cave.tmx: the map is \"isometric\", not orthogonal\ntiled/t.tsx: does not exist");
}

TEST(ImportProblem, IsNoneWithoutAFileOfItsFormOrALiveWatcher) {
    ScratchFolder folder;
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"a watcher that has ended", ProblemText(EndedProcess())},
        {"another first line", "problem\npid 1\nmap m.tmx\nm.tmx: bad\n"},
        {"no pid", "levelimport problem\nmap m.tmx\nm.tmx: bad\n"},
        {"a pid that is no number", "levelimport problem\npid x\nmap m.tmx\nm.tmx: bad\n"},
        {"an empty file", ""},
    };
    EXPECT_FALSE(ImportProblem::Read("cave1.json").has_value()) << "no file at all";
    for (const Case& problemFile : cases) {
        folder.Write("cave1.json.problem", problemFile.text);
        EXPECT_FALSE(ImportProblem::Read("cave1.json").has_value()) << problemFile.what;
    }
}

}  // namespace
