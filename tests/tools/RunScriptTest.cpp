// The README's run command (scripts/run.sh) on a machine without a display and with a wrong
// option: both are answered at once, before anything is installed or built.
#include <gtest/gtest.h>

#include <string>

#include "support/Command.hpp"

namespace {

const std::string runScript =
    test_support::ShellQuoted(std::string(CONTENT_DATA_DIR) + "/../scripts/run.sh");

using Result = test_support::CommandResult;
using test_support::Contains;

// Standard input is empty: the script must not wait for a player.
Result run(const std::string& command) {
    return test_support::RunCommand(command + " </dev/null");
}

// No display at all, or an empty one: the same answer.
const char* const withoutDisplay[] = {"env -u DISPLAY -u WAYLAND_DISPLAY -u PLATFORMER_XVFB",
                                      "env DISPLAY= WAYLAND_DISPLAY= PLATFORMER_XVFB="};

}  // namespace

TEST(RunScriptTest, WithoutADisplayItSaysSoAndOffersXvfbInsteadOfBuilding) {
    for (const char* environment : withoutDisplay) {
        const Result result = run(std::string(environment) + " bash " + runScript);
        EXPECT_EQ(result.exitCode, 1) << environment;
        EXPECT_TRUE(Contains(result.output, "No display found (DISPLAY is not set)"))
            << result.output;
        EXPECT_TRUE(Contains(result.output, "bash scripts/run.sh --xvfb")) << result.output;
        // install-deps.sh always reports on the packages, and the game greets with its prompt.
        EXPECT_FALSE(Contains(result.output, "packages")) << "nothing is installed";
        EXPECT_FALSE(Contains(result.output, "Enter you desired world")) << "nothing is run";
    }
}

TEST(RunScriptTest, AWrongOptionIsNamedWithTheUsage) {
    const Result wrong = run("bash " + runScript + " --fullscreen");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(Contains(wrong.output, "run.sh: unknown option '--fullscreen'")) << wrong.output;
    EXPECT_TRUE(Contains(wrong.output, "usage: bash scripts/run.sh [--xvfb]")) << wrong.output;

    const Result help = run("bash " + runScript + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.output, "usage: bash scripts/run.sh [--xvfb]")) << help.output;
}
