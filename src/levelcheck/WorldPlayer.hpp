#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/LevelProgress.hpp"

class Scene;
class SceneManager;
namespace orka {
class SpriteAtlas;
}

/// Replays recorded input scripts (`InputScript`) on the levels of a world, one after the other
/// as the game plays them, without a window: a scene driven by hand in fixed 1/60 s updates.
class WorldPlayer {
public:
    /// How the replay went on one level.
    struct LevelPlay {
        std::string levelFile;
        std::string scriptFile;
        bool goalReached = false;
        /// The update in which the goal was reached, or the number of updates run without.
        int frames = 0;
        /// Why the script could not be replayed; empty when it was.
        std::string error;
        /// The collectibles taken and the player's returns when the replay ended.
        LevelProgress progress;

        /// One line about the level, such as "1level2.json: goal reached after 731 frames
        /// (scripts/1level2.txt), collected 3 of 3, 0 returns". Other tools read these lines:
        /// the wording stays as it is.
        std::string ToString() const;
    };

    /// Updates a replay runs after the script's last key event before the level counts as
    /// not finished: 30 s, time to walk the rest of the way to the goal.
    static constexpr int framesAfterScript = 30 * 60;

    /// `levelFiles` are the world's levels in the order the game plays them (as
    /// `WorldChecker::GetLevelFiles` finds them); the first must be "<worldName>1.json".
    WorldPlayer(std::string worldName, std::vector<std::string> levelFiles);

    /// The script for a level: `script` itself when it is a file, or
    /// "<script>/<level file without ".json">.txt" when it is a folder.
    static std::string ScriptFor(const std::string& script, const std::string& levelFile);

    /// Loads the first level with `atlas` as the game's sprite atlas and replays each level's
    /// script on it. A level that is not finished is left for the next one as the game would
    /// after its goal. Needs a world that builds (check it first), the renderer for the
    /// atlas's sprites, and no other scene manager alive. Throws when a level cannot be built.
    std::vector<LevelPlay> Play(const std::string& script,
                                const std::shared_ptr<orka::SpriteAtlas>& atlas) const;

    /// Replays the script for `levelFile` (see `ScriptFor`) on `scene`, whose level in play it
    /// must be, as `Play` does for each level.
    static LevelPlay PlayLevel(Scene& scene, const std::string& script,
                               const std::string& levelFile);
    /// Moves `scene` on to the level after the one in play, as after its goal.
    static void SkipLevel(Scene& scene);
    /// Gives `manager`, a scene manager without a window that must be the only one alive, the
    /// atlas and has its scene load the first level of `worldName`; that scene, owned by
    /// `manager`. Throws when another scene manager is alive or the level cannot be built.
    static Scene& StartWorld(SceneManager& manager, const std::shared_ptr<orka::SpriteAtlas>& atlas,
                             const std::string& worldName);

private:

    std::string worldName;
    std::vector<std::string> levelFiles;
};
