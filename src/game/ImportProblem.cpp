#include "game/ImportProblem.hpp"

#include <signal.h>

#include <cerrno>
#include <fstream>
#include <sstream>

std::optional<ImportProblem> ImportProblem::Read(const std::string& levelFile) {
    std::ifstream stream(FileFor(levelFile));
    std::string heading, pidLine, mapLine;
    if (!std::getline(stream, heading) || heading != "levelimport problem") return std::nullopt;
    if (!std::getline(stream, pidLine) || pidLine.rfind("pid ", 0) != 0) return std::nullopt;
    if (!std::getline(stream, mapLine) || mapLine.rfind("map ", 0) != 0) return std::nullopt;
    ImportProblem problem;
    try {
        problem.pid = std::stoi(pidLine.substr(4));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    problem.map = mapLine.substr(4);
    std::ostringstream rest;
    rest << stream.rdbuf();
    problem.problems = rest.str();
    while (!problem.problems.empty() && problem.problems.back() == '\n')
        problem.problems.pop_back();
    if (problem.pid <= 0 || !problem.WatcherLives()) return std::nullopt;
    return problem;
}

bool ImportProblem::WatcherLives() const {
    // Signal 0 only asks whether the process exists; one of another user still counts.
    if (kill(pid, 0) != 0 && errno != EPERM) return false;
    // A watcher killed but not yet reaped by its parent is as gone: its state is "Z".
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t nameEnd = line.rfind(')');
    return nameEnd == std::string::npos || line.compare(nameEnd, 3, ") Z") != 0;
}
