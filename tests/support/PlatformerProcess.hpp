#pragma once

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "support/Patience.hpp"

namespace game::test {

using test_support::kPatience;

inline std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    return text;
}

/// The built game running in a directory, with its three standard streams on pipes; killed if
/// it is still running when the object goes. Its output is small enough to stay in the pipes
/// until the process has ended. `display`, when given, is the X display it opens its window on;
/// `kNoDisplay` starts it without any, `kOffscreen` without any but with SDL asked for its
/// offscreen video driver. `environment` adds variables (name, value) to the game's environment.
/// Unless it names XDG_DATA_HOME, that is a fresh folder of the object's own, removed when it
/// goes, so that no game started by a test reads or writes the player's files in the home folder.
class Platformer {
public:
    static constexpr const char* kNoDisplay = "(none)";
    static constexpr const char* kOffscreen = "(offscreen)";
    using Environment = std::vector<std::pair<std::string, std::string>>;

    explicit Platformer(const std::filesystem::path& workDir, const std::string& display = "",
                        const Environment& environment = {}) {
        const bool ownDataHome = std::none_of(environment.begin(), environment.end(),
                                              [](const auto& variable) {
                                                  return variable.first == kDataHomeVariable;
                                              });
        if (ownDataHome) dataHome = MakeDataHome();
        // Writing to a game that has already ended must fail, not kill the test.
        signal(SIGPIPE, SIG_IGN);
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
        pid = fork();
        if (pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
            signal(SIGPIPE, SIG_DFL);
            if (display == kNoDisplay || display == kOffscreen) {
                for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
                    unsetenv(name);
                }
                if (display == kOffscreen) setenv("SDL_VIDEODRIVER", "offscreen", 1);
            } else if (!display.empty()) {
                setenv("DISPLAY", display.c_str(), 1);
            }
            if (ownDataHome) setenv(kDataHomeVariable, dataHome.c_str(), 1);
            for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
            if (chdir(workDir.c_str()) == 0) execl(ORKA_PLATFORMER_PATH, "platformer", nullptr);
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        input = in[1];
        output = out[0];
        errors = err[0];
    }
    ~Platformer() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        for (int fd : {input, output, errors}) {
            if (fd >= 0) close(fd);
        }
        std::error_code ignored;
        if (!dataHome.empty()) std::filesystem::remove_all(dataHome, ignored);
    }
    Platformer(const Platformer&) = delete;
    Platformer& operator=(const Platformer&) = delete;

    /// The game's XDG_DATA_HOME when the object chose it; empty when the caller gave one.
    const std::filesystem::path& DataHome() const { return dataHome; }

    void Write(const std::string& text) {
        // The game may already have ended; a failed write is then expected.
        if (write(input, text.data(), text.size()) < 0) return;
    }
    void CloseInput() {
        close(input);
        input = -1;
    }
    /// Waits up to `limit` for the process to end; false when it is still running.
    bool EndsWithin(std::chrono::milliseconds limit = kPatience) {
        return test_support::WaitUntil([this] { return Ended(); }, limit);
    }
    /// True once the process has ended (it then stays ended).
    bool Ended() {
        if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) pid = -1;
        return pid <= 0;
    }
    /// Waits up to `limit` until the process sits reading its standard input with all it was
    /// given already read, i.e. waits for more input; false when it ended or the time ran out.
    bool WaitsForInput(std::chrono::milliseconds limit = kPatience) {
        // Seen twice in a row: a reader just woken by new input briefly still looks blocked.
        int seen = 0;
        return test_support::WaitUntil([&] {
            seen = !Ended() && BlockedOnInput() ? seen + 1 : 0;
            return seen == 2 || Ended();
        }, limit) && !Ended();
    }
    /// Waits up to `limit` until the process has used `seconds` of processor time in all: a
    /// measure of work done that does not depend on how busy the machine is.
    bool RunsFor(double seconds, std::chrono::milliseconds limit = kPatience) {
        const bool ran = test_support::WaitUntil(
            [&] { return Ended() || CpuSeconds() >= seconds; }, limit);
        return ran && !Ended();
    }
    /// Processor time (user and system) the running process has used so far.
    double CpuSeconds() const {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        // The fields after the command name, which is in parentheses and may hold spaces.
        const auto close = line.rfind(')');
        if (close == std::string::npos) return 0;
        std::istringstream fields(line.substr(close + 2));
        std::string skipped;
        for (int field = 3; field < 14; ++field) fields >> skipped;
        double user = 0, system = 0;
        fields >> user >> system;
        return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    int ExitCode() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
    /// The running process's resident memory in KiB; 0 when it has ended.
    long ResidentKiB() const {
        std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
        long pages = 0, resident = 0;
        statm >> pages >> resident;
        return pid > 0 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
    }
    /// Everything written so far and until the process ends; call after it has ended.
    std::string Output() { return ReadAll(output); }
    std::string Errors() { return errorsSeen + ReadAll(errors); }
    /// What the running process has written to its standard error so far; never waits.
    const std::string& ErrorsSoFar() {
        char buffer[4096];
        for (pollfd ready{errors, POLLIN, 0}; poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN);) {
            const ssize_t n = read(errors, buffer, sizeof buffer);
            if (n <= 0) break;
            errorsSeen.append(buffer, static_cast<std::size_t>(n));
        }
        return errorsSeen;
    }

private:
    static constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";

    std::string errorsSeen;  // read by ErrorsSoFar, before the rest

    static std::filesystem::path MakeDataHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "platformer-data-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        return pattern;
    }

    /// In a read(2) of file descriptor 0 with nothing left unread in the pipe.
    bool BlockedOnInput() const {
        // The kernel shows the system call a blocked process is in: its number, then its
        // arguments in hexadecimal.
        std::ifstream call("/proc/" + std::to_string(pid) + "/syscall");
        std::string number, fd;
        call >> number >> fd;
        if (number != std::to_string(SYS_read) || fd != "0x0") return false;
        int unread = 0;
        return input < 0 || (ioctl(input, FIONREAD, &unread) == 0 && unread == 0);
    }

    pid_t pid = -1;
    int input = -1, output = -1, errors = -1;
    int status = 0;
    std::filesystem::path dataHome;
};

}  // namespace game::test
