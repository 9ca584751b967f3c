#include "levelimport/MapWatcher.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace levelimport {
namespace {

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
    if (!saves.Ready()) error = saves.Error();
}

MapWatcher::~MapWatcher() {
    if (signals >= 0) close(signals);
    const sigset_t stop = StopSignals();
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
}

MapWatcher::Wake MapWatcher::Wait() {
    for (;;) {
        std::array<pollfd, 2> fds{pollfd{signals, POLLIN, 0},
                                  pollfd{saves.Descriptor(), POLLIN, 0}};
        // Once a save was seen, wait only until the files have been quiet for a while.
        const auto settle = saves.TimeToSettle(filewatch::SaveWatch::Clock::now());
        const int timeout = settle ? static_cast<int>(settle->count()) : -1;
        const int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[0].revents != 0) {
            // Taken, so that unblocking the signals later does not deliver it again.
            signalfd_siginfo taken;
            while (read(signals, &taken, sizeof taken) == sizeof taken) {
            }
            return Wake::Stopped;
        }
        if (saves.TakeSettledSave(filewatch::SaveWatch::Clock::now())) return Wake::Saved;
    }
}

}  // namespace levelimport
