#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/LevelProgress.hpp"
#include "levelcheck/LevelSearch.hpp"

class ReachPicture;
class Scene;
namespace orka {
class SpriteAtlas;
}

/// Proves the levels of a world finishable without a hand-written script: searches input for
/// each level through the game's own scene (`LevelSearch`), writes what it found as a script in
/// the format `levelcheck --play` reads, and counts a level solved only when the replay of that
/// file, as `--play` replays it, reaches the goal.
///
/// The levels are searched side by side, one process per processor, and reported in the order
/// the game plays them. The same world and budget give the same scripts on every run.
class WorldSolver {
public:
    struct Settings {
        /// Where "<level file stem>.txt" is written for each level solved; made when missing.
        std::string folder;
        /// Wall-clock time each level's search may take, seconds.
        double budgetSeconds = 120.0;
        /// When not empty, a picture of each level with the cells reached tinted is written
        /// beside it as "<its stem>-<level file stem>.png".
        std::string reachPicture;
        /// The atlas the pictures are drawn with: "<atlasName>.json" and ".png".
        std::string atlasName;
        /// Searches run at the same time; 0 for one per processor.
        int workers = 0;
    };

    /// How one level went.
    struct LevelSolve {
        std::string levelFile;
        /// The script written (when a way was found).
        std::string scriptFile;
        /// The search found a way to the goal.
        bool found = false;
        /// The replay of the script written reached the goal, after `frames` updates.
        bool solved = false;
        int frames = 0;
        double seconds = 0.0;
        std::int64_t states = 0;
        LevelSearch::Cell nearest;
        /// Why the level could not be searched or its script not replayed; empty otherwise.
        std::string error;
        /// The collectibles taken and the player's returns in the replay of the script.
        LevelProgress progress;

        /// One line, such as "sv1.json: solved: goal after 412 frames (out/sv1.txt), found in
        /// 3.2 s" (with the tally of `levelcheck --play`, ", collected 2 of 5, 0 returns", for
        /// a level with collectibles or returns) or "sx1.json: no way to the goal found in 120.0 s (12,345 states searched;
        /// nearest: column 14, row 2)".
        std::string ToString() const;
    };
    using Report = std::function<void(const LevelSolve&)>;

    /// `levelFiles` are the world's levels in the order the game plays them (as
    /// `WorldChecker::GetLevelFiles` finds them); the first must be "<worldName>1.json".
    WorldSolver(std::string worldName, std::vector<std::string> levelFiles, Settings settings);

    /// Solves every level with `atlas` as the game's sprite atlas; `report` is called with each
    /// level, in play order, as soon as it and the levels before it are done. Needs a world that
    /// builds (check it first), the renderer for the atlas and the pictures, and no other scene
    /// manager alive. Throws when the folder cannot be made or a file cannot be written.
    std::vector<LevelSolve> Solve(const std::shared_ptr<orka::SpriteAtlas>& atlas,
                                  const Report& report) const;

    /// Searches level `level` (counted from 0 in play order) of world `worldName` in `scene`,
    /// the scene manager's scene, for `budgetSeconds`, in this process. Throws when the level
    /// cannot be built.
    static LevelSearch::Result SearchLevel(Scene& scene, const std::string& worldName,
                                           std::size_t level, double budgetSeconds);

private:
    /// What a search process sends back.
    struct Searched {
        bool failed = false;
        std::string error;
        LevelSearch::Result result;
    };

    LevelSolve Judge(Scene& scene, std::size_t level, const Searched& searched) const;
    std::string WriteScript(const std::string& levelFile, const LevelSearch::Result& result) const;
    void DrawReach(const ReachPicture& picture, const LevelSolve& solve,
                   const LevelSearch::Result& result) const;

    std::string worldName;
    std::vector<std::string> levelFiles;
    Settings settings;
};
