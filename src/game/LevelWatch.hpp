#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "filewatch/BackgroundSaveWatch.hpp"

class Scene;

/// Notices when the files of the level in play are saved, so that the game reloads it by
/// itself as F5 does: the level file, the tile-type files it uses, the atlas ("<atlas>.json",
/// "<atlas>.png"), and the files of a level that failed to load (mending one of them is what
/// a reload waits for), and the import problem `levelimport --watch` leaves beside the level
/// file. A burst of saves counts once it has been quiet for `kSettle`, timed from the saves
/// themselves (a thread of its own notices them while a frame is drawn). Polled once per
/// frame, it never blocks the frame. Main thread only.
class LevelWatch {
public:
    /// Quiet time after the last save of a burst before it counts: a world builder's save may
    /// be several files. Only complete writes count (closed after writing, or renamed into
    /// place), so this only keeps files saved together one reload rather than several.
    static constexpr std::chrono::milliseconds kSettle{25};

    /// Watches nothing until `Follow`. When inotify cannot be had it says so once in the log
    /// and never reports a save (F5 still reloads).
    explicit LevelWatch(std::string atlasName);

    /// Watches the files `scene` uses now, besides the atlas's. After every load or reload
    /// attempt; `SavedSince` also does it when the scene started a level since it last did.
    void Follow(const Scene& scene);
    /// What a settled burst of saves changed.
    enum class Saved {
        Nothing,
        ImportProblem,  ///< only the import problem beside the level file: nothing to reload
        LevelFiles,     ///< a file the level or the atlas is read from
    };
    /// Once per settled burst of saves of the watched files, as of `now`, what it saved.
    Saved SavedSince(const Scene& scene, filewatch::SaveWatch::Clock::time_point now);

    /// The files watched now (the scene's, then the atlas's).
    const std::vector<std::string>& Files() const { return files; }

private:
    std::string atlasName;
    filewatch::BackgroundSaveWatch saves{kSettle};
    std::vector<std::string> files;
    int followedStarts = -1;  ///< the scene's level starts when the list was last made
};
