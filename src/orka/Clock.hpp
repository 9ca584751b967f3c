#pragma once

/// \file
/// A stopwatch for game code: seconds since it started or was restarted.

#include <chrono>

namespace orka {

/// Measures elapsed time with a monotonic clock (never set back by the system's time). Starts
/// when made. A plain value; any thread.
class Clock {
public:
    /// Starts measuring now.
    Clock() : start(std::chrono::steady_clock::now()) {}

    /// Seconds since it was made or last restarted.
    double getElapsedSeconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    /// Starts again from 0; returns the seconds elapsed until now.
    double restart() {
        const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - start).count();
        start = now;
        return elapsed;
    }

private:
    std::chrono::steady_clock::time_point start;
};

}  // namespace orka
