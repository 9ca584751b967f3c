#include "Autopilot.hpp"

#include <cmath>

namespace {
constexpr float halfBox = 10.0f;
constexpr float standingHeight = 20.0f;  // centre above the row it stands on
constexpr float stillDistance = 0.05f;   // less than this per frame counts as stopped
constexpr int stillFramesBeforeJump = 4;
}  // namespace

HeldKeys Autopilot::decide(const LevelSimulation& simulation) {
    const b2Vec2 position = simulation.playerPosition();
    const float grid = LevelSimulation::gridSize;
    const int feetRow = static_cast<int>(std::lround((position.y - standingHeight) / grid));
    const int aheadColumn =
        static_cast<int>(std::floor((position.x + halfBox + lookAhead + grid / 2.0f) / grid));
    const bool floorEnds =
        !simulation.solidAt(aheadColumn, feetRow) && !simulation.solidAt(aheadColumn, feetRow - 1);
    const bool wallAhead = simulation.solidAt(aheadColumn, feetRow + 1);
    stillFrames = std::fabs(position.x - lastX) < stillDistance ? stillFrames + 1 : 0;
    lastX = position.x;

    HeldKeys keys;
    keys.right = true;
    keys.jump = floorEnds || wallAhead || stillFrames >= stillFramesBeforeJump;
    return keys;
}
