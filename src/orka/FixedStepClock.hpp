#pragma once

namespace orka {

/// Turns frame times into fixed steps: frame times add up, and each whole `stepSeconds` of them
/// is one step, so the simulation runs at the same pace at any frame rate (a 144 Hz display gets
/// a step every 2.4 frames, a 30 Hz one two a frame). A frame never runs more than
/// `maxSteps` steps: the rest of a longer stall is dropped rather than caught up in a burst.
/// `fraction` tells how far the last frame is past its last step, for drawing moving things
/// between their last two steps. Plain value; `SDLRenderer::fixedUpdate` uses one.
class FixedStepClock {
public:
    /// `stepSeconds` more than 0; `maxSteps` 1 or more.
    explicit FixedStepClock(float stepSeconds = 1.0f / 60.0f, int maxSteps = 5);

    /// Adds a frame of `frameSeconds` (negative counts as 0) and returns how many steps are due.
    int advance(float frameSeconds);
    /// How far past its last step the time given so far is, as a share of a step (0 to 1).
    float fraction() const;
    /// Forgets the time not yet stepped (a new start: the next frame begins a step afresh).
    void reset() { pending = 0.0f; }
    /// Length of one step, seconds.
    float getStepSeconds() const { return stepSeconds; }
    /// Most steps one frame runs.
    int getMaxSteps() const { return maxSteps; }

private:
    float stepSeconds;
    int maxSteps;
    float pending = 0.0f;  // seconds given and not yet stepped
};

}  // namespace orka
