#pragma once

#include <chrono>
#include <thread>

namespace test_support {

/// How long a process or window test waits for something that should come: long enough for a
/// sanitizer build of the game on a loaded machine, where one frame of software GL can take a
/// large part of a second. Tests wait for conditions, never for a time.
constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(60);

/// How often a waiting test looks again: often enough not to slow a test down, seldom enough
/// to leave the machine to the program under test.
constexpr std::chrono::milliseconds kPollInterval = std::chrono::milliseconds(50);

/// Asks `condition` every `interval` until it holds (true) or `limit` has passed (false). The
/// one place where tests pause: every wait of the process and window tests goes through it.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = kPatience,
               std::chrono::milliseconds interval = kPollInterval) {
    for (auto deadline = std::chrono::steady_clock::now() + limit;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(interval);
    }
}

}  // namespace test_support
