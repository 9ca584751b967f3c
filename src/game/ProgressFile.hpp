#pragma once

#include <map>
#include <optional>
#include <string>

/// The player's best time for each level of each world, kept in a JSON file (normally
/// "progress.json" in the `UserDataFolder`):
///
///     {"bestTimes": {"1level": {"1": 12.35, "2": 40.1}}}
///
/// World names as typed in the console dialogue, level numbers (the level file's "id") as keys,
/// times in seconds of game time. The file is written whole (`AtomicFile`), and only when a
/// finished level beats its best time, so there is none before the first finished level.
///
/// A file that cannot be read or is not such a file is not trusted at all: one warning line
/// names it, the best times start afresh and the file stays as it is until the next finished
/// level, which moves it aside to "<path>.bad" before writing a new one. Main thread only.
class ProgressFile {
public:
    /// Best times in seconds by world name, then level number.
    using BestTimes = std::map<std::string, std::map<int, double>>;

    /// Reads the file at `path`; a missing one means no best times yet and says nothing. An
    /// empty `path` keeps the times in memory only.
    explicit ProgressFile(std::string path);

    /// "progress.json" in the user data folder, or empty (with a warning line) when there is
    /// no such folder.
    static std::string PlayerPath();

    /// The best time of `level` of `world` in seconds, when it was ever finished.
    std::optional<double> BestTime(const std::string& world, int level) const;
    /// `level` of `world` was finished in `seconds` of game time (kept to the millisecond).
    /// When that beats its best time, or it has none, it becomes the best one and the file is
    /// written; returns true then. A file that cannot be written is logged as an error and the
    /// time is kept for this run.
    bool RecordFinish(const std::string& world, int level, double seconds);

    /// The best times in `text`, or nothing with the reason in `whyNot`.
    static std::optional<BestTimes> Parse(const std::string& text, std::string& whyNot);
    /// `times` as the file holds them.
    static std::string Serialise(const BestTimes& times);

private:
    void Load();
    void Save();

    std::string path;
    BestTimes bestTimes;
    /// The file on disk could not be used; it is moved aside before the next write.
    bool unusableOnDisk = false;
};
