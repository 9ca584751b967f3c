#include "showcase/Options.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace showcase {
namespace {

TEST(OptionsTest, ReadsEveryOptionAndDefaultsToAnEndlessRun) {
    const Options none = Options::parse({});
    EXPECT_EQ(none.error, "");
    EXPECT_EQ(none.frames, 0);
    EXPECT_EQ(none.screenshotPath, "");
    EXPECT_FALSE(none.printStats);

    const Options all =
        Options::parse({"--frames", "12", "--screenshot", "shot.png", "--stats", "--help"});
    EXPECT_EQ(all.error, "");
    EXPECT_EQ(all.frames, 12);
    EXPECT_EQ(all.screenshotPath, "shot.png");
    EXPECT_TRUE(all.printStats);
    EXPECT_TRUE(all.help);
}

TEST(OptionsTest, RefusesBadFrameCountsMissingValuesAndUnknownArguments) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frames", "0"}, "--frames needs a whole number from 1 to 1000000000, not '0'"},
        {{"--frames", "-3"}, "not '-3'"},
        {{"--frames", "2x"}, "not '2x'"},
        {{"--frames", " 2"}, "not ' 2'"},
        {{"--frames", "99999999999"}, "not '99999999999'"},
        {{"--frames"}, "--frames needs a value"},
        {{"--stats", "--screenshot"}, "--screenshot needs a value"},
        {{"--fast"}, "unknown argument '--fast'"},
        {{"level.json"}, "unknown argument 'level.json'"},
    };
    for (const auto& [arguments, message] : cases) {
        const Options options = Options::parse(arguments);
        EXPECT_NE(options.error.find(message), std::string::npos)
            << "error: '" << options.error << "', expected: '" << message << "'";
    }
}

}  // namespace
}  // namespace showcase
