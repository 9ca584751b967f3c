#pragma once

#include <memory>
#include <string>

namespace orka {
class SpriteAtlas;
}

/// Measures how a world's player moves, through the game's own scene and physics: on a flat
/// floor of the world's ground, built in a scratch folder from the player's and the ground's
/// tile-type files, it walks, stops, jumps (held, tapped, running, running and let go of the
/// arrow at the top) and jumps again and again
/// against a wall of twelve tiles, with keys sent as a player would, in fixed 1/60 s updates.
///
/// Units: game units (21 to a tile) and seconds.
class FeelMeter {
public:
    /// What was measured.
    struct Feel {
        float walkSpeed =
            0.0f;  ///< units per second covered in the last 0.5 s of 1.5 s walking right
        float stopDistance = 0.0f;         ///< units walked after the key went up
        float stopSeconds = 0.0f;          ///< from the key going up to rest
        float jumpHeight = 0.0f;           ///< rise of a jump from standing, the key held
        float jumpSeconds = 0.0f;          ///< its time in the air, until it stands again
        float tappedJumpHeight = 0.0f;     ///< rise of a jump whose key is held for two updates
        float runningJumpHeight = 0.0f;    ///< rise of a jump at walking speed
        float runningJumpDistance = 0.0f;  ///< how far it carries before it lands again
        float airDrift =
            0.0f;  ///< units a running jump goes on once the arrow is let go at its top
        float wallClimb = 0.0f;  ///< highest rise jumping again and again against a wall

        /// The measures as a few lines, each starting with "<world>: ".
        std::string ToString(const std::string& world) const;
    };

    /// Measures the player of `world`'s first level, standing on the solid tile under it there
    /// (or the level's first solid static tile). Run in the world's folder, with `atlas`
    /// loaded. Throws `std::runtime_error` when the level has no player or no ground to copy,
    /// or a file cannot be built; needs no other scene manager alive.
    static Feel Measure(const std::string& world, const std::shared_ptr<orka::SpriteAtlas>& atlas);
};
