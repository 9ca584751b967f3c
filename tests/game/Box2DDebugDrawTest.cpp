#include "game/Box2DDebugDraw.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(Box2DDebugDraw, ABoxBecomesFourSegmentsOfItsOutline) {
    b2World world(b2Vec2(0.0f, -98.0f));
    Box2DDebugDraw draw(1.0f);
    world.SetDebugDraw(&draw);
    b2BodyDef def;
    def.position.Set(21.0f, 42.0f);
    b2PolygonShape box;
    box.SetAsBox(10.0f, 10.0f);
    world.CreateBody(&def)->CreateFixture(&box, 0.0f);

    world.DebugDraw();
    const std::vector<glm::vec3> expected = {{11, 32, 0}, {31, 32, 0}, {31, 32, 0}, {31, 52, 0},
                                             {31, 52, 0}, {11, 52, 0}, {11, 52, 0}, {11, 32, 0}};
    EXPECT_EQ(draw.GetLines(), expected);

    draw.ClearLines();
    EXPECT_TRUE(draw.GetLines().empty());
    world.DebugDraw();
    EXPECT_EQ(draw.GetLines().size(), 8u) << "a clear keeps nothing of the last frame";
}

TEST(Box2DDebugDraw, SolidPolygonsAreOutlinesAndScaleApplies) {
    const b2Vec2 triangle[] = {{0, 0}, {1, 0}, {0, 1}};
    Box2DDebugDraw outline(3.0f), solid(3.0f);
    outline.DrawPolygon(triangle, 3, b2Color());
    solid.DrawSolidPolygon(triangle, 3, b2Color(1, 0, 0));
    EXPECT_EQ(outline.GetLines(), solid.GetLines());
    ASSERT_EQ(outline.GetLines().size(), 6u);
    EXPECT_EQ(outline.GetLines()[1], glm::vec3(3, 0, 0));
    EXPECT_EQ(outline.GetLines()[5], glm::vec3(0, 0, 0));

    Box2DDebugDraw none(1.0f);
    none.DrawPolygon(triangle, 0, b2Color());
    none.DrawTransform(b2Transform());
    none.DrawPoint(b2Vec2(1, 1), 4.0f, b2Color());
    EXPECT_TRUE(none.GetLines().empty());

    none.DrawSegment(b2Vec2(1, 2), b2Vec2(3, 4), b2Color());
    EXPECT_EQ(none.GetLines(), (std::vector<glm::vec3>{{1, 2, 0}, {3, 4, 0}}));
}

TEST(Box2DDebugDraw, CirclesAreSixteenClockwiseSegmentsFromTheTop) {
    Box2DDebugDraw draw(2.0f);
    draw.DrawCircle(b2Vec2(0.0f, 0.0f), 1.0f, b2Color());
    const std::vector<glm::vec3>& lines = draw.GetLines();
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[0], glm::vec3(0, 2, 0));
    EXPECT_GT(lines[1].x, 0.0f) << "clockwise: the second point lies to the right";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(std::hypot(lines[i].x, lines[i].y), 2.0f, 1e-5f);
        EXPECT_EQ(lines[i].z, 0.0f);
    }
    for (std::size_t i = 1; i + 1 < lines.size(); i += 2) {
        EXPECT_EQ(lines[i], lines[i + 1]) << "consecutive segments share their point";
    }
    EXPECT_NEAR(lines[31].x, 0.0f, 1e-5f);
    EXPECT_NEAR(lines[31].y, 2.0f, 1e-5f);

    Box2DDebugDraw solid(2.0f);
    solid.DrawSolidCircle(b2Vec2(0.0f, 0.0f), 1.0f, b2Vec2(1.0f, 0.0f), b2Color());
    EXPECT_EQ(solid.GetLines(), lines) << "no axis line";
}

TEST(Box2DDebugDraw, OnlyShapesAreReported) {
    b2World world(b2Vec2(0.0f, 0.0f));
    Box2DDebugDraw draw(1.0f);
    EXPECT_EQ(draw.GetFlags(), static_cast<uint32>(b2Draw::e_shapeBit));
    world.SetDebugDraw(&draw);
    b2BodyDef def;
    def.type = b2_dynamicBody;
    b2CircleShape circle;
    circle.m_radius = 1.0f;
    b2Body* a = world.CreateBody(&def);
    a->CreateFixture(&circle, 1.0f);
    def.position.Set(5.0f, 0.0f);
    b2Body* b = world.CreateBody(&def);
    b->CreateFixture(&circle, 1.0f);
    b2DistanceJointDef joint;
    joint.Initialize(a, b, a->GetPosition(), b->GetPosition());
    world.CreateJoint(&joint);

    world.DebugDraw();
    EXPECT_EQ(draw.GetLines().size(), 64u) << "two circles, no joint line";
}

}  // namespace
