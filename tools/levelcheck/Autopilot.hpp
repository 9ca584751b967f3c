#pragma once

#include "levelcheck/LevelSimulation.hpp"

// A simple player for LevelSimulation: it holds right and jumps when the ground ends ahead,
// when a wall rises ahead, or when it has stopped moving. Levels of the default world are
// laid out so that this naive play finishes them; that keeps their jumps within easy reach.
class Autopilot {
public:
    // How far beyond the player's front edge it looks for a missing floor or a wall, in game
    // units.
    static constexpr float lookAhead = 8.0f;

    HeldKeys decide(const LevelSimulation& simulation);

private:
    float lastX = 0.0f;
    int stillFrames = 0;
};
