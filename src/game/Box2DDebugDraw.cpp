#include "game/Box2DDebugDraw.hpp"

#include <cmath>

namespace {

constexpr int kCircleSegments = 16;
constexpr float kFullTurn = 6.2831855f;
constexpr float kSegmentFraction = 0.0625f;  // one sixteenth of a turn

/// Direction of point i of the circle outline: x takes the sine and y the cosine, so point 0
/// is the top and the points run clockwise.
b2Vec2 CircleDirection(int i) {
    const float angle = static_cast<float>(i) * kFullTurn * kSegmentFraction;
    return {static_cast<float>(std::sin(static_cast<double>(angle))),
            static_cast<float>(std::cos(static_cast<double>(angle)))};
}

}  // namespace

Box2DDebugDraw::Box2DDebugDraw(float scale) : scale(scale) {
    SetFlags(b2Draw::e_shapeBit);
}

void Box2DDebugDraw::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color&) {
    for (int32 i = 0; i < vertexCount; ++i) {
        const b2Vec2& from = vertices[i];
        const b2Vec2& to = vertices[(i + 1) % vertexCount];
        Append(from.x, from.y);
        Append(to.x, to.y);
    }
}

void Box2DDebugDraw::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount,
                                      const b2Color& color) {
    DrawPolygon(vertices, vertexCount, color);
}

void Box2DDebugDraw::DrawCircle(const b2Vec2& center, float radius, const b2Color&) {
    const float r = radius * scale;
    const b2Vec2 c(center.x * scale, center.y * scale);
    for (int i = 0; i < kCircleSegments; ++i) {
        for (const b2Vec2& direction : {CircleDirection(i), CircleDirection(i + 1)}) {
            lines.emplace_back(direction.x * r + c.x, direction.y * r + c.y, 0.0f);
        }
    }
}

void Box2DDebugDraw::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2&,
                                     const b2Color& color) {
    DrawCircle(center, radius, color);
}

void Box2DDebugDraw::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color&) {
    Append(p1.x, p1.y);
    Append(p2.x, p2.y);
}

void Box2DDebugDraw::DrawTransform(const b2Transform&) {}

void Box2DDebugDraw::DrawPoint(const b2Vec2&, float, const b2Color&) {}

void Box2DDebugDraw::Append(float x, float y) {
    lines.emplace_back(x * scale, y * scale, 0.0f);
}
