#pragma once

// How the game plays where a world asks for more than its plain physics: the player's walking,
// jumping and the camera. Plain values, read from the world's files by `LevelReader`.

/// How the player walks when its tile type says so ("walk"): its speed is steered towards the
/// top speed while a direction is held and towards rest otherwise, at rates given as the time
/// a change from rest to full speed (or back) takes. A time of 0 changes at once.
struct WalkFeel {
    float speed = 0.0f;              ///< top speed, game units per second
    float accelerateTime = 0.1f;     ///< seconds from rest to top speed, on the ground
    float stopTime = 0.05f;          ///< seconds from top speed to rest, on the ground
    float airAccelerateTime = 0.1f;  ///< the same in the air (defaults to the ground's)
    float airStopTime = 0.05f;
};

/// How the player jumps when its tile type says so ("jump"): a jump held to its top rises
/// `height` and comes down to the height it left after `airTime`, the whole flight; letting the
/// key go while rising ends the rise `releasedHeight` later. With a `fallTime` the way down takes
/// that long and the rise the rest, each under its own gravity; without, both take half.
struct JumpFeel {
    float height = 0.0f;          ///< game units
    float airTime = 0.0f;         ///< seconds, from leaving the ground to landing at its height
    float releasedHeight = 0.0f;  ///< game units; equal to `height` when not given
    /// Seconds from the top of a held jump down to its starting height; negative when not given
    /// (half of `airTime`). Less than half falls faster than it rose.
    float fallTime = -1.0f;
    /// Each jump needs a new press of the key: holding it through a landing jumps no more (a
    /// press shortly before landing still counts).
    bool freshPress = false;
    /// Seconds after walking off an edge during which the air jump is still there; negative
    /// when not given: it stays until the next landing.
    float edgeGrace = -1.0f;

    /// Seconds of the way down and of the way up.
    float FallTime() const { return fallTime < 0.0f ? 0.5f * airTime : fallTime; }
    float RiseTime() const { return airTime - FallTime(); }
    // Without a fall time the formulas stay those of half the air time each way, written as
    // before so that old worlds replay their scripts to the bit.
    /// Gravity the player rises with, units per second squared (downwards, positive).
    float Gravity() const {
        if (fallTime < 0.0f) return 8.0f * height / (airTime * airTime);
        return 2.0f * height / (RiseTime() * RiseTime());
    }
    /// Gravity the player falls with: the rising one unless `fallTime` says otherwise.
    float FallGravity() const {
        if (fallTime < 0.0f) return Gravity();
        return 2.0f * height / (fallTime * fallTime);
    }
    /// Upward speed a jump starts with, units per second.
    float StartSpeed() const {
        if (fallTime < 0.0f) return 4.0f * height / airTime;
        return 2.0f * height / RiseTime();
    }
    /// Downward speed a held jump comes back to its height with, units per second.
    float LandingSpeed() const {
        if (fallTime < 0.0f) return StartSpeed();
        return 2.0f * height / fallTime;
    }
};

/// How a level's camera follows the player, when the level asks for more than the fixed view
/// ("camera"): it leads in the walking direction, moves up only once the player leaves a band
/// around its height (down at once), and eases towards where it should be.
struct CameraFeel {
    float lead = 60.0f;  ///< game units ahead of the player, in the direction it walks
    float band = 40.0f;  ///< game units above and below the view's centre the player may move
    float ease = 0.3f;   ///< seconds in which the camera closes about two thirds of a gap
};
