#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/LevelReader.hpp"

namespace orka {
class SpriteAtlas;
}

/// Checks a whole world before anyone plays it, with the game's own readers, and collects every
/// problem found rather than stopping at the first.
///
/// The levels are the ones the game plays, found by the game's rule: "<world>1.json", then the
/// file after each level's "id" (`LevelManager::FileAfter`) until the world returns to its first
/// level. A level whose "id" cannot be read is taken to carry the number in its file name, so
/// the levels after it are still checked. Every tile-type file the levels use is read once.
///
/// Beyond what `LevelReader` finds in single files, the checker reports sprite numbers the atlas
/// lacks, levels without a player or a goal, two tiles with a physics body on one grid cell (a
/// cell may hold any number of tiles without one, such as decorations over the ground), and a
/// level after which the game would never return to the first level. Files are opened
/// read-only, by relative name, from the working directory.
class WorldChecker {
public:
    /// `worldName` as the game takes it: "forest" for forest1.json, forest2.json, ...
    explicit WorldChecker(std::string worldName);

    /// Loads "<atlas>.json" with "<atlas>.png" as the game does and records its problems; the
    /// sprites of later `CheckLevels` are looked up in it. Needs the renderer (a GL context).
    /// Returns the atlas, or empty when it cannot be loaded.
    std::shared_ptr<orka::SpriteAtlas> CheckAtlas(const std::string& atlasName);
    /// Sprites are looked up among these names instead (for checking without a GL context).
    void UseSpriteNames(std::string atlasFile, const std::vector<std::string>& names);

    /// Reads every level of the world and the tile-type files they use.
    void CheckLevels();

    /// Every problem, grouped by file, the files in the order found: the atlas, then each level
    /// followed by the tile-type files it is the first to use.
    const std::vector<Problem>& GetProblems() const { return problems; }
    /// The level files in the order the game plays them.
    const std::vector<std::string>& GetLevelFiles() const { return levelFiles; }
    std::size_t GetTileTypeCount() const { return tileTypes.size(); }

private:
    void FollowLevels();
    void GroupByFile();
    void CheckLevel(const LevelDescription& level);
    const TileTypeDescription& LoadTileType(int tileType);
    void CheckSprite(const std::string& file, const std::string& what, int number);
    void CheckPlayerAndGoal(const LevelDescription& level);
    void CheckCells(const LevelDescription& level);
    void Report(const std::string& file, const std::string& text);

    std::string worldName;
    std::string atlasFile;  // empty while no sprite names are known
    std::set<std::string> spriteNames;
    std::map<int, TileTypeDescription> tileTypes;
    std::vector<std::string> levelFiles;
    std::vector<Problem> problems;
};
