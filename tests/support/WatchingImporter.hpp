#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/Patience.hpp"

namespace test_support {

/// `levelimport --watch <map> <level file>` run in `folder`, as a world builder leaves it
/// running beside Tiled; its output goes to watch.log in the folder. Killed if it still runs
/// when the object goes.
class WatchingImporter {
public:
    WatchingImporter(const std::string& program, const std::filesystem::path& folder,
                     const std::string& map, const std::string& levelFile)
        : log(folder / "watch.log") {
        pid = fork();
        if (pid != 0) return;
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(folder.c_str()) != 0 || out < 0) _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        execl(program.c_str(), "levelimport", "--watch", map.c_str(), levelFile.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    ~WatchingImporter() {
        if (pid <= 0 || exited) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    WatchingImporter(const WatchingImporter&) = delete;
    WatchingImporter& operator=(const WatchingImporter&) = delete;

    std::string Output() const {
        std::ifstream stream(log);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }
    /// How many lines of the output are `line` (whole), or start with it when `start` is set.
    int Count(const std::string& line, bool start = false) const {
        const std::string text = "\n" + Output();
        const std::string wanted = "\n" + line + (start ? "" : "\n");
        int count = 0;
        for (std::size_t at = 0; (at = text.find(wanted, at)) != std::string::npos; ++at) {
            ++count;
        }
        return count;
    }
    /// Waits until `line` (or, with `start`, a line starting so) has been printed `times` times.
    bool WaitForLine(const std::string& line, int times = 1, bool start = false) const {
        return WaitUntil([&] { return Count(line, start) >= times; });
    }
    /// Sends Ctrl+C's signal and gives the exit code, or -1 when it does not exit normally.
    int Interrupt() {
        kill(pid, SIGINT);
        int status = 0;
        exited = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
        return exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    /// Ends it as a crash or `kill -9` would: it has no time to tidy up.
    void Kill() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        exited = true;
    }

private:
    std::filesystem::path log;
    pid_t pid = -1;
    bool exited = false;
};

}  // namespace test_support
