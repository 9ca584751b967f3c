#include "filewatch/SaveWatch.hpp"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace filewatch {
namespace {

/// The events of a save: a file written and closed, or renamed over the old one.
constexpr std::uint32_t kSaveEvents = IN_CLOSE_WRITE | IN_MOVED_TO;
/// A file changed in place (truncated or written to): a save may be under way, so a burst
/// waiting to settle waits longer, and a file being rewritten is not read half written.
constexpr std::uint32_t kChangeEvents = IN_MODIFY;

}  // namespace

SaveWatch::SaveWatch(std::chrono::milliseconds settleTime) : settle(settleTime) {
    inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (inotify < 0) error = std::strerror(errno);
}

SaveWatch::~SaveWatch() {
    if (inotify >= 0) close(inotify);
}

void SaveWatch::AddWatches(const std::vector<std::string>& files, Watches& into) {
    for (const std::string& file : files) {
        const std::filesystem::path path(file);
        std::string folder = path.parent_path().string();
        if (folder.empty()) folder = ".";
        // A folder watched already keeps its descriptor, so no save in it is lost meanwhile.
        const int descriptor =
            inotify_add_watch(inotify, folder.c_str(), kSaveEvents | kChangeEvents);
        if (descriptor >= 0) into[descriptor].emplace(path.filename().string(), file);
    }
}

void SaveWatch::Watch(const std::vector<std::string>& files) {
    AddWatches(files, watched);
}

void SaveWatch::WatchOnly(const std::vector<std::string>& files) {
    Watches now;
    AddWatches(files, now);
    for (const auto& [descriptor, names] : watched) {
        if (now.count(descriptor) == 0) inotify_rm_watch(inotify, descriptor);
    }
    watched = std::move(now);
}

bool SaveWatch::TakeEvents() {
    // Aligned as inotify_event is: the kernel writes whole events into it.
    alignas(inotify_event) std::array<char, 16 * 1024> buffer;
    bool relevant = false;
    for (;;) {
        const ssize_t length = read(inotify, buffer.data(), buffer.size());
        if (length <= 0) return relevant;  // EAGAIN: nothing more for now
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = watched.find(event->wd);
            if (folder == watched.end() || event->len == 0) continue;
            const auto file = folder->second.find(event->name);
            if (file == folder->second.end()) continue;
            if (event->mask & kSaveEvents) savedFiles.insert(file->second);
            relevant = true;
        }
    }
}

void SaveWatch::Notice(Clock::time_point now) {
    if (inotify >= 0 && TakeEvents()) lastChange = now;
}

std::vector<std::string> SaveWatch::TakeSettledFiles(Clock::time_point now) {
    Notice(now);
    if (savedFiles.empty() || !lastChange || now - *lastChange < settle) return {};
    lastChange.reset();
    std::vector<std::string> files(savedFiles.begin(), savedFiles.end());
    savedFiles.clear();
    return files;
}

std::optional<std::chrono::milliseconds> SaveWatch::TimeToSettle(Clock::time_point now) const {
    if (savedFiles.empty() || !lastChange) return std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*lastChange + settle - now);
    return std::max(left, std::chrono::milliseconds(0));
}

}  // namespace filewatch
