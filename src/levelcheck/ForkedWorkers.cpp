#include "levelcheck/ForkedWorkers.hpp"

#include <poll.h>
#include <signal.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <vector>

namespace {

/// The first byte of a child's message: its job answered, or threw.
constexpr char kAnswered = 'A';
constexpr char kThrew = 'E';

/// A running child: its process and the read end of its pipe.
struct Child {
    std::size_t index = 0;
    pid_t process = -1;
    int pipe = -1;
    std::string message;
};

void WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        written += static_cast<std::size_t>(count);
    }
}

[[noreturn]] void RunChild(const ForkedWorkers::Job& job, std::size_t index, int fd) {
    std::string message;
    try {
        message = kAnswered + job(index);
    } catch (const std::exception& error) {
        message = kThrew + std::string(error.what());
    } catch (...) {
        message = kThrew + std::string("an unknown error");
    }
    WriteAll(fd, message);
    close(fd);
    _exit(0);
}

Child Start(const ForkedWorkers::Job& job, std::size_t index) {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    const pid_t process = fork();
    if (process < 0) {
        close(ends[0]);
        close(ends[1]);
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (process == 0) {
        close(ends[0]);
        RunChild(job, index, ends[1]);
    }
    close(ends[1]);
    return {index, process, ends[0], {}};
}

/// Reads what the child sent; false once its pipe is closed.
bool ReadSome(Child& child) {
    char buffer[65536];
    const ssize_t count = read(child.pipe, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) return true;
    if (count <= 0) return false;
    child.message.append(buffer, static_cast<std::size_t>(count));
    return true;
}

void Finish(Child& child, const ForkedWorkers::Done& done) {
    close(child.pipe);
    int status = 0;
    while (waitpid(child.process, &status, 0) < 0 && errno == EINTR) {
    }
    if (!child.message.empty() && child.message[0] == kAnswered) {
        done(child.index, false, child.message.substr(1));
    } else if (!child.message.empty()) {
        done(child.index, true, child.message.substr(1));
    } else if (WIFSIGNALED(status)) {
        done(child.index, true, "its process was ended by signal " +
                                    std::to_string(WTERMSIG(status)));
    } else {
        done(child.index, true, "its process ended without an answer");
    }
}

/// Ends children still running when this process gives up on them: no one would read them.
void StopAll(std::vector<Child>& running) {
    for (Child& child : running) {
        kill(child.process, SIGKILL);
        close(child.pipe);
        waitpid(child.process, nullptr, 0);
    }
    running.clear();
}

void RunAll(std::size_t count, int workers, const ForkedWorkers::Job& job,
            const ForkedWorkers::Done& done, std::vector<Child>& running) {
    std::size_t next = 0;
    while (next < count || !running.empty()) {
        while (next < count && running.size() < static_cast<std::size_t>(workers)) {
            running.push_back(Start(job, next++));
        }
        std::vector<pollfd> fds;
        for (const Child& child : running) fds.push_back({child.pipe, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
        }
        for (std::size_t i = running.size(); i-- > 0;) {
            if (fds[i].revents == 0 || ReadSome(running[i])) continue;
            Child finished = running[i];
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            Finish(finished, done);
        }
    }
}

}  // namespace

ForkedWorkers::ForkedWorkers(int workers) : workers(std::max(1, workers)) {}

int ForkedWorkers::ProcessorCount() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) return std::max(1, CPU_COUNT(&allowed));
    return static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

void ForkedWorkers::Run(std::size_t count, const Job& job, const Done& done) const {
    std::vector<Child> running;
    try {
        RunAll(count, workers, job, done, running);
    } catch (...) {
        StopAll(running);
        throw;
    }
}
