#include "game/Logger.hpp"

#include <ctime>
#include <iostream>
#include <string>
#include <utility>

namespace {

int minimumLevel = 2;
bool debugSwitch = false;

constexpr int kLowestLevel = 0;
constexpr int kHighestLevel = 4;
constexpr int kFirstErrorStreamLevel = 3;
constexpr int kVerboseLevel = 1;
constexpr int kDebugLevel = 2;
constexpr int kWarningLevel = 3;
constexpr int kErrorLevel = 4;

std::string timeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[100];
    std::size_t length = std::strftime(buffer, sizeof buffer, "%a, %F, %H:%M:%S", &local);
    return std::string(buffer, length);
}

const char* tagWord(int level, bool debug) {
    switch (level) {
        case 0:
        case 2:
            return debug ? "DBUG" : "INFO";
        case 3:
            return "WARN";
        case 4:
            return "ERR!";
        default:
            return "";  // level 1 carries no tag word
    }
}

}  // namespace

namespace Logger {

void Log(int level, std::string message, bool debug) {
    if (debug && !debugSwitch) return;
    if (level < minimumLevel || level < kLowestLevel || level > kHighestLevel) return;

    std::string head = std::string(" | ") + tagWord(level, debug) + " | " + timeStamp();
    if (level < kFirstErrorStreamLevel) {
        std::clog << head << ": " << message << std::endl;
        return;
    }
    // Keep the interleaving of the two streams in call order.
    std::clog.flush();
    std::cerr << head << ": " << message << std::endl;
}

void Verbose(std::string message) {
    Log(kVerboseLevel, std::move(message), false);
}
void Debug(std::string message) {
    Log(kDebugLevel, std::move(message), true);
}
void Warning(std::string message) {
    Log(kWarningLevel, std::move(message), false);
}
void Error(std::string message) {
    Log(kErrorLevel, std::move(message), false);
}

void SetMinimumLevel(int level) {
    minimumLevel = level;
}
void SetDebug(bool on) {
    debugSwitch = on;
}

}  // namespace Logger
