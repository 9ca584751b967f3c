// The bat-and-ball example as an engine user gets it: the engine installed from this build into
// a temporary prefix, the example's folder configured and built outside the tree against it,
// and the game played on a private X server with real key events.
#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "e2e/Screenshot.hpp"
#include "support/Command.hpp"
#include "support/Patience.hpp"
#include "support/PrivateXServer.hpp"

namespace {

namespace fs = std::filesystem;

using game::test::Picture;
using test_support::RunCommand;
using test_support::WaitUntil;

std::string quoted(const fs::path& path) {
    return test_support::ShellQuoted(path.string());
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A program started in `workDir` on `display`, its output in `log`; killed if still running
// when the object goes.
class RunningProgram {
public:
    RunningProgram(const fs::path& program, const fs::path& workDir, const std::string& display,
                   const fs::path& log) {
        pid = fork();
        if (pid != 0) return;
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        setenv("DISPLAY", display.c_str(), 1);
        // A silent device of SDL's own: the sounds made in code are made and played.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (chdir(workDir.c_str()) == 0) execl(program.c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    ~RunningProgram() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    /// Waits for the program to end; its exit code, or -1 when it did not end normally in time.
    int WaitForExit() {
        int status = 0;
        if (!WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid = -1;
};

// A PNG file as an RGB picture; empty when it cannot be read.
Picture LoadPng(const fs::path& path) {
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> loaded(IMG_Load(path.c_str()),
                                                                    &SDL_FreeSurface);
    if (!loaded) return {};
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgb(
        SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB24, 0), &SDL_FreeSurface);
    if (!rgb) return {};
    Picture picture{rgb->w, rgb->h, {}};
    for (int y = 0; y < rgb->h; ++y) {
        const auto* row = static_cast<const unsigned char*>(rgb->pixels) + y * rgb->pitch;
        picture.rgb.insert(picture.rgb.end(), row, row + rgb->w * 3);
    }
    return picture;
}

// The middle row (from the top) of the player's orange bat in the left eighth of the picture,
// where only that bat is orange; -1 when no orange is there.
int PlayerBatMiddle(const Picture& picture) {
    int first = -1, last = -1;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width / 8; ++x) {
            const unsigned char* p = picture.At(x, y);
            if (p[0] > 200 && p[1] > 100 && p[1] < 230 && p[2] < 80) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? -1 : (first + last) / 2;
}

class BatballInstalledTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orka-batball-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch = pattern;
        const auto install =
            RunCommand(quoted(ORKA_CMAKE_COMMAND) + " --install " + quoted(ORKA_BUILD_DIR) +
                       " --prefix " + quoted(scratch / "prefix"));
        ASSERT_EQ(install.exitCode, 0) << install.output;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    fs::path scratch;
};

TEST_F(BatballInstalledTest, BuildsAgainstTheInstalledEngineAndMovesTheBatByTheKeys) {
    const fs::path build = scratch / "build";
    const std::string launcher = ORKA_CXX_COMPILER_LAUNCHER;
    const auto configure =
        RunCommand(quoted(ORKA_CMAKE_COMMAND) + " -S " + quoted(ORKA_BATBALL_DIR) + " -B " +
                   quoted(build) + " -DCMAKE_PREFIX_PATH=" + quoted(scratch / "prefix") +
                   " -DCMAKE_CXX_COMPILER=" + quoted(ORKA_CXX_COMPILER) +
                   (launcher.empty() ? "" : " -DCMAKE_CXX_COMPILER_LAUNCHER=" + launcher));
    ASSERT_EQ(configure.exitCode, 0) << configure.output;
    const auto compile = RunCommand(quoted(ORKA_CMAKE_COMMAND) + " --build " + quoted(build));
    ASSERT_EQ(compile.exitCode, 0) << compile.output;

    game::test::PrivateXServer server;
    const fs::path log = scratch / "batball.log";
    RunningProgram game(build / "batball", scratch, server.display, log);
    const Window window = server.WaitForWindow();
    ASSERT_NE(window, 0u) << readFile(log);
    const auto batMiddle = [&] {
        const XWindowAttributes size = server.Attributes(window);
        return PlayerBatMiddle(
            Picture::FromXPixels(server.AllPixels(window), size.width, size.height));
    };

    // The bat starts in the middle of the 600 pixels; held Up takes it to the top, where it
    // stops (its middle 45 pixels down).
    int middle = -1;
    ASSERT_TRUE(WaitUntil([&] { return (middle = batMiddle()) >= 0; })) << readFile(log);
    EXPECT_NEAR(middle, 300, 5);
    ASSERT_TRUE(server.XdotoolOver(window, 400, 300, "keydown Up"));
    EXPECT_TRUE(WaitUntil([&] { return (middle = batMiddle()) >= 0 && middle < 50; })) << middle;
    ASSERT_TRUE(server.Xdotool("keyup Up key F12"));

    // F12 saves the window's picture in the working folder; it shows the bat at the top too.
    const fs::path shot = scratch / "batball-1.png";
    ASSERT_TRUE(WaitUntil([&] {
        return test_support::Contains(readFile(log), "batball: saved batball-1.png");
    })) << readFile(log);
    const Picture picture = LoadPng(shot);
    EXPECT_EQ(picture.width, 800);
    EXPECT_EQ(picture.height, 600);
    EXPECT_NEAR(PlayerBatMiddle(picture), 45, 5);

    ASSERT_TRUE(server.Xdotool("key Escape"));
    EXPECT_EQ(game.WaitForExit(), 0) << readFile(log);
}

}  // namespace
