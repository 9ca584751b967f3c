#pragma once

#include <optional>
#include <string>

/// Why the last save of the map behind a level did not import: what `levelimport --watch`
/// leaves beside the level file, "<level file>.problem", while the map it watches does not
/// import. The file holds the lines "levelimport problem", "pid <id>", "map <map file>", then
/// the problems. It counts only while the process that wrote it lives, so a watcher killed
/// before it could remove the file leaves nothing shown.
struct ImportProblem {
    std::string map;       ///< the map file, as the watcher was given it
    std::string problems;  ///< one "file: problem" a line
    int pid = 0;           ///< the watcher's process

    /// The problem file beside `levelFile`.
    static std::string FileFor(const std::string& levelFile) { return levelFile + ".problem"; }
    /// The problem left beside `levelFile`, or empty when there is none, it is not one, or its
    /// watcher is gone.
    static std::optional<ImportProblem> Read(const std::string& levelFile);
    /// Whether the watcher that wrote it still runs.
    bool WatcherLives() const;
};
