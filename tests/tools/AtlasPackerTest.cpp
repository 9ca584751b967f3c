#include "atlasgen/AtlasPacker.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

SpriteArt solidSprite(int number, int width, int height, Rgba colour) {
    Image image(width, height);
    image.fillRect(0, 0, width, height, colour);
    return {number, image};
}

// The rectangle a frame owns on the page: the sprite plus its extrusion.
struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
};

Box extrudedBox(const PackedFrame& f) {
    const int e = AtlasPacker::extrusion;
    return {f.x - e, f.y - e, f.x + f.width + e, f.y + f.height + e};
}

bool overlaps(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

TEST(AtlasPackerTest, PacksIntoASmallPowerOfTwoPageWithoutOverlap) {
    std::vector<SpriteArt> sprites;
    for (int i = 0; i < 12; ++i) sprites.push_back(solidSprite(i, 21, 21, {200, 10, 10, 255}));
    sprites.push_back(solidSprite(99, 33, 54, {10, 200, 10, 255}));
    const PackedAtlas atlas = AtlasPacker().pack(sprites);
    EXPECT_TRUE(isPowerOfTwo(atlas.page.width()));
    EXPECT_TRUE(isPowerOfTwo(atlas.page.height()));
    EXPECT_LE(atlas.page.width() * atlas.page.height(), 128 * 128);
    ASSERT_EQ(atlas.frames.size(), sprites.size());
    for (std::size_t i = 0; i < atlas.frames.size(); ++i) {
        const Box a = extrudedBox(atlas.frames[i]);
        EXPECT_GE(a.left, 0);
        EXPECT_GE(a.top, 0);
        EXPECT_LE(a.right, atlas.page.width());
        EXPECT_LE(a.bottom, atlas.page.height());
        for (std::size_t j = i + 1; j < atlas.frames.size(); ++j) {
            EXPECT_FALSE(overlaps(a, extrudedBox(atlas.frames[j])))
                << atlas.frames[i].number << " and " << atlas.frames[j].number;
        }
    }
}

TEST(AtlasPackerTest, FramesComeInNumberOrderWithTheirPivots) {
    SpriteArt tall = solidSprite(7, 5, 30, {1, 2, 3, 255});
    tall.pivotY = 0.75f;
    const PackedAtlas atlas = AtlasPacker().pack({solidSprite(9, 4, 4, {1, 2, 3, 255}), tall});
    ASSERT_EQ(atlas.frames.size(), 2u);
    EXPECT_EQ(atlas.frames[0].number, 7);
    EXPECT_EQ(atlas.frames[0].height, 30);
    EXPECT_FLOAT_EQ(atlas.frames[0].pivotY, 0.75f);
    EXPECT_EQ(atlas.frames[1].number, 9);
}

TEST(AtlasPackerTest, ExtrudesEdgePixelsOutwards) {
    Image image(2, 2);
    image.set(0, 0, {10, 0, 0, 255});
    image.set(1, 0, {20, 0, 0, 255});
    image.set(0, 1, {30, 0, 0, 255});
    image.set(1, 1, {40, 0, 0, 255});
    const PackedAtlas atlas = AtlasPacker().pack({{1, image}});
    const PackedFrame& f = atlas.frames[0];
    EXPECT_EQ(atlas.page.at(f.x - 1, f.y - 1), image.at(0, 0)) << "top-left corner";
    EXPECT_EQ(atlas.page.at(f.x + 2, f.y), image.at(1, 0)) << "right edge";
    EXPECT_EQ(atlas.page.at(f.x, f.y + 2), image.at(0, 1)) << "bottom edge";
    EXPECT_EQ(atlas.page.at(f.x + 2, f.y + 2), image.at(1, 1)) << "bottom-right corner";
    EXPECT_EQ(atlas.page.at(f.x + 3, f.y), Rgba{}) << "padding beyond the extrusion";
}

TEST(AtlasPackerTest, TransparentTexelsTakeNeighbourColoursButStayInvisible) {
    Image image(3, 1);
    image.set(0, 0, {200, 100, 50, 255});
    const PackedAtlas atlas = AtlasPacker().pack({{1, image}});
    const PackedFrame& f = atlas.frames[0];
    const Rgba bled = atlas.page.at(f.x + 1, f.y);
    EXPECT_EQ(bled, (Rgba{200, 100, 50, 0}));
    EXPECT_EQ(atlas.page.at(f.x + 2, f.y), (Rgba{200, 100, 50, 0}));
}

TEST(AtlasPackerTest, SameInputGivesTheSamePage) {
    const std::vector<SpriteArt> sprites = {solidSprite(3, 21, 21, {1, 2, 3, 255}),
                                            solidSprite(1, 10, 40, {4, 5, 6, 255}),
                                            solidSprite(2, 40, 10, {7, 8, 9, 128})};
    const PackedAtlas first = AtlasPacker().pack(sprites);
    const PackedAtlas second = AtlasPacker().pack(sprites);
    EXPECT_EQ(first.page.bytes(), second.page.bytes());
}

TEST(AtlasPackerTest, RefusesBadSpriteSets) {
    EXPECT_THROW(AtlasPacker().pack({solidSprite(1, 2, 2, {}), solidSprite(1, 3, 3, {})}),
                 std::invalid_argument);
    EXPECT_THROW(AtlasPacker().pack({{4, Image(0, 5)}}), std::invalid_argument);
    try {
        AtlasPacker(32).pack({solidSprite(1, 40, 8, {})});
        FAIL() << "a sprite wider than the largest page was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the sprites do not fit on a page of 32 x 32 texels");
    }
}
