#pragma once

#include <string>

/// The game time of the level in play, counted in the scene's fixed steps: it stands still
/// whenever the scene runs no step (a pause, a stall longer than the steps a frame may run) and
/// goes back to 0 at each level start, restart and reload.
class LevelClock {
public:
    /// `stepSeconds` is the game time of one step (`Scene::timeStep`).
    explicit LevelClock(double stepSeconds) : stepSeconds(stepSeconds) {}

    /// Back to 0, for a level that starts now.
    void Restart() { steps = 0; }
    /// One step has begun.
    void Tick() { ++steps; }
    /// Game time since the level started, in seconds.
    double Seconds() const { return static_cast<double>(steps) * stepSeconds; }

    /// `seconds` as "m:ss.t": minutes (as many digits as they need), seconds and tenths. Cut
    /// off, not rounded, as a stopwatch shows it: 59.95 s is "0:59.9". Negative and
    /// not-a-number times read "0:00.0"; more than 10^9 s reads as 10^9 s.
    static std::string Format(double seconds);

private:
    double stepSeconds;
    long long steps = 0;
};
