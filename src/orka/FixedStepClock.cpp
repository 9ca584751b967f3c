#include "orka/FixedStepClock.hpp"

#include <algorithm>

namespace orka {

FixedStepClock::FixedStepClock(float stepSeconds, int maxSteps)
    : stepSeconds(stepSeconds > 0.0f ? stepSeconds : 1.0f / 60.0f),
      maxSteps(std::max(maxSteps, 1)) {}

int FixedStepClock::advance(float frameSeconds) {
    // Float rounding must not lose a step: frames that add up to whole steps run them all.
    const float tolerance = stepSeconds * 1e-3f;
    pending += std::max(frameSeconds, 0.0f);
    int steps = 0;
    while (pending >= stepSeconds - tolerance) {
        if (steps == maxSteps) {
            pending = 0.0f;
            break;
        }
        ++steps;
        pending -= stepSeconds;
    }
    return steps;
}

float FixedStepClock::fraction() const {
    return std::clamp(pending / stepSeconds, 0.0f, 1.0f);
}

}  // namespace orka
