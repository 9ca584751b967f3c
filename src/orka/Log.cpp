#include "orka/Log.hpp"

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

}  // namespace

Log::Handler Log::logHandler = &Log::defaultHandler;

void Log::defaultHandler(const char* function, const char* file, int line, LogType type,
                         std::string message) {
    if (const char* prefix = headerPrefix(type)) {
        std::cout << prefix << file << ":" << line << " in " << function << "()\n";
    }
    std::cout << message << std::endl;
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
