#include "levelimport/MapWatcher.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace levelimport {
namespace {

/// The events of a save: a file written and closed, or renamed over the old one.
constexpr std::uint32_t kSaveEvents = IN_CLOSE_WRITE | IN_MOVED_TO;

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

MapWatcher::MapWatcher() {
    const sigset_t stop = StopSignals();
    // Blocked, the signals wait in the descriptor instead of ending the process.
    if (sigprocmask(SIG_BLOCK, &stop, nullptr) != 0) error = std::strerror(errno);
    signals = signalfd(-1, &stop, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signals < 0) error = std::strerror(errno);
    inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (inotify < 0) error = std::strerror(errno);
}

MapWatcher::~MapWatcher() {
    if (inotify >= 0) close(inotify);
    if (signals >= 0) close(signals);
    const sigset_t stop = StopSignals();
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
}

void MapWatcher::Watch(const std::vector<std::string>& files) {
    // Watches are only ever added: removing one and adding it again could lose a save between.
    for (const std::string& file : files) {
        const std::filesystem::path path(file);
        std::string folder = path.parent_path().string();
        if (folder.empty()) folder = ".";
        const int descriptor = inotify_add_watch(inotify, folder.c_str(), kSaveEvents);
        if (descriptor >= 0) watched[descriptor].insert(path.filename().string());
    }
}

bool MapWatcher::TakeEvents() {
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
            relevant = relevant || folder->second.count(event->name) > 0;
        }
    }
}

MapWatcher::Wake MapWatcher::Wait() {
    bool saved = false;
    for (;;) {
        std::array<pollfd, 2> fds{pollfd{signals, POLLIN, 0}, pollfd{inotify, POLLIN, 0}};
        // Once a save was seen, wait only until the files have been quiet for a while.
        const int timeout = saved ? static_cast<int>(kSettle.count()) : -1;
        const int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[0].revents != 0) {
            // Taken, so that unblocking the signals later does not deliver it again.
            signalfd_siginfo taken;
            while (read(signals, &taken, sizeof taken) == sizeof taken) {
            }
            return Wake::Stopped;
        }
        if (ready == 0) return Wake::Saved;
        if (TakeEvents()) saved = true;
    }
}

}  // namespace levelimport
