#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace test_support {

/// What a shell command printed and how it ended.
struct CommandResult {
    int exitCode = -1;   ///< -1 when it did not exit normally or could not be started
    std::string output;  ///< standard output and error together
};

/// Runs `command` through the shell with its standard error joined to its output.
inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

/// `word` as one shell word, whatever it holds (a path with spaces, quotes or `$`).
inline std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace test_support
