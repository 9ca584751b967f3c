// Installs the engine from this build into a temporary prefix, as a user would, and builds
// and runs a program outside the tree against it: once found by CMake, once by pkg-config.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "support/Command.hpp"
#include "support/Patience.hpp"
#include "support/Sanitizers.hpp"

namespace {

namespace fs = std::filesystem;

using test_support::Contains;
using test_support::RunCommand;

const fs::path fixture = ORKA_INSTALL_FIXTURE_DIR;  // tests/install/consumer
// The drawn frame: the fixture's red quad covers the window.
const std::string expectedFrame = std::string("orka ") + ORKA_VERSION + " drew centre 255 0 0";

std::string quoted(const fs::path& path) {
    return test_support::ShellQuoted(path.string());
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The compiler of this build, behind its launcher (ccache) when this build has one.
std::string compiler() {
    const std::string launcher = ORKA_CXX_COMPILER_LAUNCHER;
    return (launcher.empty() ? "" : launcher + " ") + quoted(ORKA_CXX_COMPILER);
}

struct ProgramRun {
    bool exited = false;  ///< false when it had to be killed after the patience ran out
    int exitCode = -1;
    std::string output;
};

// Runs `program` with its output in `log`, waiting for it to end as process tests do.
ProgramRun runProgram(const fs::path& program, const fs::path& log) {
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        execl(program.c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    ProgramRun run;
    int status = 0;
    run.exited = test_support::WaitUntil([&] { return waitpid(child, &status, WNOHANG) == child; });
    if (!run.exited) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.output = readFile(log);
    return run;
}

class InstallTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orka-install-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch = pattern;
        prefix = scratch / "prefix";
        const auto install = RunCommand(quoted(ORKA_CMAKE_COMMAND) + " --install " +
                                        quoted(ORKA_BUILD_DIR) + " --prefix " + quoted(prefix));
        ASSERT_EQ(install.exitCode, 0) << install.output;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    fs::path scratch;
    fs::path prefix;
};

TEST_F(InstallTest, InstallsPublicHeadersOnlyAndNothingNamesTheBuildOrSourceTree) {
    EXPECT_TRUE(fs::is_regular_file(prefix / "include/orka/SDLRenderer.hpp"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "include/orka/Version.hpp"));
    for (const char* internal :
         {"JsonNesting.hpp", "ShaderCompile.hpp", "ShaderSources.hpp", "TextureLoader.hpp",
          "X11Desktop.hpp", "X11WindowWatch.hpp", "GuiBinding.hpp", "BatchBufferPool.hpp",
          "GLName.hpp", "RendererResources.hpp", "SpriteAtlas.cpp"}) {
        EXPECT_FALSE(fs::exists(prefix / "include/orka" / internal)) << internal;
    }
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(prefix)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        // An instrumented library keeps its sources' full paths in the sanitizers' reports
        // (g++ maps no prefix there); such a build is for testing, not for installing.
        if (test_support::kAddressSanitizer && entry.path().extension() == ".a") continue;
        const std::string text = readFile(entry.path());
        EXPECT_FALSE(Contains(text, ORKA_SOURCE_DIR)) << entry.path();
        EXPECT_FALSE(Contains(text, ORKA_BUILD_DIR)) << entry.path();
    }
    EXPECT_GT(files, 25);
}

// A user's program includes the engine's headers, not GL's or X11's: those would come with
// their macros (X11's None, Bool, Status) and tie the user to the engine's GL loader.
TEST_F(InstallTest, NoInstalledHeaderIncludesGlOrX11Headers) {
    const std::regex forbidden(R"(#\s*include\s*[<"](GL/glew\.h|GL/gl\.h|X11/[^>"]*)[>"])");
    int headers = 0;
    for (const auto& entry : fs::recursive_directory_iterator(prefix / "include")) {
        if (!entry.is_regular_file()) continue;
        ++headers;
        const std::string text = readFile(entry.path());
        std::smatch found;
        EXPECT_FALSE(std::regex_search(text, found, forbidden))
            << entry.path() << " includes " << found.str();
    }
    EXPECT_GT(headers, 20);
}

// A user who builds with strict warnings sees none from the engine's headers, found with a
// plain -I as pkg-config gives them; only the libraries the engine builds on come as system
// headers. Each header alone, so that none leans on another included before it.
TEST_F(InstallTest, EveryInstalledHeaderCompilesWithoutWarningsUnderStrictFlags) {
    const auto dependencies =
        RunCommand("pkg-config --cflags-only-I sdl2 SDL2_image SDL2_mixer glew imgui");
    ASSERT_EQ(dependencies.exitCode, 0) << dependencies.output;
    std::string systemIncludes =
        std::regex_replace(dependencies.output, std::regex(R"((^|\s)-I)"), "$1-isystem ");
    systemIncludes.erase(systemIncludes.find_last_not_of(" \n") + 1);
    const std::string flags =
        " -std=c++17 -fsyntax-only -Werror -Wall -Wextra -Wpedantic -Wshadow -Wconversion "
        "-Wsign-conversion -I" +
        quoted(prefix / "include") + " " + systemIncludes;
    int headers = 0;
    for (const auto& entry : fs::directory_iterator(prefix / "include/orka")) {
        if (entry.path().extension() != ".hpp") continue;
        ++headers;
        const fs::path source = scratch / ("include-" + entry.path().stem().string() + ".cpp");
        std::ofstream(source) << "#include <orka/" << entry.path().filename().string() << ">\n";
        const auto compile = RunCommand(compiler() + " " + quoted(source) + flags);
        EXPECT_EQ(compile.exitCode, 0) << entry.path().filename() << "\n" << compile.output;
    }
    EXPECT_GT(headers, 20);
}

TEST_F(InstallTest, ProgramFoundWithFindPackageBuildsAndDraws) {
    const fs::path build = scratch / "cmake-build";
    const std::string launcher = ORKA_CXX_COMPILER_LAUNCHER;
    const auto configure =
        RunCommand(quoted(ORKA_CMAKE_COMMAND) + " -S " + quoted(fixture) + " -B " + quoted(build) +
                   " -DCMAKE_PREFIX_PATH=" + quoted(prefix) +
                   " -DCMAKE_CXX_COMPILER=" + quoted(ORKA_CXX_COMPILER) +
                   (launcher.empty() ? "" : " -DCMAKE_CXX_COMPILER_LAUNCHER=" + launcher));
    ASSERT_EQ(configure.exitCode, 0) << configure.output;
    const auto compile = RunCommand(quoted(ORKA_CMAKE_COMMAND) + " --build " + quoted(build));
    ASSERT_EQ(compile.exitCode, 0) << compile.output;

    const ProgramRun run = runProgram(build / "consumer", scratch / "consumer.log");
    ASSERT_TRUE(run.exited) << run.output;
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, expectedFrame)) << run.output;
}

TEST_F(InstallTest, ProgramBuiltWithPkgConfigFlagsBuildsAndDraws) {
    const std::string pkgConfig =
        "PKG_CONFIG_PATH=" + quoted(prefix / ORKA_INSTALL_LIBDIR / "pkgconfig") + " pkg-config ";
    const auto version = RunCommand(pkgConfig + "--modversion orka");
    EXPECT_EQ(version.output, std::string(ORKA_VERSION) + "\n");
    const auto flags = RunCommand(pkgConfig + "--cflags --libs orka");
    ASSERT_EQ(flags.exitCode, 0) << flags.output;

    const fs::path program = scratch / "pkg-config-program";
    std::string line = flags.output;
    line.erase(line.find_last_not_of(" \n") + 1);
    const auto compile = RunCommand(compiler() + " -std=c++17 " + quoted(fixture / "main.cpp") +
                                    " -o " + quoted(program) + " " + line);
    ASSERT_EQ(compile.exitCode, 0) << compile.output;

    const ProgramRun run = runProgram(program, scratch / "pkg-config-program.log");
    ASSERT_TRUE(run.exited) << run.output;
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, expectedFrame)) << run.output;
}

}  // namespace
