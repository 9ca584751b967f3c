#include "orka/Shape.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "orka/GpuTestAccess.hpp"
#include "orka/RenderPass.hpp"
#include "orka/SpriteBatch.hpp"
#include "orka/SpriteTestSupport.hpp"

namespace orka {
namespace {

constexpr float pi = 3.14159265f;
const glm::vec4 green(0.0f, 1.0f, 0.0f, 1.0f);

// Shapes drawn in green into the window under a pixel camera; pixels are read back as covered
// (green) or not. The window may smooth edges with multisampling: a pixel counts as covered when
// at least half of it is, that is, when it shows at least the sRGB encoding of 0.5 (0.735).
class ShapePixels : public ::testing::Test {
protected:
    void SetUp() override {
        test::testRenderer();
        camera.setWindowCoordinates();
    }
    // Draws the shapes, then keeps whether each pixel of the window's lower-left 512 x 512
    // pixels is covered.
    void draw(std::initializer_list<Shape> shapes) {
        auto builder = SpriteBatch::create();
        for (const Shape& shape : shapes) builder.addShape(shape);
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(builder.build());
        const auto pixels = pass.readPixels(0, 0, size, size);
        covered.assign(pixels.size(), false);
        for (size_t i = 0; i < pixels.size(); i++) {
            covered[i] = pixels[i].g >= halfCovered && pixels[i].r < 0.5f;
        }
    }
    bool at(int x, int y) const { return covered.at(static_cast<size_t>(y) * size + x); }
    int coveredIn(int left, int bottom, int width, int height) const {
        int count = 0;
        for (int y = bottom; y < bottom + height; y++) {
            for (int x = left; x < left + width; x++) count += at(x, y) ? 1 : 0;
        }
        return count;
    }
    // Covered pixels in a row from `left`, `width` of them, as a string of '#' and '.'.
    std::string row(int left, int y, int width) const {
        std::string text;
        for (int x = left; x < left + width; x++) text += at(x, y) ? '#' : '.';
        return text;
    }

