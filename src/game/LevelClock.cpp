#include "game/LevelClock.hpp"

#include <cmath>
#include <cstdio>

namespace {

// A time read back from a file or made of many float steps may sit a hair below a tenth it
// stands for (61.04 is 61.0399...); this much is added before cutting off.
constexpr double kTenthsSlack = 1e-6;
// Longer times (only a file can hold them) are shown as this, which still fits the counter.
constexpr double kLongestShown = 1e9;

}  // namespace

std::string LevelClock::Format(double seconds) {
    // Also false for NaN.
    if (!(seconds > 0.0)) seconds = 0.0;
    if (seconds > kLongestShown) seconds = kLongestShown;
    const long long tenths = static_cast<long long>(std::floor(seconds * 10.0 + kTenthsSlack));
    const long long minutes = tenths / 600;
    const long long wholeSeconds = tenths / 10 % 60;
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", minutes, wholeSeconds, tenths % 10);
    return text;
}
