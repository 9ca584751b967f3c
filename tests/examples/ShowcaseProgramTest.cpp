// Runs the built example programs as a user does, and keeps README.md's minimal program in
// step with the one the build compiles.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/Command.hpp"

namespace {

namespace fs = std::filesystem;

using Result = test_support::CommandResult;
using test_support::Contains;
using test_support::RunCommand;

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string showcase = test_support::ShellQuoted(ORKA_SHOWCASE_PATH);

TEST(ShowcaseProgramTest, ExplainsItselfAndRefusesWrongUsage) {
    const Result help = RunCommand(showcase + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.output, "usage: showcase [--frames N]")) << help.output;
    EXPECT_TRUE(Contains(help.output, "Arrow keys orbit the camera; Escape quits.")) << help.output;

    const Result frames = RunCommand(showcase + " --frames many");
    EXPECT_EQ(frames.exitCode, 2);
    EXPECT_TRUE(Contains(frames.output,
                         "showcase: --frames needs a whole number from 1 to 1000000000, not "
                         "'many'\nusage: showcase"))
        << frames.output;
    const Result unknown = RunCommand(showcase + " --fullscreen");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(Contains(unknown.output, "showcase: unknown argument '--fullscreen'"))
        << unknown.output;
}

TEST(ShowcaseProgramTest, RunsSomeFramesWritesTheirPictureAndStatistics) {
    const fs::path picture = "showcase-program-test.png";  // in the build's tests folder
    fs::remove(picture);
    const Result result =
        RunCommand(showcase + " --frames 3 --stats --screenshot " + picture.string());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(Contains(result.output, "showcase: wrote " + picture.string())) << result.output;
    EXPECT_TRUE(Contains(result.output, "showcase stats: frame=2 drawCalls=12 ")) << result.output;
    EXPECT_GT(fs::file_size(picture), 1000u);
    fs::remove(picture);
}

TEST(ShowcaseProgramTest, SaysSoWhenThereIsNoDisplay) {
    const Result result = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 " +
                                     showcase + " --frames 1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.output, "showcase: cannot open a window")) << result.output;
}

// Window close requests and SIGTERM both reach SDL as a quit event: the program must end its
// loop and return 0 rather than crash.
TEST(MinimalProgramTest, RunsUntilAskedToQuit) {
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        execl(ORKA_MINIMAL_PATH, "minimal", nullptr);
        _exit(127);
    }
    close(output[1]);
    // The engine announces itself once the window and its GL context exist.
    std::string said;
    char buffer[256];
    ssize_t got = 0;
    while (!Contains(said, "orka version") && (got = read(output[0], buffer, sizeof buffer)) > 0) {
        said.append(buffer, static_cast<size_t>(got));
    }
    EXPECT_TRUE(Contains(said, "orka version")) << said;
    // SDL has set up its signal handlers by now: the signal becomes a quit event, whenever in
    // the frame loop it comes.
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(output[0]);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(MinimalProgramTest, ReadmeShowsExactlyTheProgramTheBuildCompiles) {
    const fs::path source(ORKA_SOURCE_DIR);
    const std::string readme = readFile(source / "README.md");
    const size_t section = readme.find("\n## Using the engine\n");
    ASSERT_NE(section, std::string::npos);
    const std::string fence = "```cpp\n";
    const size_t begin = readme.find(fence, section);
    ASSERT_NE(begin, std::string::npos);
    const size_t end = readme.find("```\n", begin + fence.size());
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(readme.substr(begin + fence.size(), end - begin - fence.size()),
              readFile(source / "examples/minimal/main.cpp"));
}

}  // namespace
