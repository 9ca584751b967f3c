#include "picture/Image.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(RgbaTest, ParsesHexColoursWithAndWithoutAlpha) {
    EXPECT_EQ(Rgba::hex("#ff8000"), (Rgba{255, 128, 0, 255}));
    EXPECT_EQ(Rgba::hex("#0A0b0C80"), (Rgba{10, 11, 12, 128}));
}

TEST(RgbaTest, RejectsMalformedColoursWithTheText) {
    for (const char* bad : {"ff8000", "#ff80", "#ff800g", "#ff8000ff0", ""}) {
        try {
            Rgba::hex(bad);
            FAIL() << "accepted " << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
}

TEST(RgbaTest, ShadesTowardsBlackAndWhiteKeepingAlpha) {
    const Rgba c{100, 200, 50, 77};
    EXPECT_EQ(c.shaded(0.5f), (Rgba{50, 100, 25, 77}));
    EXPECT_EQ(c.shaded(2.0f), (Rgba{255, 255, 255, 77}));
    EXPECT_EQ(c.mixed({0, 0, 0, 255}, 0.5f), (Rgba{50, 100, 25, 166}));
}

TEST(ImageTest, StartsTransparentAndIgnoresPixelsOutside) {
    Image image(3, 2);
    EXPECT_EQ(image.at(2, 1), Rgba{});
    image.set(-1, 0, {1, 2, 3, 255});
    image.set(3, 0, {1, 2, 3, 255});
    image.set(0, 2, {1, 2, 3, 255});
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(image.at(x, y), Rgba{});
    }
    EXPECT_EQ(image.at(5, 5), Rgba{});
    EXPECT_THROW(Image(-1, 4), std::invalid_argument);
}

TEST(ImageTest, StoresRowsTopFirstAsRgbaBytes) {
    Image image(2, 2);
    image.set(1, 0, {1, 2, 3, 4});
    image.set(0, 1, {5, 6, 7, 8});
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0};
    EXPECT_EQ(image.bytes(), expected);
}

TEST(ImageTest, BlendsWithTheOverOperator) {
    Image image(1, 1);
    image.set(0, 0, {0, 0, 255, 255});
    image.blend(0, 0, {255, 0, 0, 128});
    const Rgba c = image.at(0, 0);
    EXPECT_NEAR(c.r, 128, 1);
    EXPECT_NEAR(c.b, 127, 1);
    EXPECT_EQ(c.a, 255);

    Image empty(1, 1);
    empty.blend(0, 0, {255, 0, 0, 128});
    EXPECT_EQ(empty.at(0, 0), (Rgba{255, 0, 0, 128})) << "over nothing the colour stays as is";
}

TEST(ImageTest, FilledEllipseIsSymmetric) {
    Image image(9, 7);
    image.fillEllipse(0, 0, 9, 7, {9, 9, 9, 255});
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(image.at(x, y).a, image.at(8 - x, y).a) << x << "," << y;
            EXPECT_EQ(image.at(x, y).a, image.at(x, 6 - y).a) << x << "," << y;
        }
    }
    EXPECT_EQ(image.at(4, 3).a, 255);
    EXPECT_EQ(image.at(0, 0).a, 0);
}

TEST(ImageTest, FlipsAndOutlines) {
    Image image(3, 3);
    image.set(0, 1, {10, 0, 0, 255});
    const Image flipped = image.flippedHorizontally();
    EXPECT_EQ(flipped.at(2, 1), (Rgba{10, 0, 0, 255}));
    EXPECT_EQ(flipped.at(0, 1), Rgba{});

    const Rgba ink{1, 1, 1, 255};
    image.outline(ink);
    EXPECT_EQ(image.at(1, 1), ink);
    EXPECT_EQ(image.at(0, 0), ink);
    EXPECT_EQ(image.at(0, 2), ink);
    EXPECT_EQ(image.at(2, 0), Rgba{}) << "diagonal neighbours get no outline";
    EXPECT_EQ(image.at(0, 1), (Rgba{10, 0, 0, 255}));
}
