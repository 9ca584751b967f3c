#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace filewatch {

/// Tells when a set of files was saved, through inotify on their folders rather than on the
/// files: editors save by writing a new file and renaming it over the old one, which a watch on
/// the old file would miss; a file rewritten in place is seen too. A burst of writes (an
/// editor's save is several, and one save may touch several files) counts as one save once no
/// watched file has changed for the settle time: a file still being written to (truncated,
/// written, not yet closed) holds the burst back, so it is not read half written. Never blocks:
/// `Descriptor()` can be polled, and `TakeSettledSave` reads whatever is waiting. Owns its inotify
/// descriptor.
class SaveWatch {
public:
    using Clock = std::chrono::steady_clock;

    /// `settle`: how long the watched files must have been quiet after a save before it counts.
    explicit SaveWatch(std::chrono::milliseconds settle);
    ~SaveWatch();
    SaveWatch(const SaveWatch&) = delete;
    SaveWatch& operator=(const SaveWatch&) = delete;

    /// False when inotify could not be had; `Error()` says why.
    bool Ready() const { return inotify >= 0; }
    const std::string& Error() const { return error; }
    /// Readable (for poll()) when events are waiting.
    int Descriptor() const { return inotify; }

    /// Watches `files` from now on, besides those watched before. A file whose folder does not
    /// exist is left out.
    void Watch(const std::vector<std::string>& files);
    /// Watches exactly `files` from now on: folders no longer needed stop being watched, and a
    /// save of a file left out no longer counts.
    void WatchOnly(const std::vector<std::string>& files);

    /// Reads the waiting events without blocking; a save or change among them is timed at
    /// `now`.
    void Notice(Clock::time_point now);
    /// Reads the waiting events without blocking. True once, when a watched file was saved and
    /// no watched file has changed since for the settle time (as of `now`).
    bool TakeSettledSave(Clock::time_point now) { return !TakeSettledFiles(now).empty(); }
    /// As `TakeSettledSave`, but names the files saved in that burst (as they were given to
    /// `Watch`); empty when no burst has settled.
    std::vector<std::string> TakeSettledFiles(Clock::time_point now);
    /// How long from `now` until a save seen so far settles (zero when it has); nothing when no
    /// save is waiting to settle.
    std::optional<std::chrono::milliseconds> TimeToSettle(Clock::time_point now) const;

private:
    /// Reads the pending inotify events; true when one of them is about a watched file. A
    /// saved file joins `savedFiles`.
    bool TakeEvents();
    /// watch descriptor -> file name in that folder -> the file as given to `Watch`
    using Watches = std::map<int, std::map<std::string, std::string>>;
    /// Adds the folders of `files` to the inotify watches and their names to `into`.
    void AddWatches(const std::vector<std::string>& files, Watches& into);

    std::chrono::milliseconds settle;
    int inotify = -1;
    std::string error;
    Watches watched;
    /// The latest save or change of a watched file since the last report.
    std::optional<Clock::time_point> lastChange;
    std::set<std::string> savedFiles;  ///< the files saved since the last report
};

}  // namespace filewatch
