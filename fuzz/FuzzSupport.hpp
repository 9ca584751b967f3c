#pragma once

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "orka/Log.hpp"

namespace orka::fuzz {

/// Fuzz inputs that stand for several files put them one after another with this line between.
constexpr std::string_view separator = "\n----\n";

/// The files of one input, split at every separator (at least one, maybe empty).
inline std::vector<std::string> splitParts(std::string_view input) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t end = input.find(separator);
        parts.emplace_back(input.substr(0, end));
        if (end == std::string_view::npos) return parts;
        input.remove_prefix(end + separator.size());
    }
}

/// Makes the engine log quiet for fuzzing: messages are still formatted (that code runs too) but
/// dropped, since printing them would dominate the run time. A fatal record is a finding: it is
/// printed and the process aborts, so libFuzzer keeps the input.
inline void quietLog() {
    Log::logHandler = [](const char* function, const char* file, int line, LogType type,
                         std::string message) {
        if (type != LogType::Fatal) return;
        std::fprintf(stderr, "fatal log in %s (%s:%d): %s\n", function, file, line,
                     message.c_str());
        std::abort();
    };
}

/// A stream buffer that swallows everything; for code that reports on std::cerr.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

/// Points `stream` at a NullBuffer for the rest of the process.
inline void silence(std::ostream& stream) {
    static NullBuffer sink;
    stream.rdbuf(&sink);
}

/// Stops the process with `message` when `condition` does not hold: a broken promise of the
/// code under test is a finding like a crash.
inline void require(bool condition, const char* message) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", message);
    std::abort();
}

}  // namespace orka::fuzz