    static constexpr unsigned int size = 512;
    static constexpr float halfCovered = 0.7353569f;
    Camera camera;
    std::vector<bool> covered;
};

TEST_F(ShapePixels, ACircleCoversItsAreaAboutItsCentre) {
    for (const float radius : {6.0f, 50.0f, 120.0f}) {
        SCOPED_TRACE(radius);
        draw({Shape::circle({256.0f, 256.0f}, radius).withColor(green)});
        const float area = pi * radius * radius;
        EXPECT_NEAR(static_cast<float>(coveredIn(0, 0, size, size)), area, 0.02f * area + 4.0f);
        const int r = static_cast<int>(radius);
        // Its extent along both axes, on both sides of the centre.
        EXPECT_TRUE(at(256 + r - 1, 256) && at(256 - r, 256) && at(256, 256 + r - 1) &&
                    at(256, 256 - r));
        EXPECT_FALSE(at(256 + r + 1, 256) || at(256 - r - 2, 256) || at(256, 256 + r + 1) ||
                     at(256, 256 - r - 2));
    }
}

TEST_F(ShapePixels, AnEllipseHasItsTwoRadii) {
    draw({Shape::ellipse({256.0f, 256.0f}, {100.0f, 40.0f}).withColor(green)});
    EXPECT_EQ(row(150, 256, 212), "......" + std::string(200, '#') + "......");
    EXPECT_TRUE(at(256, 295) && !at(256, 297) && at(256, 216) && !at(256, 214));
    const float area = pi * 100.0f * 40.0f;
    EXPECT_NEAR(static_cast<float>(coveredIn(0, 0, size, size)), area, 0.02f * area);
}

TEST_F(ShapePixels, OutlinesAreBandsOfTheirWidthInsideTheEdge) {
    draw({Shape::rectangle({100.0f, 100.0f}, {60.0f, 40.0f}).withOutline(3.0f).withColor(green),
          Shape::circle({350.0f, 350.0f}, 80.0f).withOutline(5.0f).withColor(green)});
    // The rectangle: 3 pixels at each side of a row and of a column through its middle.
    EXPECT_EQ(row(98, 120, 64), "..###" + std::string(54, '.') + "###..");
    for (int y = 100; y < 103; y++) EXPECT_TRUE(at(130, y) && at(130, 239 - y)) << y;
    EXPECT_FALSE(at(130, 103) || at(130, 136) || at(130, 99) || at(130, 140));
    // The ring: 5 pixels wide left and right of the centre, nothing inside.
    EXPECT_EQ(row(268, 350, 12), "..#####.....");
    EXPECT_EQ(row(420, 350, 12), ".....#####..");
    EXPECT_EQ(coveredIn(300, 300, 100, 100), 0);
    const float ring = pi * (80.0f * 80.0f - 75.0f * 75.0f);
    EXPECT_NEAR(static_cast<float>(coveredIn(260, 260, 180, 180)), ring, 0.03f * ring);
}

TEST_F(ShapePixels, LinesHaveTheirWidthAcrossAtAnyAngle) {
    draw({Shape::line({50.0f, 400.0f}, {250.0f, 400.0f}, 6.0f).withColor(green),
          Shape::line({300.0f, 50.0f}, {460.0f, 170.0f}, 10.0f).withColor(green)});
    EXPECT_EQ(row(48, 400, 206).find('#'), 2u);
    EXPECT_EQ(coveredIn(100, 390, 1, 20), 6);
    EXPECT_EQ(coveredIn(40, 390, 220, 20), 200 * 6);
    // The slanting one (not at 45 degrees, where every row would round alike): its area is its
    // length, 200, times its width.
    const float area = 200.0f * 10.0f;
    EXPECT_NEAR(static_cast<float>(coveredIn(280, 30, 200, 200)), area, 0.02f * area);
}

TEST_F(ShapePixels, ConvexPolygonsFillInEitherTurningDirection) {
    const std::vector<glm::vec2> clockwiseTriangle = {{100, 100}, {100, 200}, {200, 100}};
    const std::vector<glm::vec2> pentagon = {
        {300, 300}, {400, 300}, {420, 380}, {350, 430}, {280, 380}};
    draw({Shape::polygon(clockwiseTriangle).withColor(green),
          Shape::polygon(pentagon).withColor(green),
          Shape::polygon({{10, 10}, {20, 10}}).withColor(green)});
    EXPECT_NEAR(coveredIn(90, 90, 120, 120), 5000, 120);
    EXPECT_TRUE(at(120, 120));
    EXPECT_FALSE(at(160, 160));
    // The pentagon's area by the shoelace formula: 13,100.
    EXPECT_NEAR(coveredIn(270, 290, 160, 150), 13100, 200);
    EXPECT_EQ(coveredIn(0, 0, 60, 60), 0) << "two points draw nothing";
}

TEST(Shape, CirclesHaveMoreSidesAsTheyGrowAndStayCloseToTheCurve) {
    int previous = 0;
    for (const float radius : {0.1f, 3.0f, 20.0f, 200.0f, 2000.0f}) {
        const int sides = Shape::circle({0, 0}, radius).getSegments();
        EXPECT_GE(sides, previous) << radius;
        EXPECT_LE(radius * (1.0f - std::cos(pi / static_cast<float>(sides))), 0.25f) << radius;
        previous = sides;
    }
    EXPECT_EQ(Shape::circle({0, 0}, 1e6f).getSegments(), Shape::maxSegments);
    EXPECT_EQ(Shape::circle({0, 0}, 0.1f).getSegments(), Shape::minSegments);
    EXPECT_EQ(Shape::circle({0, 0}, 50.0f).withSegments(3).getSegments(), Shape::minSegments);
}

// Shapes sampling a white cell of the page join the run of the page's sprites.
TEST(ShapeBatch, ShapesFromAPagesWhiteTexelShareItsSpritesDrawCall) {
    test::testRenderer();
    auto atlas = test::makeCellAtlas();
    ASSERT_NE(atlas, nullptr);
    Camera camera;
    camera.setWindowCoordinates();
    Sprite red = atlas->get("red");
    red.setScale({10.0f, 10.0f});
    const Shape disc = Shape::circle({100.0f, 100.0f}, 20.0f).withColor({0, 0, 1, 1});
    for (const bool shareTexel : {false, true}) {
        SCOPED_TRACE(shareTexel);
        auto builder = SpriteBatch::create();
        if (shareTexel) builder.withShapeTexel(atlas->get("white"));
        builder.addSprite(red).addShape(disc).addSprite(red);
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        const RenderStats before = test::currentStats();
        pass.draw(builder.build());
        EXPECT_EQ(test::currentStats().drawCalls - before.drawCalls, shareTexel ? 1 : 2);
        EXPECT_EQ(pass.readPixels(100, 100, 1, 1).at(0), glm::vec4(0, 0, 1, 1));
        EXPECT_EQ(pass.readPixels(20, 20, 1, 1).at(0), glm::vec4(1, 0, 0, 1));
    }
}

// Rotation and scale act about the shape's origin (by default its box's centre), on filled
// curves (one quad cut round) and polygons alike.
TEST_F(ShapePixels, ShapesTurnAndScaleAboutTheirOrigin) {
    struct Case {
        const char* name;
        Shape shape;
        glm::ivec4 coveredBox;  // left, bottom, width, height in pixels, fully covered
        glm::ivec4 emptyBox;    // a box the untransformed shape covers, now empty
    };
    const Case cases[] = {
        {"a 80 x 20 rectangle turned 90 degrees about its centre",
         Shape::rectangle({60.0f, 90.0f}, {80.0f, 20.0f}).withColor(green).withRotation(90.0f),
         {92, 62, 16, 76},
         {62, 92, 26, 16}},
        {"an ellipse turned 90 degrees",
         Shape::ellipse({100.0f, 100.0f}, {40.0f, 10.0f}).withColor(green).withRotation(90.0f),
         {96, 70, 8, 60},
         {65, 96, 20, 8}},
        {"a circle scaled by 2 about a point left of it",
         Shape::circle({100.0f, 100.0f}, 10.0f)
             .withColor(green)
             .withScale({2.0f, 2.0f})
             .withOrigin({80.0f, 100.0f}),
         {112, 92, 16, 16},
         {92, 96, 8, 8}},
        {"a line turned about its start",
         Shape::line({100.0f, 100.0f}, {160.0f, 100.0f}, 10.0f)
             .withColor(green)
             .withRotation(90.0f)
             .withOrigin({100.0f, 100.0f}),
         {97, 102, 6, 56},
         {110, 96, 48, 8}},
    };
    for (const Case& c : cases) {
        draw({c.shape});
        const glm::ivec4 in = c.coveredBox;
        const glm::ivec4 out = c.emptyBox;
        EXPECT_EQ(coveredIn(in.x, in.y, in.z, in.w), in.z * in.w) << c.name;
        EXPECT_EQ(coveredIn(out.x, out.y, out.z, out.w), 0) << c.name;
    }
}

// A filled circle's edge fades over about one pixel: partly covered pixels ring it, and only
// there.
TEST_F(ShapePixels, ACirclesEdgeHasIntermediateColoursOnlyAtTheEdge) {
    const glm::vec2 centre(100.0f, 100.0f);
    const float radius = 40.0f;
    RenderPass pass = RenderPass::create().withCamera(camera).build();
    pass.draw(
        SpriteBatch::create().addShape(Shape::circle(centre, radius).withColor(green)).build());
    const auto pixels = pass.readPixels(0, 0, 200, 200);
    int partial = 0;
    for (int y = 0; y < 200; y++) {
        for (int x = 0; x < 200; x++) {
            const float g = pixels[static_cast<size_t>(y) * 200 + x].g;
            const float distance = glm::length(glm::vec2(x + 0.5f, y + 0.5f) - centre);
            if (distance < radius - 1.0f) {
                EXPECT_EQ(g, 1.0f) << x << "," << y;
            }
            if (distance > radius + 1.0f) {
                EXPECT_EQ(g, 0.0f) << x << "," << y;
            }
            if (g > 0.0f && g < 1.0f) {
                ++partial;
                EXPECT_NEAR(distance, radius, 1.0f) << x << "," << y;
            }
        }
    }
    // The edge is about 2 pi r = 251 pixels long.
    EXPECT_GT(partial, 200);

    // The outer half of the fade lies beyond the curve, where the circle touches its box: a
    // pixel whose centre is 0.2 past the edge is still partly covered.
    pass.draw(
        SpriteBatch::create().addShape(Shape::circle(centre, 40.3f).withColor(green)).build());
    EXPECT_GT(pass.readPixels(140, 100, 1, 1).at(0).g, 0.0f);
    EXPECT_GT(pass.readPixels(100, 59, 1, 1).at(0).g, 0.0f);
}

float linearOf(float encoded) {
    return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

// Outlines, lines and polygons fade out over about a pixel centred on their true edge: partly
// covered pixels lie along it, and the coverage summed over all pixels is the shape's area
// (a fade laid outside the edge would add half a pixel all round).
TEST_F(ShapePixels, EdgesOfEveryShapeFadeOverAboutAPixelAboutTheTrueEdge) {
    struct Case {
        const char* name;
        Shape shape;
        float area;
        int minPartial;  // about the length of the edges not along pixel rows or columns
    };
    const Case cases[] = {
        {"a rectangle turned 30 degrees",
         Shape::rectangle({60.0f, 70.0f}, {100.0f, 60.0f}).withRotation(30.0f), 6000.0f, 250},
        {"a slanting line", Shape::line({20.0f, 20.0f}, {180.0f, 140.0f}, 6.0f), 1200.0f, 300},
        {"a triangle", Shape::polygon({{20, 20}, {180, 40}, {60, 170}}), 11600.0f, 300},
        {"an outlined circle", Shape::circle({100.0f, 100.0f}, 60.0f).withOutline(6.0f),
         pi * (3600.0f - 54.0f * 54.0f), 500},
    };
    for (const Case& c : cases) {
        RenderPass pass = RenderPass::create().withCamera(camera).build();
        pass.draw(SpriteBatch::create().addShape(Shape(c.shape).withColor(green)).build());
        const auto pixels = pass.readPixels(0, 0, 200, 200);
        float coverage = 0.0f;
        int partial = 0;
        for (const glm::vec4& pixel : pixels) {
            coverage += linearOf(pixel.g);
            partial += pixel.g > 0.0f && pixel.g < 1.0f ? 1 : 0;
        }
        EXPECT_NEAR(coverage, c.area, 0.01f * c.area) << c.name;
        EXPECT_GT(partial, c.minPartial) << c.name;
    }
}

// A line one unit wide under a picture scaled to 0.83 is 0.83 pixels across; placed between two
// rows of pixel centres, a hard edge would draw none of it.
TEST_F(ShapePixels, ALineThinnerThanAPixelIsStillDrawn) {
    Camera scaled = camera;
    scaled.setViewTransform(glm::mat4(glm::mat3(0.83f)));
    // 101.16 units is 83.96 pixels up: the line covers 83.55 to 84.38, no pixel centre.
    const float y = 101.16f;
    RenderPass pass = RenderPass::create().withCamera(scaled).build();
    pass.draw(SpriteBatch::create()
                  .addShape(Shape::line({20.0f, y}, {200.0f, y}, 1.0f).withColor(green))
                  .build());
    const auto column = pass.readPixels(100, 80, 1, 8);
    float strongest = 0.0f;
    float total = 0.0f;
    for (const glm::vec4& pixel : column) {
        strongest = std::max(strongest, linearOf(pixel.g));
        total += linearOf(pixel.g);
    }
    EXPECT_GT(strongest, 0.4f);
    EXPECT_LT(total, 2.0f) << "no more than about two pixels' worth";
}

// On the white texture a filled circle or ellipse is one quad that the shape shader cuts round;
// an outline, or a page's texel, still takes the polygon's quads (on the white texture with
// the bands that smooth its edges). A sprite of the white texture
// in the same run is never cut.
TEST_F(ShapePixels, FilledCurvesOnTheWhiteTextureAreOneQuadCutRound) {
    const Shape disc = Shape::circle({100.0f, 100.0f}, 40.0f).withColor(green);
    const Shape ring = Shape::circle({100.0f, 100.0f}, 40.0f).withOutline(4.0f);
    const auto quadsOf = [](SpriteBatch::SpriteBatchBuilder builder) {
        return builder.build()->getMeshes().at(0)->getVertexCount() / 4;
    };
    EXPECT_EQ(quadsOf(std::move(SpriteBatch::create().addShape(disc))), 1);
    // The ring's body, and a fading band along each of its two edges.
    EXPECT_EQ(quadsOf(std::move(SpriteBatch::create().addShape(ring))), 3 * ring.getSegments());
    auto atlas = test::makeCellAtlas();
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(quadsOf(std::move(
                  SpriteBatch::create().withShapeTexel(atlas->get("white")).addShape(disc))),
              (disc.getSegments() - 1) / 2);

    Sprite square(*Texture::getWhiteTexture());
    square.setScale({60.0f, 60.0f});
    square.setPosition({300.0f, 300.0f});
    square.setColor(green);
    auto builder = SpriteBatch::create();
    builder.addShape(disc).addSprite(square);
    RenderPass pass = RenderPass::create().withCamera(camera).build();
    pass.draw(builder.build());
    const auto pixels = pass.readPixels(0, 0, size, size);
    int squareCovered = 0;
    for (int y = 300; y < 360; y++) {
        for (int x = 300; x < 360; x++) squareCovered += pixels[y * size + x].g > 0.9f ? 1 : 0;
    }
    EXPECT_EQ(squareCovered, 3600) << "the sprite's corners are drawn";
    EXPECT_EQ(pixels[100 * size + 100].g, 1.0f) << "the disc's centre";
    EXPECT_EQ(pixels[62 * size + 62].g, 0.0f) << "the disc's square corner is cut away";
}

}  // namespace
}  // namespace orka
