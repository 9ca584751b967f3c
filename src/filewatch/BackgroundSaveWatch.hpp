#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "filewatch/SaveWatch.hpp"

namespace filewatch {

/// A `SaveWatch` read by a thread of its own the moment a watched file changes, so that a save
/// is timed from when it happened however seldom the owner looks. A game's frame loop looks
/// once a frame, and on a slow machine a frame is a tenth of a second spent mostly presenting:
/// a save timed only when the next frame read it would settle one whole frame later.
/// Every call may come from any thread; none blocks for longer than the thread's own brief
/// reading of the events. The thread lives as long as the object.
class BackgroundSaveWatch {
public:
    using Clock = SaveWatch::Clock;

    /// `settle`: how long the watched files must have been quiet after a save before it counts.
    explicit BackgroundSaveWatch(std::chrono::milliseconds settle);
    /// Stops the thread and waits for it.
    ~BackgroundSaveWatch();
    BackgroundSaveWatch(const BackgroundSaveWatch&) = delete;
    BackgroundSaveWatch& operator=(const BackgroundSaveWatch&) = delete;

    /// False when inotify (or the thread's wake-up) could not be had; `Error()` says why.
    bool Ready() const { return stopSignal >= 0 && saves.Ready(); }
    const std::string& Error() const { return error; }

    /// As `SaveWatch::WatchOnly`.
    void WatchOnly(const std::vector<std::string>& files);
    /// As `SaveWatch::TakeSettledFiles`: the files saved in a burst that has settled by `now`.
    std::vector<std::string> TakeSettledFiles(Clock::time_point now);

private:
    /// The thread: waits for events and times them as they come, until `stopSignal` is written.
    void StampSaves();

    SaveWatch saves;
    std::string error;
    int stopSignal = -1;  ///< an eventfd the destructor writes to end the thread
    std::mutex guard;     ///< over `saves`
    std::thread stamper;
};

}  // namespace filewatch
