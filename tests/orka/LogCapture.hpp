#pragma once

#include <string>
#include <vector>

#include "orka/Log.hpp"

namespace orka::test {

/// One record that reached the log handler.
struct LogRecord {
    std::string function;
    std::string file;
    int line = 0;
    LogType type = LogType::Info;
    std::string message;
};

/// Replaces the engine's log handler with a recorder for its lifetime; fatal records are
/// recorded and return instead of throwing.
class LogCapture {
public:
    LogCapture() : previous(Log::logHandler) {
        Log::logHandler = [this](const char* function, const char* file, int line, LogType type,
                                 std::string message) {
            records.push_back({function, file, line, type, std::move(message)});
        };
    }
    ~LogCapture() { Log::logHandler = previous; }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogRecord> records;

private:
    Log::Handler previous;
};

}  // namespace orka::test
