#include "orka/Log.hpp"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace orka {

namespace {

// One shared buffer: a message longer than maxMessageLength is cut by vsnprintf.
char messageBuffer[Log::maxMessageLength + 1];

const char* headerPrefix(LogType type) {
    switch (type) {
        case LogType::Verbose:
            return "ORKA Verbose: ";
        case LogType::Warning:
            return "ORKA Warning: ";
        case LogType::Error:
        case LogType::Fatal:
            return "ORKA Error: ";
        case LogType::Info:
            break;
    }
    return nullptr;
}

std::string formatMessage(const char* format, va_list args) {
    std::vsnprintf(messageBuffer, sizeof(messageBuffer), format, args);
    return std::string(messageBuffer);
}

void printRecord(const char* function, const char* file, int line, LogType type,
                 const std::string& message) {
    if (const char* prefix = headerPrefix(type)) {
        std::cout << prefix << file << ":" << line << " in " << function << "()\n";
    }
    std::cout << message << std::endl;
}

/// The default output's memory of the last warning or error, so that one written every frame
/// is printed once and then counted: "<message> (repeated 59 times)", printed when a different
/// record comes or a second has passed since the line was last printed.
class RepeatCounter {
public:
    using Clock = std::chrono::steady_clock;

    ~RepeatCounter() { flush(); }

    /// True when the record repeats the last one and was counted instead of printed.
    bool count(const char* function, const char* file, int line, LogType type,
               const std::string& message) {
        const bool repeats = type == last.type && line == last.line && message == last.message &&
                             file == last.file && function == last.function;
        if (!repeats) {
            flush();
            if (type == LogType::Warning || type == LogType::Error) {
                last = {function, file, line, type, message};
                printedAt = Clock::now();
            } else {
                last = {};
            }
            return false;
        }
        ++repeated;
        if (Clock::now() - printedAt >= std::chrono::seconds(1)) flush();
        return true;
    }

    /// Prints how often the last record came again since it was last printed.
    void flush() {
        if (repeated == 0) return;
        printRecord(last.function.c_str(), last.file.c_str(), last.line, last.type,
                    last.message + " (repeated " + std::to_string(repeated) + " times)");
        repeated = 0;
        printedAt = Clock::now();
    }

private:
    struct Record {
        std::string function;
        std::string file;
        int line = 0;
        LogType type = LogType::Info;  // Info: nothing to repeat
        std::string message;
    };
    Record last;
    int repeated = 0;
    Clock::time_point printedAt;
};

RepeatCounter repeatCounter;

}  // namespace

Log::Handler Log::logHandler = &Log::defaultHandler;

void Log::defaultHandler(const char* function, const char* file, int line, LogType type,
                         std::string message) {
    if (repeatCounter.count(function, file, line, type, message)) return;
    printRecord(function, file, line, type, message);
    if (type == LogType::Fatal) throw std::runtime_error(message);
}

void Log::info(const char* function, const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    logHandler(function, file, line, LogType::Info, std::move(message));
}

void Log::warning(const char* function, const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    logHandler(function, file, line, LogType::Warning, std::move(message));
}

void Log::error(const char* function, const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    logHandler(function, file, line, LogType::Error, std::move(message));
}

void Log::fatal(const char* function, const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    // The handler runs after va_end because the default one throws for Fatal records.
    logHandler(function, file, line, LogType::Fatal, std::move(message));
}

}  // namespace orka
