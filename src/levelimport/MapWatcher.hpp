#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "filewatch/SaveWatch.hpp"

namespace levelimport {

/// Waits until one of a set of files is saved, or until the process is asked to stop (SIGINT,
/// SIGTERM). It watches the files' folders with inotify rather than the files: editors save by
/// writing a new file and renaming it over the old one, which a watch on the old file would
/// miss; a file rewritten in place is seen too. While a MapWatcher lives, SIGINT and SIGTERM
/// are blocked for the process and only end Wait(); the destructor unblocks them. One per
/// process, from its main thread.
class MapWatcher {
public:
    /// How long a burst of saves must have been quiet before Wait() reports it. Only complete
    /// writes count (a file closed after writing, or renamed into place), so no half-written
    /// file is read however short this is; it only makes a map saved with its tilesets (files
    /// written within a few milliseconds) one import rather than several.
    static constexpr std::chrono::milliseconds kSettle{25};

    MapWatcher();
    ~MapWatcher();
    MapWatcher(const MapWatcher&) = delete;
    MapWatcher& operator=(const MapWatcher&) = delete;

    /// False when inotify or the signal descriptor could not be had; `Error()` says why.
    bool Ready() const { return saves.Ready() && signals >= 0; }
    const std::string& Error() const { return error; }

    /// Watches `files` from now on, besides those watched before. A file whose folder does not
    /// exist is left out.
    void Watch(const std::vector<std::string>& files) { saves.Watch(files); }

    enum class Wake { Saved, Stopped };
    /// Blocks until a watched file was written or renamed into place and then no watched file
    /// changed for kSettle (Saved), or until a stop signal came (Stopped).
    Wake Wait();

private:
    filewatch::SaveWatch saves{kSettle};
    int signals = -1;
    std::string error;
};

}  // namespace levelimport
