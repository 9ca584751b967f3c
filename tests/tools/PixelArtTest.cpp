#include "atlasgen/PixelArt.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const Palette palette{{'r', "#ff0000"}, {'g', "#00ff00"}};

std::string errorOf(const std::vector<std::string>& rows) {
    try {
        pixelArt("test sprite", rows, palette);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(PixelArtTest, TurnsRowsIntoPixelsTopRowFirst) {
    const Image image = pixelArt("s", {"r.g", "..r"}, palette);
    ASSERT_EQ(image.width(), 3);
    ASSERT_EQ(image.height(), 2);
    EXPECT_EQ(image.at(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(image.at(1, 0), Rgba{});
    EXPECT_EQ(image.at(2, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(image.at(2, 1), (Rgba{255, 0, 0, 255}));
}

TEST(PixelArtTest, BadGridsNameTheSpriteAndThePlace) {
    EXPECT_EQ(errorOf({}), "pixel art test sprite: the grid is empty");
    EXPECT_EQ(errorOf({"rr", "r"}),
              "pixel art test sprite: row 1 has 1 characters, the first row has 2");
    EXPECT_EQ(errorOf({"rr", "rx"}),
              "pixel art test sprite: character 'x' at column 1, row 1 is not in the palette");
}

TEST(PaletteTest, ReservesTheDotAndRefusesRepeats) {
    EXPECT_THROW((Palette{{'.', "#000000"}}), std::invalid_argument);
    EXPECT_THROW((Palette{{'a', "#000000"}, {'a', "#ffffff"}}), std::invalid_argument);
    EXPECT_THROW((Palette{{'a', "black"}}), std::invalid_argument);
}

TEST(PaletteTest, VariantsReplaceColoursWithoutChangingTheOriginal) {
    const Palette blue = palette.with('r', Rgba{0, 0, 255, 255});
    EXPECT_EQ(*blue.find('r'), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(*palette.find('r'), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(blue.find('z'), nullptr);
}
