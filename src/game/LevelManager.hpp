#pragma once

#include <string>
#include <vector>

#include "game/LevelContext.hpp"
#include "game/LevelData.hpp"

/// Holds the level in play and moves from one level to the next.
///
/// The levels of world W are the files W1.json, W2.json, ... in the working directory. The level
/// after the one whose root id is n is read from W followed by n + 1 and ".json"; when that file
/// cannot be opened the world starts again from W1.json, so the game never runs out of levels.
/// Building a level may throw (see `LevelBuilder`). Every load builds the new level first and
/// replaces the level in play only when that worked: a file that cannot be built leaves the
/// level in play as it was, and the next `LoadNextLevel` tries the same file again.
class LevelManager {
public:
    LevelManager();

    /// Remembers the world and builds its first level into `context`.
    void LoadFirstLevel(const LevelContext& context, std::string worldName);
    /// Builds the first level when none is loaded, otherwise the level after the current one
    /// (or the first again after the last), into `context` (best a fresh world, so that the
    /// level plays the same whatever was played before), then takes the level in play out.
    /// Throws before anything changed when the file cannot be built.
    void LoadNextLevel(const LevelContext& context);
    /// Builds the level in play again from its file (re-reading it and its tile-type files) into
    /// `context`, and only when that worked takes the running level out of play and replaces
    /// it. A file that cannot be built throws before anything changed: the running level plays
    /// on. Without a level in play it loads the first level.
    void ReloadLevel(const LevelContext& context);
    /// Takes the current level's objects out of play: each is deactivated (unsubscribing its
    /// components and destroying its body) and released.
    void UnloadLevel();
    /// Unloads the level and forgets it and the world, as if nothing had been loaded.
    void Reset();

    const LevelData& GetLevelData() const { return levelData; }
    /// The file the level in play was read from; empty before the first level.
    const std::string& CurrentLevelFile() const { return currentLevelFile; }
    /// The file the next `LoadNextLevel` reads (the first level's when none is loaded).
    std::string NextLevelFile() const;
    /// The file of the level played after the level numbered `levelId` of world `worldName`:
    /// "<world><levelId + 1>.json" when it can be opened, else the first level "<world>1.json".
    static std::string FileAfter(const std::string& worldName, int levelId);
    /// The files whose change could change what a reload shows: those the level in play was
    /// built from and, until that level file builds, those the last failed build read or tried
    /// to read (a level that did not load, which a reload or the next goal tries again).
    std::vector<std::string> FilesInUse() const;

private:
    /// Builds `fileName` into `context`, noting the files of a build that fails.
    LevelData Build(const LevelContext& context, const std::string& fileName);
    /// Deactivates the camera of the level in play, whose tiles are already unloaded.
    void DeactivateCamera();

    LevelData levelData;
    std::string currentLevelFile;
    std::string worldName;
    std::string firstLevelFile;
    std::vector<std::string> failedFiles;  ///< starting with the level file that failed
};
