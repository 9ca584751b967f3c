#include "orka/Log.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "orka/LogCapture.hpp"

namespace orka {
namespace {

using test::LogCapture;

std::string printed(LogType type, const std::string& message) {
    ::testing::internal::CaptureStdout();
    Log::defaultHandler("lookAt", "src/orka/Camera", 53, type, message);
    return ::testing::internal::GetCapturedStdout();
}

TEST(LogDefaultHandler, InfoPrintsOnlyTheMessage) {
    EXPECT_EQ(printed(LogType::Info, "OpenGL version 4.5"), "OpenGL version 4.5\n");
}

TEST(LogDefaultHandler, OtherTypesPrintAHeaderNamingFileLineAndFunction) {
    EXPECT_EQ(printed(LogType::Warning, "careful"),
              "ORKA Warning: src/orka/Camera:53 in lookAt()\ncareful\n");
    EXPECT_EQ(printed(LogType::Error, "broken"),
              "ORKA Error: src/orka/Camera:53 in lookAt()\nbroken\n");
    EXPECT_EQ(printed(LogType::Verbose, "chatty"),
              "ORKA Verbose: src/orka/Camera:53 in lookAt()\nchatty\n");
}

TEST(LogDefaultHandler, ARepeatedWarningIsPrintedOnceThenCounted) {
    const auto warn = [] { Log::warning("update", "src/orka/Sprite", 9, "again %d", 1); };
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 60; i++) warn();
    Log::info("update", "src/orka/Sprite", 10, "different");
    const std::string header = "ORKA Warning: src/orka/Sprite:9 in update()\n";
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              header + "again 1\n" + header + "again 1 (repeated 59 times)\ndifferent\n");

    // A line repeated for longer than a second has its count printed meanwhile.
    ::testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500)) {
        warn();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find(header + "again 1\n"), 0u) << out;
    EXPECT_NE(out.find("again 1 (repeated "), std::string::npos) << out;
    Log::info("update", "src/orka/Sprite", 10, "different");  // ends the repeats for later tests

    // A program's own handler still gets every record.
    LogCapture capture;
    for (int i = 0; i < 3; i++) warn();
    EXPECT_EQ(capture.records.size(), 3u);
}

TEST(LogDefaultHandler, FatalPrintsAnErrorHeaderThenThrowsTheMessage) {
    ::testing::internal::CaptureStdout();
    try {
        Log::fatal("init", "src/orka/Renderer", 7, "no %s", "context");
        ADD_FAILURE() << "a fatal record must throw under the default handler";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "no context");
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "ORKA Error: src/orka/Renderer:7 in init()\nno context\n");
}

TEST(Log, EachFunctionFormatsAndPassesItsTypeAndSource) {
    LogCapture capture;
    Log::info("fa", "src/orka/A", 1, "%i apples", 3);
    Log::warning("fb", "src/orka/B", 2, "%.1f", 2.5);
    Log::error("fc", "src/orka/C", 3, "%s-%c", "x", 'y');
    Log::fatal("fd", "src/orka/D", 4, "%%");
    ASSERT_EQ(capture.records.size(), 4u);
    const LogType types[] = {LogType::Info, LogType::Warning, LogType::Error, LogType::Fatal};
    const char* messages[] = {"3 apples", "2.5", "x-y", "%"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(capture.records[i].type, types[i]);
        EXPECT_EQ(capture.records[i].message, messages[i]);
        EXPECT_EQ(capture.records[i].line, i + 1);
        EXPECT_EQ(capture.records[i].function, std::string("f") + char('a' + i));
        EXPECT_EQ(capture.records[i].file, std::string("src/orka/") + char('A' + i));
    }
}

TEST(Log, LongMessagesAreCutTo254Characters) {
    LogCapture capture;
    const std::string exact(Log::maxMessageLength, 'x');
    const std::string longer = std::string(300, 'y');
    Log::warning("f", "src/orka/F", 1, "%s", exact.c_str());
    Log::warning("f", "src/orka/F", 1, "%s", longer.c_str());
    Log::warning("f", "src/orka/F", 1, "%s!", exact.c_str());
    ASSERT_EQ(capture.records.size(), 3u);
    EXPECT_EQ(Log::maxMessageLength, 254u);
    EXPECT_EQ(capture.records[0].message, exact);
    EXPECT_EQ(capture.records[1].message, longer.substr(0, 254));
    EXPECT_EQ(capture.records[2].message, exact);
}

TEST(Log, AReplacedHandlerThatReturnsLetsFatalRecordsReturn) {
    LogCapture capture;
    EXPECT_NO_THROW(Log::fatal("f", "src/orka/F", 1, "survivable"));
    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].type, LogType::Fatal);
}

TEST(LogMacros, PassTheCallingFunctionShortFileAndLine) {
    LogCapture capture;
    const int line = __LINE__ + 1;
    ORKA_LOG_ERROR("value %d", 42);
    ORKA_LOG_INFO("plain");
    ASSERT_EQ(capture.records.size(), 2u);
    EXPECT_EQ(capture.records[0].message, "value 42");
    EXPECT_EQ(capture.records[0].line, line);
    EXPECT_EQ(capture.records[0].file, "LogTest");
    EXPECT_EQ(capture.records[0].function, "TestBody");
    EXPECT_EQ(capture.records[1].type, LogType::Info);
}

template <std::size_t N>
std::string shortName(const char (&path)[N]) {
    return detail::SourceName<N>(path).c_str();
}

TEST(LogMacros, SourceNamesKeepTheProjectsSrcFoldersElseTheFileNameWithoutExtension) {
    // The build maps the project's root out of __FILE__; a checkout under a folder of the
    // user's own named "src" must not change a name.
    EXPECT_EQ(shortName("src/orka/Camera.cpp"), "src/orka/Camera");
    EXPECT_EQ(shortName("src/game/v1.2/Scene.hpp"), "src/game/v1.2/Scene");
    EXPECT_EQ(shortName("tests/orka/LogTest.cpp"), "LogTest");
    EXPECT_EQ(shortName("/home/me/src/platformer/src/orka/Shader.cpp"), "Shader");
    EXPECT_EQ(shortName("/home/me/src/platformer/tests/orka/LogTest.cpp"), "LogTest");
    EXPECT_EQ(shortName("/work/mysrc/orka/Texture.cpp"), "Texture");
    EXPECT_EQ(shortName("/tmp/v1.2/notes"), "notes");
    EXPECT_EQ(shortName("plain"), "plain");
    EXPECT_EQ(shortName("src/"), "src/");
    EXPECT_EQ(shortName("../src/orka/Mesh.cpp"), "src/orka/Mesh");
    EXPECT_EQ(shortName("../tests/orka/MeshTest.cpp"), "MeshTest");
}

}  // namespace
}  // namespace orka
