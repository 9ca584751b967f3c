// The README's run command (scripts/run.sh) on a machine without a display and with a wrong
// option: both are answered at once, before anything is installed or built.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

const std::string runScript = std::string(CONTENT_DATA_DIR) + "/../scripts/run.sh";

struct Result {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

Result run(const std::string& command) {
    Result result;
    FILE* pipe = popen((command + " 2>&1 </dev/null").c_str(), "r");
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

// No display at all, or an empty one: the same answer.
const char* const withoutDisplay[] = {"env -u DISPLAY -u WAYLAND_DISPLAY -u PLATFORMER_XVFB",
                                      "env DISPLAY= WAYLAND_DISPLAY= PLATFORMER_XVFB="};

}  // namespace

TEST(RunScriptTest, WithoutADisplayItSaysSoAndOffersXvfbInsteadOfBuilding) {
    for (const char* environment : withoutDisplay) {
        const Result result = run(std::string(environment) + " bash " + runScript);
        EXPECT_EQ(result.exitCode, 1) << environment;
        EXPECT_TRUE(contains(result.output, "No display found (DISPLAY is not set)"))
            << result.output;
        EXPECT_TRUE(contains(result.output, "bash scripts/run.sh --xvfb")) << result.output;
        // install-deps.sh always reports on the packages, and the game greets with its prompt.
        EXPECT_FALSE(contains(result.output, "packages")) << "nothing is installed";
        EXPECT_FALSE(contains(result.output, "Enter you desired world")) << "nothing is run";
    }
}

TEST(RunScriptTest, AWrongOptionIsNamedWithTheUsage) {
    const Result wrong = run("bash " + runScript + " --fullscreen");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(contains(wrong.output, "run.sh: unknown option '--fullscreen'")) << wrong.output;
    EXPECT_TRUE(contains(wrong.output, "usage: bash scripts/run.sh [--xvfb]")) << wrong.output;

    const Result help = run("bash " + runScript + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(contains(help.output, "usage: bash scripts/run.sh [--xvfb]")) << help.output;
}
