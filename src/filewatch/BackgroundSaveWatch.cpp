#include "filewatch/BackgroundSaveWatch.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace filewatch {

BackgroundSaveWatch::BackgroundSaveWatch(std::chrono::milliseconds settle) : saves(settle) {
    if (!saves.Ready()) {
        error = saves.Error();
        return;
    }
    stopSignal = eventfd(0, EFD_CLOEXEC);
    if (stopSignal < 0) {
        error = std::strerror(errno);
        return;
    }
    stamper = std::thread([this] { StampSaves(); });
}

BackgroundSaveWatch::~BackgroundSaveWatch() {
    if (stopSignal < 0) return;
    const std::uint64_t one = 1;
    if (write(stopSignal, &one, sizeof one) != sizeof one) {
        // An eventfd write of 1 fails only on overflow, which one write cannot cause.
    }
    if (stamper.joinable()) stamper.join();
    close(stopSignal);
}

void BackgroundSaveWatch::StampSaves() {
    for (;;) {
        std::array<pollfd, 2> fds{pollfd{stopSignal, POLLIN, 0},
                                  pollfd{saves.Descriptor(), POLLIN, 0}};
        const int ready = poll(fds.data(), fds.size(), -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[0].revents != 0) return;
        const std::lock_guard<std::mutex> hold(guard);
        saves.Notice(Clock::now());
    }
}

void BackgroundSaveWatch::WatchOnly(const std::vector<std::string>& files) {
    const std::lock_guard<std::mutex> hold(guard);
    if (saves.Ready()) saves.WatchOnly(files);
}

std::vector<std::string> BackgroundSaveWatch::TakeSettledFiles(Clock::time_point now) {
    const std::lock_guard<std::mutex> hold(guard);
    return saves.Ready() ? saves.TakeSettledFiles(now) : std::vector<std::string>{};
}

}  // namespace filewatch
