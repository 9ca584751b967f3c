#include "orka/Color.hpp"

#include <gtest/gtest.h>

#include "orka/LogCapture.hpp"

namespace orka {
namespace {

void expectNear(const glm::vec4& actual, const glm::vec4& expected) {
    for (int i = 0; i < 4; i++) EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "component " << i;
}

// Known points of the sRGB curve: its linear toe, its middle and its ends.
TEST(Color, BytesAreDecodedByTheSrgbCurve) {
    expectNear(Color::fromBytes(0, 255, 128), {0.0f, 1.0f, 0.21586f, 1.0f});
    expectNear(Color::fromBytes(10, 188, 231, 51), {0.0030353f, 0.50289f, 0.79910f, 0.2f});
}

// Blending in the display's values, bytes are only scaled.
TEST(Color, InTheDisplaysSpaceBytesAreOnlyScaled) {
    const BlendingSpace display = BlendingSpace::Display;
    expectNear(Color::fromBytes(0, 255, 128, 255, display), {0.0f, 1.0f, 128 / 255.0f, 1.0f});
    expectNear(Color::fromBytes(10, 188, 231, 51, display),
               {10 / 255.0f, 188 / 255.0f, 231 / 255.0f, 0.2f});
}

TEST(Color, HexGivesWhatItsBytesGive) {
    test::LogCapture capture;
    expectNear(Color::fromHex("#e73a3a"), Color::fromBytes(231, 58, 58));
    expectNear(Color::fromHex("E73A3A99"), Color::fromBytes(231, 58, 58, 0x99));
    expectNear(Color::fromHex("#e73a3a99", BlendingSpace::Display),
               Color::fromBytes(231, 58, 58, 0x99, BlendingSpace::Display));
    EXPECT_TRUE(capture.records.empty());
}

TEST(Color, MalformedHexIsLoggedAndGivesMagenta) {
    for (const char* bad : {"", "#", "#e73a3", "#e73a3a9", "#e73a3g", "e73a3a3a3a", "# e73a3a"}) {
        test::LogCapture capture;
        expectNear(Color::fromHex(bad), {1.0f, 0.0f, 1.0f, 1.0f});
        ASSERT_EQ(capture.records.size(), 1u) << bad;
        EXPECT_EQ(capture.records[0].type, LogType::Error) << bad;
        EXPECT_NE(capture.records[0].message.find(std::string("\"") + bad + "\""),
                  std::string::npos)
            << capture.records[0].message;
    }
}

}  // namespace
}  // namespace orka
