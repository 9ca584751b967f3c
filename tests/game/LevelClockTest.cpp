#include "game/LevelClock.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {

TEST(LevelClock, ShowsMinutesSecondsAndTenthsCutOffAsAStopwatchDoes) {
    const std::pair<double, const char*> table[] = {
        {0.0, "0:00.0"},
        {0.09, "0:00.0"},
        {59.95, "0:59.9"},  // not rounded up into a minute
        {61.04, "1:01.0"},
        {600.0, "10:00.0"},
        {3725.5, "62:05.5"},  // minutes do not roll over into hours
        {-3.0, "0:00.0"},
        {std::nan(""), "0:00.0"},
        {std::numeric_limits<double>::max(), "16666666:40.0"},
    };
    for (const auto& [seconds, shown] : table) {
        EXPECT_EQ(LevelClock::Format(seconds), shown) << seconds;
    }
}
}  // namespace
