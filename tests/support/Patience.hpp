#pragma once

#include <chrono>

namespace test_support {

/// How long a process or window test waits for something that should come: long enough for a
/// sanitizer build of the game on a loaded machine, where one frame of software GL can take a
/// large part of a second. Tests wait for conditions, never for a time.
constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(60);

}  // namespace test_support
