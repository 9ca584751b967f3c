#pragma once

#include <memory>
#include <vector>

class GameObject;

/// How a level is going: the collectibles taken and the times the player was put back.
struct LevelProgress {
    int collected = 0;     ///< collectibles taken
    int collectibles = 0;  ///< collectibles the level has, taken or not
    int returns = 0;       ///< times the player was put back, by a hazard or the death line

    /// The tally of a level's tile objects (`LevelData::objects`). They keep their state when
    /// the level is left, so objects held past a level change still tell how it ended.
    static LevelProgress Of(const std::vector<std::shared_ptr<GameObject>>& objects);
};
