#include "game/Logger.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <sstream>

namespace {

/// Redirects std::clog and std::cerr into strings for the lifetime of the object,
/// and restores the logger's program settings afterwards.
class CapturedStreams {
public:
    CapturedStreams()
        : oldClog_(std::clog.rdbuf(clog_.rdbuf())), oldCerr_(std::cerr.rdbuf(cerr_.rdbuf())) {}
    ~CapturedStreams() {
        std::clog.rdbuf(oldClog_);
        std::cerr.rdbuf(oldCerr_);
        Logger::SetMinimumLevel(2);
        Logger::SetDebug(false);
    }
    std::string clog() const { return clog_.str(); }
    std::string cerr() const { return cerr_.str(); }

private:
    std::ostringstream clog_, cerr_;
    std::streambuf* oldClog_;
    std::streambuf* oldCerr_;
};

const std::string kStamp = R"([A-Z][a-z]{2}, \d{4}-\d{2}-\d{2}, \d{2}:\d{2}:\d{2})";

TEST(Logger, ProgramSettingsShowOnlyErrorsOnStandardError) {
    CapturedStreams streams;
    Logger::SetMinimumLevel(2);
    Logger::SetDebug(false);
    Logger::Debug("hidden debug");
    Logger::Verbose("hidden verbose");
    Logger::Error("x");
    EXPECT_EQ(streams.clog(), "");
    EXPECT_TRUE(std::regex_match(streams.cerr(), std::regex(" \\| ERR! \\| " + kStamp + ": x\n")))
        << streams.cerr();
}

TEST(Logger, TagWordsFollowLevelAndDebugMark) {
    CapturedStreams streams;
    Logger::SetMinimumLevel(0);
    Logger::SetDebug(true);
    Logger::Log(2, "debug line", true);
    Logger::Log(2, "info line", false);
    Logger::Log(1, "verbose line", false);
    Logger::Log(0, "level zero", false);
    Logger::Log(3, "warning", false);
    std::string expected = " \\| DBUG \\| " + kStamp + ": debug line\n" + " \\| INFO \\| " +
                           kStamp + ": info line\n" + " \\|  \\| " + kStamp + ": verbose line\n" +
                           " \\| INFO \\| " + kStamp + ": level zero\n";
    EXPECT_TRUE(std::regex_match(streams.clog(), std::regex(expected))) << streams.clog();
    EXPECT_TRUE(
        std::regex_match(streams.cerr(), std::regex(" \\| WARN \\| " + kStamp + ": warning\n")));
}

TEST(Logger, ShorthandsUseTheirLevelAndDebugMark) {
    CapturedStreams streams;
    Logger::SetMinimumLevel(0);
    Logger::SetDebug(true);
    Logger::Verbose("v");
    Logger::Debug("d");
    Logger::Error("e");
    std::string expected = " \\|  \\| " + kStamp + ": v\n \\| DBUG \\| " + kStamp + ": d\n";
    EXPECT_TRUE(std::regex_match(streams.clog(), std::regex(expected))) << streams.clog();
    EXPECT_TRUE(std::regex_match(streams.cerr(), std::regex(" \\| ERR! \\| " + kStamp + ": e\n")));
}

TEST(Logger, OutOfRangeLevelsAndThresholdWriteNothing) {
    CapturedStreams streams;
    Logger::SetMinimumLevel(0);
    Logger::SetDebug(true);
    Logger::Log(5, "five", false);
    Logger::Log(-1, "minus one", false);
    Logger::SetMinimumLevel(3);
    Logger::Log(2, "below threshold", false);
    Logger::SetDebug(false);
    Logger::Log(4, "debug-only error", true);
    EXPECT_EQ(streams.clog(), "");
    EXPECT_EQ(streams.cerr(), "");
}

TEST(Logger, EmptyMessageKeepsHead) {
    CapturedStreams streams;
    Logger::Error("");
    EXPECT_TRUE(std::regex_match(streams.cerr(), std::regex(" \\| ERR! \\| " + kStamp + ": \n")));
}

/// A stream buffer that records when it is flushed, to see the order of the two streams.
class FlushSpy : public std::stringbuf {
public:
    explicit FlushSpy(std::ostringstream& errors) : errors_(errors) {}
    std::size_t errorBytesAtFlush = std::string::npos;

protected:
    int sync() override {
        errorBytesAtFlush = errors_.str().size();
        return 0;
    }

private:
    std::ostringstream& errors_;
};

TEST(Logger, ErrorFlushesLogStreamFirst) {
    std::ostringstream errors;
    FlushSpy spy(errors);
    std::streambuf* oldClog = std::clog.rdbuf(&spy);
    std::streambuf* oldCerr = std::cerr.rdbuf(errors.rdbuf());
    Logger::SetMinimumLevel(2);
    Logger::Log(3, "w", false);
    std::clog.rdbuf(oldClog);
    std::cerr.rdbuf(oldCerr);
    EXPECT_EQ(spy.errorBytesAtFlush, 0u) << "std::clog must be flushed before std::cerr is written";
    EXPECT_NE(errors.str().find(": w"), std::string::npos);
}

}  // namespace
