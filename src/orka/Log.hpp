#pragma once

/// \file
/// The engine log, and the ORKA_LOG_... macros that write to it with the caller's place.

#include <cstddef>
#include <functional>
#include <string>

namespace orka {

/// Severity of an engine log record. The engine itself never emits Verbose records.
enum class LogType { Verbose = 0, Info = 1, Warning = 2, Error = 3, Fatal = 4 };

/// The engine log. Every record carries the calling function, its source file (named
/// "src/orka/<ClassName>" for the engine's own files) and line, and goes to `logHandler`.
/// Messages are formatted printf-style into one shared buffer, so they are cut to
/// `maxMessageLength` characters; the buffer makes logging main-thread only.
class Log {
public:
    /// Receives one record: where it was written, its severity and the formatted message.
    using Handler = std::function<void(const char* function, const char* file, int line,
                                       LogType type, std::string message)>;

    /// Longest message that reaches the handler; longer ones are cut.
    static constexpr std::size_t maxMessageLength = 254;

    /// Receives every record. Replace it to redirect or silence the log; a replacement decides
    /// itself whether a Fatal record stops the program (the engine goes on if it returns).
    static Handler logHandler;

    /// Writes to standard output: a header line naming file, line and function for every type
    /// but Info, then the message. Throws std::runtime_error carrying the message for Fatal.
    /// A warning or error that repeats the last one (same place and text) is counted instead of
    /// printed, and the count printed as "<message> (repeated N times)" when a different record
    /// comes or a second has passed. A replaced handler receives every record.
    static void defaultHandler(const char* function, const char* file, int line, LogType type,
                               std::string message);

    /// Formats a record of that severity printf-style and hands it to `logHandler`. Programs
    /// call them through the ORKA_LOG_... macros, which fill in the place.
    ///@{
    static void info(const char* function, const char* file, int line, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    static void warning(const char* function, const char* file, int line, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    static void error(const char* function, const char* file, int line, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    ///@}
    /// With the default handler this throws std::runtime_error.
    static void fatal(const char* function, const char* file, int line, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
};

namespace detail {

/// A source path cut down at compile time to a short name without the extension: a path
/// relative to the project's root (or to a build folder in it) that starts with "src/" keeps
/// its folders ("src/orka/Mesh"), any other path keeps its file name only ("LogTest"). The
/// build maps the project's root out of `__FILE__` (-fmacro-prefix-map), so names do not
/// depend on where the checkout lives.
template <std::size_t N>
class SourceName {
public:
    /// Cuts `path`, a string literal such as `__FILE__`, down to its short name.
    constexpr explicit SourceName(const char (&path)[N]) : text{} {
        const std::size_t length = N - 1;
        // Leading "../" as when a compiler cache hands the compiler paths relative to the build.
        std::size_t begin = 0;
        while (begin + 3 <= length && path[begin] == '.' && path[begin + 1] == '.' &&
               path[begin + 2] == '/') {
            begin += 3;
        }
        if (!startsWithSrc(path, begin)) {
            for (std::size_t i = 0; i < length; ++i) {
                if (path[i] == '/') begin = i + 1;
            }
        }
        // End at the last '.' of the final component.
        std::size_t end = length;
        for (std::size_t i = begin; i < length; ++i) {
            if (path[i] == '/') end = length;
            if (path[i] == '.') end = i;
        }
        for (std::size_t i = begin; i < end; ++i) text[i - begin] = path[i];
    }
    /// The short name, null-terminated; lives as long as this object.
    constexpr const char* c_str() const { return text; }

private:
    static constexpr bool startsWithSrc(const char (&path)[N], std::size_t at) {
        return at + 4 < N && path[at] == 's' && path[at + 1] == 'r' && path[at + 2] == 'c' &&
               path[at + 3] == '/';
    }
    char text[N];
};

}  // namespace detail
}  // namespace orka

/// The short source name of the file that expands it, computed at compile time.
#define ORKA_SOURCE_NAME()                                                             \
    ([]() -> const char* {                                                             \
        static constexpr ::orka::detail::SourceName<sizeof(__FILE__)> name_(__FILE__); \
        return name_.c_str();                                                          \
    }())

/// Call-site macros: they pass the calling function, the short source name and the line.
/// Arguments as for printf: `ORKA_LOG_ERROR("Cannot read %s", path.c_str())`.
///@{
#define ORKA_LOG_INFO(...) ::orka::Log::info(__func__, ORKA_SOURCE_NAME(), __LINE__, __VA_ARGS__)
#define ORKA_LOG_WARNING(...) \
    ::orka::Log::warning(__func__, ORKA_SOURCE_NAME(), __LINE__, __VA_ARGS__)
#define ORKA_LOG_ERROR(...) ::orka::Log::error(__func__, ORKA_SOURCE_NAME(), __LINE__, __VA_ARGS__)
#define ORKA_LOG_FATAL(...) ::orka::Log::fatal(__func__, ORKA_SOURCE_NAME(), __LINE__, __VA_ARGS__)
///@}
